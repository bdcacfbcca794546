#include "links/LinkTable.h"

#include "app/MakerValues.h"
#include "ui_Main.h"

void LinkTable::addPage(const QObject* sender, const QString& host, const QString& page)
{
    m_rows.append({sender, false, host, page});
}

void LinkTable::addMail(const QObject* sender, const QString& role)
{
    m_rows.append({sender, true, QString(), role});
}

QString LinkTable::addressFor(const QObject* sender, const QString& refTag,
                              const QString& edition) const
{
    for (const Row& row : m_rows) {
        if (row.sender != sender)
            continue;
        if (row.mail)
            return QStringLiteral("mailto:ksv1200") + edition + QLatin1Char('.') + row.page +
                   QLatin1Char('@') + QLatin1String(Maker::mailDomain);
        // No scheme: the shell puts one in front.
        return row.host + QLatin1Char('/') + row.page + refTag;
    }
    return QString();
}

LinkTable LinkTable::forMainWindow(const Ui::TfrmMain& u)
{
    const QString host = QLatin1String(Maker::host);
    LinkTable t;
    t.addPage(u.mnuInternetProductInfo, host, QStringLiteral("kestrava.htm"));
    t.addPage(u.mnuInternetHome, host, QStringLiteral("index.htm"));
    t.addPage(u.mnuInternetFreeware, host, QStringLiteral("freeware.htm"));
    t.addPage(u.mnuInternetSuggest, host, QStringLiteral("suggest.htm"));
    t.addPage(u.mnuInternetPartner1, QLatin1String(Maker::partners[0].host),
              QStringLiteral("index.htm"));
    t.addPage(u.mnuInternetPartner2, QLatin1String(Maker::partners[1].host),
              QStringLiteral("index.htm"));
    t.addPage(u.mnuInternetBlog, host, QStringLiteral("blogsite.htm"));
    t.addMail(u.mnuInternetSendSuggestions, QStringLiteral("Suggest"));
    t.addMail(u.mnuInternetTechSupport, QStringLiteral("Support"));
    QAction* const products[] = {u.mnuInternetProduct1, u.mnuInternetProduct2,
                                 u.mnuInternetProduct3, u.mnuInternetProduct4,
                                 u.mnuInternetProduct5, u.mnuInternetProduct6};
    static_assert(std::size(products) == std::size(Maker::products));
    for (std::size_t i = 0; i < std::size(products); ++i)
        t.addPage(products[i], host, QLatin1String(Maker::products[i].page));
    t.addPage(u.statusBar, host, QStringLiteral("index.htm")); // the same as the home page
    return t;
}

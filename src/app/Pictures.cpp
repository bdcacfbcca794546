#include "app/Pictures.h"

#include "platform/PictureIcon.h"
#include "ui_Main.h"

#include <QAction>
#include <QHash>
#include <QMenu>

namespace Pictures {

QIcon programIcon()
{
    return PictureIcon::fromFolders({KESTRAVA_WINDOW_ICON_SIZES}, QStringLiteral(":/icons/window"));
}

QIcon toolbarPicture(const QString& name)
{
    const QString folder = QStringLiteral(":/toolbar/") + name;
    return PictureIcon::fromFolders({KESTRAVA_TOOLBAR_SIZES}, folder,
                                    folder + QStringLiteral("-disabled"),
                                    folder + QStringLiteral("-hover"));
}

QIcon menuPicture(const QString& name)
{
    QIcon icon(QStringLiteral(":/icons/%1.svg").arg(name));
    icon.addFile(QStringLiteral(":/icons/%1-disabled.svg").arg(name), {}, QIcon::Disabled);
    icon.addFile(QStringLiteral(":/icons/%1-hover.svg").arg(name), {}, QIcon::Active);
    return icon;
}

void setWhenShown(QMenu* menu, const Entries& entries)
{
    // aboutToShow comes before the menu works out its size, so the pictures count in it.
    QObject::connect(
        menu, &QMenu::aboutToShow, menu,
        [entries] {
            QHash<QString, QIcon> read; // entries that share a picture share its reading
            for (const auto& [action, name] : entries) {
                auto it = read.find(name);
                if (it == read.end())
                    it = read.insert(name, menuPicture(name));
                action->setIcon(*it);
            }
        },
        Qt::SingleShotConnection);
}

void setForMainWindow(Ui::TfrmMain& u)
{
    u.btnReset->setIcon(toolbarPicture(QStringLiteral("reset")));
    u.btnUpdate->setIcon(toolbarPicture(QStringLiteral("update")));
    u.btnHelp->setIcon(toolbarPicture(QStringLiteral("help")));
    u.btnAbout->setIcon(toolbarPicture(QStringLiteral("about")));

    const auto product = QStringLiteral("product");
    const auto mail = QStringLiteral("mail");
    setWhenShown(u.File1, {{u.mnuFileReset, QStringLiteral("reset")},
                           {u.mnuFilePrintSetup, QStringLiteral("print")},
                           {u.mnuFilePrint, QStringLiteral("print")},
                           {u.mnuFileExit, QStringLiteral("exit")}});
    setWhenShown(u.Internet1, {{u.mnuInternetWeb->menuAction(), QStringLiteral("web")},
                               {u.mnuInternetBlog, QStringLiteral("blog")},
                               {u.mnuInternetEmail->menuAction(), mail},
                               {u.mnuInternetDownload->menuAction(), QStringLiteral("download")},
                               {u.mnuInternetUpdate, QStringLiteral("update")}});
    setWhenShown(u.mnuInternetWeb, {{u.mnuInternetProductInfo, product},
                                    {u.mnuInternetHome, QStringLiteral("home")},
                                    {u.mnuInternetFreeware, QStringLiteral("download")},
                                    {u.mnuInternetSuggest, QStringLiteral("suggest")},
                                    {u.mnuInternetPartner1, QStringLiteral("link")},
                                    {u.mnuInternetPartner2, QStringLiteral("link")}});
    setWhenShown(u.mnuInternetEmail,
                 {{u.mnuInternetSendSuggestions, mail}, {u.mnuInternetTechSupport, mail}});
    setWhenShown(u.mnuInternetDownload, {{u.mnuInternetProduct1, product},
                                         {u.mnuInternetProduct2, product},
                                         {u.mnuInternetProduct3, product},
                                         {u.mnuInternetProduct4, product},
                                         {u.mnuInternetProduct5, product},
                                         {u.mnuInternetProduct6, product}});
    setWhenShown(u.Help1, {{u.Contents1, QStringLiteral("book")},
                           {u.SearchforHelpOn1, QStringLiteral("search")},
                           {u.HowtoUseHelp1, QStringLiteral("help")},
                           {u.About1, QStringLiteral("about")}});
}

} // namespace Pictures

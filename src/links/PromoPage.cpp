#include "links/PromoPage.h"

#include "app/MakerValues.h"
#include "platform/HtmlLabel.h"
#include "platform/ImageLabel.h"

#include <QFrame>

namespace PromoPage {

namespace {

// The anchors carry the product code but no edition word; the title's anchor counts as a
// "source", the others as a "ref".
QString anchor(const QString& query, const QString& text)
{
    return QStringLiteral("<a href=\"%1%2\">%3</a>").arg(productPage(), query, text);
}

QString titleText()
{
    return QStringLiteral("<p><font size=2>%1</font></p>")
        .arg(anchor(QStringLiteral("?source=ksv1200"),
                    QStringLiteral("<b>%1</b>").arg(QLatin1String(productName))));
}

QString descriptionText()
{
    const QString link = anchor(QStringLiteral("?ref=ksv1200"), QLatin1String(productName));
    return QStringLiteral(
               "<p><font size=2>%1 turns any loan into a complete payment schedule. Enter the "
               "amount, the rate and the number of payments, and see every payment split into "
               "principal and interest, with the balance left after each one.</font></p>"
               "<p><font size=2>Add extra payments where you like and watch the term shrink "
               "and the interest saved grow. Print the schedule, or save it for your "
               "spreadsheet with one click.</font></p>"
               "<p><font size=2><i>Kestrava tells you what a loan costs;<br>%1 shows you where "
               "every payment goes.</i></font></p>")
        .arg(link);
}

QString contentsText()
{
    const QString link = anchor(QStringLiteral("?ref=ksv1200"), QLatin1String(productName));
    return QStringLiteral(
               "<p><font size=2><b>In the box:</b> %1 gives you payment schedules for all nine "
               "payment frequencies, extra and balloon payments, yearly totals of interest and "
               "principal, a chart of the balance over the years, printing and export to CSV, "
               "and a help file with worked examples.<br>Try it free for 30 days.</font></p>")
        .arg(link);
}

HtmlLabel* addLabel(QWidget* panel, const char* name, const QRect& geometry, const QString& html)
{
    auto* label = new HtmlLabel(panel);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setLinkColor(Qt::blue);
    label->setHtml(html);
    return label;
}

} // namespace

QString productPage()
{
    return QStringLiteral("http://") + QLatin1String(Maker::host) +
           QStringLiteral("/amortizer.htm");
}

QString screenShotAddress(const QString& refTag)
{
    return productPage() + refTag + QStringLiteral("About") + QLatin1String(shortName);
}

ImageLabel* build(QWidget* page)
{
    auto* panel = new QFrame(page);
    panel->setObjectName(QStringLiteral("Panel4"));
    panel->setGeometry(4, 5, 647, 300);
    panel->setFrameShape(QFrame::NoFrame);
    panel->setAutoFillBackground(true);
    panel->setBackgroundRole(QPalette::Base); // the window colour of text areas

    addLabel(panel, "HTMLabel3", QRect(10, 12, 207, 20), titleText());
    addLabel(panel, "HTMLabel2", QRect(11, 40, 368, 177), descriptionText());

    auto* shot = new ImageLabel(panel);
    shot->setObjectName(QStringLiteral("imgScreenShot"));
    shot->move(383, 12);
    shot->setPictureFile(QStringLiteral(":/pictures/amortizer.png")); // read when its page shows
    const QString hint =
        QStringLiteral("Click to go online and learn more about ") + QLatin1String(productName);
    shot->setToolTip(hint); // the one control of the window that shows its tip
    shot->setProperty("hint", hint);
    shot->setAccessibleName(QLatin1String(productName) + QStringLiteral(" screenshot"));

    addLabel(panel, "HTMLabel1", QRect(10, 219, 629, 76), contentsText());
    return shot;
}

} // namespace PromoPage

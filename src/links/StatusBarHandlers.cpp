#include "links/StatusBarHandlers.h"

#include "app/MakerValues.h"
#include "platform/Application.h"
#include "platform/StatusBar.h"

namespace StatusBarHandlers {

QString tagline()
{
    return QLatin1String(Maker::siteName) + QStringLiteral(" - ") + QLatin1String(Maker::slogan);
}

QString invitation()
{
    return QStringLiteral("Click to visit ") + QLatin1String(Maker::siteName);
}

void addPanels(StatusBar& bar)
{
    QFont linkFont(QStringLiteral("Arial"));
    linkFont.setPixelSize(11);
    linkFont.setUnderline(true);
    StatusPanel web;
    web.name = QStringLiteral("WebPanel");
    web.width = 96;
    web.text = QString::fromLatin1(Maker::siteName).toLower();
    web.bevel = StatusPanel::Bevel::None;
    web.ownFont = true;
    web.font = linkFont;
    web.color = Qt::blue;
    web.alignment = Qt::AlignHCenter;
    web.hint = QStringLiteral(" Click to visit Quorvane' website");
    bar.addPanel(web);
    StatusPanel hint;
    hint.name = QStringLiteral("HintPanel");
    hint.width = 482;
    hint.text = tagline();
    hint.bevel = StatusPanel::Bevel::Lowered;
    bar.addPanel(hint);
}

void mouseMove(StatusBar& bar, int x)
{
    // The two bounds differ on purpose: the hand stops 6 pixels short of the panel's edge,
    // the invitation runs to the edge itself.
    const int w = bar.panel(linkPanel).width;
    if (x < w - 5)
        bar.setCursor(Qt::PointingHandCursor);
    else
        bar.unsetCursor();
    bar.setPanelText(hintPanel, x > w ? tagline() : invitation());
}

bool isLinkPanel(const StatusBar& bar, int index)
{
    return index >= 0 && index < bar.panelCount() &&
           bar.panel(index).name == QLatin1String("WebPanel");
}

void resize(StatusBar& bar)
{
    bar.setPanelWidth(hintPanel, bar.width() - (bar.panel(linkPanel).width + 2));
}

void showHint(StatusBar& bar, const QString& hint)
{
    bar.setPanelText(hintPanel, Application::longHint(hint));
}

} // namespace StatusBarHandlers

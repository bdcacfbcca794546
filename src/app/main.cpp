#include "app/Main.h"
#include "app/Version.h"
#include "platform/Application.h"
#include "platform/StartupProbe.h"

#include <QScreen>

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    app.setOrganizationName(QStringLiteral("Quorvane"));
    app.setApplicationName(QLatin1String(Version::productName));
    app.setApplicationVersion(QLatin1String(Version::productVersion));
    // Lets the desktop match the window to its menu entry and icon.
    app.setDesktopFileName(QLatin1String(Version::applicationId));

    TfrmMain window;
    if (window.handedOver())
        return 0;

    // Centred on the screen when first shown.
    if (const QScreen* screen = window.screen()) {
        const QRect s = screen->geometry();
        const QSize size = window.frameGeometry().size();
        window.move(s.left() + std::max((s.width() - size.width()) / 2, 0),
                    s.top() + std::max((s.height() - size.height()) / 2, 0));
    }
    StartupProbe::attach(window);
    window.show();
    return app.exec();
}

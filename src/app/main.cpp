#include "app/Main.h"
#include "app/Version.h"
#include "platform/Application.h"
#include "platform/ScreenPlacement.h"
#include "platform/StartupProbe.h"

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

    centerOnScreen(&window); // where the window first shows
    StartupProbe::attach(window);
    window.show();
    return app.exec();
}

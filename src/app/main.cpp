#include "app/Main.h"
#include "platform/Application.h"

#include <QScreen>

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    app.setOrganizationName(QStringLiteral("Quorvane"));
    app.setApplicationName(QStringLiteral("Kestrava"));
    app.setApplicationVersion(QStringLiteral("1.2.00"));

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
    window.show();
    return app.exec();
}

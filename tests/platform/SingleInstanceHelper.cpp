// A copy of the program in miniature for tst_SingleInstance: the guard, then a window unless
// another copy runs. Arguments: the application title, then --minimized and --quit-after-raise.
// It reports on standard output what happened.
#include "platform/Application.h"
#include "platform/SingleInstance.h"

#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

void report(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    app.setTitle(args.value(1));

    SingleInstance guard(app.title());
    if (!guard.isFirst()) {
        report(QStringLiteral("second"));
        return 0;
    }

    QWidget window;
    window.setWindowTitle(app.title());
    guard.setWindow(&window);
    const bool quitAfterRaise = args.contains(QStringLiteral("--quit-after-raise"));
    QObject::connect(&guard, &SingleInstance::activationRequested, &app, [&] {
        report(QStringLiteral("raised minimized=%1 visible=%2")
                   .arg(int(window.isMinimized()))
                   .arg(int(window.isVisible())));
        if (quitAfterRaise)
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    if (args.contains(QStringLiteral("--minimized")))
        window.showMinimized();
    else
        window.show();
    report(QStringLiteral("first minimized=%1").arg(int(window.isMinimized())));
    return app.exec();
}

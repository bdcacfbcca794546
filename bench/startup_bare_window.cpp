// The yardstick of the start-up benchmark: an empty QMainWindow of the same size as Kestrava's,
// started and probed the same way.
#include "platform/StartupProbe.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(658, 440);
    StartupProbe::attach(window);
    window.show();
    return app.exec();
}

// A second yardstick of the start-up benchmark, printed without a bar: the bare window with one
// label in it. The bare window draws no text, so it never sets up the font system before its
// first paint (Qt does that only as it quits); any window that shows a word pays for the set-up,
// and this one shows how much that is.
#include "platform/StartupProbe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(658, 440);
    auto* label = new QLabel(QStringLiteral("Amount Borrowed"), &window);
    label->move(10, 40);
    StartupProbe::attach(window);
    window.show();
    return app.exec();
}

#include "platform/Application.h"

#include <QMainWindow>

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    QMainWindow window;
    window.setWindowTitle(app.title());
    window.setFixedSize(658, 385);
    window.show();
    return app.exec();
}

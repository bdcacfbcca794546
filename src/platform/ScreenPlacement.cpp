#include "platform/ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

void centerOnScreen(QWidget* window)
{
    QScreen* s = QGuiApplication::screenAt(window->frameGeometry().center());
    if (!s)
        s = QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect screen = s->geometry();
    const QRect outer = window->frameGeometry();
    const int left = std::max((screen.width() - outer.width()) / 2, 0);
    const int top = std::max((screen.height() - outer.height()) / 2, 0);
    window->move(screen.left() + left, screen.top() + top);
}

#include "platform/UrlLabel.h"

#include "platform/Shell.h"

#include <QMouseEvent>

UrlLabel::UrlLabel(QWidget* parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void UrlLabel::click()
{
    if (!m_url.isEmpty()) {
        if (!Shell::open(m_url.left(maxAddressLength)))
            Shell::beep(); // nothing is shown and nothing is retried
    }
    emit clicked();
}

void UrlLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void UrlLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a left press and release over the label.
    const bool clicked = m_pressed && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (clicked)
        click();
}

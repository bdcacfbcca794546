#include "platform/ImageLabel.h"

#include <QImageReader>
#include <QMouseEvent>

ImageLabel::ImageLabel(QWidget* parent) : QLabel(parent)
{
    setMouseTracking(true);
}

void ImageLabel::setPicture(const QPixmap& picture)
{
    m_file.clear();
    setPixmap(picture);
    if (!picture.isNull())
        resize(picture.deviceIndependentSize().toSize());
}

void ImageLabel::setPictureFile(const QString& file)
{
    clear();
    m_file = file;
    const QSize size = QImageReader(file).size(); // from the file's header
    if (size.isValid())
        resize(size);
    if (isVisible())
        setPicture(QPixmap(file));
}

void ImageLabel::showEvent(QShowEvent* event)
{
    if (!m_file.isEmpty())
        setPicture(QPixmap(m_file));
    QLabel::showEvent(event);
}

void ImageLabel::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseMoved(event->modifiers(), pos.x(), pos.y());
}

void ImageLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ImageLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

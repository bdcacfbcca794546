#include "platform/ImageLabel.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>

#include <memory>

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

namespace {

// A reader for the format that the file's name gives: without one, Qt loads every image plugin
// it has to ask whether it knows the file.
std::unique_ptr<QImageReader> readerFor(const QString& file)
{
    auto reader = std::make_unique<QImageReader>(file, QFileInfo(file).suffix().toLatin1());
    reader->setAutoDetectImageFormat(false);
    return reader;
}

} // namespace

void ImageLabel::setPictureFile(const QString& file)
{
    clear();
    m_file = file;
    const QSize size = readerFor(file)->size(); // from the file's header
    if (size.isValid())
        resize(size);
    if (isVisible())
        setPicture(QPixmap::fromImage(readerFor(file)->read()));
}

void ImageLabel::showEvent(QShowEvent* event)
{
    if (!m_file.isEmpty())
        setPicture(QPixmap::fromImage(readerFor(m_file)->read()));
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

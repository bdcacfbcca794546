#pragma once

#include <QLabel>

// A picture that reports mouse moves over it and clicks on it (a left press and release over
// the picture), so that its form can give it a cursor and an action.
class ImageLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ImageLabel(QWidget* parent = nullptr);

    // Shows the picture and takes its size, as a picture sized to its content does.
    void setPicture(const QPixmap& picture);
    // The same for a picture file, which is read when the label first shows: a picture on a page
    // that is not in sight costs only its size until then.
    void setPictureFile(const QString& file);

signals:
    void mouseMoved(Qt::KeyboardModifiers modifiers, int x, int y);
    void clicked();

protected:
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_file; // not read yet
    bool m_pressed = false;
};

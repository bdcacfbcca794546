#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

class QLockFile;
class QLocalServer;
class QWidget;

// Only one copy runs at a time: a lock named after the application title, and a local server
// of the same name through which a second copy asks the first to come to the front.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True for the first copy. For a later copy the first one has been asked to restore and
    // raise its window, and this copy must end without showing a window.
    bool isFirst() const { return m_first; }

    // The window that a later copy brings to the front.
    void setWindow(QWidget* window) { m_window = window; }

private:
    bool m_first = true;
    QPointer<QWidget> m_window;
};

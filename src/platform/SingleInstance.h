#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

class QLockFile;
class QLocalServer;
class QLocalSocket;
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

    // The lock file and the server name that a name gives, for this user.
    static QString lockFileName(const QString& name);
    static QString serverName(const QString& name);

signals:
    // A later copy asked for the window; it has been restored and raised by now.
    void activationRequested();

private:
    bool askFirstCopy(const QString& server) const;
    void listen(const QString& server);
    void readRequest(QLocalSocket* socket);
    void activate();

    bool m_first = true;
    QPointer<QWidget> m_window;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

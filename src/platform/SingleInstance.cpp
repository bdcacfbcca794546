#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

namespace {

const QByteArray activateRequest = QByteArrayLiteral("activate\n");

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

// A file-name-safe key: the readable part of the name, then a hash of the whole name and the
// user, so that names that differ only in unsafe characters, or the same name run by two users
// sharing the temporary folder, do not meet.
QString key(const QString& name)
{
    QString readable;
    for (const QChar c : name) {
        const bool safe = c.unicode() < 128 && (c.isLetterOrNumber() || c == u'.' || c == u'-');
        readable += safe ? c : QChar(u'_');
    }
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    const QByteArray hash =
        QCryptographicHash::hash((name + QChar(u'\0') + user).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return readable.left(40) + QLatin1Char('-') + QString::fromLatin1(hash);
}

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    const QString server = serverName(name);
    const QString lockName = lockFileName(name);
    QDir().mkpath(QFileInfo(lockName).absolutePath());
    m_lock = std::make_unique<QLockFile>(lockName);
    // The lock is held for the whole run, so age says nothing; a lock whose owner no longer
    // runs (a copy that crashed) is still found stale by its process id and taken over.
    m_lock->setStaleLockTime(0);

    if (m_lock->tryLock(0)) {
        listen(server);
        return;
    }
    if (m_lock->error() == QLockFile::LockFailedError) {
        m_first = false;
        askFirstCopy(server);
        return;
    }
    // The lock cannot be made at all (no writable folder). A copy that answers is the first
    // one; without one, this copy runs unguarded rather than never start.
    if (askFirstCopy(server)) {
        m_first = false;
        return;
    }
    qWarning("Kestrava: the single-instance lock %s cannot be made", qPrintable(lockName));
    listen(server);
}

SingleInstance::~SingleInstance()
{
    // The server goes first: closing it removes its socket file, which must not happen after a
    // later copy has taken the lock and made its own.
    delete m_server;
    m_server = nullptr;
    m_lock.reset();
}

QString SingleInstance::lockFileName(const QString& name)
{
    return QDir(runtimeFolder()).filePath(key(name) + QStringLiteral(".lock"));
}

QString SingleInstance::serverName(const QString& name)
{
#ifdef Q_OS_WIN
    // A named pipe: one flat name space, the user is part of the key.
    return QStringLiteral("kestrava-") + key(name);
#else
    // A socket file in the user's own runtime folder; socket paths are short on Unix.
    const QString path = QDir(runtimeFolder()).filePath(key(name) + QStringLiteral(".sock"));
    return path.toLocal8Bit().size() < 100 ? path : key(name);
#endif
}

bool SingleInstance::askFirstCopy(const QString& server) const
{
    // The first copy takes the lock a moment before it listens; give it that moment.
    for (int attempt = 0; attempt < 20; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(server);
        if (socket.waitForConnected(500)) {
            socket.write(activateRequest);
            const bool sent = socket.waitForBytesWritten(2000) || socket.bytesToWrite() == 0;
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(1000);
            return sent;
        }
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::listen(const QString& server)
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a copy that crashed would block the name; holding the lock, this
    // copy knows that no other one listens.
    QLocalServer::removeServer(server);
    if (!m_server->listen(server)) {
        qWarning("Kestrava: the single-instance server %s cannot listen: %s", qPrintable(server),
                 qPrintable(m_server->errorString()));
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { readRequest(socket); });
            readRequest(socket);
        }
    });
}

void SingleInstance::readRequest(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        if (socket->readLine() == activateRequest)
            activate();
    }
    // Requests are one short line; anything longer is not from a copy of this program.
    if (socket->bytesAvailable() > 256)
        socket->abort();
}

void SingleInstance::activate()
{
    if (QWidget* window = m_window ? m_window->window() : nullptr) {
        if (window->isMinimized())
            window->setWindowState((window->windowState() & ~Qt::WindowMinimized) |
                                   Qt::WindowActive);
        window->raise();
        window->activateWindow();
    }
    emit activationRequested();
}

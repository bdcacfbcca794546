#include "TestHttpServer.h"

#include <QFile>
#include <QMutexLocker>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 pieceSize = 64 * 1024;
constexpr qint64 writeAhead = 256 * 1024; // bytes queued in the socket before waiting

QByteArray readFixture(const char* name)
{
    QFile file(QStringLiteral(KESTRAVA_TEST_TLS_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("test server: cannot read %s", name);
    return file.readAll();
}

// A generated body: byte n is a line feed where n % 64 == 63, else 'a' + n % 26. The pattern
// repeats every 832 bytes (the least common multiple of 64 and 26).
const QByteArray& generatedPeriod()
{
    static const QByteArray period = [] {
        QByteArray bytes(64 * 13, Qt::Uninitialized);
        for (qsizetype at = 0; at < bytes.size(); ++at)
            bytes[at] = at % 64 == 63 ? '\n' : char('a' + at % 26);
        return bytes;
    }();
    return period;
}

// Answers the requests of one connection in turn. A whole answer with a length or in chunks
// keeps the connection open for the next request, as HTTP/1.1 does; every other answer closes it.
class Connection : public QObject
{
public:
    Connection(QTcpSocket* socket, TestHttpServer& server) : m_socket(socket), m_server(server)
    {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this] { readRequest(); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this] { pump(); });
        connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        readRequest();
    }

private:
    void readRequest()
    {
        m_in += m_socket->readAll();
        if (m_answering || m_closing)
            return;
        const qsizetype end = m_in.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> lines = m_in.left(end).split('\n');
        m_in.remove(0, end + 4);
        TestRequest request;
        const QList<QByteArray> start = lines.value(0).trimmed().split(' ');
        request.method = start.value(0);
        request.target = start.value(1);
        request.version = start.value(2);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines.at(i).trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                request.headers.append(
                    std::pair(line.left(colon).trimmed(), line.mid(colon + 1).trimmed()));
        }
        m_answering = true;
        m_sent = 0;
        m_server.logRequest(request);
        m_response = m_server.responseFor(request.target);
        m_keepAlive = m_response.mode != TestResponse::Mode::DropMidBody &&
                      m_response.framing != TestResponse::Framing::UntilClose &&
                      m_response.announcedLength < 0 &&
                      request.header("Connection").compare("close", Qt::CaseInsensitive) != 0;
        answer();
    }

    void answer()
    {
        if (m_response.mode == TestResponse::Mode::Stall)
            return; // the connection stays open until the server stops
        const qint64 size = m_response.bodySize();
        QByteArray head =
            "HTTP/1.1 " + QByteArray::number(m_response.status) + ' ' + m_response.reason + "\r\n";
        bool hasType = false;
        for (const auto& [name, value] : m_response.headers) {
            head += name + ": " + value + "\r\n";
            hasType = hasType || name.compare("Content-Type", Qt::CaseInsensitive) == 0;
        }
        if (!hasType)
            head += "Content-Type: text/html\r\n";
        switch (m_response.framing) {
        case TestResponse::Framing::Length:
            head += "Content-Length: " +
                    QByteArray::number(m_response.announcedLength >= 0 ? m_response.announcedLength
                                                                       : size) +
                    "\r\n";
            break;
        case TestResponse::Framing::Chunked:
            head += "Transfer-Encoding: chunked\r\n";
            break;
        case TestResponse::Framing::UntilClose:
            break;
        }
        // A dropped body comes as a surprise: its head does not announce the close.
        const bool announceClose =
            !m_keepAlive && m_response.mode != TestResponse::Mode::DropMidBody;
        head += announceClose ? "Connection: close\r\n\r\n" : "\r\n";
        m_socket->write(head);

        m_limit = m_response.mode == TestResponse::Mode::DropMidBody ? size / 2 : size;
        if (m_response.mode == TestResponse::Mode::Trickle) {
            auto* timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, [this, timer] {
                if (m_sent < m_limit) {
                    sendPiece(1);
                } else {
                    timer->deleteLater();
                    timer->stop();
                    finish();
                }
            });
            timer->start(m_response.trickleIntervalMs);
            return;
        }
        m_pumping = true;
        pump();
    }

    // Keeps the socket fed without holding a large body in memory at once.
    void pump()
    {
        if (!m_pumping)
            return;
        while (m_sent < m_limit && m_socket->bytesToWrite() < writeAhead)
            sendPiece(std::min(pieceSize, m_limit - m_sent));
        if (m_sent >= m_limit)
            finish();
    }

    void sendPiece(qint64 length)
    {
        QByteArray piece;
        if (m_response.generatedSize >= 0) {
            // Copied from one period of the pattern, so that the server keeps up with any client.
            const QByteArray& period = generatedPeriod();
            piece.resize(length);
            for (qint64 i = 0; i < length;) {
                const qint64 offset = (m_sent + i) % period.size();
                const qint64 n = std::min<qint64>(length - i, period.size() - offset);
                std::memcpy(piece.data() + i, period.constData() + offset, size_t(n));
                i += n;
            }
        } else {
            piece = m_response.body.mid(m_sent, length);
        }
        m_sent += length;
        if (m_response.framing == TestResponse::Framing::Chunked) {
            // A dropped chunked body stops inside a chunk that announced the whole rest.
            const qint64 announced = m_response.mode == TestResponse::Mode::DropMidBody
                                         ? m_response.bodySize() - (m_sent - length)
                                         : length;
            piece = QByteArray::number(announced, 16) + "\r\n" + piece;
            if (m_response.mode != TestResponse::Mode::DropMidBody)
                piece += "\r\n";
        }
        m_socket->write(piece);
    }

    void finish()
    {
        m_pumping = false;
        if (m_response.mode != TestResponse::Mode::DropMidBody &&
            m_response.framing == TestResponse::Framing::Chunked)
            m_socket->write("0\r\n\r\n");
        if (!m_keepAlive) {
            m_closing = true;
            m_socket->disconnectFromHost();
            return;
        }
        m_answering = false;
        readRequest(); // a request that came in meanwhile
    }

    QTcpSocket* m_socket;
    TestHttpServer& m_server;
    QByteArray m_in;
    TestResponse m_response;
    qint64 m_sent = 0;
    qint64 m_limit = 0;
    bool m_answering = false;
    bool m_pumping = false;
    bool m_keepAlive = false;
    bool m_closing = false;
};

} // namespace

// The listening side; created, used and destroyed in the server's thread.
class ServerCore : public QObject
{
public:
    explicit ServerCore(TestHttpServer& server) : m_server(server) {}

    quint16 listen(TestHttpServer::Transport transport)
    {
        if (transport == TestHttpServer::Transport::Tls) {
            auto* tls = new QSslServer(this);
            QSslConfiguration config = QSslConfiguration::defaultConfiguration();
            config.setLocalCertificate(QSslCertificate(readFixture("loopback-cert.pem")));
            config.setPrivateKey(QSslKey(readFixture("loopback-key.pem"), QSsl::Ec));
            config.setPeerVerifyMode(QSslSocket::VerifyNone);
            tls->setSslConfiguration(config);
            m_listener = tls;
        } else {
            m_listener = new QTcpServer(this);
        }
        connect(m_listener, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = m_listener->nextPendingConnection())
                new Connection(socket, m_server);
        });
        if (!m_listener->listen(QHostAddress::LocalHost, 0))
            qFatal("test server: cannot listen on 127.0.0.1");
        return m_listener->serverPort();
    }

private:
    TestHttpServer& m_server;
    QTcpServer* m_listener = nullptr;
};

TestResponse TestResponse::page(const QByteArray& body)
{
    TestResponse r;
    r.body = body;
    return r;
}

TestResponse TestResponse::error(int status, const QByteArray& reason)
{
    TestResponse r;
    r.status = status;
    r.reason = reason;
    r.body = "<html><body>" + reason + "</body></html>";
    return r;
}

TestResponse TestResponse::relocation(int status, const QByteArray& location)
{
    TestResponse r;
    r.status = status;
    r.reason = "Moved";
    r.body = "<html>Moved</html>";
    r.headers.append(std::pair<QByteArray, QByteArray>("Location", location));
    return r;
}

TestResponse TestResponse::generated(qint64 size)
{
    TestResponse r;
    r.generatedSize = size;
    return r;
}

QByteArray TestRequest::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

TestHttpServer::TestHttpServer(Transport transport)
    : m_transport(transport), m_thread(std::make_unique<QThread>())
{
    m_thread->setObjectName(QStringLiteral("TestHttpServer"));
    m_thread->start();
    m_core = new ServerCore(*this);
    m_core->moveToThread(m_thread.get());
    QMetaObject::invokeMethod(
        m_core, [this] { m_port = m_core->listen(m_transport); }, Qt::BlockingQueuedConnection);
}

TestHttpServer::~TestHttpServer()
{
    QMetaObject::invokeMethod(
        m_core, [this] { delete m_core; }, // with the listener, the connections and their sockets
        Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
}

QString TestHttpServer::url(const QString& path) const
{
    const QString scheme =
        m_transport == Transport::Tls ? QStringLiteral("https") : QStringLiteral("http");
    return QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(m_port).arg(path);
}

void TestHttpServer::setResponse(const QByteArray& target, const TestResponse& response)
{
    QMutexLocker lock(&m_mutex);
    m_responses.insert(target, response);
}

void TestHttpServer::clearResponses()
{
    QMutexLocker lock(&m_mutex);
    m_responses.clear();
}

QList<TestRequest> TestHttpServer::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

int TestHttpServer::requestCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_requests.size());
}

void TestHttpServer::clearRequests()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
}

TestResponse TestHttpServer::responseFor(const QByteArray& target) const
{
    QMutexLocker lock(&m_mutex);
    if (const auto it = m_responses.constFind(target); it != m_responses.cend())
        return *it;
    const QUrl url = QUrl::fromEncoded(target);
    QByteArray path =
        url.isRelative() ? target : url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    if (path.isEmpty())
        path = "/";
    if (const auto it = m_responses.constFind(path); it != m_responses.cend())
        return *it;
    const QByteArray bare = path.left(path.indexOf('?'));
    if (const auto it = m_responses.constFind(bare); it != m_responses.cend())
        return *it;
    return TestResponse::error(404, "Not Found");
}

void TestHttpServer::logRequest(const TestRequest& request)
{
    QMutexLocker lock(&m_mutex);
    m_requests.append(request);
}

QByteArray TestHttpServer::versionPage(const QList<std::pair<QByteArray, QByteArray>>& tags)
{
    QByteArray page = "<html>\r\n<head>\r\n<title>Kestrava</title>\r\n"
                      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html\">\r\n";
    for (const auto& [name, value] : tags)
        page += "<META HTTP-EQUIV=\"" + name + "\" CONTENT=\"" + value + "\">\r\n";
    page += "</head>\r\n<body><p>Kestrava loan calculator</p></body>\r\n</html>\r\n";
    return page;
}

void TestHttpServer::trustTestCertificate()
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificate(QSslCertificate(readFixture("loopback-cert.pem")));
    QSslConfiguration::setDefaultConfiguration(config);
}

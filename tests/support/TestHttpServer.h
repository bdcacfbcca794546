#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>

#include <memory>
#include <utility>

class QThread;
class ServerCore;

// One scripted answer of the test server.
struct TestResponse
{
    enum class Framing
    {
        Length,    // Content-Length (announcedLength when set, else the body's size)
        Chunked,   // chunked transfer coding, no length
        UntilClose // no length at all: the body ends when the connection closes
    };
    enum class Mode
    {
        Normal,
        Stall,      // read the request and never answer
        Trickle,    // send the head, then the body one byte per trickleIntervalMs
        DropMidBody // announce the whole body, send half of it and close the connection
    };

    int status = 200;
    QByteArray reason = "OK";
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    qint64 generatedSize = -1; // >= 0: a generated body of this many bytes instead of `body`
    qint64 announcedLength = -1;
    Framing framing = Framing::Length;
    Mode mode = Mode::Normal;
    int trickleIntervalMs = 1000;

    static TestResponse page(const QByteArray& body);
    static TestResponse error(int status, const QByteArray& reason);
    static TestResponse relocation(int status, const QByteArray& location);
    static TestResponse generated(qint64 size);

    qint64 bodySize() const { return generatedSize >= 0 ? generatedSize : body.size(); }
};

// One request as the server read it.
struct TestRequest
{
    QByteArray method;
    QByteArray target; // as sent: origin form "/p?q", or absolute form through a proxy
    QByteArray version;
    QList<std::pair<QByteArray, QByteArray>> headers;

    QByteArray header(const QByteArray& name) const; // case-insensitive; empty when absent
};

// An HTTP/1.1 server on 127.0.0.1 that runs in its own thread and answers from a script. Each
// answer closes its connection. It also serves absolute-form targets, so a client pointed at it
// as its HTTP proxy gets scripted answers for any address.
class TestHttpServer
{
public:
    enum class Transport
    {
        Plain,
        Tls // a self-signed certificate for 127.0.0.1; see trustTestCertificate()
    };

    explicit TestHttpServer(Transport transport = Transport::Plain);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by path ("https://" for the TLS server).
    QString url(const QString& path) const;

    // The answer for a target. A request looks for its exact target, then (absolute form) for
    // the target's path and query, then for the path alone; unscripted targets get 404.
    void setResponse(const QByteArray& target, const TestResponse& response);
    void clearResponses();

    QList<TestRequest> requests() const;
    int requestCount() const;
    void clearRequests();

    // A page with one META HTTP-EQUIV line per name and value, as the version page has them.
    static QByteArray versionPage(const QList<std::pair<QByteArray, QByteArray>>& tags);

    // Makes the TLS server's certificate trusted by every client of this process.
    static void trustTestCertificate();

    // Called from the server's thread.
    TestResponse responseFor(const QByteArray& target) const;
    void logRequest(const TestRequest& request);

private:
    mutable QMutex m_mutex;
    QHash<QByteArray, TestResponse> m_responses;
    QList<TestRequest> m_requests;
    Transport m_transport;
    quint16 m_port = 0;
    std::unique_ptr<QThread> m_thread;
    ServerCore* m_core = nullptr; // lives in m_thread
};

#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

// An asynchronous HTTP client for one request at a time. getAsync() only starts the request;
// the body is written to the receive stream piece by piece as it arrives (OnDocData follows
// each piece) and OnRequestDone comes once the request has ended, however it ended, always
// later than the call that started it. A request that could not fetch a whole response ends
// with a non-zero error, a status above 200 and a reason text that names the failure.
//
// Guards against hostile servers: nothing received for idleTimeout, or no end after
// totalTimeout, ends the request; a body beyond maxBodySize ends it; HTTP relocations are
// followed up to maxRelocations times and never from https to http; a body cut short of its
// announced length is a failure.
class HttpCli : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString URL READ URL WRITE setURL)
    Q_PROPERTY(QString Proxy READ Proxy WRITE setProxy)
    Q_PROPERTY(QString ProxyPort READ ProxyPort WRITE setProxyPort)
    Q_PROPERTY(int idleTimeout READ idleTimeout WRITE setIdleTimeout)
    Q_PROPERTY(int totalTimeout READ totalTimeout WRITE setTotalTimeout)
    Q_PROPERTY(qint64 maxBodySize READ maxBodySize WRITE setMaxBodySize)
    Q_PROPERTY(int maxRelocations READ maxRelocations WRITE setMaxRelocations)

public:
    enum RequestType
    {
        httpGET
    };
    Q_ENUM(RequestType)

    // The error code of OnRequestDone; 0 when a whole response arrived, whatever its status.
    enum Error : quint16
    {
        NoError = 0,
        Aborted,
        InvalidRequest,
        HostNotFound,
        ConnectionRefused,
        ConnectionClosed,
        TimedOut,
        BodyTooLarge,
        BodyCut,
        TooManyRelocations,
        InsecureRelocation,
        SecureChannelFailed,
        ProxyFailed,
        StreamFailed,
        NetworkFailed
    };
    Q_ENUM(Error)

    // The statuses of requests that got no whole response.
    static constexpr int statusInvalid = 400;
    static constexpr int statusAborted = 499;
    static constexpr int statusFailed = 502;
    static constexpr int statusTimedOut = 504;

    static constexpr int defaultIdleTimeout = 30000;  // ms
    static constexpr int defaultTotalTimeout = 60000; // ms
    static constexpr int defaultMaxRelocations = 10;
    // Bytes the network may deliver ahead of the receiver.
    static constexpr qint64 readBufferSize = 1024 * 1024;

    explicit HttpCli(QObject* parent = nullptr);
    ~HttpCli() override;

    QString URL() const { return m_url; }
    void setURL(const QString& url) { m_url = url; }
    // An HTTP proxy for every request; empty: none.
    QString Proxy() const { return m_proxy; }
    void setProxy(const QString& host) { m_proxy = host; }
    QString ProxyPort() const { return m_proxyPort; } // decimal text
    void setProxyPort(const QString& port) { m_proxyPort = port; }

    // Milliseconds; 0 switches the limit off.
    int idleTimeout() const { return m_idleTimeout; }
    void setIdleTimeout(int ms) { m_idleTimeout = ms; }
    int totalTimeout() const { return m_totalTimeout; }
    void setTotalTimeout(int ms) { m_totalTimeout = ms; }
    // Bytes; 0: no limit.
    qint64 maxBodySize() const { return m_maxBodySize; }
    void setMaxBodySize(qint64 bytes) { m_maxBodySize = bytes; }
    int maxRelocations() const { return m_maxRelocations; }
    void setMaxRelocations(int count) { m_maxRelocations = count; }

    // Receives the body of the next request; not owned. Without one the body is counted only.
    QIODevice* rcvdStream() const { return m_stream; }
    void setRcvdStream(QIODevice* stream) { m_stream = stream; }

    // Starts a GET for URL and returns at once. Throws EHttpException while a request runs.
    void getAsync();
    // Ends the running request: OnRequestDone follows with Aborted before this returns.
    void abort();
    bool busy() const { return m_busy; }

    int statusCode() const { return m_status; }
    QString reasonPhrase() const { return m_reason; }
    // The body size the response announced, 0 when it announced none.
    qint64 contentLength() const { return m_announced < 0 ? 0 : m_announced; }
    qint64 rcvdCount() const { return m_received; }
    // The address that answered last, after relocations.
    QUrl currentUrl() const { return m_currentUrl; }

signals:
    void OnDocData(const QByteArray& buffer);
    void OnRequestDone(HttpCli::RequestType rqType, quint16 error);

private:
    struct Failure
    {
        Error error = NoError;
        int status = 0;
        QString reason;
    };

    void onMetaData();
    void onReadyRead();
    void send();
    void relocate();
    void onFinished();
    void fail(Error error, int status, const QString& reason);
    void failLater(Error error, int status, const QString& reason);
    void complete();
    Failure outcomeOf(QNetworkReply* reply) const;
    void touch();
    QString hostText() const;

    QNetworkAccessManager* m_nam;
    QNetworkReply* m_reply = nullptr;
    QTimer m_idleTimer;
    QTimer m_totalTimer;
    QString m_url;
    QString m_proxy;
    QString m_proxyPort = QStringLiteral("80");
    QIODevice* m_stream = nullptr;
    int m_idleTimeout = defaultIdleTimeout;
    int m_totalTimeout = defaultTotalTimeout;
    qint64 m_maxBodySize = 0;
    int m_maxRelocations = defaultMaxRelocations;

    // State of the current or last request.
    bool m_busy = false;
    quint64 m_serial = 0;
    Failure m_failure; // set when this client decided how the request ends
    bool m_failed = false;
    int m_status = 0;
    QString m_reason;
    qint64 m_announced = -1;
    qint64 m_received = 0;
    int m_relocations = 0;
    bool m_relocating = false; // the current response relocates
    QUrl m_currentUrl;
};

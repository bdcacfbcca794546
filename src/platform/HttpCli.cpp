#include "platform/HttpCli.h"

#include "platform/Exceptions.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <utility>

namespace {

QString durationText(int ms)
{
    if (ms % 1000 == 0)
        return ms == 1000 ? QStringLiteral("1 second")
                          : QStringLiteral("%1 seconds").arg(ms / 1000);
    return QStringLiteral("%1 ms").arg(ms);
}

QString sizeText(qint64 bytes)
{
    constexpr qint64 mib = 1024 * 1024;
    if (bytes % mib == 0)
        return QStringLiteral("%1 MiB").arg(bytes / mib);
    return QStringLiteral("%1 bytes").arg(bytes);
}

// Errors that QNetworkAccessManager raises for a whole response with an error status.
bool isStatusError(QNetworkReply::NetworkError error)
{
    return (error >= QNetworkReply::ContentAccessDenied &&
            error <= QNetworkReply::UnknownContentError) ||
           (error >= QNetworkReply::InternalServerError &&
            error <= QNetworkReply::UnknownServerError);
}

} // namespace

HttpCli::HttpCli(QObject* parent) : QObject(parent), m_nam(new QNetworkAccessManager(this))
{
    // No cookies are kept or sent, and nothing is cached.
    m_nam->setCookieJar(nullptr);
    m_nam->setCache(nullptr);
    // Relocations are followed here, so that their limit and scheme rule hold whatever the
    // manager would do (it also sent a relocated request twice on a kept-alive connection).
    m_nam->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_idleTimer.setSingleShot(true);
    m_totalTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        fail(TimedOut, statusTimedOut,
             QStringLiteral("Timed out: nothing received from %1 for %2")
                 .arg(hostText(), durationText(m_idleTimeout)));
    });
    connect(&m_totalTimer, &QTimer::timeout, this, [this] {
        fail(TimedOut, statusTimedOut,
             QStringLiteral("Timed out: the request to %1 did not end within %2")
                 .arg(hostText(), durationText(m_totalTimeout)));
    });
}

HttpCli::~HttpCli()
{
    if (QNetworkReply* reply = std::exchange(m_reply, nullptr)) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        delete reply;
    }
}

void HttpCli::getAsync()
{
    if (m_busy)
        throw EHttpException(QStringLiteral("A request is already running"));

    ++m_serial;
    m_busy = true;
    m_failed = false;
    m_failure = {};
    m_status = 0;
    m_reason.clear();
    m_announced = -1;
    m_received = 0;
    m_relocations = 0;
    m_currentUrl = QUrl(m_url);

    const QString scheme = m_currentUrl.scheme();
    if (!m_currentUrl.isValid() || m_currentUrl.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        failLater(InvalidRequest, statusInvalid,
                  QStringLiteral("Not an http or https address: \"%1\"").arg(m_url));
        return;
    }
    if (m_proxy.isEmpty()) {
        m_nam->setProxy(QNetworkProxy::NoProxy);
    } else {
        bool ok = false;
        const int port = m_proxyPort.toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            failLater(InvalidRequest, statusInvalid,
                      QStringLiteral("Invalid proxy port \"%1\"").arg(m_proxyPort));
            return;
        }
        m_nam->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, m_proxy, quint16(port)));
    }

    if (m_totalTimeout > 0)
        m_totalTimer.start(m_totalTimeout);
    send();
}

void HttpCli::send()
{
    QNetworkRequest request(m_currentUrl);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    // The body is counted as it travels; a compressed one would not match its announced length.
    request.setRawHeader("Accept-Encoding", "identity");

    m_announced = -1;
    m_relocating = false;
    m_reply = m_nam->get(request);
    // The network thread stops reading ahead once this much waits for us, so that a large body
    // never piles up in memory while its pieces are written out.
    m_reply->setReadBufferSize(readBufferSize);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpCli::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpCli::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpCli::onFinished);
    connect(m_reply, &QNetworkReply::encrypted, this, &HttpCli::touch);
    touch();
}

void HttpCli::abort()
{
    if (!m_busy)
        return;
    fail(Aborted, statusAborted, QStringLiteral("Request aborted"));
}

void HttpCli::touch()
{
    if (m_idleTimeout > 0 && m_busy)
        m_idleTimer.start(m_idleTimeout);
}

QString HttpCli::hostText() const
{
    const int port = m_currentUrl.port();
    return port < 0 ? m_currentUrl.host()
                    : QStringLiteral("%1:%2").arg(m_currentUrl.host()).arg(port);
}

void HttpCli::onMetaData()
{
    touch();
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_relocating =
        (status == 301 || status == 302 || status == 303 || status == 307 || status == 308) &&
        m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid();
    if (m_relocating)
        return; // its body is dropped
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    m_announced = length.isValid() ? length.toLongLong() : -1;
    if (m_maxBodySize > 0 && m_announced > m_maxBodySize) {
        fail(BodyTooLarge, statusFailed,
             QStringLiteral("The response from %1 is larger than %2")
                 .arg(hostText(), sizeText(m_maxBodySize)));
    }
}

void HttpCli::onReadyRead()
{
    touch();
    if (m_relocating) {
        m_reply->readAll();
        return;
    }
    const quint64 serial = m_serial;
    while (m_reply && serial == m_serial && !m_failed) {
        const QByteArray piece = m_reply->read(64 * 1024);
        if (piece.isEmpty())
            return;
        if (m_maxBodySize > 0 && m_received + piece.size() > m_maxBodySize) {
            fail(BodyTooLarge, statusFailed,
                 QStringLiteral("The response from %1 is larger than %2")
                     .arg(hostText(), sizeText(m_maxBodySize)));
            return;
        }
        if (m_stream && m_stream->write(piece) != piece.size()) {
            fail(StreamFailed, statusFailed,
                 QStringLiteral("The received data could not be written: %1")
                     .arg(m_stream->errorString()));
            return;
        }
        m_received += piece.size();
        emit OnDocData(piece); // may abort, or even start the next request
    }
}

void HttpCli::onFinished()
{
    // Data that came with the end is handled like any other piece.
    onReadyRead();
    if (!m_reply || !m_reply->isFinished())
        return;
    if (m_relocating)
        relocate();
    else
        complete();
}

void HttpCli::relocate()
{
    const QUrl target = m_currentUrl.resolved(
        m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    ++m_relocations;
    if (m_relocations > m_maxRelocations) {
        fail(TooManyRelocations, statusFailed,
             QStringLiteral("More than %1 relocations, the last to %2")
                 .arg(m_maxRelocations)
                 .arg(target.toString()));
        return;
    }
    const QString scheme = target.scheme();
    if (m_currentUrl.scheme() == QLatin1String("https") && scheme == QLatin1String("http")) {
        fail(InsecureRelocation, statusFailed,
             QStringLiteral("Refused relocation from a secure address to %1")
                 .arg(target.toString()));
        return;
    }
    if (!target.isValid() || target.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        fail(InvalidRequest, statusFailed,
             QStringLiteral("Refused relocation to \"%1\"").arg(target.toString()));
        return;
    }
    QNetworkReply* done = std::exchange(m_reply, nullptr);
    disconnect(done, nullptr, this, nullptr);
    done->deleteLater();
    m_currentUrl = target;
    send();
}

void HttpCli::fail(Error error, int status, const QString& reason)
{
    if (!m_busy || m_failed)
        return;
    m_failed = true;
    m_failure = {error, status, reason};
    if (m_reply && !m_reply->isFinished())
        m_reply->abort(); // finishes the reply, which completes the request
    complete();
}

void HttpCli::failLater(Error error, int status, const QString& reason)
{
    // Even a request refused at once ends through the event loop, so that whoever waits for
    // OnRequestDone is in place when it comes.
    const quint64 serial = m_serial;
    QTimer::singleShot(0, this, [this, serial, error, status, reason] {
        if (serial == m_serial)
            fail(error, status, reason);
    });
}

HttpCli::Failure HttpCli::outcomeOf(QNetworkReply* reply) const
{
    const QNetworkReply::NetworkError error = reply->error();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool responded = status.isValid();

    if (responded && m_announced >= 0 && m_received < m_announced) {
        return {BodyCut, statusFailed,
                QStringLiteral("The connection to %1 closed after %2 of %3 bytes")
                    .arg(hostText())
                    .arg(m_received)
                    .arg(m_announced)};
    }
    if (responded && (error == QNetworkReply::NoError || isStatusError(error))) {
        QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        if (reason.isEmpty())
            reason = QStringLiteral("HTTP status %1").arg(status.toInt());
        return {NoError, status.toInt(), reason};
    }

    const QString host = hostText();
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return {HostNotFound, statusFailed, QStringLiteral("Host not found: %1").arg(host)};
    case QNetworkReply::ConnectionRefusedError:
        return {ConnectionRefused, statusFailed,
                QStringLiteral("Connection refused by %1").arg(host)};
    case QNetworkReply::RemoteHostClosedError:
        return {ConnectionClosed, statusFailed,
                QStringLiteral("The connection to %1 closed before the response was complete")
                    .arg(host)};
    case QNetworkReply::TimeoutError:
        return {TimedOut, statusTimedOut, QStringLiteral("Timed out connecting to %1").arg(host)};
    case QNetworkReply::OperationCanceledError:
        return {Aborted, statusAborted, QStringLiteral("Request aborted")};
    case QNetworkReply::SslHandshakeFailedError:
        return {
            SecureChannelFailed, statusFailed,
            QStringLiteral("Secure connection to %1 failed: %2").arg(host, reply->errorString())};
    case QNetworkReply::ProtocolUnknownError:
        return {
            InvalidRequest, statusInvalid,
            QStringLiteral("Not an http or https address: \"%1\"").arg(reply->url().toString())};
    default:
        break;
    }
    if (error >= QNetworkReply::ProxyConnectionRefusedError &&
        error <= QNetworkReply::UnknownProxyError) {
        return {ProxyFailed, statusFailed,
                QStringLiteral("Proxy %1:%2 failed: %3")
                    .arg(m_proxy, m_proxyPort, reply->errorString())};
    }
    return {NetworkFailed, statusFailed,
            QStringLiteral("Request to %1 failed: %2").arg(host, reply->errorString())};
}

void HttpCli::complete()
{
    if (!m_busy)
        return;
    QNetworkReply* reply = std::exchange(m_reply, nullptr);
    m_idleTimer.stop();
    m_totalTimer.stop();
    Failure outcome = m_failure;
    if (reply) {
        disconnect(reply, nullptr, this, nullptr);
        if (!m_failed)
            outcome = outcomeOf(reply);
        reply->deleteLater();
    }
    m_status = outcome.status;
    m_reason = outcome.reason;
    m_busy = false;
    emit OnRequestDone(httpGET, outcome.error);
}

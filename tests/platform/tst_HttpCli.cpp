#include "TestHttpServer.h"
#include "platform/Exceptions.h"
#include "platform/HttpCli.h"

#include <QBuffer>
#include <QEventLoop>
#include <QTcpServer>
#include <QtTest>

Q_DECLARE_METATYPE(TestResponse)

namespace {

struct Outcome
{
    bool done = false;
    quint16 error = 0;
    int status = 0;
    QString reason;
    QByteArray body;
    qint64 announced = 0;
    qint64 received = 0;
    int pieces = 0;
};

// Runs one request to its end. The wait is bounded only so that a broken client cannot hang the
// suite; no test depends on how long a request takes.
Outcome run(HttpCli& client, const QString& url)
{
    Outcome out;
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    client.setRcvdStream(&buffer);
    client.setURL(url);
    QEventLoop loop;
    auto pieces = QObject::connect(&client, &HttpCli::OnDocData, &loop, [&] { ++out.pieces; });
    auto done = QObject::connect(&client, &HttpCli::OnRequestDone, &loop,
                                 [&](HttpCli::RequestType, quint16 error) {
                                     out.done = true;
                                     out.error = error;
                                     loop.quit();
                                 });
    client.getAsync();
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(pieces);
    QObject::disconnect(done);
    client.setRcvdStream(nullptr);
    out.status = client.statusCode();
    out.reason = client.reasonPhrase();
    out.body = buffer.data();
    out.announced = client.contentLength();
    out.received = client.rcvdCount();
    return out;
}

QByteArray generatedBody(qint64 size)
{
    QByteArray body(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        body[i] = i % 64 == 63 ? '\n' : char('a' + i % 26);
    return body;
}

TestResponse chunked(const QByteArray& body)
{
    TestResponse r = TestResponse::page(body);
    r.framing = TestResponse::Framing::Chunked;
    return r;
}

} // namespace

class tst_HttpCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void responses_data();
    void responses();
    void bodyArrivesInPiecesWrittenFirst();
    void relocations_data();
    void relocations();
    void relocationLimit_data();
    void relocationLimit();
    void secureAddressAndNoDowngrade();
    void timeouts_data();
    void timeouts();
    void connectionRefused();
    void abortEndsAtOnce();
    void secondRequestWhileOneRuns();
    void refusedRequestsEndLater_data();
    void refusedRequestsEndLater();
    void throughProxy();
    void sendsNoCookieOrCompression();
    void unwritableStream();
};

void tst_HttpCli::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TestHttpServer::trustTestCertificate();
}

void tst_HttpCli::responses_data()
{
    QTest::addColumn<TestResponse>("response");
    QTest::addColumn<qint64>("maxBody");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("reason"); // the reason text, or a part of it for failures
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<qint64>("announced");

    const QByteArray page = "<html>Kestrava</html>\r\n";
    const qint64 mib = 1024 * 1024;
    QTest::newRow("page with a length")
        << TestResponse::page(page) << qint64(0) << 0 << 200 << "OK" << page << qint64(page.size());
    QTest::newRow("chunked page") << chunked(page) << qint64(0) << 0 << 200 << "OK" << page
                                  << qint64(0);
    TestResponse untilClose = TestResponse::page(page);
    untilClose.framing = TestResponse::Framing::UntilClose;
    QTest::newRow("page without length")
        << untilClose << qint64(0) << 0 << 200 << "OK" << page << qint64(0);
    const TestResponse notFound = TestResponse::error(404, "Not Found Here");
    QTest::newRow("404 with its reason") << notFound << qint64(0) << 0 << 404 << "Not Found Here"
                                         << notFound.body << qint64(notFound.body.size());
    TestResponse noReason = TestResponse::error(404, "");
    QTest::newRow("404 without reason") << noReason << qint64(0) << 0 << 404 << "HTTP status 404"
                                        << noReason.body << qint64(noReason.body.size());
    TestResponse dropped = TestResponse::page(generatedBody(4000));
    dropped.mode = TestResponse::Mode::DropMidBody;
    QTest::newRow("connection dropped mid-body")
        << dropped << qint64(0) << int(HttpCli::BodyCut) << 502 << "closed after 2000 of 4000 bytes"
        << generatedBody(2000) << qint64(4000);
    TestResponse lying = TestResponse::page(page);
    lying.announcedLength = page.size() + 100;
    QTest::newRow("length larger than the body")
        << lying << qint64(0) << int(HttpCli::BodyCut) << 502 << "closed after" << page
        << qint64(page.size() + 100);
    QTest::newRow("exactly the limit")
        << TestResponse::generated(mib) << mib << 0 << 200 << "OK" << generatedBody(mib) << mib;
    QTest::newRow("announced beyond the limit")
        << TestResponse::generated(mib + 1) << mib << int(HttpCli::BodyTooLarge) << 502
        << "larger than 1 MiB" << QByteArray() << mib + 1;
    TestResponse unannounced = TestResponse::generated(3 * mib);
    unannounced.framing = TestResponse::Framing::Chunked;
    QTest::newRow("unannounced beyond the limit")
        << unannounced << mib << int(HttpCli::BodyTooLarge) << 502 << "larger than 1 MiB"
        << QByteArray() << qint64(0);
    TestResponse understated = TestResponse::generated(3 * mib);
    understated.framing = TestResponse::Framing::UntilClose;
    QTest::newRow("no length, beyond the limit")
        << understated << mib << int(HttpCli::BodyTooLarge) << 502 << "larger than 1 MiB"
        << QByteArray() << qint64(0);
}

void tst_HttpCli::responses()
{
    QFETCH(TestResponse, response);
    QFETCH(qint64, maxBody);
    QFETCH(int, error);
    QFETCH(int, status);
    QFETCH(QString, reason);
    QFETCH(QByteArray, body);
    QFETCH(qint64, announced);

    TestHttpServer server;
    server.setResponse("/page", response);
    HttpCli client;
    client.setMaxBodySize(maxBody);
    const Outcome out = run(client, server.url("/page"));
    QVERIFY(out.done);
    QCOMPARE(int(out.error), error);
    QCOMPARE(out.status, status);
    if (error == 0)
        QCOMPARE(out.reason, reason);
    else
        QVERIFY2(out.reason.contains(reason), qPrintable(out.reason));
    if (error == int(HttpCli::BodyTooLarge)) {
        // Nothing beyond the limit reaches the stream.
        QVERIFY(out.received <= maxBody);
        QCOMPARE(out.body.size(), out.received);
    } else {
        QCOMPARE(out.body, body);
    }
    QCOMPARE(out.announced, announced);
    QCOMPARE(out.received, qint64(out.body.size()));
    QVERIFY(!client.busy());
}

void tst_HttpCli::bodyArrivesInPiecesWrittenFirst()
{
    // A body of some megabytes is passed on piece by piece, each piece in the stream before the
    // signal tells of it.
    TestHttpServer server;
    server.setResponse("/big", TestResponse::generated(4 * 1024 * 1024));
    HttpCli client;
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    client.setRcvdStream(&buffer);
    client.setURL(server.url("/big"));
    int pieces = 0;
    bool inStep = true;
    connect(&client, &HttpCli::OnDocData, this, [&](const QByteArray& piece) {
        ++pieces;
        inStep = inStep && buffer.size() == client.rcvdCount() && piece.size() > 0 &&
                 client.contentLength() == 4 * 1024 * 1024;
    });
    QSignalSpy done(&client, &HttpCli::OnRequestDone);
    client.getAsync();
    QVERIFY(done.wait(60000));
    QCOMPARE(done.first().at(1).value<quint16>(), quint16(0));
    QVERIFY(pieces > 1);
    QVERIFY(inStep);
    QCOMPARE(buffer.data(), generatedBody(4 * 1024 * 1024));
}

void tst_HttpCli::relocations_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("absolute");

    for (int status : {301, 302, 303, 307, 308}) {
        QTest::addRow("%d absolute", status) << status << true;
        QTest::addRow("%d relative", status) << status << false;
    }
}

void tst_HttpCli::relocations()
{
    QFETCH(int, status);
    QFETCH(bool, absolute);
    TestHttpServer server;
    const QByteArray target = absolute ? server.url("/new").toLatin1() : QByteArray("/new");
    server.setResponse("/old", TestResponse::relocation(status, target));
    server.setResponse("/new", TestResponse::page("moved here"));
    HttpCli client;
    const Outcome out = run(client, server.url("/old"));
    QCOMPARE(int(out.error), 0);
    QCOMPARE(out.status, 200);
    QCOMPARE(out.body, QByteArray("moved here"));
    QCOMPARE(client.currentUrl(), QUrl(server.url("/new")));
    QCOMPARE(server.requestCount(), 2);
}

void tst_HttpCli::relocationLimit_data()
{
    QTest::addColumn<int>("relocations");
    QTest::addColumn<int>("error");

    QTest::newRow("ten followed") << 10 << 0;
    QTest::newRow("eleventh refused") << 11 << int(HttpCli::TooManyRelocations);
    QTest::newRow("ring refused") << -1 << int(HttpCli::TooManyRelocations);
}

void tst_HttpCli::relocationLimit()
{
    QFETCH(int, relocations);
    QFETCH(int, error);
    TestHttpServer server;
    if (relocations < 0) {
        server.setResponse("/0", TestResponse::relocation(302, "/1"));
        server.setResponse("/1", TestResponse::relocation(302, "/0"));
    } else {
        for (int i = 0; i < relocations; ++i)
            server.setResponse("/" + QByteArray::number(i),
                               TestResponse::relocation(302, "/" + QByteArray::number(i + 1)));
        server.setResponse("/" + QByteArray::number(relocations), TestResponse::page("end"));
    }
    HttpCli client;
    const Outcome out = run(client, server.url("/0"));
    QCOMPARE(int(out.error), error);
    if (error == 0) {
        QCOMPARE(out.body, QByteArray("end"));
        QCOMPARE(server.requestCount(), 11);
    } else {
        QCOMPARE(out.status, 502);
        QVERIFY2(out.reason.contains("More than 10 relocations"), qPrintable(out.reason));
        QCOMPARE(server.requestCount(), 11); // the eleventh relocation is not followed
    }
}

void tst_HttpCli::secureAddressAndNoDowngrade()
{
    TestHttpServer secure(TestHttpServer::Transport::Tls);
    TestHttpServer plain;
    secure.setResponse("/page", TestResponse::page("secret"));
    secure.setResponse("/up", TestResponse::relocation(302, secure.url("/page").toLatin1()));
    secure.setResponse("/down", TestResponse::relocation(302, plain.url("/page").toLatin1()));
    plain.setResponse("/page", TestResponse::page("plain"));
    plain.setResponse("/up", TestResponse::relocation(301, secure.url("/page").toLatin1()));

    HttpCli client;
    Outcome out = run(client, secure.url("/page"));
    QCOMPARE(int(out.error), 0);
    QCOMPARE(out.body, QByteArray("secret"));

    out = run(client, plain.url("/up"));
    QCOMPARE(int(out.error), 0);
    QCOMPARE(out.body, QByteArray("secret"));

    out = run(client, secure.url("/down"));
    QCOMPARE(int(out.error), int(HttpCli::InsecureRelocation));
    QCOMPARE(out.status, 502);
    QVERIFY(out.body.isEmpty());
    QCOMPARE(plain.requests().size(), 1); // only the relocation to https above
}

void tst_HttpCli::timeouts_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("reason");

    QTest::newRow("stall hits the idle limit")
        << int(TestResponse::Mode::Stall) << "nothing received from 127.0.0.1";
    QTest::newRow("trickle hits the total limit")
        << int(TestResponse::Mode::Trickle) << "did not end within 600 ms";
}

void tst_HttpCli::timeouts()
{
    QFETCH(int, mode);
    QFETCH(QString, reason);
    TestHttpServer server;
    TestResponse response = TestResponse::page(QByteArray(1000, 'x'));
    response.mode = TestResponse::Mode(mode);
    response.trickleIntervalMs = 20;
    server.setResponse("/slow", response);
    HttpCli client;
    client.setIdleTimeout(300);
    client.setTotalTimeout(600);
    const Outcome out = run(client, server.url("/slow"));
    QVERIFY(out.done);
    QCOMPARE(int(out.error), int(HttpCli::TimedOut));
    QCOMPARE(out.status, 504);
    QVERIFY2(out.reason.startsWith("Timed out") && out.reason.contains(reason),
             qPrintable(out.reason));
    QVERIFY(!client.busy());
}

void tst_HttpCli::connectionRefused()
{
    quint16 port = 0;
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        port = closed.serverPort();
    }
    HttpCli client;
    const Outcome out = run(client, QStringLiteral("http://127.0.0.1:%1/").arg(port));
    QCOMPARE(int(out.error), int(HttpCli::ConnectionRefused));
    QCOMPARE(out.status, 502);
    QCOMPARE(out.reason, QStringLiteral("Connection refused by 127.0.0.1:%1").arg(port));
}

void tst_HttpCli::abortEndsAtOnce()
{
    TestHttpServer server;
    TestResponse response = TestResponse::page(QByteArray(1000, 'x'));
    response.mode = TestResponse::Mode::Trickle;
    response.trickleIntervalMs = 10;
    server.setResponse("/slow", response);
    HttpCli client;
    client.setURL(server.url("/slow"));
    QSignalSpy done(&client, &HttpCli::OnRequestDone);
    // Abort from inside the data handler, as a Cancel button between two pieces would.
    connect(&client, &HttpCli::OnDocData, this, [&] {
        if (client.rcvdCount() >= 3)
            client.abort();
    });
    client.getAsync();
    QVERIFY(done.wait(60000));
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.first().at(1).value<quint16>(), quint16(HttpCli::Aborted));
    QCOMPARE(client.statusCode(), 499);
    QCOMPARE(client.reasonPhrase(), QStringLiteral("Request aborted"));
    QCOMPARE(client.rcvdCount(), 3);
    QVERIFY(!client.busy());
    client.abort(); // nothing runs: nothing happens
    QTest::qWait(50);
    QCOMPARE(done.size(), 1);
}

void tst_HttpCli::secondRequestWhileOneRuns()
{
    TestHttpServer server;
    server.setResponse("/page", TestResponse::page("first"));
    HttpCli client;
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    client.setRcvdStream(&buffer);
    client.setURL(server.url("/page"));
    QSignalSpy done(&client, &HttpCli::OnRequestDone);
    client.getAsync();
    QVERIFY_THROWS_EXCEPTION(EHttpException, client.getAsync());
    QVERIFY(done.wait(60000));
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.first().at(1).value<quint16>(), quint16(0));
    QCOMPARE(buffer.data(), QByteArray("first"));
    QCOMPARE(server.requestCount(), 1);
}

void tst_HttpCli::refusedRequestsEndLater_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("proxyPort"); // empty: no proxy
    QTest::addColumn<QString>("reason");

    QTest::newRow("ftp address") << "ftp://127.0.0.1/file"
                                 << ""
                                 << "Not an http or https address: \"ftp://127.0.0.1/file\"";
    QTest::newRow("no address") << ""
                                << ""
                                << "Not an http or https address: \"\"";
    QTest::newRow("no host") << "http://"
                             << ""
                             << "Not an http or https address: \"http://\"";
    QTest::newRow("proxy port 0") << "http://127.0.0.1/"
                                  << "0"
                                  << "Invalid proxy port \"0\"";
    QTest::newRow("proxy port text") << "http://127.0.0.1/"
                                     << "eighty"
                                     << "Invalid proxy port \"eighty\"";
    QTest::newRow("proxy port too large") << "http://127.0.0.1/"
                                          << "65536"
                                          << "Invalid proxy port \"65536\"";
}

void tst_HttpCli::refusedRequestsEndLater()
{
    QFETCH(QString, url);
    QFETCH(QString, proxyPort);
    QFETCH(QString, reason);
    HttpCli client;
    if (!proxyPort.isEmpty()) {
        client.setProxy(QStringLiteral("127.0.0.1"));
        client.setProxyPort(proxyPort);
    }
    client.setURL(url);
    QSignalSpy done(&client, &HttpCli::OnRequestDone);
    client.getAsync();
    QCOMPARE(done.size(), 0); // whoever waits is not yet in place
    QVERIFY(client.busy());
    QVERIFY(done.wait(60000));
    QCOMPARE(done.first().at(1).value<quint16>(), quint16(HttpCli::InvalidRequest));
    QCOMPARE(client.statusCode(), 400);
    QCOMPARE(client.reasonPhrase(), reason);
}

void tst_HttpCli::throughProxy()
{
    TestHttpServer proxy;
    proxy.setResponse("http://www.quorvane.com/kestrava.htm?ref=x", TestResponse::page("proxied"));
    HttpCli client;
    client.setProxy(QStringLiteral("127.0.0.1"));
    client.setProxyPort(QString::number(proxy.port()));
    Outcome out = run(client, QStringLiteral("http://www.quorvane.com/kestrava.htm?ref=x"));
    QCOMPARE(int(out.error), 0);
    QCOMPARE(out.body, QByteArray("proxied"));
    QCOMPARE(proxy.requests().value(0).target,
             QByteArray("http://www.quorvane.com/kestrava.htm?ref=x"));

    // Clearing the proxy goes straight to the address again.
    TestHttpServer direct;
    direct.setResponse("/page", TestResponse::page("direct"));
    client.setProxy(QString());
    out = run(client, direct.url("/page"));
    QCOMPARE(out.body, QByteArray("direct"));
    QCOMPARE(proxy.requestCount(), 1);
    QCOMPARE(direct.requests().value(0).target, QByteArray("/page"));
}

void tst_HttpCli::sendsNoCookieOrCompression()
{
    TestHttpServer server;
    TestResponse first = TestResponse::page("one");
    first.headers.append(std::pair<QByteArray, QByteArray>("Set-Cookie", "session=abc; Path=/"));
    server.setResponse("/one", first);
    server.setResponse("/two", TestResponse::page("two"));
    HttpCli client;
    run(client, server.url("/one"));
    run(client, server.url("/two"));
    const QList<TestRequest> requests = server.requests();
    QCOMPARE(requests.size(), 2);
    for (const TestRequest& request : requests) {
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.version, QByteArray("HTTP/1.1"));
        QCOMPARE(request.header("Host"), "127.0.0.1:" + QByteArray::number(server.port()));
        QVERIFY(request.header("Cookie").isEmpty());
        QVERIFY(request.header("Authorization").isEmpty());
        QVERIFY(request.header("Cache-Control").isEmpty());
        QCOMPARE(request.header("Accept-Encoding"), QByteArray("identity"));
    }
}

void tst_HttpCli::unwritableStream()
{
    TestHttpServer server;
    server.setResponse("/page", TestResponse::page("data"));
    HttpCli client;
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    client.setRcvdStream(&readOnly);
    client.setURL(server.url("/page"));
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
    QSignalSpy done(&client, &HttpCli::OnRequestDone);
    client.getAsync();
    QVERIFY(done.wait(60000));
    QCOMPARE(done.first().at(1).value<quint16>(), quint16(HttpCli::StreamFailed));
    QCOMPARE(client.statusCode(), 502);
    QVERIFY(client.reasonPhrase().startsWith("The received data could not be written"));
}

QTEST_GUILESS_MAIN(tst_HttpCli)
#include "tst_HttpCli.moc"

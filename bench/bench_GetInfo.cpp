// Time one version check (GetInfo) takes beyond the server's own answer: the median of many
// checks against the loopback test server, less the median of the same exchange made with a
// bare socket on a kept-alive connection.
#include "ScriptedDialogs.h"
#include "TestHttpServer.h"
#include "platform/Application.h"
#include "update/WebFileInfo.h"

#include <QElapsedTimer>
#include <QTcpSocket>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int warmUp = 20;
constexpr int rounds = 300;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One request and its whole answer on an open connection, in milliseconds.
double bareExchange(QTcpSocket& socket, const QByteArray& request, qint64 answerSize)
{
    QElapsedTimer timer;
    timer.start();
    socket.write(request);
    qint64 got = 0;
    while (got < answerSize && socket.waitForReadyRead(5000))
        got += socket.readAll().size();
    const double ms = timer.nsecsElapsed() / 1e6;
    if (got != answerSize)
        std::fprintf(stderr, "bare exchange: %lld of %lld bytes\n", got, answerSize);
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    ScriptedDialogs dialogs;
    TestHttpServer server;
    const QByteArray page = TestHttpServer::versionPage({{"name", "Kestrava"},
                                                         {"version", "1.3.00"},
                                                         {"date", "May 3, 2004"},
                                                         {"url", "http://dl.quorvane.com/ksv.exe"},
                                                         {"readme", "http://h/readme.txt"},
                                                         {"runparams", "/S"},
                                                         {"author", "Quorvane"},
                                                         {"email", "info@quorvane.com"}});
    server.setResponse("/kestrava.htm", TestResponse::page(page));

    // The server's own answer, measured on a kept-alive connection like the component's.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    if (!socket.waitForConnected(5000))
        return 1;
    const QByteArray request = "GET /kestrava.htm?ref=ksv1200upd HTTP/1.1\r\nHost: 127.0.0.1:" +
                               QByteArray::number(server.port()) + "\r\n\r\n";
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                            QByteArray::number(page.size()) + "\r\n\r\n";
    const qint64 answerSize = head.size() + page.size();
    std::vector<double> bare;
    for (int i = 0; i < warmUp + rounds; ++i) {
        const double ms = bareExchange(socket, request, answerSize);
        if (i >= warmUp)
            bare.push_back(ms);
    }
    socket.disconnectFromHost();

    TWebFileInfo info;
    configureProgramWebFileInfo(info);
    info.setHomeURL(server.url("/kestrava.htm?ref=ksv1200upd"));
    std::vector<double> checks;
    for (int i = 0; i < warmUp + rounds; ++i) {
        info.setActive(false);
        QElapsedTimer timer;
        timer.start();
        const bool ok = info.GetInfo();
        const double ms = timer.nsecsElapsed() / 1e6;
        if (!ok || info.ProductVersion() != QLatin1String("1.3.00")) {
            std::fprintf(stderr, "GetInfo failed: %s\n", qPrintable(info.LastError()));
            return 1;
        }
        if (i >= warmUp)
            checks.push_back(ms);
    }

    const double check = median(checks);
    const double exchange = median(bare);
    std::printf("GetInfo: %.2f ms beyond the server's answer (check %.2f ms, bare exchange %.2f ms;"
                " medians of %d)   bar: <= 5 ms\n",
                check - exchange, check, exchange, rounds);
    return 0;
}

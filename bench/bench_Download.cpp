// Download of a 1 GiB body from the loopback test server to a file through the update
// component (progress dialog and all), against `curl -o` of the same body from the same server in
// the same run; and how far the process's peak memory grows during the component's download.
#include "ScriptedDialogs.h"
#include "TestHttpServer.h"
#include "platform/Application.h"
#include "update/WebFileInfo.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 bodySize = qint64(1) << 30;
constexpr int rounds = 3;
constexpr double mib = 1024.0 * 1024.0;

// A figure of /proc/self/status in bytes ("VmRSS", "VmHWM"); -1 where there is none.
qint64 statusBytes(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// Starts a new peak: the kernel sets the high-water mark back to the current size.
bool resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

double mibPerSecond(double seconds)
{
    return bodySize / mib / seconds;
}

} // namespace

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    ScriptedDialogs dialogs;
    TestHttpServer server;
    server.setResponse("/ksv1300.exe", TestResponse::generated(bodySize));
    const QString url = server.url(QStringLiteral("/ksv1300.exe"));
    QTemporaryDir dir;
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (!dir.isValid() || curl.isEmpty()) {
        std::fprintf(stderr, "bench_Download: needs curl and a temporary folder\n");
        return 1;
    }

    TWebFileInfo info;
    configureProgramWebFileInfo(info);
    const QString target = dir.filePath(QStringLiteral("ksv1300.exe"));

    std::vector<double> ours;
    std::vector<double> theirs;
    std::vector<qint64> growth;
    for (int round = 0; round < rounds; ++round) {
        QFile::remove(target);
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start(curl, {QStringLiteral("-s"), QStringLiteral("-o"), target, url});
        if (!process.waitForFinished(600000) || process.exitCode() != 0 ||
            QFileInfo(target).size() != bodySize) {
            std::fprintf(stderr, "curl failed: %s\n", process.readAllStandardError().constData());
            return 1;
        }
        theirs.push_back(timer.nsecsElapsed() / 1e9);
        QFile::remove(target);

        const bool peakReset = resetPeak();
        const qint64 before = statusBytes("VmRSS");
        timer.restart();
        if (!info.DownloadFile(url, target, QStringLiteral("Downloading Update")) ||
            QFileInfo(target).size() != bodySize) {
            std::fprintf(stderr, "DownloadFile failed: %s\n", qPrintable(info.LastError()));
            return 1;
        }
        ours.push_back(timer.nsecsElapsed() / 1e9);
        const qint64 peak = statusBytes("VmHWM");
        if (!peakReset || before <= 0 || peak <= 0) {
            std::fprintf(stderr, "bench_Download: no peak memory figures in /proc/self\n");
            return 1;
        }
        growth.push_back(peak - before);
    }
    QFile::remove(target);

    const double best = *std::min_element(ours.begin(), ours.end());
    const double bestCurl = *std::min_element(theirs.begin(), theirs.end());
    std::printf("Download of 1 GiB: %.0f MiB/s through DownloadFile, %.0f MiB/s with curl -o "
                "(best of %d); ratio %.2f   bar: >= 0.80\n",
                mibPerSecond(best), mibPerSecond(bestCurl), rounds, bestCurl / best);
    // The first download also builds the first window of the process and the network thread.
    const qint64 worst = *std::max_element(growth.begin(), growth.end());
    const qint64 later = *std::max_element(growth.begin() + 1, growth.end());
    std::printf("Download of 1 GiB: peak memory growth %.1f MiB (the largest of %d; %.1f MiB in "
                "the first download, which also sets up the first window and the network thread, "
                "%.1f MiB at most in the later ones; the loopback server's thread included)   "
                "bar: <= 16 MiB\n",
                worst / mib, rounds, growth.front() / mib, later / mib);
    return 0;
}

#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include <memory>
#include <vector>

// Two real copies of a small program that uses the guard, sharing a runtime folder of their own.
class tst_SingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init();
    void cleanup();

    void secondCopyHandsOver_data();
    void secondCopyHandsOver();
    void lockReleasedAtNormalEnd();
    void staleLockOfCrashedCopyIsTakenOver();
    void otherNamesDoNotMeet();
    void namesMakeSafeFileNames_data();
    void namesMakeSafeFileNames();

private:
    QProcess* start(const QString& title, const QStringList& options = {});
    static QString nextLine(QProcess& process);
    QStringList leftovers() const
    {
        return QDir(m_runtime->path()).entryList(QDir::Files | QDir::System | QDir::Hidden);
    }

    std::unique_ptr<QTemporaryDir> m_runtime;
    QString m_title;
    std::vector<std::unique_ptr<QProcess>> m_running;
};

void tst_SingleInstance::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    // The guard's files go to the runtime folder; this one is the test's own.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    // A title of its own for every run, so that runs side by side do not meet.
    m_title =
        QStringLiteral("Kestrava test, ") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void tst_SingleInstance::cleanup()
{
    for (const auto& process : m_running) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
    m_running.clear();
    m_runtime.reset();
}

QProcess* tst_SingleInstance::start(const QString& title, const QStringList& options)
{
    auto* process = m_running.emplace_back(std::make_unique<QProcess>()).get();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->start(QStringLiteral(KESTRAVA_SINGLE_INSTANCE_HELPER), QStringList{title} + options);
    return process;
}

QString tst_SingleInstance::nextLine(QProcess& process)
{
    const QDeadlineTimer deadline(30000);
    while (!process.canReadLine() && !deadline.hasExpired()) {
        if (!process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))) &&
            process.state() == QProcess::NotRunning)
            break;
    }
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

void tst_SingleInstance::secondCopyHandsOver_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("firstShown");

    QTest::newRow("shown window is raised") << QStringList() << "first minimized=0";
    QTest::newRow("minimised window is restored")
        << QStringList{QStringLiteral("--minimized")} << "first minimized=1";
}

void tst_SingleInstance::secondCopyHandsOver()
{
    QFETCH(QStringList, options);
    QFETCH(QString, firstShown);

    auto first = start(m_title, options);
    QCOMPARE(nextLine(*first), firstShown);

    auto second = start(m_title);
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    // The second copy ended right after handing over: it made no window.
    QCOMPARE(QString::fromLocal8Bit(second->readAllStandardOutput()), QStringLiteral("second\n"));

    QCOMPARE(nextLine(*first), QStringLiteral("raised minimized=0 visible=1"));
    QCOMPARE(first->state(), QProcess::Running);
}

void tst_SingleInstance::lockReleasedAtNormalEnd()
{
    auto first = start(m_title, {QStringLiteral("--quit-after-raise")});
    QCOMPARE(nextLine(*first), QStringLiteral("first minimized=0"));
    auto second = start(m_title);
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(nextLine(*first), QStringLiteral("raised minimized=0 visible=1"));
    QVERIFY(first->waitForFinished(30000));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->exitCode(), 0);
    // Lock and socket are gone with it.
    QCOMPARE(leftovers(), QStringList());

    auto third = start(m_title);
    QCOMPARE(nextLine(*third), QStringLiteral("first minimized=0"));
}

void tst_SingleInstance::staleLockOfCrashedCopyIsTakenOver()
{
    auto crashed = start(m_title);
    QCOMPARE(nextLine(*crashed), QStringLiteral("first minimized=0"));
    crashed->kill();
    QVERIFY(crashed->waitForFinished(30000));
    // What a crash leaves behind: the lock and the socket file.
    const QStringList left = leftovers();
    QVERIFY2(left.filter(QRegularExpression(QStringLiteral("\\.lock$"))).size() == 1,
             qPrintable(left.join(u' ')));
    QVERIFY2(left.filter(QRegularExpression(QStringLiteral("\\.sock$"))).size() == 1,
             qPrintable(left.join(u' ')));

    auto next = start(m_title);
    QCOMPARE(nextLine(*next), QStringLiteral("first minimized=0"));
    // It answers on the name, too.
    auto later = start(m_title);
    QVERIFY(later->waitForFinished(30000));
    QCOMPARE(QString::fromLocal8Bit(later->readAllStandardOutput()), QStringLiteral("second\n"));
    QCOMPARE(nextLine(*next), QStringLiteral("raised minimized=0 visible=1"));
}

void tst_SingleInstance::otherNamesDoNotMeet()
{
    auto first = start(m_title);
    QCOMPARE(nextLine(*first), QStringLiteral("first minimized=0"));
    // The same title with another version number is another program.
    auto other = start(m_title + QStringLiteral(" 2"));
    QCOMPARE(nextLine(*other), QStringLiteral("first minimized=0"));
}

void tst_SingleInstance::namesMakeSafeFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("twin"); // differs only in characters that are not safe

    QTest::newRow("application title") << "Kestrava, 1.2.00"
                                       << "Kestrava; 1.2.00";
    QTest::newRow("slashes and blanks") << "a/b c"
                                        << "a\\b_c";
    QTest::newRow("beyond ASCII") << QStringLiteral("Kestrava \u00fc") << "Kestrava _";
}

void tst_SingleInstance::namesMakeSafeFileNames()
{
    QFETCH(QString, name);
    QFETCH(QString, twin);

    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9._-]+$"));
    const QString lock = QFileInfo(SingleInstance::lockFileName(name)).fileName();
    QVERIFY2(safe.match(lock).hasMatch(), qPrintable(lock));
    QVERIFY(lock.endsWith(QStringLiteral(".lock")));
    QCOMPARE(SingleInstance::lockFileName(name), SingleInstance::lockFileName(name));
    QVERIFY(SingleInstance::lockFileName(name) != SingleInstance::lockFileName(twin));
    QVERIFY(SingleInstance::serverName(name) != SingleInstance::serverName(twin));
}

QTEST_GUILESS_MAIN(tst_SingleInstance)

#include "tst_SingleInstance.moc"

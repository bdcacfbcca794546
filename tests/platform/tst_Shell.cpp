#include "platform/Application.h"
#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Takes the addresses that QDesktopServices would hand to the desktop, so that no browser,
// mail program or viewer starts.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void record(const QUrl& url) { urls.append(url); }
    QList<QUrl> urls;
};

bool writeFile(const QString& path, const QByteArray& content, bool executable)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    file.close();
    if (executable)
        return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    return true;
}

} // namespace

class tst_Shell : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addresses_data();
    void addresses();
    void localFiles();
    void desktopOpensAddressesAndDocuments();
    void programStartsWithItsArguments();
    void programThatCannotStartFails();

private:
    UrlRecorder m_recorder;
};

void tst_Shell::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const char* scheme : {"http", "https", "mailto", "file", "ftp"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_recorder, "record");
    m_recorder.urls.clear();
}

void tst_Shell::cleanup()
{
    for (const char* scheme : {"http", "https", "mailto", "file", "ftp"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

void tst_Shell::addresses_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("isAddress");
    QTest::addColumn<QString>("url");

    QTest::newRow("bare host and page get http")
        << "www.quorvane.com/index.htm?ref=ksv1200Free" << true
        << "http://www.quorvane.com/index.htm?ref=ksv1200Free";
    QTest::newRow("page tag runs on in the query")
        << "http://www.quorvane.com/amortizer.htm?ref=ksv1200FreeAboutAmortizer" << true
        << "http://www.quorvane.com/amortizer.htm?ref=ksv1200FreeAboutAmortizer";
    QTest::newRow("https kept") << "https://example.org/a?b=c" << true
                                << "https://example.org/a?b=c";
    QTest::newRow("mailto kept") << "mailto:ksv1200Free.Suggest@quorvane.com" << true
                                 << "mailto:ksv1200Free.Suggest@quorvane.com";
    QTest::newRow("bare mail address gets mailto")
        << "ksv1200Free.Support@quorvane.com" << true << "mailto:ksv1200Free.Support@quorvane.com";
    QTest::newRow("at sign in a path stays a web address")
        << "www.example.org/people/@someone" << true << "http://www.example.org/people/@someone";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("blanks only") << "   " << false << "";
}

void tst_Shell::addresses()
{
    QFETCH(QString, target);
    QFETCH(bool, isAddress);
    QFETCH(QString, url);
    const Shell::Target t = Shell::resolve(target);
    QCOMPARE(t.kind, isAddress ? Shell::TargetKind::Address : Shell::TargetKind::None);
    QCOMPARE(t.url.toString(QUrl::FullyEncoded), url);
    QCOMPARE(Shell::openOnDesktop(target, QString()), isAddress);
    QCOMPARE(m_recorder.urls.size(), isAddress ? 1 : 0);
    if (isAddress)
        QCOMPARE(m_recorder.urls.first().toString(QUrl::FullyEncoded), url);
}

void tst_Shell::localFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString text = dir.filePath(QStringLiteral("readme.txt"));
    const QString program = dir.filePath(QStringLiteral("setup.sh"));
    QVERIFY(writeFile(text, "read me\n", false));
    QVERIFY(writeFile(program, "#!/bin/sh\n", true));

    Shell::Target t = Shell::resolve(text, QStringLiteral("/ignored"));
    QCOMPARE(t.kind, Shell::TargetKind::Document);
    QCOMPARE(t.url, QUrl::fromLocalFile(text));

    t = Shell::resolve(dir.path());
    QCOMPARE(t.kind, Shell::TargetKind::Document);

    t = Shell::resolve(program, QStringLiteral("/S \"C:\\Program Files\\Kestrava\""));
    QCOMPARE(t.kind, Shell::TargetKind::Program);
    QCOMPARE(t.program, program);
    QCOMPARE(t.arguments, QStringList({"/S", "C:\\Program Files\\Kestrava"}));
}

void tst_Shell::desktopOpensAddressesAndDocuments()
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("readme.txt"));
    QVERIFY(writeFile(text, "read me\n", false));
    QVERIFY(Shell::openOnDesktop(QStringLiteral("www.quorvane.com/kestrava.htm?ref=ksv1200Free"),
                                 QString()));
    QVERIFY(Shell::openOnDesktop(text, QString()));
    QCOMPARE(
        m_recorder.urls,
        QList<QUrl>({QUrl(QStringLiteral("http://www.quorvane.com/kestrava.htm?ref=ksv1200Free")),
                     QUrl::fromLocalFile(text)}));
}

void tst_Shell::programStartsWithItsArguments()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("update.sh"));
    const QString out = dir.filePath(QStringLiteral("ran.txt"));
    // Writes its arguments one a line, then renames the file so that it shows up complete.
    QVERIFY(writeFile(
        program,
        QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.part'\nmv '%1.part' '%1'\n")
            .arg(out)
            .toLocal8Bit(),
        true));
    QVERIFY(Shell::open(program, QStringLiteral("/silent \"two words\"")));
    QTRY_VERIFY(QFile::exists(out));
    QFile result(out);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll(), QByteArray("/silent\ntwo words\n"));
    QVERIFY(m_recorder.urls.isEmpty());
}

void tst_Shell::programThatCannotStartFails()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("broken.exe"));
    QVERIFY(writeFile(program,
                      QByteArray("\x7f"
                                 "ELF garbage",
                                 12),
                      true));
    QVERIFY(!Shell::open(program));
    QVERIFY(m_recorder.urls.isEmpty());
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_Shell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Shell.moc"

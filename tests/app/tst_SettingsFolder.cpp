// Where the settings file lives: beside a portable copy, in the user's configuration folder for
// an installed one.
#include "RecordingHelp.h"
#include "ScriptedDialogs.h"
#include "app/InstallLayout.h"
#include "app/Main.h"
#include "app/SettingsFile.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool makeFile(const QString& path, const QByteArray& bytes = QByteArray())
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The desktop entry as an install puts it down, seen from the folder of the executable.
QString desktopEntryBeside(const QString& binFolder)
{
    return QDir::cleanPath(binFolder + QLatin1Char('/') +
                           QLatin1String(InstallLayout::desktopEntryFromBin));
}

QString configFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

} // namespace

class tst_SettingsFolder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void installedCopy_data();
    void installedCopy();
    void folderFollowsCopy_data();
    void folderFollowsCopy();
    void unwritableFolderUsesConfigFolder();
    void installedWindowKeepsSettingsInConfigFolder();

private:
    std::unique_ptr<QTemporaryDir> m_root;
};

void tst_SettingsFolder::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    // Every lookup of the configuration folder lands in this test's own folder.
    qputenv("XDG_CONFIG_HOME", QDir(m_root->path()).filePath(QStringLiteral("config")).toUtf8());
}

void tst_SettingsFolder::installedCopy_data()
{
    QTest::addColumn<QString>("appDir");        // the executable's folder, made in the root
    QTest::addColumn<QString>("configuredBin"); // the configured install bin folder
    QTest::addColumn<QString>("entry");         // "file", "folder" or "none" at the entry's place
    QTest::addColumn<bool>("installed");

    const auto row = [](const char* name, const char* appDir, const char* bin, const char* entry,
                        bool installed) {
        QTest::newRow(name) << QString::fromLatin1(appDir) << QString::fromLatin1(bin)
                            << QString::fromLatin1(entry) << installed;
    };
    row("build tree", "build/src", "prefix/bin", "none", false);
    row("unpacked copy in a folder named bin", "portable/bin", "prefix/bin", "none", false);
    row("configured prefix's bin folder", "prefix/bin", "prefix/bin", "none", true);
    row("configured bin folder reached through a link", "link-to-bin", "prefix/bin", "none", true);
    row("package under another prefix", "usr/bin", "prefix/bin", "file", true);
    row("folder where the desktop entry would be", "usr/bin", "prefix/bin", "folder", false);
    row("no configured bin folder", "build/src", "", "none", false);
    row("executable's folder missing", "gone/bin", "prefix/bin", "none", false);
}

void tst_SettingsFolder::installedCopy()
{
    QFETCH(QString, appDir);
    QFETCH(QString, configuredBin);
    QFETCH(QString, entry);
    QFETCH(bool, installed);

    const QDir root(m_root->path());
    QVERIFY(root.mkpath(QStringLiteral("prefix/bin")));
    QVERIFY(QFile::link(root.filePath(QStringLiteral("prefix/bin")),
                        root.filePath(QStringLiteral("link-to-bin"))));
    const QString dir = root.filePath(appDir);
    if (!appDir.startsWith(QLatin1String("gone")) && !appDir.startsWith(QLatin1String("link")))
        QVERIFY(root.mkpath(appDir));
    if (entry == QLatin1String("file"))
        QVERIFY(makeFile(desktopEntryBeside(dir), "[Desktop Entry]\n"));
    else if (entry == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(desktopEntryBeside(dir)));

    const QString bin = configuredBin.isEmpty() ? QString() : root.filePath(configuredBin);
    QCOMPARE(SettingsFile::isInstalledCopy(dir, bin), installed);
    QCOMPARE(SettingsFile::isInstalledCopy(dir + QLatin1Char('/'), bin), installed);
}

void tst_SettingsFolder::folderFollowsCopy_data()
{
    QTest::addColumn<bool>("withEntry");
    QTest::addColumn<bool>("besideExecutable");

    QTest::newRow("portable copy keeps its settings beside itself") << false << true;
    QTest::newRow("installed copy keeps them in the configuration folder") << true << false;
}

void tst_SettingsFolder::folderFollowsCopy()
{
    QFETCH(bool, withEntry);
    QFETCH(bool, besideExecutable);

    const QString bin = QDir(m_root->path()).filePath(QStringLiteral("usr/bin")) + QLatin1Char('/');
    QVERIFY(QDir().mkpath(bin));
    if (withEntry)
        QVERIFY(makeFile(desktopEntryBeside(bin)));
    QVERIFY(!QFileInfo::exists(configFolder()));

    const QString folder = SettingsFile::folder(bin);
    if (besideExecutable) {
        QCOMPARE(folder, bin);
        QVERIFY(!QFileInfo::exists(configFolder()));
    } else {
        QCOMPARE(folder, configFolder() + QLatin1Char('/'));
        // Made on first use, so that the first save finds it.
        QVERIFY(QFileInfo(configFolder()).isDir());
        QVERIFY(configFolder().startsWith(m_root->path()));
    }
}

void tst_SettingsFolder::unwritableFolderUsesConfigFolder()
{
    const QString bin =
        QDir(m_root->path()).filePath(QStringLiteral("readonly")) + QLatin1Char('/');
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner));
    const bool writable = QFileInfo(bin).isWritable();
    const QString folder = SettingsFile::folder(bin);
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (writable)
        QSKIP("every folder is writable for this user (root)");
    QCOMPARE(folder, configFolder() + QLatin1Char('/'));
}

void tst_SettingsFolder::installedWindowKeepsSettingsInConfigFolder()
{
    // An installed copy, as a package lays it out: the executable's folder holds no settings.
    const QString bin = QDir(m_root->path()).filePath(QStringLiteral("usr/bin")) + QLatin1Char('/');
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(makeFile(desktopEntryBeside(bin)));
    QVERIFY(QDir().mkpath(configFolder()));
    QVERIFY(makeFile(QDir(configFolder()).filePath(QStringLiteral("Kestrava.Ini")),
                     "[LastValues]\nLoan=2500\n[GeneralValues]\nRun=1\n"));

    ScriptedDialogs dialogs;
    RecordingHelp help;
    auto window = std::make_unique<TfrmMain>(bin);
    QCOMPARE(window->lastValues(1).loan, 2500.0);
    QVERIFY2(help.commands.isEmpty(), "the first-run help opens only when Run is missing");
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(window->close());
    window.reset();

    QCOMPARE(QDir(bin).entryList(QDir::Files | QDir::Hidden), QStringList());
    const ProfileFile saved(configFolder(), QStringLiteral("kestrava.ini"));
    QCOMPARE(saved.readString(QStringLiteral("LastValues"), QStringLiteral("Loan")),
             QStringLiteral("2500"));
    QCOMPARE(saved.readString(QStringLiteral("GeneralValues"), QStringLiteral("Run")),
             QStringLiteral("1"));
    QVERIFY(dialogs.messages().isEmpty());
}

int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    app.setOrganizationName(QStringLiteral("Quorvane"));
    app.setApplicationName(QStringLiteral("Kestrava"));
    tst_SettingsFolder test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_SettingsFolder.moc"

#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TestHttpServer.h"
#include "platform/Application.h"
#include "platform/NumberFormat.h"
#include "update/ReadMeForm.h"
#include "update/WaitForm.h"
#include "update/WebDlProgress.h"
#include "update/WebFileInfo.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>

Q_DECLARE_METATYPE(TestResponse)

namespace {

using Tags = QList<std::pair<QByteArray, QByteArray>>;

const QString title = QStringLiteral("Kestrava, 1.2.00");

// The update file the server hands out.
QByteArray updateBody()
{
    QByteArray body = "MZ";
    for (int i = 0; body.size() < 70000; ++i)
        body += "Kestrava 1.3.00 update, block " + QByteArray::number(i) + "\n";
    return body;
}

QByteArray sha256Of(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

// A release page; "$SRV" stands for the test server's address.
QByteArray releasePage(const Tags& extra = {}, const QByteArray& version = "1.3.00")
{
    Tags tags{{"name", "Kestrava"},
              {"version", version},
              {"date", "May 3, 2004"},
              {"url", "$SRV/files/ksv1300.exe"},
              {"runparams", "/S"}};
    tags += extra;
    return TestHttpServer::versionPage(tags);
}

const Tags textReadMe{{"readme", "$SRV/readme.txt"}};
const Tags bothReadMes{{"readme", "$SRV/readme.txt"}, {"", "$SRV/notes/readme.html"}};
const QByteArray readMeText = "Kestrava 1.3.00\r\n\r\nNew: a third loan panel.\rFixed: rounding.\n";
const QString readMeShown =
    QStringLiteral("Kestrava 1.3.00\n\nNew: a third loan panel.\nFixed: rounding.");

QString iconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QStringLiteral("no icon");
    case MessageIcon::Information:
        return QStringLiteral("information");
    case MessageIcon::Exclamation:
        return QStringLiteral("exclamation");
    case MessageIcon::Error:
        return QStringLiteral("error");
    case MessageIcon::Question:
        return QStringLiteral("question");
    }
    return {};
}

// A message box as "caption | text | icon | buttons".
QString describe(const MessageRequest& box)
{
    QString buttons;
    if (box.buttons == (MessageButton::Yes | MessageButton::No))
        buttons = QStringLiteral("Yes/No");
    else if (box.buttons == MessageButtons(MessageButton::Ok))
        buttons = QStringLiteral("OK");
    else
        buttons = QString::number(box.buttons.toInt());
    return QStringList{box.caption, box.text, iconName(box.icon), buttons}.join(" | ");
}

QString box(const QString& caption, const QString& text, const QString& icon,
            const QString& buttons)
{
    return QStringList{caption, text, icon, buttons}.join(" | ");
}

const QString versionLines =
    QStringLiteral("Current version is 1.2.00.\rVersion 1.3.00 is available.\r");
const QString readMeQuestion =
    box("Update Available", versionLines + "Would you like to view the ReadMe file?", "question",
        "Yes/No");
const QString downloadQuestion =
    box("Update Available", versionLines + "Download the update?", "question", "Yes/No");
const QString installQuestion =
    box("Install Update", "Do you want to install the update now?", "question", "Yes/No");
const QString installAndCloseQuestion = box(
    "Install Update", "Do you want to install the update now?\rThis will close Kestrava, 1.2.00.",
    "question", "Yes/No");
const QString cannotStart = box("Error", "Can not start program.", "exclamation", "OK");
const QString noUpdate =
    box("No Update Found", "There is no update available.", "information", "OK");

QString downloadError(const QString& reason)
{
    return box("Download Error",
               "Error occurred while downloading update.\rError: \"" + reason + ".\"",
               "exclamation", "OK");
}

QString connectionError(const QString& reason)
{
    return box("Connection Error",
               "Could not retrieve version information from the Internet.\rError: \"" + reason +
                   ".\"",
               "exclamation", "OK");
}

// Stands in for the main window's error handler.
class RecordingHandler : public ExceptionHandler
{
public:
    void handleException(QObject*, const Exception& error) override
    {
        messages.append(error.message());
    }
    QStringList messages;
};

// Watches the component's windows as they are shown: closes each read-me window with its Ok
// button and records what the windows showed.
class WindowWatcher : public QObject
{
public:
    WindowWatcher() { qApp->installEventFilter(this); }
    ~WindowWatcher() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        if (auto* progress = qobject_cast<TWebDlProgress*>(object)) {
            windows.append(progress);
            progressShown.append(progress);
            progressTitles.append(progress->lblDownloading->text());
            // Data may arrive before anything posted now runs.
            progressAtShow.append(QStringLiteral("\"%1\" %2")
                                      .arg(progress->lblProgress->text())
                                      .arg(progress->pbarProgress->value()));
            connect(progress, &QDialog::finished, this,
                    [this](int result) { progressResults.append(result); });
            if (onProgressShown)
                QTimer::singleShot(0, progress, [this, progress] { onProgressShown(progress); });
        } else if (auto* readMe = qobject_cast<ReadMeForm*>(object)) {
            windows.append(readMe);
            readMeTexts.append(readMe->memo()->toPlainText());
            QTimer::singleShot(0, readMe, [this, readMe] {
                if (onReadMeShown)
                    onReadMeShown(readMe);
                QTest::mouseClick(readMe->okButton(), Qt::LeftButton);
                readMeResults.append(readMe->result());
            });
        } else if (auto* wait = qobject_cast<WaitForm*>(object)) {
            windows.append(wait);
            waitTexts.append(wait->label()->text());
        }
        return false;
    }

    // The progress dialog on show now.
    TWebDlProgress* progress() const
    {
        return progressShown.isEmpty() ? nullptr : progressShown.last().data();
    }

    // True when every window shown is gone.
    bool allGone() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const QPointer<QDialog>& window : windows) {
            if (window)
                return false;
        }
        return true;
    }

    QList<QPointer<QDialog>> windows;
    QList<QPointer<TWebDlProgress>> progressShown;
    QStringList progressTitles;
    QStringList progressAtShow; // text and bar
    QList<int> progressResults;
    QStringList readMeTexts;
    QList<int> readMeResults;
    QStringList waitTexts;
    std::function<void(TWebDlProgress*)> onProgressShown;
    std::function<void(ReadMeForm*)> onReadMeShown;
};

// One pass through the update flow and what it should do.
struct FlowCase
{
    QByteArray page = releasePage();
    TestResponse download = TestResponse::page(updateBody());
    TestResponse readMeExt = TestResponse::page("<html>Kestrava 1.3.00 notes</html>");
    QByteArray readMeExtTarget = "/notes/readme.html"; // as the server sees it
    TestResponse readMe = TestResponse::page(readMeText);
    quint8 options = 30; // the default set
    QList<MessageButton> answers;
    QString saveAs;         // in the save folder; empty: the Save dialog is cancelled
    bool saveAsked = false; // the Save dialog is shown (always when saveAs is given)
    int filter = 1;
    bool shellOpens = true;
    bool existing = false; // a file of the chosen name is there before
    int idleTimeout = 10000;

    bool result = false;
    QStringList boxes;  // "$PORT" stands for the server's port
    QStringList opened; // "target | params"; "$DIR" the save folder, "$TMP" the temporary one
    QStringList readMes;
    bool saved = false;      // the update file is under the chosen name afterwards
    bool terminated = false; // the application was asked to end
};

// The outcome of a call made inside a modal loop, as the update dialog makes it.
struct LoopOutcome
{
    bool result = false;
    bool loopEnded = false; // something else than the call's return ended the loop
};

LoopOutcome runInModalLoop(const std::function<bool()>& call)
{
    QDialog outer;
    LoopOutcome outcome;
    QTimer::singleShot(0, &outer, [&] {
        Application::guard(&outer, [&] { outcome.result = call(); });
        QTimer::singleShot(0, &outer, [&] { outer.done(42); });
    });
    outcome.loopEnded = outer.exec() != 42;
    return outcome;
}

// Ending every loop leaves the thread unable to run another until a main loop has run; the
// program itself ends at that point, the test goes on.
void resumeAfterTerminate()
{
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

} // namespace

Q_DECLARE_METATYPE(FlowCase)

class tst_UpdateFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void flow_data();
    void flow();
    void extensionRule_data();
    void extensionRule();
    void saveDialogRequest();
    void cancelDownload_data();
    void cancelDownload();
    void clientErrorDuringDownload();
    void targetCannotBeCreated_data();
    void targetCannotBeCreated();
    void secondExecuteMakesNoPageRequest();
    void downloadUpdateIntoFolder();
    void downloadLiftsThePageLimits();
    void progress_data();
    void progress();
    void progressDialog();
    void readMeWindow();

private:
    std::unique_ptr<TWebFileInfo> makeInfo();
    QString expand(QString text) const;
    QStringList expand(const QStringList& texts) const;
    QStringList boxes() const;
    QStringList opened() const;
    QStringList partFiles() const;
    int requestsFor(const QByteArray& path) const;

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<RecordingShell> m_shell;
    std::unique_ptr<WindowWatcher> m_watcher;
    std::unique_ptr<QTemporaryDir> m_dir; // where the user saves
    std::unique_ptr<QTemporaryDir> m_tmp; // the system's folder for temporary files
    QByteArray m_oldTmpDir;
    RecordingHandler m_main;
};

void tst_UpdateFlow::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_oldTmpDir = qgetenv("TMPDIR");
}

void tst_UpdateFlow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid() && m_tmp->isValid());
    qputenv("TMPDIR", QFile::encodeName(m_tmp->path()));
    m_server = std::make_unique<TestHttpServer>();
    m_server->setResponse("/kestrava.htm", TestResponse::page(expand(releasePage()).toLatin1()));
    m_server->setResponse("/files/ksv1300.exe", TestResponse::page(updateBody()));
    m_server->setResponse("/readme.txt", TestResponse::page(readMeText));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_shell = std::make_unique<RecordingShell>();
    m_watcher = std::make_unique<WindowWatcher>();
    m_main.messages.clear();
    Application::instance()->setExceptionHandler(&m_main);
}

void tst_UpdateFlow::cleanup()
{
    Application::instance()->setExceptionHandler(nullptr);
    m_watcher.reset();
    m_shell.reset();
    m_dialogs.reset();
    m_server.reset();
    qputenv("TMPDIR", m_oldTmpDir);
    m_tmp.reset();
    m_dir.reset();
}

std::unique_ptr<TWebFileInfo> tst_UpdateFlow::makeInfo()
{
    auto info = std::make_unique<TWebFileInfo>();
    configureProgramWebFileInfo(*info);
    info->setHomeURL(m_server->url("/kestrava.htm?ref=ksv1200upd"));
    info->setRequestTimeouts(10000, 20000);
    return info;
}

QString tst_UpdateFlow::expand(QString text) const
{
    return text.replace("$SRV", m_server->url(QString()))
        .replace("$PORT", QString::number(m_server->port()))
        .replace("$DIR", m_dir->path())
        .replace("$TMP", m_tmp->path());
}

QStringList tst_UpdateFlow::expand(const QStringList& texts) const
{
    QStringList out;
    for (const QString& text : texts)
        out << expand(text);
    return out;
}

QStringList tst_UpdateFlow::boxes() const
{
    QStringList out;
    for (const MessageRequest& request : m_dialogs->messages())
        out << describe(request);
    return out;
}

QStringList tst_UpdateFlow::opened() const
{
    QStringList out;
    for (qsizetype i = 0; i < m_shell->opened.size(); ++i)
        out << m_shell->opened.at(i) + " | " + m_shell->params.at(i);
    return out;
}

// Partial downloads left in either folder.
QStringList tst_UpdateFlow::partFiles() const
{
    QStringList out;
    for (const QTemporaryDir* dir : {m_dir.get(), m_tmp.get()}) {
        QDirIterator it(dir->path(), {"*.part"}, QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            out << it.next();
    }
    return out;
}

int tst_UpdateFlow::requestsFor(const QByteArray& path) const
{
    int count = 0;
    for (const TestRequest& request : m_server->requests())
        count += request.target.startsWith(path) ? 1 : 0;
    return count;
}

void tst_UpdateFlow::flow_data()
{
    QTest::addColumn<FlowCase>("c");
    using B = MessageButton;
    const QString cut = QStringLiteral("The connection to 127.0.0.1:$PORT closed after %1 of "
                                       "%2 bytes")
                            .arg(updateBody().size() / 2)
                            .arg(updateBody().size());
    const QString update = QStringLiteral("$DIR/ksv1300.exe | /S");

    {
        FlowCase c;
        c.page = releasePage({}, "1.2.00");
        c.boxes = {noUpdate};
        QTest::newRow("no update") << c;
    }
    {
        FlowCase c;
        c.page = releasePage(textReadMe, "1.2.00.1");
        c.boxes = {noUpdate};
        QTest::newRow("a fourth part is no update") << c;
    }
    {
        FlowCase c;
        c.page.clear(); // the page itself answers 404
        c.boxes = {box(title, "404", "no icon", "OK"), connectionError("Not Found")};
        QTest::newRow("version page not found") << c;
    }
    {
        FlowCase c;
        c.page = releasePage(textReadMe);
        c.answers = {B::No, B::No};
        c.boxes = {readMeQuestion, downloadQuestion};
        QTest::newRow("read-me question No") << c;
    }
    {
        FlowCase c;
        c.page = releasePage(textReadMe);
        c.answers = {B::Yes, B::No};
        c.boxes = {readMeQuestion, downloadQuestion};
        c.readMes = {readMeShown};
        QTest::newRow("read-me question Yes") << c;
    }
    {
        FlowCase c;
        c.page = releasePage(textReadMe);
        c.readMe = TestResponse::error(404, "Not Found");
        c.answers = {B::Yes, B::No};
        c.boxes = {readMeQuestion, downloadQuestion};
        QTest::newRow("read-me text not found is skipped") << c;
    }
    {
        FlowCase c;
        c.page = releasePage(textReadMe);
        c.options = 30 & ~(1 << wfioDisplayReadMe);
        c.answers = {B::No};
        c.boxes = {downloadQuestion};
        QTest::newRow("read-me option off") << c;
    }
    {
        FlowCase c;
        c.answers = {B::No};
        c.boxes = {downloadQuestion};
        QTest::newRow("no read-me address") << c;
    }
    {
        FlowCase c;
        c.page = releasePage(bothReadMes);
        c.answers = {B::Yes, B::No};
        c.boxes = {readMeQuestion, downloadQuestion};
        c.opened = {"$TMP/readme.html | "};
        QTest::newRow("both read-mes: the external one opens") << c;
    }
    {
        FlowCase c;
        c.page = releasePage(bothReadMes);
        c.readMeExt = TestResponse::error(404, "Not Found");
        c.answers = {B::Yes, B::Ok, B::No};
        c.boxes = {readMeQuestion, cannotStart, downloadQuestion};
        c.readMes = {readMeShown};
        QTest::newRow("both read-mes: external not found, text shown") << c;
    }
    {
        FlowCase c;
        c.page = releasePage(bothReadMes);
        c.shellOpens = false;
        c.answers = {B::Yes, B::Ok, B::No};
        c.boxes = {readMeQuestion, cannotStart, downloadQuestion};
        c.opened = {"$TMP/readme.html | "};
        c.readMes = {readMeShown};
        QTest::newRow("both read-mes: external does not open, text shown") << c;
    }
    {
        FlowCase c;
        c.page = releasePage({{"", "$SRV/notes/readme.html"}});
        c.readMeExt = TestResponse::error(404, "Not Found");
        c.answers = {B::Yes, B::Ok, B::No};
        c.boxes = {readMeQuestion, cannotStart, downloadQuestion};
        QTest::newRow("external read-me only, not found") << c;
    }
    for (const char* address : {"$SRV/notes/..", "$SRV/notes/.", "$SRV/notes/"}) {
        FlowCase c;
        c.page = releasePage({{"", address}});
        c.answers = {B::Yes, B::Ok, B::No};
        c.boxes = {readMeQuestion, cannotStart, downloadQuestion};
        QTest::addRow("external read-me named \"%s\"", address) << c;
    }
    {
        FlowCase c;
        c.page = releasePage({{"", "$SRV/notes/..\\..\\readme.html"}});
        c.readMeExtTarget = "/notes/..%5C..%5Creadme.html";
        c.answers = {B::Yes, B::No};
        c.boxes = {readMeQuestion, downloadQuestion};
        c.opened = {"$TMP/readme.html | "};
        QTest::newRow("external read-me name stays in the temporary folder") << c;
    }
    {
        FlowCase c;
        c.answers = {B::No};
        c.boxes = {downloadQuestion};
        QTest::newRow("download question No") << c;
    }
    {
        FlowCase c;
        c.answers = {B::Yes};
        c.saveAsked = true;
        c.boxes = {downloadQuestion};
        QTest::newRow("Save cancelled") << c;
    }
    {
        FlowCase c;
        c.options = 30 & ~(1 << wfioRunUpdate);
        c.answers = {B::Yes};
        c.saveAs = "ksv1300.exe";
        c.boxes = {downloadQuestion};
        c.result = c.saved = true;
        QTest::newRow("download without run") << c;
    }
    {
        FlowCase c;
        c.options = 30 & ~(1 << wfioRunUpdate);
        c.answers = {B::Yes};
        c.saveAs = "ksv1300.exe";
        c.existing = true;
        c.boxes = {downloadQuestion};
        c.result = c.saved = true;
        QTest::newRow("download replaces an existing file") << c;
    }
    {
        FlowCase c;
        c.download = TestResponse::error(404, "Not Found");
        c.answers = {B::Yes};
        c.saveAs = "ksv1300.exe";
        c.existing = true;
        c.boxes = {downloadQuestion, downloadError("Not Found")};
        QTest::newRow("update not found") << c;
    }
    {
        FlowCase c;
        c.download.mode = TestResponse::Mode::DropMidBody;
        c.answers = {B::Yes};
        c.saveAs = "ksv1300.exe";
        c.existing = true;
        c.boxes = {downloadQuestion, downloadError(cut)};
        QTest::newRow("connection lost during the download") << c;
    }
    {
        FlowCase c;
        c.download.mode = TestResponse::Mode::Stall;
        c.idleTimeout = 300;
        c.answers = {B::Yes};
        c.saveAs = "ksv1300.exe";
        c.boxes = {downloadQuestion,
                   downloadError("Timed out: nothing received from 127.0.0.1:$PORT for 300 ms")};
        QTest::newRow("silence ends the download") << c;
    }
    {
        FlowCase c;
        c.answers = {B::Yes, B::No};
        c.saveAs = "ksv1300.exe";
        c.boxes = {downloadQuestion, installAndCloseQuestion};
        c.result = c.saved = true;
        QTest::newRow("install No") << c;
    }
    {
        FlowCase c;
        c.options = 30 & ~(1 << wfioExitDuringUpdate);
        c.answers = {B::Yes, B::Yes};
        c.saveAs = "ksv1300.exe";
        c.boxes = {downloadQuestion, installQuestion};
        c.opened = {update};
        c.result = c.saved = true;
        QTest::newRow("install Yes, application stays") << c;
    }
    {
        FlowCase c;
        c.answers = {B::Yes, B::Yes};
        c.saveAs = "ksv1300.exe";
        c.boxes = {downloadQuestion, installAndCloseQuestion};
        c.opened = {update};
        c.result = c.saved = c.terminated = true;
        QTest::newRow("install Yes, application ends") << c;
    }
    {
        FlowCase c;
        c.shellOpens = false;
        c.answers = {B::Yes, B::Yes};
        c.saveAs = "ksv1300.exe";
        c.boxes = {downloadQuestion, installAndCloseQuestion, cannotStart};
        c.opened = {update};
        c.result = c.saved = true;
        QTest::newRow("update does not start") << c;
    }
    {
        FlowCase c;
        c.page = releasePage({{"sha256", sha256Of(updateBody())}});
        c.options = 30 & ~(1 << wfioRunUpdate);
        c.answers = {B::Yes};
        c.saveAs = "ksv1300.exe";
        c.boxes = {downloadQuestion};
        c.result = c.saved = true;
        QTest::newRow("checksum matches") << c;
    }
    {
        FlowCase c;
        c.page = releasePage({{"sha256", sha256Of(updateBody()).toUpper()}});
        c.options = 30 & ~(1 << wfioRunUpdate);
        c.answers = {B::Yes};
        c.saveAs = "ksv1300.exe";
        c.boxes = {downloadQuestion};
        c.result = c.saved = true;
        QTest::newRow("checksum in capitals matches") << c;
    }
    {
        const QByteArray other = sha256Of("another file");
        FlowCase c;
        c.page = releasePage({{"sha256", other}});
        c.answers = {B::Yes};
        c.saveAs = "ksv1300.exe";
        c.existing = true;
        c.boxes = {downloadQuestion,
                   downloadError("The checksum of the downloaded file did not match: its SHA-256 "
                                 "is " +
                                 sha256Of(updateBody()) + ", the version page gives " + other)};
        QTest::newRow("checksum does not match") << c;
    }
    {
        FlowCase c;
        c.page = releasePage({{"sha256", "1234abcd"}});
        c.answers = {B::Yes};
        c.saveAs = "ksv1300.exe";
        c.boxes = {downloadQuestion,
                   downloadError("The version page gives no valid SHA-256 checksum for the "
                                 "update: \"1234abcd\"")};
        QTest::newRow("checksum not 64 hex digits") << c;
    }
}

void tst_UpdateFlow::flow()
{
    QFETCH(FlowCase, c);
    if (!c.page.isEmpty())
        m_server->setResponse("/kestrava.htm", TestResponse::page(expand(c.page).toLatin1()));
    else
        m_server->setResponse("/kestrava.htm", TestResponse::error(404, "Not Found"));
    m_server->setResponse("/files/ksv1300.exe", c.download);
    m_server->setResponse(c.readMeExtTarget, c.readMeExt);
    m_server->setResponse("/readme.txt", c.readMe);
    for (MessageButton answer : c.answers)
        m_dialogs->answerMessage(answer);
    const QString target = c.saveAs.isEmpty() ? QString() : m_dir->filePath(c.saveAs);
    if (!target.isEmpty())
        m_dialogs->answerSave({true, target, c.filter});
    m_shell->succeed = c.shellOpens;
    if (c.existing) {
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("the version before");
    }
    const auto info = makeInfo();
    info->setOptions(TWfiOptions::fromByte(c.options));
    info->setRequestTimeouts(c.idleTimeout, 20000);

    const LoopOutcome outcome = runInModalLoop([&] { return info->Execute(); });
    if (outcome.loopEnded)
        resumeAfterTerminate();

    QCOMPARE(outcome.result, c.result);
    QCOMPARE(boxes(), expand(c.boxes));
    QCOMPARE(m_dialogs->saves().size(), c.saveAsked || !c.saveAs.isEmpty() ? 1 : 0);
    QCOMPARE(opened(), expand(c.opened));
    for (const QString& file : std::as_const(m_shell->opened))
        QVERIFY2(QFileInfo(file).isFile(), qPrintable(file)); // downloaded before it was opened
    QCOMPARE(m_watcher->readMeTexts, c.readMes);
    QCOMPARE(outcome.loopEnded, c.terminated);
    if (c.terminated)
        QVERIFY(Application::instance()->isTerminated());
    QCOMPARE(m_main.messages, QStringList());

    if (!target.isEmpty()) {
        QFile file(target);
        if (c.saved) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), updateBody());
            QCOMPARE(info->downloadPath(), target);
        } else if (c.existing) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("the version before"));
        } else {
            QVERIFY(!file.exists());
        }
    }
    QCOMPARE(partFiles(), QStringList());
    QVERIFY(m_watcher->allGone());
    QVERIFY(!info->httpClient() || !info->httpClient()->busy());
}

void tst_UpdateFlow::extensionRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("saved");

    QTest::newRow("setup, Application") << "setup" << 1 << "setup.EXE";
    QTest::newRow("setup, Zipped File") << "setup" << 2 << "setup.ZIP";
    QTest::newRow("setup, All Files") << "setup" << 3 << "setup";
    QTest::newRow("setup.exe, Application") << "setup.exe" << 1 << "setup.exe";
    QTest::newRow("setup.exe, Zipped File") << "setup.exe" << 2 << "setup.exe";
    QTest::newRow("setup.exe, All Files") << "setup.exe" << 3 << "setup.exe";
    QTest::newRow("setup., Application") << "setup." << 1 << "setup.";
    QTest::newRow("setup., Zipped File") << "setup." << 2 << "setup.";
    QTest::newRow("setup., All Files") << "setup." << 3 << "setup.";
    QTest::newRow("full stop only in the folder")
        << "my.updates/setup" << 1 << "my.updates/setup.EXE";
}

void tst_UpdateFlow::extensionRule()
{
    QFETCH(QString, typed);
    QFETCH(int, filter);
    QFETCH(QString, saved);
    QDir(m_dir->path()).mkpath("my.updates");
    m_dialogs->answerMessage(MessageButton::Yes);
    m_dialogs->answerMessage(MessageButton::Yes);
    m_dialogs->answerSave({true, m_dir->filePath(typed), filter});
    const auto info = makeInfo();
    info->setOptions(TWfiOptions{wfioDisplayUI, wfioRunUpdate});

    QVERIFY(info->Execute());
    QCOMPARE(info->downloadPath(), m_dir->filePath(saved));
    QFile file(m_dir->filePath(saved));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), updateBody());
    QCOMPARE(m_shell->opened, QStringList{m_dir->filePath(saved)});
    QCOMPARE(m_shell->params, QStringList{"/S"});
    const QStringList files = QDir(m_dir->path()).entryList(QDir::Files);
    QCOMPARE(files.size(), saved.contains(u'/') ? 0 : 1);
}

void tst_UpdateFlow::saveDialogRequest()
{
    m_dialogs->answerMessage(MessageButton::Yes);
    const auto info = makeInfo();
    QVERIFY(!info->Execute());
    QCOMPARE(m_dialogs->saves().size(), 1);
    const SaveRequest& save = m_dialogs->saves().first();
    QCOMPARE(save.filters.size(), 3);
    const QStringList filters{save.filters.at(0).name + " = " + save.filters.at(0).pattern,
                              save.filters.at(1).name + " = " + save.filters.at(1).pattern,
                              save.filters.at(2).name + " = " + save.filters.at(2).pattern};
    QCOMPARE(filters, QStringList({"Application (*.EXE) = *.EXE", "Zipped File = *.ZIP",
                                   "All Files (*.*) = *.*"}));
    QCOMPARE(save.filterIndex, 1);
    QCOMPARE(save.fileName, QStringLiteral("ksv1300.exe"));
    QVERIFY(save.overwritePrompt);
    QVERIFY(save.pathMustExist);
    QVERIFY(save.title.isEmpty());
    QVERIFY(save.folder.isEmpty());
    QCOMPARE(requestsFor("/files/"), 0);
}

void tst_UpdateFlow::cancelDownload_data()
{
    QTest::addColumn<TestResponse>("response");
    QTest::addColumn<bool>("midBody"); // Cancel once some bytes have arrived

    TestResponse stall = TestResponse::page(updateBody());
    stall.mode = TestResponse::Mode::Stall;
    QTest::newRow("stalled before the first byte") << stall << false;
    TestResponse trickle = TestResponse::page(updateBody());
    trickle.mode = TestResponse::Mode::Trickle;
    trickle.trickleIntervalMs = 2;
    QTest::newRow("part of the file received") << trickle << true;
}

void tst_UpdateFlow::cancelDownload()
{
    QFETCH(TestResponse, response);
    QFETCH(bool, midBody);
    m_server->setResponse("/files/ksv1300.exe", response);
    const QString target = m_dir->filePath("ksv1300.exe");
    {
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("the version before");
    }
    m_dialogs->answerMessage(MessageButton::Yes);
    m_dialogs->answerSave({true, target, 1});
    const auto info = makeInfo();

    auto cancel = [](TWebDlProgress* progress) {
        QTest::mouseClick(progress->btnCancel, Qt::LeftButton);
    };
    QList<qint32> received;
    bool partThere = false;
    bool cancelled = false;
    connect(info.get(), &TWebFileInfo::OnDownloadProgress, this,
            [&](TWebFileInfo*, qint32 bytes, qint32) {
                received.append(bytes);
                if (midBody && !cancelled && bytes >= 20) {
                    cancelled = true;
                    partThere = QFileInfo(target + ".part").isFile();
                    cancel(m_watcher->progress());
                }
            });
    if (!midBody)
        m_watcher->onProgressShown = cancel;

    QVERIFY(!info->Execute());
    QCOMPARE(boxes(), QStringList({downloadQuestion, downloadError("Request aborted")}));
    QCOMPARE(info->LastError(), QStringLiteral("Request aborted"));
    QCOMPARE(m_watcher->progressResults, QList<int>{TWebFileInfo::mrCancel});
    if (midBody) {
        QVERIFY(cancelled);
        QVERIFY(partThere); // the bytes go to the side file
        QVERIFY(received.last() < updateBody().size());
    } else {
        QCOMPARE(received, QList<qint32>());
    }
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("the version before"));
    QCOMPARE(partFiles(), QStringList());
    QCOMPARE(m_shell->opened, QStringList());
    QVERIFY(m_watcher->allGone());
    QVERIFY(!info->httpClient()->busy());
}

void tst_UpdateFlow::clientErrorDuringDownload()
{
    const QString target = m_dir->filePath("ksv1300.exe");
    {
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("the version before");
    }
    m_dialogs->answerMessage(MessageButton::Yes);
    m_dialogs->answerMessage(MessageButton::Ok);
    m_dialogs->answerMessage(MessageButton::Ok);
    m_dialogs->answerSave({true, target, 1});
    const auto info = makeInfo();
    // A second request while the download runs: the client's own error, raised in the
    // progress dialog's loop.
    connect(info.get(), &TWebFileInfo::OnDownloadProgress, this, [&] {
        Application::guard(info->httpClient(), [&] { info->httpClient()->getAsync(); });
    });

    QVERIFY(!info->Execute());
    QCOMPARE(boxes(), QStringList({downloadQuestion,
                                   box("Exception",
                                       "Error retrieving update information.\r"
                                       "Exception: A request is already running.",
                                       "exclamation", "OK"),
                                   downloadError("A request is already running")}));
    QCOMPARE(m_main.messages, QStringList());
    QCOMPARE(Application::instance()->exceptionHandler(), &m_main); // the filter took itself out
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("the version before"));
    QCOMPARE(partFiles(), QStringList());
    QVERIFY(m_watcher->allGone());
    QVERIFY(!info->httpClient()->busy());
    QVERIFY(info->httpClient()->rcvdStream() == nullptr);
}

void tst_UpdateFlow::targetCannotBeCreated_data()
{
    QTest::addColumn<QString>("saveAs");
    QTest::addColumn<QString>("message"); // its start

    QTest::newRow("folder missing") << "missing/ksv1300.exe"
                                    << "Cannot create file \"$DIR/missing/ksv1300.exe.part\". ";
    QTest::newRow("a folder of that name")
        << "taken"
        << "Cannot create file \"$DIR/taken.EXE\". A folder of that name exists";
}

void tst_UpdateFlow::targetCannotBeCreated()
{
    QFETCH(QString, saveAs);
    QFETCH(QString, message);
    QDir(m_dir->path()).mkpath("taken.EXE");
    m_dialogs->answerMessage(MessageButton::Yes);
    m_dialogs->answerSave({true, m_dir->filePath(saveAs), 1});
    const auto info = makeInfo();

    // The error leaves the flow and reaches the main error handler through the filter.
    const LoopOutcome outcome = runInModalLoop([&] { return info->Execute(); });
    QVERIFY(!outcome.loopEnded);
    QCOMPARE(m_main.messages.size(), 1);
    QVERIFY2(m_main.messages.first().startsWith(expand(message)),
             qPrintable(m_main.messages.first()));
    QCOMPARE(boxes(), QStringList{downloadQuestion});
    QCOMPARE(requestsFor("/files/"), 0);
    QCOMPARE(m_watcher->progressShown.size(), 0);
    QVERIFY(QFileInfo(m_dir->filePath("taken.EXE")).isDir());
    QCOMPARE(partFiles(), QStringList());
}

void tst_UpdateFlow::secondExecuteMakesNoPageRequest()
{
    m_server->setResponse("/kestrava.htm",
                          TestResponse::page(expand(releasePage(textReadMe)).toLatin1()));
    const auto info = makeInfo();
    for (int i = 0; i < 2; ++i) {
        m_dialogs->answerMessage(MessageButton::Yes);
        m_dialogs->answerMessage(MessageButton::Yes);
        QVERIFY(!info->Execute()); // the Save dialog is cancelled
    }
    QCOMPARE(requestsFor("/kestrava.htm"), 1);
    QCOMPARE(requestsFor("/readme.txt"), 2);
    QCOMPARE(boxes(),
             QStringList({readMeQuestion, downloadQuestion, readMeQuestion, downloadQuestion}));
    QCOMPARE(m_watcher->readMeTexts, QStringList({readMeShown, readMeShown}));
    QCOMPARE(m_watcher->waitTexts, QStringList({"Checking For Update...", "Retrieving ReadMe...",
                                                "Retrieving ReadMe..."}));
    QVERIFY(info->Active());
}

void tst_UpdateFlow::downloadUpdateIntoFolder()
{
    const auto info = makeInfo();
    QVERIFY(info->DownloadUpdate(m_dir->path() + "/"));
    QCOMPARE(info->downloadPath(), m_dir->filePath("ksv1300.exe"));
    QCOMPARE(QFileInfo(info->downloadPath()).size(), updateBody().size());
    QCOMPARE(m_watcher->progressTitles, QStringList{"Downloading Update"});
    QCOMPARE(requestsFor("/kestrava.htm"), 1); // not active yet: the page first
}

void tst_UpdateFlow::downloadLiftsThePageLimits()
{
    // Longer than a page may take, larger than a page may be.
    TestResponse slow = TestResponse::generated(60);
    slow.mode = TestResponse::Mode::Trickle;
    slow.trickleIntervalMs = 10;
    m_server->setResponse("/slow.bin", slow);
    m_server->setResponse("/large.bin", TestResponse::generated(TWebFileInfo::maxPageSize + 1));
    const auto info = makeInfo();
    QVERIFY(info->GetInfo());
    info->setRequestTimeouts(5000, 200);

    QVERIFY2(info->DownloadFile(m_server->url("/slow.bin"), m_dir->filePath("slow.bin"), "Slow"),
             qPrintable(info->LastError()));
    QCOMPARE(QFileInfo(m_dir->filePath("slow.bin")).size(), 60);
    QVERIFY2(info->DownloadFile(m_server->url("/large.bin"), m_dir->filePath("large.bin"), "Large"),
             qPrintable(info->LastError()));
    QCOMPARE(QFileInfo(m_dir->filePath("large.bin")).size(), TWebFileInfo::maxPageSize + 1);

    // A page afterwards keeps its own limits.
    m_server->setResponse("/kestrava.htm", TestResponse::generated(TWebFileInfo::maxPageSize + 1));
    info->setRequestTimeouts(10000, 20000);
    info->setActive(false);
    QVERIFY(!info->GetInfo());
    QVERIFY2(info->LastError().startsWith("The response from 127.0.0.1:"),
             qPrintable(info->LastError()));
}

void tst_UpdateFlow::progress_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<TestResponse>("response");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<QString>("lastText");
    QTest::addColumn<int>("lastBar"); // -1: a busy bar

    TestResponse whole = TestResponse::generated(1500000);
    QTest::newRow("1,500,000 bytes")
        << "en_US" << whole << true << "1,500,000 of 1,500,000 bytes received." << 100;
    TestResponse half = whole;
    half.mode = TestResponse::Mode::DropMidBody; // stops after 750,000 bytes
    QTest::newRow("half of 1,500,000 bytes")
        << "en_US" << half << false << "750,000 of 1,500,000 bytes received." << 50;
    QTest::newRow("half of 1,500,000 bytes, de_DE")
        << "de_DE" << half << false << "750,000 of 1,500,000 bytes received." << 50;
    TestResponse chunked = whole;
    chunked.framing = TestResponse::Framing::Chunked;
    QTest::newRow("no size announced, chunked")
        << "en_US" << chunked << true << "1,500,000 bytes received." << -1;
    TestResponse untilClose = whole;
    untilClose.framing = TestResponse::Framing::UntilClose;
    QTest::newRow("no size announced, until close")
        << "de_DE" << untilClose << true << "1,500,000 bytes received." << -1;
}

void tst_UpdateFlow::progress()
{
    QFETCH(QString, locale);
    QFETCH(TestResponse, response);
    QFETCH(bool, whole);
    QFETCH(QString, lastText);
    QFETCH(int, lastBar);
    QLocale::setDefault(QLocale(locale));
    m_server->setResponse("/big.bin", response);
    const auto info = makeInfo();

    struct Step
    {
        qint32 received;
        qint32 size;
        QString text;
        int bar;
        bool busy;
    };
    QList<Step> steps;
    QStringList faults;
    connect(info.get(), &TWebFileInfo::OnDownloadProgress, this,
            [&](TWebFileInfo* sender, qint32 received, qint32 size) {
                const TWebDlProgress* dialog = m_watcher->progress();
                if (sender != info.get() || !dialog) {
                    faults << "no dialog or wrong sender";
                    return;
                }
                const QProgressBar* bar = dialog->pbarProgress;
                steps.append({received, size, dialog->lblProgress->text(), bar->value(),
                              bar->minimum() == 0 && bar->maximum() == 0});
                // The dialog shows this piece already.
                const QString expected = size > 0
                                             ? QStringLiteral("%1 of %2 bytes received.")
                                                   .arg(NumberFormat::FormatThousands(received),
                                                        NumberFormat::FormatThousands(size))
                                             : QStringLiteral("%1 bytes received.")
                                                   .arg(NumberFormat::FormatThousands(received));
                if (steps.last().text != expected)
                    faults << steps.last().text;
                if (size > 0 && bar->value() != int(qint64(received) * 100 / size))
                    faults << QStringLiteral("bar %1 at %2").arg(bar->value()).arg(received);
            });

    const QString file = m_dir->filePath("big.bin");
    QCOMPARE(info->DownloadFile(m_server->url("/big.bin"), file, "Downloading Update"), whole);
    QCOMPARE(faults, QStringList());
    QVERIFY(steps.size() > 1);
    QCOMPARE(steps.last().text, lastText);
    QCOMPARE(steps.last().size, response.framing == TestResponse::Framing::Length ? 1500000 : 0);
    if (lastBar < 0) {
        QVERIFY(steps.last().busy);
    } else {
        QCOMPARE(steps.last().bar, lastBar);
        // On the way up, and never back.
        QVERIFY(std::is_sorted(steps.cbegin(), steps.cend(),
                               [](const Step& a, const Step& b) { return a.bar < b.bar; }));
    }
    QCOMPARE(QFileInfo::exists(file), whole);
    if (whole)
        QCOMPARE(QFileInfo(file).size(), 1500000);
    else
        QVERIFY2(info->LastError().endsWith("closed after 750000 of 1500000 bytes"),
                 qPrintable(info->LastError()));
    QCOMPARE(partFiles(), QStringList());
}

void tst_UpdateFlow::progressDialog()
{
    struct Shown
    {
        QString caption;
        QSize client;
        Qt::WindowFlags flags;
        bool applicationModal = false;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        Qt::CursorShape barCursor = Qt::ArrowCursor;
        QFont font;
        QStringList controls;
        QPoint centreOffset;
        QStringList tabOrder; // from the bar on
    } shown;
    m_watcher->onProgressShown = [&](TWebDlProgress* dialog) {
        shown.caption = dialog->windowTitle();
        shown.client = dialog->size();
        shown.flags = dialog->windowFlags();
        shown.applicationModal = dialog->windowModality() == Qt::ApplicationModal;
        shown.cursor = dialog->cursor().shape();
        shown.barCursor = dialog->pbarProgress->cursor().shape();
        shown.font = dialog->font();
        for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect g = control->geometry();
            QString line = QStringLiteral("%1 %2,%3 %4x%5")
                               .arg(control->objectName())
                               .arg(g.x())
                               .arg(g.y())
                               .arg(g.width())
                               .arg(g.height());
            // The progress text changes as data arrive: the watcher took it at the showing.
            if (const auto* label = qobject_cast<QLabel*>(control);
                label && label != dialog->lblProgress)
                line += QStringLiteral(" \"%1\"").arg(label->text());
            if (const auto* label = qobject_cast<QLabel*>(control))
                line += QStringLiteral(" %1").arg(int(label->alignment()));
            if (const auto* button = qobject_cast<QPushButton*>(control))
                line += QStringLiteral(" \"%1\"").arg(button->text());
            if (const auto* bar = qobject_cast<QProgressBar*>(control))
                line += QStringLiteral(" %1..%2").arg(bar->minimum()).arg(bar->maximum());
            if (control->font() != dialog->font())
                line += QStringLiteral(" own font");
            shown.controls << line;
        }
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        shown.centreOffset = dialog->frameGeometry().center() - screen.center();
        for (QWidget* w = dialog->pbarProgress; w != dialog; w = w->nextInFocusChain())
            shown.tabOrder << w->objectName() + (w->focusPolicy() & Qt::TabFocus ? "*" : "");
    };
    const auto info = makeInfo();
    QVERIFY(info->DownloadFile(m_server->url("/files/ksv1300.exe"), m_dir->filePath("f.exe"),
                               "Downloading Update"));

    QCOMPARE(shown.caption, QStringLiteral("Download Progress"));
    QCOMPARE(shown.client, QSize(272, 123));
    QVERIFY(!(shown.flags & Qt::WindowCloseButtonHint));
    QVERIFY(!(shown.flags & Qt::WindowSystemMenuHint));
    QVERIFY(shown.applicationModal);
    QCOMPARE(shown.cursor, Qt::WaitCursor);
    QCOMPARE(shown.barCursor, Qt::WaitCursor);
    QCOMPARE(shown.font.family(), QStringLiteral("Arial"));
    QCOMPARE(shown.font.pixelSize(), 12);
    const int centred = int(Qt::AlignCenter);
    QCOMPARE(
        shown.controls,
        QStringList(
            {"pbarProgress 36,40 200x14 0..100",
             QStringLiteral("lblDownloading 2,10 268x18 \"Downloading Update\" %1").arg(centred),
             QStringLiteral("lblProgress 2,60 268x22 %1").arg(centred),
             "btnCancel 102,94 68x22 \"&Cancel\""}));
    QCOMPARE(m_watcher->progressAtShow, QStringList{"\"\" 0"}); // empty text, bar at 0
    QVERIFY(qAbs(shown.centreOffset.x()) <= 1 && qAbs(shown.centreOffset.y()) <= 1);
    QCOMPARE(shown.tabOrder,
             QStringList({"pbarProgress", "lblDownloading", "lblProgress", "btnCancel*"}));
    QCOMPARE(m_watcher->progressResults, QList<int>{TWebFileInfo::mrOk});
    QVERIFY(m_watcher->allGone());

    // Neither Esc nor closing the window ends it: only the end of the download does.
    TestResponse slow = TestResponse::page(updateBody().left(400));
    slow.mode = TestResponse::Mode::Trickle;
    slow.trickleIntervalMs = 1;
    m_server->setResponse("/slow.exe", slow);
    bool stayed = false;
    m_watcher->onProgressShown = [&](TWebDlProgress* dialog) {
        QTest::keyClick(dialog, Qt::Key_Escape);
        dialog->close();
        stayed = dialog->isVisible() && info->httpClient()->busy();
    };
    QVERIFY(info->DownloadFile(m_server->url("/slow.exe"), m_dir->filePath("slow.exe"), "Slow"));
    QVERIFY(stayed);
    QCOMPARE(m_watcher->progressResults, QList<int>({TWebFileInfo::mrOk, TWebFileInfo::mrOk}));
}

void tst_UpdateFlow::readMeWindow()
{
    m_server->setResponse("/kestrava.htm",
                          TestResponse::page(expand(releasePage(textReadMe)).toLatin1()));
    m_server->setResponse("/readme.txt",
                          TestResponse::page(QByteArray("one\r\ntwo\rthree\nfour\0hidden", 27)));
    struct Shown
    {
        QString caption;
        QSize client;
        Qt::WindowFlags flags;
        QPoint centreOffset;
        QRect memo;
        bool bothBars = false;
        bool wraps = true;
        QFont font;
        QFont memoFont;
        QRect button;
        QString buttonText;
    } shown;
    m_watcher->onReadMeShown = [&](ReadMeForm* form) {
        shown.caption = form->windowTitle();
        shown.client = form->size();
        shown.flags = form->windowFlags();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        shown.centreOffset = form->frameGeometry().center() - screen.center();
        shown.memo = form->memo()->geometry();
        shown.bothBars = form->memo()->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn &&
                         form->memo()->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
        shown.wraps = form->memo()->lineWrapMode() != QPlainTextEdit::NoWrap;
        shown.font = form->font();
        shown.memoFont = form->memo()->font();
        shown.button = form->okButton()->geometry();
        shown.buttonText = form->okButton()->text();
    };
    const auto info = makeInfo();

    QVERIFY(info->ShowReadMe(false));
    QVERIFY(m_dialogs->messages().isEmpty()); // nothing asked
    QCOMPARE(m_watcher->waitTexts, QStringList({"Checking For Update...", "Retrieving ReadMe..."}));
    QCOMPARE(m_watcher->readMeTexts, QStringList{"one\ntwo\nthree\nfour"});
    QCOMPARE(m_watcher->readMeResults, QList<int>{TWebFileInfo::mrOk});

    // Four fifths of the screen, outer size: the frame of the component's windows around the
    // client area, and the controls placed against the outer size.
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QSize outer(screen.width() * 4 / 5, screen.height() * 4 / 5);
    QCOMPARE(shown.caption, QStringLiteral("Read Me"));
    QCOMPARE(shown.client, outer - QSize(6, 26));
    QVERIFY(!(shown.flags & Qt::WindowCloseButtonHint));
    QVERIFY(qAbs(shown.centreOffset.x()) <= 1 && qAbs(shown.centreOffset.y()) <= 1);
    QCOMPARE(shown.memo, QRect(10, 10, outer.width() - 25, outer.height() - 80));
    QVERIFY(shown.bothBars);
    QVERIFY(!shown.wraps);
    QCOMPARE(shown.button, QRect(outer.width() / 2 - 34, outer.height() - 56, 68, 22));
    QCOMPARE(shown.buttonText, QStringLiteral("&Ok"));
    for (const QFont& font : {shown.font, shown.memoFont}) {
        QCOMPARE(font.family(), QStringLiteral("Arial"));
        QCOMPARE(font.pixelSize(), 12);
    }
    QVERIFY(m_watcher->allGone());

    // No read-me at all: nothing is asked or shown.
    m_server->setResponse("/kestrava.htm", TestResponse::page(expand(releasePage()).toLatin1()));
    info->setActive(false);
    QVERIFY(!info->ShowReadMe(true));
    QVERIFY(m_dialogs->messages().isEmpty());
    QCOMPARE(m_watcher->readMeTexts.size(), 1);
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_UpdateFlow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_UpdateFlow.moc"

#include "ScriptedDialogs.h"
#include "TestHttpServer.h"
#include "platform/Application.h"
#include "update/WebFileInfo.h"

#include <QLabel>
#include <QMetaProperty>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(TestResponse)

namespace {

const QString title = QStringLiteral("Kestrava, 1.2.00");

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

// Watches every showing of the wait window and can act while it is up.
class WaitWatcher : public QObject
{
public:
    struct Showing
    {
        QPointer<QDialog> window;
        QString caption;
        QString text;
        bool applicationModal = false;
        Qt::WindowFlags flags;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        QRect labelGeometry;
        Qt::Alignment alignment;
        QFont labelFont;
    };

    WaitWatcher() { qApp->installEventFilter(this); }
    ~WaitWatcher() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* dialog = qobject_cast<QDialog*>(object);
        if (event->type() != QEvent::Show || !dialog ||
            dialog->windowTitle() != QLatin1String("Please Wait"))
            return false;
        Showing s;
        s.window = dialog;
        s.caption = dialog->windowTitle();
        s.applicationModal = dialog->windowModality() == Qt::ApplicationModal;
        s.flags = dialog->windowFlags();
        s.cursor = dialog->cursor().shape();
        if (const auto* label = dialog->findChild<QLabel*>()) {
            s.text = label->text();
            s.labelGeometry = label->geometry();
            s.alignment = label->alignment();
            s.labelFont = label->font();
        }
        shows.append(s);
        if (whileShown)
            QTimer::singleShot(0, dialog, [this, dialog] { whileShown(dialog); });
        return false;
    }

    // True when no wait window is left, shown or not.
    bool allGone() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const Showing& s : shows) {
            if (s.window)
                return false;
        }
        return true;
    }

    QList<Showing> shows;
    std::function<void(QDialog*)> whileShown;
};

QByteArray releasePage(const QByteArray& version = "1.3.00",
                       const QByteArray& url = "http://dl.quorvane.com/files/ksv1300.exe")
{
    return TestHttpServer::versionPage({{"name", "Kestrava"},
                                        {"version", version},
                                        {"date", "May 3, 2004"},
                                        {"url", url},
                                        {"readme", "http://www.quorvane.com/readme.txt"},
                                        {"runparams", "/S"},
                                        {"author", "Quorvane"},
                                        {"email", "info@quorvane.com"}});
}

// Every result that is not empty, as "Property=value".
QStringList results(const TWebFileInfo& info)
{
    QStringList out;
    const std::pair<const char*, QString> fields[] = {
        {"DownloadURL", info.DownloadURL()},
        {"ProductName", info.ProductName()},
        {"ProductAuthor", info.ProductAuthor()},
        {"ProductAuthorEMail", info.ProductAuthorEMail()},
        {"ProductDateStr", info.ProductDateStr()},
        {"ProductReadMe", info.ProductReadMe()},
        {"ProductReadMeExt", info.ProductReadMeExt()},
        {"ProductVersion", info.ProductVersion()},
        {"RunParams", info.RunParams()},
    };
    for (const auto& [name, value] : fields) {
        if (!value.isEmpty())
            out << QString::fromLatin1(name) + u'=' + value;
    }
    if (info.ProductDate() != 0)
        out << QStringLiteral("ProductDate=%1").arg(info.ProductDate());
    return out;
}

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class tst_WebFileInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void propertiesInOrderWithDefaults();
    void optionsAlwaysHoldDisplayUI_data();
    void optionsAlwaysHoldDisplayUI();
    void homeUrlRules_data();
    void homeUrlRules();
    void programConfiguration();
    void uiFontFollowsOwnerWhenRead();

    void readsThePage();
    void activeCheckMakesNoRequest();
    void missingSettings_data();
    void missingSettings();
    void onlyAuthorEMailTagRuns();
    void failedRequests_data();
    void failedRequests();
    void waitWindowIgnoresEscAndClose();
    void redirectOnce();
    void redirectToFailingPage();
    void redirectChains_data();
    void redirectChains();
    void malformedDate_data();
    void malformedDate();
    void filterPassesOtherErrorsOnce();
    void clientErrorEndsTheWait();
    void filterWithoutSavedHandler();
    void throughProxy();
    void secureHomeUrl();

private:
    std::unique_ptr<TWebFileInfo> makeInfo(QObject* owner = nullptr);
    QList<MessageRequest> statusBoxes() const;

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<WaitWatcher> m_watcher;
    RecordingHandler m_main;
};

void tst_WebFileInfo::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TestHttpServer::trustTestCertificate();
}

void tst_WebFileInfo::init()
{
    m_server = std::make_unique<TestHttpServer>();
    m_server->setResponse("/kestrava.htm", TestResponse::page(releasePage()));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_watcher = std::make_unique<WaitWatcher>();
    m_main.messages.clear();
    Application::instance()->setExceptionHandler(&m_main);
}

void tst_WebFileInfo::cleanup()
{
    Application::instance()->setExceptionHandler(nullptr);
    m_watcher.reset();
    m_dialogs.reset();
    m_server.reset();
}

std::unique_ptr<TWebFileInfo> tst_WebFileInfo::makeInfo(QObject* owner)
{
    auto info = std::make_unique<TWebFileInfo>(owner);
    configureProgramWebFileInfo(*info);
    info->setHomeURL(m_server->url("/kestrava.htm?ref=ksv1200upd"));
    info->setRequestTimeouts(300, 1500);
    return info;
}

QList<MessageRequest> tst_WebFileInfo::statusBoxes() const
{
    QList<MessageRequest> boxes;
    for (const MessageRequest& box : m_dialogs->messages()) {
        if (box.caption == title && box.icon == MessageIcon::None)
            boxes.append(box);
    }
    return boxes;
}

void tst_WebFileInfo::propertiesInOrderWithDefaults()
{
    TWebFileInfo info;
    const QMetaObject& meta = TWebFileInfo::staticMetaObject;
    QStringList names;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        names << QString::fromLatin1(meta.property(i).name());
    QCOMPARE(names, QStringList(
                        {"Active",         "CurrentVersion", "DateFormat",         "DownloadURL",
                         "HomeURL",        "InfoTags",       "LastError",          "Options",
                         "ProductName",    "ProductAuthor",  "ProductAuthorEMail", "ProductDate",
                         "ProductDateStr", "ProductReadMe",  "ProductReadMeExt",   "ProductVersion",
                         "ProxyHost",      "ProxyPort",      "RunParams",          "UIFont",
                         "UIOwnerFont",    "VersionFormat"}));
    QVERIFY(!meta.property(meta.indexOfProperty("Active")).isStored());
    QVERIFY(!meta.property(meta.indexOfProperty("LastError")).isWritable());

    QCOMPARE(info.Active(), false);
    QCOMPARE(info.DateFormat(), wfidDFSDate);
    QCOMPARE(info.VersionFormat(), wfivBuildNumber);
    QCOMPARE(info.Options().toByte(), quint8(30));
    QCOMPARE(info.ProxyPort(), 80);
    QCOMPARE(info.UIOwnerFont(), true);
    QCOMPARE(info.UIFont(), QFont()); // no owner window: the stored default font
    QVERIFY(info.InfoTags().allEmpty());
    QVERIFY(info.CurrentVersion().isEmpty() && info.HomeURL().isEmpty() &&
            info.LastError().isEmpty() && info.ProxyHost().isEmpty());
    QCOMPARE(results(info), QStringList());
    QVERIFY(info.httpClient() == nullptr);

    info.setActive(true);
    QCOMPARE(info.Active(), false);
}

void tst_WebFileInfo::optionsAlwaysHoldDisplayUI_data()
{
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("stored");

    QTest::newRow("empty set") << 0 << 2;
    QTest::newRow("overwrite only") << 1 << 3;
    QTest::newRow("default") << 30 << 30;
    QTest::newRow("all five") << 31 << 31;
    QTest::newRow("without DisplayUI") << 28 << 30;
}

void tst_WebFileInfo::optionsAlwaysHoldDisplayUI()
{
    QFETCH(int, written);
    QFETCH(int, stored);
    TWebFileInfo info;
    info.setOptions(TWfiOptions::fromByte(quint8(written)));
    QCOMPARE(int(info.Options().toByte()), stored);
    QVERIFY(info.Options().contains(wfioDisplayUI));
}

void tst_WebFileInfo::homeUrlRules_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("http") << "http://www.quorvane.com/kestrava.htm" << true;
    QTest::newRow("HTTP in capitals") << "HTTP://WWW.QUORVANE.COM/KESTRAVA.HTM" << true;
    QTest::newRow("scheme alone") << "http://" << true;
    QTest::newRow("https") << "https://www.quorvane.com/kestrava.htm" << true;
    QTest::newRow("HTTPS in capitals") << "HTTPS://www.quorvane.com/" << true;
    QTest::newRow("ftp") << "ftp://www.quorvane.com/kestrava.htm" << false;
    QTest::newRow("file") << "file:///tmp/kestrava.htm" << false;
    QTest::newRow("shorter than the scheme") << "http:/" << false;
    QTest::newRow("https cut short") << "https:/" << false;
    QTest::newRow("no scheme") << "www.quorvane.com/kestrava.htm" << false;
    QTest::newRow("blank first") << " http://www.quorvane.com/" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_WebFileInfo::homeUrlRules()
{
    QFETCH(QString, url);
    QFETCH(bool, accepted);
    const auto info = makeInfo();
    QVERIFY(info->GetInfo());
    const QString before = info->HomeURL();

    info->setHomeURL(url);
    QCOMPARE(info->HomeURL(), accepted ? url : before);
    QCOMPARE(info->Active(), !accepted);
    QVERIFY(m_dialogs->messages().isEmpty());
}

void tst_WebFileInfo::programConfiguration()
{
    TWebFileInfo info;
    configureProgramWebFileInfo(info);
    QCOMPARE(info.objectName(), QStringLiteral("WebFileInfo"));
    QCOMPARE(info.CurrentVersion(), QStringLiteral("1.2.00"));
    QCOMPARE(info.HomeURL(), QStringLiteral("http://www.quorvane.com/kestrava.htm?ref=ksv1200upd"));
    TWfiTags tags;
    tags.AuthorTag = "author";
    tags.AuthorEMailTag = "email";
    tags.DateTag = "date";
    tags.DownloadTag = "url";
    tags.ProductNameTag = "name";
    tags.ReadMeTag = "readme";
    tags.RedirectTag = "redirect";
    tags.RunParamsTag = "runparams";
    tags.VersionTag = "version";
    tags.Sha256Tag = "sha256";
    QVERIFY(info.InfoTags() == tags);
    QCOMPARE(info.Options().toByte(), quint8(30));
    QCOMPARE(info.UIOwnerFont(), false);
    const QFont font = info.UIFont();
    QCOMPARE(font.family(), QStringLiteral("Arial"));
    QCOMPARE(font.pixelSize(), 12);
    QVERIFY(!font.bold() && !font.italic() && !font.underline() && !font.fixedPitch());
    QCOMPARE(info.ProxyPort(), 80);
    QCOMPARE(info.VersionFormat(), wfivBuildNumber);
    QCOMPARE(info.DateFormat(), wfidDFSDate);
}

void tst_WebFileInfo::uiFontFollowsOwnerWhenRead()
{
    QWidget owner;
    QFont ownerFont(QStringLiteral("Courier"));
    ownerFont.setPixelSize(20);
    owner.setFont(ownerFont);
    auto info = makeInfo(&owner);
    info->setUIOwnerFont(true);
    const QFont stored = info->UIFont(); // copies the owner's font
    QCOMPARE(stored.family(), ownerFont.family());
    QCOMPARE(stored.pixelSize(), 20);

    // Building the window does not read the property: a later owner font is not taken.
    QFont laterFont = ownerFont;
    laterFont.setPixelSize(30);
    owner.setFont(laterFont);
    QVERIFY(info->GetInfo());
    QCOMPARE(m_watcher->shows.value(0).labelFont.pixelSize(), 20);
    QCOMPARE(info->UIFont().pixelSize(), 30);

    QFont chosen(QStringLiteral("Arial"));
    chosen.setPixelSize(12);
    info->setUIFont(chosen);
    QCOMPARE(info->UIOwnerFont(), false);
    owner.setFont(ownerFont);
    QCOMPARE(info->UIFont().pixelSize(), 12);
    info->setActive(false);
    QVERIFY(info->GetInfo());
    QCOMPARE(m_watcher->shows.value(1).labelFont.pixelSize(), 12);

    // An owner that is no window gives nothing.
    QObject plainOwner;
    TWebFileInfo other(&plainOwner);
    QCOMPARE(other.UIFont(), QFont());
}

void tst_WebFileInfo::readsThePage()
{
    const auto info = makeInfo();
    QVERIFY(info->GetInfo());
    QVERIFY(info->Active());
    QVERIFY(info->LastError().isEmpty());
    QCOMPARE(
        results(*info),
        QStringList(
            {"DownloadURL=http://dl.quorvane.com/files/ksv1300.exe", "ProductName=Kestrava",
             "ProductAuthor=Quorvane", "ProductAuthorEMail=info@quorvane.com",
             "ProductDateStr=May 3, 2004", "ProductReadMe=http://www.quorvane.com/readme.txt",
             "ProductVersion=1.3.00", "RunParams=/S",
             QStringLiteral("ProductDate=%1").arg(QDate(1899, 12, 30).daysTo(QDate(2004, 5, 3)))}));
    QCOMPARE(info->downloadFileName(), QStringLiteral("ksv1300.exe"));
    QVERIFY(info->IsNewVersion());
    info->setVersionFormat(wfivSimpleString);
    QVERIFY(info->IsNewVersion());
    info->setCurrentVersion(QStringLiteral("1.3.00"));
    QVERIFY(!info->IsNewVersion());

    QCOMPARE(m_server->requestCount(), 1);
    QCOMPARE(m_server->requests().first().target, QByteArray("/kestrava.htm?ref=ksv1200upd"));
    QVERIFY(m_dialogs->messages().isEmpty());

    // The wait window as it was shown, and gone afterwards.
    QCOMPARE(m_watcher->shows.size(), 1);
    const WaitWatcher::Showing& shown = m_watcher->shows.first();
    QCOMPARE(shown.text, QStringLiteral("Checking For Update..."));
    QVERIFY(shown.applicationModal);
    QVERIFY(!(shown.flags & Qt::WindowCloseButtonHint));
    QVERIFY(!(shown.flags & Qt::WindowSystemMenuHint));
    QCOMPARE(shown.cursor, Qt::WaitCursor);
    QCOMPARE(shown.labelGeometry, QRect(0, 27, 232, 23));
    QCOMPARE(shown.alignment, Qt::Alignment(Qt::AlignCenter));
    QCOMPARE(shown.labelFont.family(), QStringLiteral("Arial"));
    QCOMPARE(shown.labelFont.pixelSize(), 12);
    QVERIFY(m_watcher->allGone());
}

void tst_WebFileInfo::activeCheckMakesNoRequest()
{
    const auto info = makeInfo();
    QVERIFY(info->GetInfo());
    QVERIFY(info->GetInfo());
    QCOMPARE(m_server->requestCount(), 1);
    QCOMPARE(m_watcher->shows.size(), 1);

    // The same address written again makes the next check fetch again; so does Active false.
    info->setHomeURL(info->HomeURL());
    QVERIFY(!info->Active());
    QVERIFY(info->GetInfo());
    QCOMPARE(m_server->requestCount(), 2);
    info->setActive(false);
    QVERIFY(info->GetInfo());
    QCOMPARE(m_server->requestCount(), 3);
    QVERIFY(m_watcher->allGone());
}

void tst_WebFileInfo::missingSettings_data()
{
    QTest::addColumn<bool>("homeUrl");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");

    QTest::newRow("no home url")
        << false << "Missing Home URL"
        << "Can not retrieve version information\rbecause no home url was provided.";
    QTest::newRow("no tag names")
        << true << "Missing Tag Information"
        << "Can not retrieve version information\rbecause no tag information was provided.";
}

void tst_WebFileInfo::missingSettings()
{
    QFETCH(bool, homeUrl);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    TWebFileInfo info;
    if (homeUrl) {
        // A failure first, so that LastError has a text to keep.
        configureProgramWebFileInfo(info);
        info.setHomeURL(m_server->url("/missing"));
        QVERIFY(!info.GetInfo());
        QCOMPARE(info.LastError(), QStringLiteral("Not Found"));
        info.setInfoTags(TWfiTags());
        m_dialogs->clear();
    }
    const int requests = m_server->requestCount();
    Application::instance()->setExceptionHandler(&m_main);

    QVERIFY(!info.GetInfo());
    QCOMPARE(m_dialogs->messages().size(), 1);
    const MessageRequest& box = m_dialogs->messages().first();
    QCOMPARE(box.caption, caption);
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, MessageIcon::Exclamation);
    QCOMPARE(box.buttons, MessageButtons(MessageButton::Ok));
    QCOMPARE(info.LastError(), homeUrl ? QStringLiteral("Not Found") : QString());
    QCOMPARE(m_server->requestCount(), requests);
    QCOMPARE(Application::instance()->exceptionHandler(), &m_main); // no filter installed
}

void tst_WebFileInfo::onlyAuthorEMailTagRuns()
{
    TWebFileInfo info;
    info.InfoTags().AuthorEMailTag = QStringLiteral("email");
    info.setHomeURL(m_server->url("/kestrava.htm"));
    QVERIFY(info.GetInfo());
    QCOMPARE(results(info), QStringList{"ProductAuthorEMail=info@quorvane.com"});
}

void tst_WebFileInfo::failedRequests_data()
{
    QTest::addColumn<TestResponse>("response");
    QTest::addColumn<bool>("refused"); // no server at the address
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("reason"); // LastError, or the start of it

    QTest::newRow("404") << TestResponse::error(404, "Not Found") << false << "404"
                         << "Not Found";
    QTest::newRow("500 without reason") << TestResponse::error(500, "") << false << "500"
                                        << "HTTP status 500";
    TestResponse created = TestResponse::page(releasePage());
    created.status = 201;
    created.reason = "Created";
    QTest::newRow("201 with a page") << created << false << "201"
                                     << "Created";
    QTest::newRow("connection refused") << TestResponse() << true << "502"
                                        << "Connection refused by 127.0.0.1:";
    QTest::newRow("oversized page") << TestResponse::generated(2 * 1024 * 1024) << false << "502"
                                    << "The response from 127.0.0.1:";
    TestResponse unannounced = TestResponse::generated(2 * 1024 * 1024);
    unannounced.framing = TestResponse::Framing::Chunked;
    QTest::newRow("oversized page without length") << unannounced << false << "502"
                                                   << "The response from 127.0.0.1:";
    TestResponse stall = TestResponse::page(releasePage());
    stall.mode = TestResponse::Mode::Stall;
    QTest::newRow("stall") << stall << false << "504"
                           << "Timed out: nothing received from 127.0.0.1:";
    TestResponse trickle = TestResponse::page(releasePage());
    trickle.mode = TestResponse::Mode::Trickle;
    trickle.trickleIntervalMs = 50;
    QTest::newRow("trickle") << trickle << false << "504"
                             << "Timed out: the request to 127.0.0.1:";
    TestResponse cut = TestResponse::page(releasePage());
    cut.mode = TestResponse::Mode::DropMidBody;
    QTest::newRow("cut body") << cut << false << "502"
                              << "The connection to 127.0.0.1:";
}

void tst_WebFileInfo::failedRequests()
{
    QFETCH(TestResponse, response);
    QFETCH(bool, refused);
    QFETCH(QString, status);
    QFETCH(QString, reason);

    const auto info = makeInfo();
    QVERIFY(info->GetInfo()); // results to lose
    m_server->setResponse("/failing", response);
    info->setHomeURL(refused ? QStringLiteral("http://127.0.0.1:%1/").arg(closedPort())
                             : m_server->url("/failing"));

    QVERIFY(!info->GetInfo());
    QVERIFY(!info->Active());
    QVERIFY2(info->LastError().startsWith(reason), qPrintable(info->LastError()));
    QCOMPARE(results(*info), QStringList());
    QCOMPARE(m_dialogs->messages().size(), 1);
    const MessageRequest& box = m_dialogs->messages().first();
    QCOMPARE(box.caption, title);
    QCOMPARE(box.text, status);
    QCOMPARE(box.icon, MessageIcon::None);
    QCOMPARE(box.buttons, MessageButtons(MessageButton::Ok));
    QCOMPARE(m_watcher->shows.size(), 2);
    QVERIFY(m_watcher->allGone());
    QVERIFY(!info->httpClient()->busy());
}

void tst_WebFileInfo::waitWindowIgnoresEscAndClose()
{
    TestResponse slow = TestResponse::page(releasePage().left(200));
    slow.mode = TestResponse::Mode::Trickle;
    slow.trickleIntervalMs = 1;
    m_server->setResponse("/kestrava.htm", slow);
    const auto info = makeInfo();
    info->setRequestTimeouts(30000, 60000);
    bool stayed = false;
    m_watcher->whileShown = [&](QDialog* window) {
        QTest::keyClick(window, Qt::Key_Escape);
        window->close();
        stayed = window->isVisible() && info->httpClient()->busy();
    };
    QVERIFY(info->GetInfo());
    QVERIFY(stayed);
    QVERIFY(m_watcher->allGone());
}

void tst_WebFileInfo::redirectOnce()
{
    m_server->setResponse("/kestrava.htm",
                          TestResponse::page(TestHttpServer::versionPage(
                              {{"version", "9.9.99"},
                               {"name", "Old name"},
                               {"redirect", m_server->url("/next.htm").toLatin1()}})));
    m_server->setResponse("/next.htm",
                          TestResponse::page(TestHttpServer::versionPage({{"version", "1.3.00"}})));
    const auto info = makeInfo();
    QVERIFY(info->GetInfo());
    QCOMPARE(results(*info), QStringList{"ProductVersion=1.3.00"});
    QCOMPARE(m_server->requestCount(), 2);
    QCOMPARE(m_server->requests().at(1).target, QByteArray("/next.htm"));
    QCOMPARE(m_watcher->shows.size(), 2);
    QVERIFY(m_watcher->shows.at(0).window == m_watcher->shows.at(1).window);
    QVERIFY(m_watcher->allGone());

    // Active again: the next check starts at the home address, not at the redirect.
    info->setActive(false);
    QVERIFY(info->GetInfo());
    QCOMPARE(m_server->requests().at(2).target, QByteArray("/kestrava.htm?ref=ksv1200upd"));
}

void tst_WebFileInfo::redirectToFailingPage()
{
    m_server->setResponse(
        "/kestrava.htm",
        TestResponse::page(TestHttpServer::versionPage(
            {{"version", "1.3.00"}, {"redirect", m_server->url("/gone.htm").toLatin1()}})));
    m_server->setResponse("/gone.htm", TestResponse::error(404, "Not Found"));
    const auto info = makeInfo();
    QVERIFY(!info->GetInfo());
    QCOMPARE(info->LastError(), QStringLiteral("Not Found"));
    QCOMPARE(results(*info), QStringList());
    QCOMPARE(statusBoxes().size(), 1);
    QCOMPARE(statusBoxes().first().text, QStringLiteral("404"));
    QVERIFY(m_watcher->allGone());
}

void tst_WebFileInfo::redirectChains_data()
{
    QTest::addColumn<int>("redirects"); // -1: two pages that name each other
    QTest::addColumn<bool>("read");

    QTest::newRow("ten redirects are followed") << 10 << true;
    QTest::newRow("the eleventh is refused") << 11 << false;
    QTest::newRow("a ring ends at the limit") << -1 << false;
}

void tst_WebFileInfo::redirectChains()
{
    QFETCH(int, redirects);
    QFETCH(bool, read);
    auto pageTo = [&](int next) {
        return TestResponse::page(TestHttpServer::versionPage(
            {{"version", "1.3.00"},
             {"redirect", m_server->url(QStringLiteral("/p%1.htm").arg(next)).toLatin1()}}));
    };
    if (redirects < 0) {
        m_server->setResponse("/p0.htm", pageTo(1));
        m_server->setResponse("/p1.htm", pageTo(0));
    } else {
        for (int i = 0; i < redirects; ++i)
            m_server->setResponse("/p" + QByteArray::number(i) + ".htm", pageTo(i + 1));
        m_server->setResponse(
            "/p" + QByteArray::number(redirects) + ".htm",
            TestResponse::page(TestHttpServer::versionPage({{"version", "2.0.00"}})));
    }
    const auto info = makeInfo();
    info->setHomeURL(m_server->url("/p0.htm"));
    QCOMPARE(info->GetInfo(), read);
    QCOMPARE(info->Active(), read);
    QCOMPARE(m_server->requestCount(), 11);
    QVERIFY(m_watcher->allGone());
    QVERIFY(statusBoxes().isEmpty());
    if (read) {
        QCOMPARE(info->ProductVersion(), QStringLiteral("2.0.00"));
    } else {
        QCOMPARE(results(*info), QStringList());
        QVERIFY2(info->LastError().startsWith("Redirect limit reached"),
                 qPrintable(info->LastError()));
        // The next check starts over at the home address.
        info->setActive(false);
        info->GetInfo();
        QCOMPARE(m_server->requests().at(11).target, QByteArray("/p0.htm"));
    }
}

void tst_WebFileInfo::malformedDate_data()
{
    QTest::addColumn<QByteArray>("date");

    QTest::newRow("day first") << QByteArray("20 April 2004");
    QTest::newRow("no such day") << QByteArray("April 31, 2004");
}

void tst_WebFileInfo::malformedDate()
{
    QFETCH(QByteArray, date);
    const auto info = makeInfo();
    QVERIFY(info->GetInfo());
    QCOMPARE(info->downloadFileName(), QStringLiteral("ksv1300.exe"));
    m_server->setResponse("/bad.htm", TestResponse::page(TestHttpServer::versionPage(
                                          {{"version", "1.4.00"},
                                           {"date", date},
                                           {"url", "http://dl.quorvane.com/ksv1400.exe"}})));
    info->setHomeURL(m_server->url("/bad.htm"));

    // The error leaves the check and reaches the main error handler through the filter.
    Application::guard(this, [&] { info->GetInfo(); });
    QCOMPARE(
        m_main.messages,
        QStringList{QStringLiteral("'%1' is not a valid date").arg(QString::fromLatin1(date))});
    QVERIFY(m_dialogs->messages().isEmpty());
    QVERIFY(!info->Active());
    QCOMPARE(results(*info),
             QStringList({"DownloadURL=http://dl.quorvane.com/ksv1400.exe",
                          "ProductDateStr=" + QString::fromLatin1(date), "ProductVersion=1.4.00"}));
    QCOMPARE(info->downloadFileName(), QStringLiteral("ksv1300.exe"));
    QVERIFY(m_watcher->allGone());

    // A later check fetches again.
    Application::guard(this, [&] { info->GetInfo(); });
    QCOMPARE(m_server->requestCount(), 3);
    QCOMPARE(m_main.messages.size(), 2);
    QVERIFY(m_watcher->allGone());
}

void tst_WebFileInfo::filterPassesOtherErrorsOnce()
{
    auto info = makeInfo();
    QVERIFY(info->GetInfo());
    info->setActive(false);
    QVERIFY(info->GetInfo());
    Application* app = Application::instance();
    QVERIFY(app->exceptionHandler() != &m_main); // the filter is in front

    Application::guard(this, [] { throw EZeroDivide(); });
    QCOMPARE(m_main.messages, QStringList{QStringLiteral("Floating point division by zero")});
    QVERIFY(m_dialogs->messages().isEmpty());

    // Destroying the component puts the saved handler back.
    info.reset();
    QCOMPARE(app->exceptionHandler(), &m_main);
}

void tst_WebFileInfo::clientErrorEndsTheWait()
{
    TestResponse slow = TestResponse::page(releasePage());
    slow.mode = TestResponse::Mode::Trickle;
    slow.trickleIntervalMs = 20;
    m_server->setResponse("/kestrava.htm", slow);
    const auto info = makeInfo();
    info->setRequestTimeouts(30000, 60000);
    // A second request while the first runs: the client's own error, raised in the wait loop.
    m_watcher->whileShown = [&](QDialog*) {
        Application::guard(info->httpClient(), [&] { info->httpClient()->getAsync(); });
    };

    QVERIFY(!info->GetInfo());
    QCOMPARE(info->LastError(), QStringLiteral("A request is already running"));
    QCOMPARE(m_dialogs->messages().size(), 1);
    const MessageRequest& box = m_dialogs->messages().first();
    QCOMPARE(box.caption, QStringLiteral("Exception"));
    QCOMPARE(box.text, QStringLiteral("Error retrieving update information.\r"
                                      "Exception: A request is already running."));
    QCOMPARE(box.icon, MessageIcon::Exclamation);
    QVERIFY(m_main.messages.isEmpty());
    QCOMPARE(Application::instance()->exceptionHandler(), &m_main); // the filter took itself out
    QVERIFY(!info->httpClient()->busy());
    QVERIFY(info->httpClient()->rcvdStream() == nullptr);
    QCOMPARE(results(*info), QStringList());
    QVERIFY(m_watcher->allGone());

    // The next check runs normally.
    m_watcher->whileShown = nullptr;
    m_server->setResponse("/kestrava.htm", TestResponse::page(releasePage()));
    QVERIFY(info->GetInfo());
    QCOMPARE(info->ProductVersion(), QStringLiteral("1.3.00"));
}

void tst_WebFileInfo::filterWithoutSavedHandler()
{
    // With no handler saved, another error gets the application's plain error box, as it would
    // without the filter.
    Application::instance()->setExceptionHandler(nullptr);
    const auto info = makeInfo();
    QVERIFY(info->GetInfo());
    Application::guard(this,
                       [] { throw EConvertError(QStringLiteral("'x' is not a valid date")); });
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().first().caption, title);
    QCOMPARE(m_dialogs->messages().first().text, QStringLiteral("'x' is not a valid date."));
    QCOMPARE(m_dialogs->messages().first().icon, MessageIcon::Error);
}

void tst_WebFileInfo::throughProxy()
{
    const QString address = QStringLiteral("http://www.quorvane.com/kestrava.htm?ref=ksv1200upd");
    const auto info = makeInfo();
    info->setHomeURL(address);
    info->setProxyHost(QStringLiteral("127.0.0.1"));
    info->setProxyPort(m_server->port());
    QVERIFY(info->GetInfo());
    QCOMPARE(info->ProductVersion(), QStringLiteral("1.3.00"));
    QCOMPARE(m_server->requests().first().target, address.toLatin1());

    // Without a proxy host the client goes straight to the address again.
    info->setProxyHost(QString());
    info->setHomeURL(m_server->url("/kestrava.htm"));
    QVERIFY(info->GetInfo());
    QCOMPARE(m_server->requests().at(1).target, QByteArray("/kestrava.htm"));
    QCOMPARE(info->httpClient()->ProxyPort(), QStringLiteral("80"));
}

void tst_WebFileInfo::secureHomeUrl()
{
    TestHttpServer secure(TestHttpServer::Transport::Tls);
    secure.setResponse("/kestrava.htm", TestResponse::page(releasePage("1.4.00")));
    const auto info = makeInfo();
    info->setHomeURL(secure.url("/kestrava.htm"));
    QVERIFY(info->GetInfo());
    QCOMPARE(info->ProductVersion(), QStringLiteral("1.4.00"));
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_WebFileInfo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_WebFileInfo.moc"

// Mouse events go to the dialog's own window, which lies over the main window.
#define QTEST_QPA_MOUSE_HANDLING

#include "MainWindowFixture.h"
#include "TestHttpServer.h"
#include "platform/Application.h"
#include "platform/GraphicButton.h"
#include "ui_WUpdate.h"
#include "update/WUpdate.h"
#include "update/WebFileInfo.h"

#include <QPushButton>
#include <QScreen>
#include <QTcpServer>
#include <QtTest>

namespace {

const QString title = QStringLiteral("Kestrava, 1.2.00");
// The address the dialog gives the component: the product page, the referral tag, the form.
const QByteArray pageAddress = "http://www.quorvane.com/kestrava.htm?ref=ksv1200FreefrmUpdate";

const QColor blue(0, 0, 255);
const QColor silver(192, 192, 192);
const QColor black(0, 0, 0);
const QColor red(255, 0, 0);

QByteArray page(const QByteArray& version, const QByteArray& date = "May 3, 2004")
{
    QList<std::pair<QByteArray, QByteArray>> tags{
        {"name", "Kestrava"},
        {"date", date},
        {"url", "http://dl.quorvane.com/files/ksv1300.exe"},
        {"readme", "Faster start-up."},
    };
    if (!version.isNull())
        tags.append({"version", version});
    return TestHttpServer::versionPage(tags);
}

bool hourGlass()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

// Sits in front of the fixture's scripted dialogs and notes whether the hour-glass was up at
// each message box and at each showing of the wait window.
class CursorWatch : public QObject, public DialogProvider
{
public:
    explicit CursorWatch(ScriptedDialogs& answers) : m_answers(answers)
    {
        Dialogs::setProvider(this);
        qApp->installEventFilter(this);
    }
    ~CursorWatch() override
    {
        qApp->removeEventFilter(this);
        Dialogs::setProvider(&m_answers);
    }

    MessageButton showMessage(const MessageRequest& request) override
    {
        atMessage.append(hourGlass());
        return m_answers.showMessage(request);
    }
    SaveAnswer showSave(const SaveRequest& request) override { return m_answers.showSave(request); }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show && object->objectName() == QLatin1String("WaitForm"))
            atWait.append(hourGlass());
        return false;
    }

    QList<bool> atMessage;
    QList<bool> atWait;

private:
    ScriptedDialogs& m_answers;
};

// Opens the update dialog with `open`, waits until the check of this opening has run, runs
// `inside` and closes the dialog with OK. Returns false when no dialog came up or its check
// never ended. A watchdog closes a dialog that is left open, so that a fault cannot hang the run.
template <typename Open, typename Fn> bool withUpdateDialog(TfrmMain& main, Open open, Fn inside)
{
    bool ran = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &main, [&] {
        if (!frmUpdate || !frmUpdate->checkRan() ||
            QApplication::activeModalWidget() != frmUpdate.data())
            return;
        poll.stop();
        ran = true;
        inside(*frmUpdate);
        if (frmUpdate && frmUpdate->isVisible())
            QTest::mouseClick(frmUpdate->ui()->btnClose, Qt::LeftButton);
    });
    poll.start();
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &main, [] {
        if (frmUpdate)
            frmUpdate->reject();
    });
    watchdog.start(20000);
    open();
    return ran;
}

template <typename Fn> bool withUpdateDialog(TfrmMain& main, Fn inside)
{
    return withUpdateDialog(
        main, [&main] { main.ShowUpdate(); }, inside);
}

// What a label shows and how.
struct LabelLook
{
    QString text;
    QColor colour;
    bool visible;
    friend bool operator==(const LabelLook&, const LabelLook&) = default;
};

LabelLook lookOf(const QLabel* label)
{
    return {label->text(), label->palette().color(QPalette::WindowText),
            label->isVisibleTo(label->window())};
}

char* toString(const LabelLook& look)
{
    return QTest::toString(
        QStringLiteral("\"%1\" %2 %3")
            .arg(look.text, look.colour.name(),
                 look.visible ? QStringLiteral("visible") : QStringLiteral("hidden")));
}

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class tst_WUpdate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void mainWindowOwnsTheComponent();
    void createdLayout_data();
    void createdLayout();
    void formAndButtons();
    void isUpdateAvailable_data();
    void isUpdateAvailable();

    void checkFillsTheLabels_data();
    void checkFillsTheLabels();
    void failedCheck_data();
    void failedCheck();
    void malformedDateIsReported();
    void twoOpeningsFetchTwice();
    void laterCheckInTheSameDialogFetchesNothing();
    void retrieveTwiceMakesNoNewPageRequest();
    void opensCentredOnTheScreen_data();
    void opensCentredOnTheScreen();
    void onlyOkCloses();

private:
    // Starts the main window with its update component going through the test server.
    bool start(MainWindowFixture& f, quint16 proxyPort = 0);

    std::unique_ptr<TestHttpServer> m_server;
};

void tst_WUpdate::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_server = std::make_unique<TestHttpServer>();
    m_server->setResponse("/kestrava.htm", TestResponse::page(page("1.3.00")));
}

void tst_WUpdate::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_server.reset();
}

bool tst_WUpdate::start(MainWindowFixture& f, quint16 proxyPort)
{
    if (!f.start())
        return false;
    // The dialog's address stays the maker's; the test server answers it as the proxy.
    TWebFileInfo& info = f.w().webFileInfo();
    info.setProxyHost(QStringLiteral("127.0.0.1"));
    info.setProxyPort(proxyPort ? proxyPort : m_server->port());
    info.setRequestTimeouts(3000, 8000);
    return true;
}

void tst_WUpdate::mainWindowOwnsTheComponent()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    TWebFileInfo& info = f.w().webFileInfo();
    QCOMPARE(info.parent(), &f.w());
    QCOMPARE(f.w().findChild<TWebFileInfo*>(QStringLiteral("WebFileInfo")), &info);
    QCOMPARE(info.CurrentVersion(), QStringLiteral("1.2.00"));
    QCOMPARE(info.HomeURL(), QStringLiteral("http://www.quorvane.com/kestrava.htm?ref=ksv1200upd"));
    QCOMPARE(info.InfoTags().VersionTag, QStringLiteral("version"));
    QVERIFY(!info.Active());
    QCOMPARE(m_server->requestCount(), 0); // nothing is fetched before the dialog opens
}

void tst_WUpdate::createdLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("rightAligned");
    QTest::addColumn<bool>("transparent");

    const auto row = [](const char* name, QRect r, const QString& text, int pixels, bool bold,
                        QColor colour, bool visible, bool right, bool transparent = true) {
        QTest::newRow(name) << QString::fromLatin1(name) << r << text << pixels << bold << colour
                            << visible << right << transparent;
    };
    row("lblApplicationName", {180, 31, 100, 15}, "Kestrava", 12, false, blue, true, false);
    row("lblDeveloper", {180, 50, 151, 15}, " Quorvane Software", 12, false, blue, true, false);
    row("lblDate", {181, 157, 90, 15}, "Status Unknown", 12, false, silver, true, false);
    row("lblVersion", {181, 139, 90, 15}, "Status Unknown", 12, false, silver, true, false);
    row("lblReadMe", {339, 96, 250, 14}, "Status Unknown", 11, false, silver, false, false);
    row("lblURL", {339, 115, 250, 14}, "Status Unknown", 11, false, silver, false, false);
    row("Label1", {74, 31, 100, 15}, "Application Name:", 12, false, black, true, true);
    row("Label2", {115, 50, 59, 15}, "Developer:", 12, false, black, true, true);
    row("Label3", {22, 157, 152, 15}, "New Version Compile Date:", 12, false, black, true, true);
    row("Label4", {29, 139, 145, 15}, "Newest Version on Server:", 12, false, black, true, true);
    row("Label5", {243, 95, 89, 14}, "Online Information:", 11, false, black, false, true);
    row("Label6", {257, 115, 75, 14}, "Download URL:", 11, false, black, false, true);
    row("lblCurrentVersion", {181, 69, 89, 15}, "1.2.00", 12, false, blue, true, false);
    row("Label8", {57, 69, 117, 15}, "Your Current Version:", 12, false, black, true, true);
    row("lblCurrentCompileDate", {181, 88, 123, 15}, "April 20, 2004", 12, false, blue, true,
        false);
    row("Label10", {51, 88, 123, 15}, "Current Compile Date:", 12, false, black, true, true);
    row("Label7", {17, 11, 124, 15}, "Your Installed Version", 12, true, black, true, false, false);
    row("lblUpdateStatus", {17, 117, 142, 15}, "Update Status:  Unknown", 12, true, black, true,
        false);
}

void tst_WUpdate::createdLayout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(int, pixels);
    QFETCH(bool, rightAligned);
    QFETCH(bool, transparent);
    MainWindowFixture f;
    QVERIFY(f.start());
    TfrmUpdate dialog; // created, not shown: no check runs
    auto* label = dialog.findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->parent(), dialog.ui()->Panel1);
    // A label that sizes itself may grow to its text, away from its aligned edge.
    const QRect r = label->geometry();
    QCOMPARE(r.top(), geometry.top());
    QCOMPARE(r.height(), geometry.height());
    QVERIFY2(r.width() >= geometry.width(), qPrintable(name));
    QCOMPARE(rightAligned ? r.right() : r.left(),
             rightAligned ? geometry.right() : geometry.left());
    QCOMPARE(bool(label->alignment() & Qt::AlignRight), rightAligned);
    QTEST(label->text(), "text");
    QCOMPARE(label->font().family(), QStringLiteral("Arial"));
    QCOMPARE(label->font().pixelSize(), pixels);
    QTEST(label->font().bold(), "bold");
    QTEST(label->palette().color(QPalette::WindowText), "colour");
    QTEST(label->isVisibleTo(&dialog), "visible");
    QCOMPARE(label->autoFillBackground(), !transparent);
    if (!transparent)
        QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::white));
}

void tst_WUpdate::formAndButtons()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    TfrmUpdate dialog;
    Ui::TfrmUpdate& u = *dialog.ui();
    QCOMPARE(dialog.objectName(), QStringLiteral("frmUpdate"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Checking for a New Version ..."));
    QCOMPARE(dialog.size(), QSize(411, 220));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)));
    QCOMPARE(dialog.font().pixelSize(), 11);
    QCOMPARE(dialog.font().family(), QStringLiteral("Arial"));

    QCOMPARE(u.Panel1->geometry(), QRect(6, 6, 399, 186));
    QCOMPARE(u.Panel1->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(u.Panel1->autoFillBackground());
    QCOMPARE(u.Panel1->frameShape(), QFrame::Box);     // a sunken box: outer bevel lowered,
    QCOMPARE(u.Panel1->frameShadow(), QFrame::Sunken); // inner raised

    const struct
    {
        QPushButton* button;
        QRect geometry;
        QString text;
        QString hint;
        bool visible;
    } buttons[] = {
        {u.btnCheckForUpdate,
         {6, 194, 129, 24},
         "Check for &Update",
         " Check for Update ...",
         false},
        {u.btnRetrieveUpdate,
         {141, 194, 129, 24},
         " &Retrieve Update",
         " Retrieve Update ...",
         false},
        {u.btnClose, {326, 194, 76, 24}, " &OK", "Close| Close Update Wizard", true},
    };
    for (const auto& b : buttons) {
        QCOMPARE(b.button->parent(), &dialog);
        QVERIFY(qobject_cast<GraphicButton*>(b.button)); // its picture follows the pointer
        QCOMPARE(b.button->geometry(), b.geometry);
        QCOMPARE(b.button->text(), b.text);
        QCOMPARE(b.button->property("hint").toString(), b.hint);
        QCOMPARE(b.button->isVisibleTo(&dialog), b.visible);
        QCOMPARE(b.button->font().pixelSize(), 12);
        QCOMPARE(b.button->iconSize(), QSize(16, 16));
        const QIcon icon = b.button->icon();
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active})
            QVERIFY(!icon.pixmap(16, mode).isNull());
        QVERIFY(icon.pixmap(16, QIcon::Normal).toImage() !=
                icon.pixmap(16, QIcon::Active).toImage());
        QCOMPARE(b.button->palette().color(QPalette::Button), QColor(Qt::white));
    }
    // Tab order: check, retrieve, OK.
    QCOMPARE(u.btnCheckForUpdate->nextInFocusChain(), u.btnRetrieveUpdate);
    QCOMPARE(u.btnRetrieveUpdate->nextInFocusChain(), u.btnClose);
}

void tst_WUpdate::isUpdateAvailable_data()
{
    QTest::addColumn<QString>("newest");
    QTest::addColumn<bool>("available");

    QTest::newRow("same 1.2.00") << "1.2.00" << false;
    QTest::newRow("1.2.01") << "1.2.01" << true;
    QTest::newRow("1.3.00") << "1.3.00" << true;
    QTest::newRow("2.0.00") << "2.0.00" << true;
    QTest::newRow("2") << "2" << true;
    QTest::newRow("1.10.0: parts compare as numbers") << "1.10.0" << true;
    QTest::newRow("1.2: last part again against 00") << "1.2" << true;
    QTest::newRow("1.2.00.1: fourth part never looked at") << "1.2.00.1" << false;
    QTest::newRow("1.1.99 older") << "1.1.99" << false;
    QTest::newRow("1 older") << "1" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("1.2.0a not a number") << "1.2.0a" << false;
    QTest::newRow("leading blanks and sign") << " 1. +3" << true;
    QTest::newRow("1.2.99999999999 out of range") << "1.2.99999999999" << false;
    QTest::newRow("negative part") << "1.2.-1" << false;
}

void tst_WUpdate::isUpdateAvailable()
{
    QFETCH(QString, newest);
    MainWindowFixture f;
    QVERIFY(f.start());
    // The installed version is the program's own, whatever the component was told.
    f.w().webFileInfo().setCurrentVersion(QStringLiteral("0.1"));
    TfrmUpdate dialog;
    dialog.ui()->lblVersion->setText(newest);
    QTEST(dialog.IsUpdateAvailable(), "available");
}

void tst_WUpdate::checkFillsTheLabels_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("available");

    QTest::newRow("1.2.00: up to date") << QByteArray("1.2.00") << false;
    QTest::newRow("1.2.01") << QByteArray("1.2.01") << true;
    QTest::newRow("1.3.00") << QByteArray("1.3.00") << true;
    QTest::newRow("2.0.00") << QByteArray("2.0.00") << true;
    QTest::newRow("1.2") << QByteArray("1.2") << true;
    QTest::newRow("1.2.00.1") << QByteArray("1.2.00.1") << false;
    QTest::newRow("no version tag") << QByteArray() << false;
    QTest::newRow("long version text shown whole")
        << QByteArray("1.3.00 (spring edition, build 4711)") << true;
}

void tst_WUpdate::checkFillsTheLabels()
{
    QFETCH(QByteArray, version);
    QFETCH(bool, available);
    m_server->setResponse("/kestrava.htm", TestResponse::page(page(version)));
    MainWindowFixture f;
    QVERIFY(start(f));
    CursorWatch watch(f.dialogs);
    QList<LabelLook> looks;
    bool retrieve = false, hourGlassAfter = true;
    QStringList cut;
    QVERIFY(withUpdateDialog(f.w(), [&](TfrmUpdate& d) {
        Ui::TfrmUpdate& u = *d.ui();
        for (QLabel* l : {u.lblUpdateStatus, u.lblVersion, u.lblDate, u.lblReadMe, u.lblURL,
                          u.lblCurrentVersion})
            looks << lookOf(l);
        for (QLabel* l : {u.lblUpdateStatus, u.lblVersion, u.lblDate}) {
            if (l->width() < l->fontMetrics().horizontalAdvance(l->text()))
                cut << l->objectName();
        }
        retrieve = u.btnRetrieveUpdate->isVisible();
        hourGlassAfter = hourGlass();
    }));

    const QString status =
        available ? QStringLiteral("Update Information") : QStringLiteral("No Update Available");
    const QList<LabelLook> expected{
        {status, red, true},
        {QString::fromLatin1(version), blue, true},
        {QStringLiteral("May 3, 2004"), blue, true},
        {QStringLiteral("Faster start-up."), blue, false},
        {QStringLiteral("http://dl.quorvane.com/files/ksv1300.exe"), blue, false},
        {QStringLiteral("1.2.00"), blue, true},
    };
    QCOMPARE(looks, expected);
    QCOMPARE(retrieve, available);
    QCOMPARE(cut, QStringList());
    // One request, through the proxy, for the product page with the referral tag.
    QCOMPARE(m_server->requestCount(), 1);
    QCOMPARE(m_server->requests().first().target, pageAddress);
    QCOMPARE(f.w().webFileInfo().HomeURL(), QString::fromLatin1(pageAddress));
    QVERIFY(f.w().webFileInfo().Active());
    QCOMPARE(watch.atWait, QList<bool>{true}); // the hour-glass while the page is fetched
    QVERIFY(!hourGlassAfter);
    QVERIFY(f.dialogs.messages().isEmpty());
}

void tst_WUpdate::failedCheck_data()
{
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("reasonStart");

    QTest::newRow("page not found") << false << "404"
                                    << "Not Found";
    QTest::newRow("proxy refuses") << true << "502"
                                   << "Connection refused";
}

void tst_WUpdate::failedCheck()
{
    QFETCH(bool, refused);
    QFETCH(QString, reasonStart);
    m_server->setResponse("/kestrava.htm", TestResponse::error(404, "Not Found"));
    MainWindowFixture f;
    QVERIFY(start(f, refused ? closedPort() : 0));
    CursorWatch watch(f.dialogs);
    QList<LabelLook> looks;
    bool retrieve = true;
    QVERIFY(withUpdateDialog(f.w(), [&](TfrmUpdate& d) {
        // A window comes up over the dialog and goes, as a message box would; the dialog is
        // active again.
        QDialog over(&d);
        over.setWindowModality(Qt::ApplicationModal);
        over.show();
        QTRY_VERIFY(over.isActiveWindow());
        over.hide();
        d.activateWindow();
        QTRY_VERIFY(d.isActiveWindow());
        QCoreApplication::processEvents(); // where a second check would run
        Ui::TfrmUpdate& u = *d.ui();
        for (QLabel* l : {u.lblUpdateStatus, u.lblVersion, u.lblDate})
            looks << lookOf(l);
        retrieve = u.btnRetrieveUpdate->isVisible();
    }));

    const QString reason = f.w().webFileInfo().LastError();
    QVERIFY2(reason.startsWith(reasonStart), qPrintable(reason));
    // First the component's status code, then the dialog's own message with the reason.
    const QList<MessageRequest>& boxes = f.dialogs.messages();
    QCOMPARE(boxes.size(), 2);
    QTEST(boxes.at(0).text, "status");
    QCOMPARE(boxes.at(1).text, QStringLiteral("Get Info failed due to:\r\n") + reason);
    for (const MessageRequest& box : boxes) {
        QCOMPARE(box.caption, title);
        QCOMPARE(box.icon, MessageIcon::None);
        QCOMPARE(box.buttons, MessageButtons(MessageButton::Ok));
    }
    // The hour-glass is gone before the dialog's message.
    QCOMPARE(watch.atMessage, QList<bool>({true, false}));
    QVERIFY(!hourGlass());
    const QList<LabelLook> created{{QStringLiteral("Update Status:  Unknown"), black, true},
                                   {QStringLiteral("Status Unknown"), silver, true},
                                   {QStringLiteral("Status Unknown"), silver, true}};
    QCOMPARE(looks, created);
    QVERIFY(!retrieve);
    QVERIFY(!f.w().webFileInfo().Active());
    // One check per opening, also when it fails.
    QCOMPARE(m_server->requestCount(), refused ? 0 : 1);
}

void tst_WUpdate::malformedDateIsReported()
{
    m_server->setResponse("/kestrava.htm", TestResponse::page(page("1.3.00", "April 31, 2004")));
    MainWindowFixture f;
    QVERIFY(start(f));
    CursorWatch watch(f.dialogs);
    QList<LabelLook> looks;
    bool open = false;
    QVERIFY(withUpdateDialog(f.w(), [&](TfrmUpdate& d) {
        Ui::TfrmUpdate& u = *d.ui();
        for (QLabel* l : {u.lblUpdateStatus, u.lblVersion})
            looks << lookOf(l);
        open = d.isVisible() && !u.btnRetrieveUpdate->isVisible();
    }));
    // The main window's error handler reports it, with the hour-glass already gone; the dialog
    // stays open as it was.
    const QList<MessageRequest>& boxes = f.dialogs.messages();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().caption, QStringLiteral("Information"));
    QVERIFY(boxes.first().text.startsWith(QStringLiteral("An unidentified error has occurred.")));
    QCOMPARE(watch.atMessage, QList<bool>{false});
    QVERIFY(!hourGlass());
    QVERIFY(open);
    QCOMPARE(looks, QList<LabelLook>({{QStringLiteral("Update Status:  Unknown"), black, true},
                                      {QStringLiteral("Status Unknown"), silver, true}}));
}

void tst_WUpdate::twoOpeningsFetchTwice()
{
    MainWindowFixture f;
    QVERIFY(start(f));
    QPointer<TfrmUpdate> first;
    QVERIFY(withUpdateDialog(
        f.w(), [&f] { f.ui().btnUpdate->click(); },
        [&](TfrmUpdate& d) {
            first = &d;
            d.ui()->lblApplicationName->setText(QStringLiteral("scribbled"));
        }));
    // Released once the pending events have been handled.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QVERIFY(frmUpdate.isNull());
    QString name;
    bool fresh = false;
    QVERIFY(withUpdateDialog(
        f.w(), [&f] { f.ui().mnuInternetUpdate->trigger(); },
        [&](TfrmUpdate& d) {
            fresh = frmUpdate == &d;
            name = d.ui()->lblApplicationName->text();
        }));
    QVERIFY(fresh);
    QCOMPARE(name, QStringLiteral("Kestrava"));
    QCOMPARE(m_server->requestCount(), 2);
    for (const TestRequest& request : m_server->requests())
        QCOMPARE(request.target, pageAddress);
}

void tst_WUpdate::laterCheckInTheSameDialogFetchesNothing()
{
    MainWindowFixture f;
    QVERIFY(start(f));
    QString version;
    QVERIFY(withUpdateDialog(f.w(), [&](TfrmUpdate& d) {
        d.ui()->lblVersion->setText(QString());
        d.ui()->btnCheckForUpdate->click();
        version = d.ui()->lblVersion->text();
    }));
    QCOMPARE(version, QStringLiteral("1.3.00"));
    QCOMPARE(m_server->requestCount(), 1);
}

void tst_WUpdate::retrieveTwiceMakesNoNewPageRequest()
{
    MainWindowFixture f;
    QVERIFY(start(f));
    for (int i = 0; i < 6; ++i)
        f.dialogs.answerMessage(MessageButton::No); // whatever the flow asks, the user declines
    bool open = false;
    QVERIFY(withUpdateDialog(f.w(), [&](TfrmUpdate& d) {
        QPushButton* retrieve = d.ui()->btnRetrieveUpdate;
        QVERIFY(retrieve->isVisible());
        QTest::mouseClick(retrieve, Qt::LeftButton);
        QTest::mouseClick(retrieve, Qt::LeftButton);
        open = d.isVisible() && retrieve->isVisible();
    }));
    QVERIFY(open);
    // The component stays active: the page is not fetched again.
    QCOMPARE(m_server->requestCount(), 1);
    QCOMPARE(m_server->requests().first().target, pageAddress);
    QVERIFY(f.w().webFileInfo().Active());
}

void tst_WUpdate::opensCentredOnTheScreen_data()
{
    QTest::addColumn<bool>("moveAway");

    QTest::newRow("main window centred") << false;
    QTest::newRow("main window moved away") << true;
}

void tst_WUpdate::opensCentredOnTheScreen()
{
    QFETCH(bool, moveAway);
    MainWindowFixture f;
    QVERIFY(start(f));
    const QRect screen = f.w().screen()->geometry();
    if (moveAway)
        f.w().move(screen.topLeft() + QPoint(5, 7));
    else
        f.w().move(screen.center() - f.w().rect().center());
    QRect box;
    QVERIFY(withUpdateDialog(f.w(), [&](TfrmUpdate& d) { box = d.frameGeometry(); }));
    QCOMPARE(box.left(), screen.left() + (screen.width() - box.width()) / 2);
    QCOMPARE(box.top(), screen.top() + (screen.height() - box.height()) / 2);
}

void tst_WUpdate::onlyOkCloses()
{
    MainWindowFixture f;
    QVERIFY(start(f));
    f.ui().edtTerm2->setFocus(Qt::OtherFocusReason);
    bool modal = false, openAfterEscape = false;
    QVERIFY(withUpdateDialog(f.w(), [&](TfrmUpdate& d) {
        modal = QApplication::activeModalWidget() == &d && d.isModal();
        QTest::keyClick(&d, Qt::Key_Escape);
        openAfterEscape = d.isVisible();
    }));
    QVERIFY(modal);
    QVERIFY(openAfterEscape);
    QTRY_COMPARE(QApplication::activeWindow(), &f.w());
    QCOMPARE(QApplication::focusWidget(), f.ui().edtTerm2);
}

int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    Application app(argc, argv);
    app.setTitle(title);
    tst_WUpdate test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_WUpdate.moc"

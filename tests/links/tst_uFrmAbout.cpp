// Mouse events go to the box's own window, which lies over the main window.
#define QTEST_QPA_MOUSE_HANDLING

#include "MainWindowFixture.h"
#include "links/uFrmAbout.h"
#include "platform/Application.h"
#include "platform/ImageLabel.h"
#include "platform/UrlLabel.h"
#include "ui_uFrmAbout.h"

#include <QPushButton>
#include <QScreen>
#include <QtTest>

namespace {

const QString homePage = QStringLiteral("http://www.quorvane.com/index.htm?source=ksv1200about");

// Runs `inside` once the about box is up, then presses its OK button. Returns false when no
// box came up. A watchdog closes a box that is left open, so that a fault cannot hang the run.
template <typename Fn> bool withAboutBox(MainWindowFixture& f, Fn inside)
{
    bool ran = false;
    QTimer::singleShot(0, &f.w(), [&] {
        if (!frmAbout || !QTest::qWaitForWindowExposed(frmAbout))
            return;
        ran = true;
        inside(*frmAbout);
        if (frmAbout && frmAbout->isVisible())
            QTest::mouseClick(frmAbout->ui()->btnClose, Qt::LeftButton);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &f.w(), [] {
        if (frmAbout)
            frmAbout->reject();
    });
    watchdog.start(10000);
    f.w().ShowAbout();
    return ran;
}

} // namespace

class tst_uFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void textsAndControls();
    void twoOpeningsGiveTwoFreshBoxes();
    void centredOnTheScreen_data();
    void centredOnTheScreen();
    void okReturnsFocusToTheMainWindow();
    void logoOpensTheHomePage_data();
    void logoOpensTheHomePage();
};

void tst_uFrmAbout::textsAndControls()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    QString title, name, version, compiled, copyright, rights, url, caption;
    bool urlHidden = false, closeBox = true, logoTip = false;
    QSize client, logo;
    QVERIFY(withAboutBox(f, [&](TfrmAbout& box) {
        Ui::TfrmAbout& u = *box.ui();
        title = box.windowTitle();
        name = u.lblTitle->text();
        version = u.lblVersion->text();
        compiled = u.lblCompileDate->text();
        copyright = u.lblCopyright->text();
        rights = u.lblRights->text();
        url = u.urlHome->URL();
        urlHidden = u.urlHome->isHidden();
        caption = u.btnClose->text();
        client = box.size();
        logo = u.imgLogo->pixmap().size();
        logoTip = u.imgLogo->toolTip() == QLatin1String("Click to visit our web site ...");
        closeBox = box.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint);
    }));
    QCOMPARE(title, QStringLiteral(" About Kestrava, 1.2.00"));
    QCOMPARE(name, QStringLiteral("Kestrava"));
    QCOMPARE(version, QStringLiteral("Version 1.2.00"));
    QCOMPARE(compiled, QStringLiteral("Compiled April 20, 2004"));
    QCOMPARE(copyright, QStringLiteral("Copyright \u00a9 2004 Quorvane Software"));
    QCOMPARE(rights, QStringLiteral("All Rights Reserved Worldwide."));
    QCOMPARE(url, homePage);
    QVERIFY(urlHidden);
    QCOMPARE(caption, QStringLiteral(" &OK"));
    QCOMPARE(client, QSize(307, 211));
    QCOMPARE(logo, QSize(271, 61));
    QVERIFY(logoTip);
    QVERIFY(!closeBox);
    QVERIFY(f.shell.opened.isEmpty());
}

void tst_uFrmAbout::twoOpeningsGiveTwoFreshBoxes()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    QPointer<TfrmAbout> first;
    QVERIFY(withAboutBox(f, [&](TfrmAbout& box) {
        first = &box;
        box.ui()->lblVersion->setText(QStringLiteral("scribbled"));
        box.move(0, 0);
    }));
    // Released once the pending events have been handled.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QString version;
    QPoint where;
    bool fresh = false;
    QVERIFY(withAboutBox(f, [&](TfrmAbout& box) {
        fresh = first.isNull() && frmAbout == &box;
        version = box.ui()->lblVersion->text();
        where = box.frameGeometry().topLeft();
    }));
    QVERIFY(fresh);
    QCOMPARE(version, QStringLiteral("Version 1.2.00"));
    QVERIFY(where != QPoint(0, 0));
}

void tst_uFrmAbout::centredOnTheScreen_data()
{
    QTest::addColumn<bool>("moveAway");

    QTest::newRow("main window centred") << false;
    QTest::newRow("main window moved away") << true;
}

void tst_uFrmAbout::centredOnTheScreen()
{
    QFETCH(bool, moveAway);
    MainWindowFixture f;
    QVERIFY(f.start());
    const QRect screen = f.w().screen()->geometry();
    if (moveAway)
        f.w().move(screen.topLeft() + QPoint(5, 7));
    else
        f.w().move(screen.center() - f.w().rect().center());
    QRect box;
    QVERIFY(withAboutBox(f, [&](TfrmAbout& b) { box = b.frameGeometry(); }));
    QCOMPARE(box.left(), screen.left() + (screen.width() - box.width()) / 2);
    QCOMPARE(box.top(), screen.top() + (screen.height() - box.height()) / 2);
}

void tst_uFrmAbout::okReturnsFocusToTheMainWindow()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    f.ui().edtTerm2->setFocus(Qt::OtherFocusReason);
    bool stillOpenAfterEscape = false;
    bool mainBlocked = false;
    QVERIFY(withAboutBox(f, [&](TfrmAbout& box) {
        mainBlocked = QApplication::activeModalWidget() == &box;
        QTest::keyClick(&box, Qt::Key_Escape); // only OK closes the box
        stillOpenAfterEscape = box.isVisible();
    }));
    QVERIFY(mainBlocked);
    QVERIFY(stillOpenAfterEscape);
    QTRY_COMPARE(QApplication::activeWindow(), &f.w());
    QCOMPARE(QApplication::focusWidget(), f.ui().edtTerm2);
    QVERIFY(f.dialogs.messages().isEmpty());
}

void tst_uFrmAbout::logoOpensTheHomePage_data()
{
    QTest::addColumn<bool>("succeed");
    QTest::addColumn<int>("beeps");

    QTest::newRow("opened") << true << 0;
    QTest::newRow("shell failed: one beep, box stays") << false << 1;
}

void tst_uFrmAbout::logoOpensTheHomePage()
{
    QFETCH(bool, succeed);
    MainWindowFixture f;
    QVERIFY(f.start());
    f.shell.succeed = succeed;
    Qt::CursorShape before = Qt::BlankCursor, after = Qt::BlankCursor;
    bool openAfterClick = false;
    QVERIFY(withAboutBox(f, [&](TfrmAbout& box) {
        ImageLabel* logo = box.ui()->imgLogo;
        before = logo->cursor().shape();
        QTest::mouseMove(logo, QPoint(100, 30));
        after = logo->cursor().shape();
        QTest::mouseClick(logo, Qt::LeftButton, {}, QPoint(100, 30));
        openAfterClick = box.isVisible();
    }));
    QCOMPARE(before, Qt::ArrowCursor);
    QCOMPARE(after, Qt::PointingHandCursor);
    QCOMPARE(f.shell.opened, QStringList{homePage});
    QTEST(f.shell.beeps, "beeps");
    QVERIFY(openAfterClick);
}

int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_uFrmAbout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_uFrmAbout.moc"

#include "MainWindowFixture.h"
#include "platform/Application.h"
#include "platform/StatusBar.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QtTest>

namespace {

const QString tagline = QStringLiteral("Quorvane.com - Software that adds up");
const QString invitation = QStringLiteral("Click to visit Quorvane.com");
const QString home = QStringLiteral("www.quorvane.com/index.htm?ref=ksv1200Free");

QString hintPanel(MainWindowFixture& f)
{
    return f.ui().statusBar->panel(1).text;
}

void moveOverBar(MainWindowFixture& f, int x)
{
    QTest::mouseMove(f.ui().statusBar, QPoint(x, 9));
}

} // namespace

class tst_StatusBarHandlers : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void panelsAtStart();
    void mouseMove_data();
    void mouseMove();
    void panelRelease_data();
    void panelRelease();
    void linkPanelShellFailureBeepsOnce();
    void linkPanelSwallowsErrors();
    void resize_data();
    void resize();
    void hintRouting_data();
    void hintRouting();
    void lastWriterWins();
    void noTipsOverTheWindow();
};

void tst_StatusBarHandlers::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // The application outlives each window: start every test from an empty hint.
    Application::instance()->setHint(QString());
}

void tst_StatusBarHandlers::panelsAtStart()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    StatusBar* bar = f.ui().statusBar;
    QCOMPARE(bar->panelCount(), 2);
    QCOMPARE(bar->panel(0).name, QStringLiteral("WebPanel"));
    QCOMPARE(bar->panel(0).text, QStringLiteral("quorvane.com"));
    QCOMPARE(bar->panel(0).width, 96);
    QVERIFY(bar->panel(0).font.underline());
    QCOMPARE(bar->panel(0).font.pixelSize(), 11);
    QCOMPARE(bar->panel(0).color, QColor(Qt::blue));
    QCOMPARE(bar->panel(0).bevel, StatusPanel::Bevel::None);
    QCOMPARE(bar->panel(1).name, QStringLiteral("HintPanel"));
    QCOMPARE(bar->panel(1).text, tagline);
    QCOMPARE(bar->panel(1).bevel, StatusPanel::Bevel::Lowered);
    QCOMPARE(bar->geometry(), QRect(0, 366, 658, 19));
    QCOMPARE(bar->panel(1).width, 560); // set by the resize at the first showing
    QCOMPARE(bar->panelRect(1).right(), bar->width() - 1);
}

void tst_StatusBarHandlers::mouseMove_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<Qt::CursorShape>("cursor");
    QTest::addColumn<QString>("text");

    QTest::newRow("0: hand, invitation") << 0 << Qt::PointingHandCursor << invitation;
    QTest::newRow("90: hand, invitation") << 90 << Qt::PointingHandCursor << invitation;
    QTest::newRow("91: default, invitation") << 91 << Qt::ArrowCursor << invitation;
    QTest::newRow("96: default, invitation") << 96 << Qt::ArrowCursor << invitation;
    QTest::newRow("97: default, tagline") << 97 << Qt::ArrowCursor << tagline;
    QTest::newRow("400: default, tagline") << 400 << Qt::ArrowCursor << tagline;
}

void tst_StatusBarHandlers::mouseMove()
{
    QFETCH(int, x);
    MainWindowFixture f;
    QVERIFY(f.start());
    StatusBar* bar = f.ui().statusBar;
    // Start from the other side of both bounds, so each row shows a change.
    moveOverBar(f, x < 91 ? 300 : 40);
    QCOMPARE(bar->cursor().shape(), x < 91 ? Qt::ArrowCursor : Qt::PointingHandCursor);
    moveOverBar(f, x);
    QTEST(bar->cursor().shape(), "cursor");
    QTEST(hintPanel(f), "text");
    QVERIFY(f.shell.opened.isEmpty());
}

void tst_StatusBarHandlers::panelRelease_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QStringList>("opened");

    QTest::newRow("link panel, left") << 40 << Qt::LeftButton << QStringList{home};
    QTest::newRow("link panel, right") << 40 << Qt::RightButton << QStringList{home};
    QTest::newRow("link panel, middle") << 95 << Qt::MiddleButton << QStringList{home};
    QTest::newRow("hint panel, left") << 96 << Qt::LeftButton << QStringList{};
    QTest::newRow("hint panel, right") << 400 << Qt::RightButton << QStringList{};
}

void tst_StatusBarHandlers::panelRelease()
{
    QFETCH(int, x);
    QFETCH(Qt::MouseButton, button);
    MainWindowFixture f;
    QVERIFY(f.start());
    StatusBar* bar = f.ui().statusBar;
    const QString before = hintPanel(f);
    // The bar acts on the release alone.
    QTest::mouseRelease(bar, button, {}, QPoint(x, 9));
    QTEST(f.shell.opened, "opened");
    QCOMPARE(hintPanel(f), before);
    QCOMPARE(f.shell.beeps, 0);
    QVERIFY(f.dialogs.messages().isEmpty());
}

void tst_StatusBarHandlers::linkPanelShellFailureBeepsOnce()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    f.shell.succeed = false;
    QTest::mouseClick(f.ui().statusBar, Qt::LeftButton, {}, QPoint(40, 9));
    QCOMPARE(f.shell.opened, QStringList{home});
    QCOMPARE(f.shell.beeps, 1);
    QVERIFY(f.dialogs.messages().isEmpty());
}

void tst_StatusBarHandlers::linkPanelSwallowsErrors()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    f.shell.failWith = QStringLiteral("no way out");
    QTest::mouseClick(f.ui().statusBar, Qt::RightButton, {}, QPoint(40, 9));
    QCOMPARE(f.shell.opened, QStringList{home});
    QVERIFY(f.dialogs.messages().isEmpty());
    QCOMPARE(f.shell.beeps, 0);
}

void tst_StatusBarHandlers::resize_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("hintWidth");

    QTest::newRow("658") << 658 << 560;
    QTest::newRow("300") << 300 << 202;
    QTest::newRow("98: nothing left") << 98 << 0;
}

void tst_StatusBarHandlers::resize()
{
    QFETCH(int, width);
    MainWindowFixture f;
    QVERIFY(f.start());
    StatusBar* bar = f.ui().statusBar;
    bar->resize(width == 658 ? 500 : 658, 19); // a real change each time
    bar->resize(width, 19);
    QTEST(bar->panel(1).width, "hintWidth");
    QCOMPARE(bar->panel(0).width, 96);
}

void tst_StatusBarHandlers::hintRouting_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("hint"); // empty: the control's own
    QTest::addColumn<QString>("shown");

    QTest::newRow("reset button: long part") << "btnReset"
                                             << ""
                                             << " Reset Default Values ...";
    QTest::newRow("hint without a bar: whole") << "btnHelp"
                                               << ""
                                               << " Help ...";
    QTest::newRow("loan field") << "edtInterest2"
                                << ""
                                << " Enter the annual interest rate";
    QTest::newRow("two bars: after the second") << "btnAbout"
                                                << "About|Long|Tail"
                                                << "Tail";
    QTest::newRow("no hinted ancestor: empty") << "Panel1"
                                               << ""
                                               << "";
}

void tst_StatusBarHandlers::hintRouting()
{
    QFETCH(QString, control);
    QFETCH(QString, hint);
    MainWindowFixture f;
    QVERIFY(f.start());
    QWidget* target = f.w().findChild<QWidget*>(control);
    QVERIFY(target);
    if (!hint.isEmpty())
        target->setProperty("hint", hint);
    // Come from a control with another hint, so that the panel changes.
    QTest::mouseMove(f.ui().btnUpdate);
    QCOMPARE(hintPanel(f), QStringLiteral(" Check for New Version ..."));
    QTest::mouseMove(target, QPoint(3, 3));
    QTEST(hintPanel(f), "shown");
}

void tst_StatusBarHandlers::lastWriterWins()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    QTest::mouseMove(f.ui().btnReset);
    QCOMPARE(hintPanel(f), QStringLiteral(" Reset Default Values ..."));
    // Onto the bar: the move writes the invitation, then the emptied hint empties the panel.
    moveOverBar(f, 40);
    QCOMPARE(hintPanel(f), QString());
    moveOverBar(f, 41);
    QCOMPARE(hintPanel(f), invitation);
    // Off to a place without a hint: the hint stays empty, the bar's text stays.
    QTest::mouseMove(f.ui().Panel1, QPoint(3, 3));
    QCOMPARE(hintPanel(f), invitation);
    QTest::mouseMove(f.ui().btnHelp);
    QCOMPARE(hintPanel(f), QStringLiteral(" Help ..."));
}

void tst_StatusBarHandlers::noTipsOverTheWindow()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    QToolTip::hideText();
    for (QWidget* w :
         {static_cast<QWidget*>(f.ui().statusBar), static_cast<QWidget*>(f.ui().btnReset),
          static_cast<QWidget*>(f.ui().edtLoan)}) {
        QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w, &tip);
        QVERIFY2(!QToolTip::isVisible(), qPrintable(w->objectName()));
    }
}

int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_StatusBarHandlers test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_StatusBarHandlers.moc"

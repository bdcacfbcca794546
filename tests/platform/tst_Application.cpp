#include "RecordingExceptionHandler.h"
#include "ScriptedDialogs.h"
#include "platform/Application.h"

#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

namespace {

class Thrower : public QObject
{
    Q_OBJECT
signals:
    void fire();
};

// Notes the application's hint while its own mouse move is handled.
class HintReader : public QWidget
{
public:
    using QWidget::QWidget;
    QString seen = QStringLiteral("<no move>");

protected:
    void mouseMoveEvent(QMouseEvent*) override { seen = Application::instance()->hint(); }
};

// A window with hinted and unhinted controls, one inside another.
struct HintWindow
{
    HintWindow()
    {
        window.resize(300, 200);
        hinted->setGeometry(0, 0, 100, 100);
        hinted->setProperty("hint", QStringLiteral("Reset| Reset Default Values ..."));
        inner->setGeometry(10, 10, 50, 30);
        plain->setGeometry(150, 0, 100, 100);
        single->setGeometry(150, 120, 100, 30);
        single->setProperty("hint", QStringLiteral(" Help ..."));
        twoBars->setGeometry(0, 120, 100, 30);
        twoBars->setProperty("hint", QStringLiteral("About|Long|Tail"));
        reader->setGeometry(0, 160, 100, 30);
        reader->setProperty("hint", QStringLiteral("Mine"));
        reader->setMouseTracking(true);
    }
    QWidget* child(const QString& name)
    {
        const QHash<QString, QWidget*> children{{"hinted", hinted},   {"inner", inner},
                                                {"plain", plain},     {"single", single},
                                                {"twoBars", twoBars}, {"reader", reader}};
        return children.value(name);
    }

    QWidget window;
    QFrame* hinted = new QFrame(&window);
    QLabel* inner = new QLabel(QStringLiteral("inner"), hinted);
    QFrame* plain = new QFrame(&window);
    QPushButton* single = new QPushButton(QStringLiteral("single"), &window);
    QFrame* twoBars = new QFrame(&window);
    HintReader* reader = new HintReader(&window);
};

} // namespace

class tst_Application : public QObject
{
    Q_OBJECT

private slots:
    void init() { app()->setExceptionHandler(nullptr); }

    void slotErrorReachesHandlerWithSender();
    void eventHandlerErrorReachesHandler();
    void errorInNestedModalLoop();
    void abortIsDropped();
    void slotCanBeReadAndSwapped();
    void plainErrorBox_data();
    void plainErrorBox();
    void longHint_data();
    void longHint();
    void hintFollowsThePointer_data();
    void hintFollowsThePointer();
    void hintChangeIsRaisedOnlyOnChange();
    void hintEmptiesWhenThePointerLeaves();
    void hintIsTakenAfterTheMoveIsHandled();
    void hintTiming();
    void overflowArrowsAreTheStylesOwn_data();
    void overflowArrowsAreTheStylesOwn();

private:
    static Application* app() { return Application::instance(); }
};

void tst_Application::slotErrorReachesHandlerWithSender()
{
    RecordingExceptionHandler handler;
    app()->setExceptionHandler(&handler);
    QPushButton button;
    bindHandler(&button, &QPushButton::clicked, this,
                [] { throw EConvertError(QStringLiteral("bad number")); });
    button.click();
    QCOMPARE(handler.messages, QStringList{QStringLiteral("bad number")});
    QCOMPARE(handler.senders.value(0), &button);
}

void tst_Application::eventHandlerErrorReachesHandler()
{
    // A plain connection: the error leaves the slot and is caught where the event is delivered.
    RecordingExceptionHandler handler;
    app()->setExceptionHandler(&handler);
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [] { throw EZeroDivide(); });
    timer.start(0);
    QTRY_COMPARE(handler.messages.size(), 1);
    QCOMPARE(handler.messages.first(), QStringLiteral("Floating point division by zero"));
    QCOMPARE(handler.senders.first(), &timer);
}

void tst_Application::errorInNestedModalLoop()
{
    RecordingExceptionHandler handler;
    app()->setExceptionHandler(&handler);
    QEventLoop loop;
    Thrower thrower;
    bindHandler(&thrower, &Thrower::fire, this, [&] {
        loop.quit();
        throw EOverflow();
    });
    QTimer::singleShot(0, &thrower, &Thrower::fire);
    loop.exec();
    QCOMPARE(handler.messages, QStringList{QStringLiteral("Floating point overflow")});
    QCOMPARE(handler.senders.value(0), &thrower);
}

void tst_Application::abortIsDropped()
{
    RecordingExceptionHandler handler;
    app()->setExceptionHandler(&handler);
    ScriptedDialogs dialogs;
    Thrower thrower;
    bindHandler(&thrower, &Thrower::fire, this, [] { throw EAbort(); });
    emit thrower.fire();
    QVERIFY(handler.messages.isEmpty());
    app()->setExceptionHandler(nullptr);
    emit thrower.fire();
    QVERIFY(dialogs.messages().isEmpty());
}

void tst_Application::slotCanBeReadAndSwapped()
{
    RecordingExceptionHandler first;
    RecordingExceptionHandler second;
    app()->setExceptionHandler(&first);
    QCOMPARE(app()->exceptionHandler(), &first);
    app()->setExceptionHandler(&second);
    QVERIFY(app()->exceptionHandler() != &first);
    Thrower thrower;
    bindHandler(&thrower, &Thrower::fire, this, [] { throw Exception(QStringLiteral("x")); });
    emit thrower.fire();
    QVERIFY(first.messages.isEmpty());
    QCOMPARE(second.messages.size(), 1);
}

void tst_Application::plainErrorBox_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("letter gets a full stop") << "Disk full"
                                             << "Disk full.";
    QTest::newRow("digit gets a full stop") << "Error 404"
                                            << "Error 404.";
    QTest::newRow("full stop stays single") << "Done."
                                            << "Done.";
    QTest::newRow("exclamation mark stays") << "Stop!"
                                            << "Stop!";
    QTest::newRow("closing parenthesis stays") << "Failed (twice)"
                                               << "Failed (twice)";
    QTest::newRow("empty stays empty") << ""
                                       << "";
}

void tst_Application::plainErrorBox()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    ScriptedDialogs dialogs;
    Thrower thrower;
    bindHandler(&thrower, &Thrower::fire, this, [&] { throw EConvertError(message); });
    emit thrower.fire();
    QCOMPARE(dialogs.messages().size(), 1);
    const MessageRequest& box = dialogs.messages().first();
    QCOMPARE(box.caption, QStringLiteral("Kestrava, 1.2.00"));
    QCOMPARE(box.text, shown);
    QCOMPARE(box.icon, MessageIcon::Error);
    QCOMPARE(box.buttons, MessageButtons(MessageButton::Ok));
}

void tst_Application::longHint_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("longPart");

    QTest::newRow("short and long") << "Reset| Reset Default Values ..."
                                    << " Reset Default Values ...";
    QTest::newRow("no bar: the whole hint") << " Help ..."
                                            << " Help ...";
    QTest::newRow("two bars: all after the first") << "About|Long|Tail"
                                                   << "Long|Tail";
    QTest::newRow("bar first") << "|long"
                               << "long";
    QTest::newRow("bar last") << "short|"
                              << "";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_Application::longHint()
{
    QFETCH(QString, hint);
    QTEST(Application::longHint(hint), "longPart");
}

void tst_Application::hintFollowsThePointer_data()
{
    QTest::addColumn<QString>("child");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("hint");

    QTest::newRow("own hint, long part")
        << "hinted" << QPoint(80, 80) << " Reset Default Values ...";
    QTest::newRow("nearest hinted ancestor")
        << "inner" << QPoint(5, 5) << " Reset Default Values ...";
    QTest::newRow("hint without a bar") << "single" << QPoint(5, 5) << " Help ...";
    QTest::newRow("two bars: after the first") << "twoBars" << QPoint(5, 5) << "Long|Tail";
    QTest::newRow("no hint up to the window") << "plain" << QPoint(5, 5) << "";
}

void tst_Application::hintFollowsThePointer()
{
    QFETCH(QString, child);
    QFETCH(QPoint, at);
    HintWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    app()->setHint(QStringLiteral("<before>"));
    QTest::mouseMove(w.child(child), at);
    QTEST(app()->hint(), "hint");
}

void tst_Application::hintChangeIsRaisedOnlyOnChange()
{
    HintWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    app()->setHint(QString());
    QSignalSpy changed(app(), &Application::hintChanged);
    QTest::mouseMove(w.hinted, QPoint(80, 80));
    QTest::mouseMove(w.hinted, QPoint(85, 85)); // same control
    QTest::mouseMove(w.inner, QPoint(5, 5));    // another control with the same hint
    QCOMPARE(changed.count(), 1);
    QTest::mouseMove(w.plain, QPoint(5, 5));
    QTest::mouseMove(w.plain, QPoint(6, 6));
    QTest::mouseMove(&w.window, QPoint(290, 190)); // the window has no hint either
    QCOMPARE(changed.count(), 2);
    QCOMPARE(app()->hint(), QString());
}

void tst_Application::hintEmptiesWhenThePointerLeaves()
{
    HintWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QTest::mouseMove(w.hinted, QPoint(80, 80));
    QCOMPARE(app()->hint(), QStringLiteral(" Reset Default Values ..."));
    QCursor::setPos(w.window.frameGeometry().bottomRight() + QPoint(40, 40));
    QTRY_COMPARE(app()->hint(), QString());
}

void tst_Application::hintIsTakenAfterTheMoveIsHandled()
{
    HintWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QTest::mouseMove(w.hinted, QPoint(80, 80));
    QTest::mouseMove(w.reader, QPoint(5, 5));
    QCOMPARE(w.reader->seen, QStringLiteral(" Reset Default Values ..."));
    QCOMPARE(app()->hint(), QStringLiteral("Mine"));
}

void tst_Application::hintTiming()
{
    QStyle* style = app()->style();
    app()->setHintTiming(400, 4000);
    QCOMPARE(app()->style(), style); // the style was there from the start: nothing is restyled
    QCOMPARE(style->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 400);
    app()->setHintTiming(300, 2000);
    QCOMPARE(app()->style(), style); // set again, not stacked
    QCOMPARE(style->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 300);
    QCOMPARE(app()->hintHidePause(), 2000);

    HintWindow w;
    w.single->setToolTip(QStringLiteral("Click to go online"));
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QHelpEvent onPlain(QEvent::ToolTip, QPoint(5, 5), w.plain->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w.plain, &onPlain);
    QVERIFY(!QToolTip::isVisible());
    QHelpEvent onTipped(QEvent::ToolTip, QPoint(5, 5), w.single->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w.single, &onTipped);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Click to go online"));
    QToolTip::hideText();
}

void tst_Application::overflowArrowsAreTheStylesOwn_data()
{
    QTest::addColumn<QStyle::StandardPixmap>("arrow");
    QTest::addColumn<Qt::LayoutDirection>("direction");

    QTest::newRow("horizontal, left to right")
        << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::LeftToRight;
    QTest::newRow("horizontal, right to left")
        << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::RightToLeft;
    QTest::newRow("vertical") << QStyle::SP_ToolBarVerticalExtensionButton << Qt::LeftToRight;
}

void tst_Application::overflowArrowsAreTheStylesOwn()
{
    // Handed out before they are read, the arrows still draw as the style underneath has them.
    QFETCH(QStyle::StandardPixmap, arrow);
    QFETCH(Qt::LayoutDirection, direction);
    const QStyle* plain = app()->style();
    while (const auto* proxy = qobject_cast<const QProxyStyle*>(plain))
        plain = proxy->baseStyle();
    QStyleOption option;
    option.direction = direction;
    const QIcon icon = app()->style()->standardIcon(arrow, &option);
    const QIcon expected = plain->standardIcon(arrow, &option);
    QVERIFY(!icon.isNull());
    for (const int side : {8, 16, 32}) {
        const QPixmap drawn = icon.pixmap(QSize(side, side), 1.0);
        QVERIFY(!drawn.isNull());
        QCOMPARE(drawn.toImage(), expected.pixmap(QSize(side, side), 1.0).toImage());
        QCOMPARE(icon.actualSize(QSize(side, side)), expected.actualSize(QSize(side, side)));
    }
    QCOMPARE(icon.availableSizes(), expected.availableSizes());
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    tst_Application test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Application.moc"

#include "ScriptedDialogs.h"
#include "platform/Application.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

class RecordingHandler : public ExceptionHandler
{
public:
    void handleException(QObject* sender, const Exception& error) override
    {
        senders.append(sender);
        messages.append(error.message());
    }
    QList<QObject*> senders;
    QStringList messages;
};

class Thrower : public QObject
{
    Q_OBJECT
signals:
    void fire();
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

private:
    static Application* app() { return Application::instance(); }
};

void tst_Application::slotErrorReachesHandlerWithSender()
{
    RecordingHandler handler;
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
    RecordingHandler handler;
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
    RecordingHandler handler;
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
    RecordingHandler handler;
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
    RecordingHandler first;
    RecordingHandler second;
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

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    tst_Application test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Application.moc"

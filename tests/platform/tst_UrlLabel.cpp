#include "RecordingShell.h"
#include "platform/Application.h"
#include "platform/UrlLabel.h"

#include <QtTest>

class tst_UrlLabel : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void clickOpensTheHeldAddress_data();
    void clickOpensTheHeldAddress();
    void shellFailureBeepsOnce_data();
    void shellFailureBeepsOnce();
    void mouseClickOnTheLabel_data();
    void mouseClickOnTheLabel();
};

void tst_UrlLabel::clickOpensTheHeldAddress_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("opened");

    const QString host = QStringLiteral("www.quorvane.com/");
    const QString long1023 = host + QString(1023 - host.size(), QLatin1Char('a'));
    QTest::newRow("address as held") << "www.quorvane.com/index.htm?ref=ksv1200Free"
                                     << QStringList{"www.quorvane.com/index.htm?ref=ksv1200Free"};
    QTest::newRow("1023 characters kept whole") << long1023 << QStringList{long1023};
    QTest::newRow("longer address cut to 1023")
        << long1023 + QStringLiteral("bcdef") << QStringList{long1023};
    QTest::newRow("empty address opens nothing") << QString() << QStringList{};
}

void tst_UrlLabel::clickOpensTheHeldAddress()
{
    QFETCH(QString, url);
    RecordingShell shell;
    UrlLabel label;
    label.setURL(url);
    QStringList openedWhenClicked{QStringLiteral("<not raised>")};
    connect(&label, &UrlLabel::clicked, this, [&] { openedWhenClicked = shell.opened; });
    label.click();
    QTEST(shell.opened, "opened");
    // The label's own click event comes after the shell was asked.
    QTEST(openedWhenClicked, "opened");
    QCOMPARE(shell.params, QStringList(QStringList(shell.opened.size(), QString())));
    QCOMPARE(label.URL(), url); // kept until the next address is written
    QCOMPARE(shell.beeps, 0);
}

void tst_UrlLabel::shellFailureBeepsOnce_data()
{
    QTest::addColumn<bool>("succeed");
    QTest::addColumn<int>("beeps");

    QTest::newRow("opened: silent") << true << 0;
    QTest::newRow("shell failed: one beep") << false << 1;
}

void tst_UrlLabel::shellFailureBeepsOnce()
{
    QFETCH(bool, succeed);
    RecordingShell shell;
    shell.succeed = succeed;
    UrlLabel label;
    QSignalSpy clicked(&label, &UrlLabel::clicked);
    label.setURL(QStringLiteral("www.quorvane.com/index.htm"));
    label.click();
    QTEST(shell.beeps, "beeps");
    QCOMPARE(shell.opened.size(), 1); // not retried
    QCOMPARE(clicked.count(), 1);
}

void tst_UrlLabel::mouseClickOnTheLabel_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("opened");

    QTest::newRow("left button opens") << Qt::LeftButton << 1;
    QTest::newRow("right button does not") << Qt::RightButton << 0;
}

void tst_UrlLabel::mouseClickOnTheLabel()
{
    QFETCH(Qt::MouseButton, button);
    RecordingShell shell;
    UrlLabel label;
    label.setText(QStringLiteral("Quorvane.com"));
    label.setURL(QStringLiteral("http://www.quorvane.com/index.htm?source=ksv1200about"));
    label.resize(130, 14);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(&label, button, {}, QPoint(20, 7));
    QTEST(int(shell.opened.size()), "opened");
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_UrlLabel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_UrlLabel.moc"

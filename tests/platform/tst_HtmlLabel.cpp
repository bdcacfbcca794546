#include "AnchorProbe.h"
#include "RecordingShell.h"
#include "platform/Application.h"
#include "platform/HtmlLabel.h"

#include <QtTest>

namespace {

const QString page = QStringLiteral("http://www.quorvane.com/amortizer.htm?ref=ksv1200");

} // namespace

class tst_HtmlLabel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_label.reset(); }

    void anchorOpensOnPress_data();
    void anchorOpensOnPress();
    void pressBesideAnchorsOpensNothing();
    void handCursorOverAnchorsOnly();

private:
    std::unique_ptr<HtmlLabel> m_label;
};

void tst_HtmlLabel::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_label = std::make_unique<HtmlLabel>();
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    m_label->setFont(font);
    m_label->resize(368, 120);
    m_label->setHtml(QStringLiteral("<p><font size=2>Plain words first. <a href=\"%1\">Quorvane "
                                    "Amortizer</a> and <a href=\"mailto:someone@quorvane.com\">"
                                    "mail</a> and <a href=\"#notes\">notes</a>.</font></p>")
                         .arg(page));
    m_label->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_label.get()));
}

void tst_HtmlLabel::anchorOpensOnPress_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("succeed");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("signalled");

    QTest::newRow("web address, left button")
        << page << Qt::LeftButton << true << QStringList{page} << QStringList{};
    QTest::newRow("web address, right button")
        << page << Qt::RightButton << true << QStringList{page} << QStringList{};
    QTest::newRow("web address, middle button")
        << page << Qt::MiddleButton << true << QStringList{page} << QStringList{};
    QTest::newRow("mail address") << "mailto:someone@quorvane.com" << Qt::LeftButton << true
                                  << QStringList{"mailto:someone@quorvane.com"} << QStringList{};
    QTest::newRow("shell failure passes silently")
        << page << Qt::LeftButton << false << QStringList{page} << QStringList{};
    QTest::newRow("local anchor is only signalled")
        << "#notes" << Qt::LeftButton << true << QStringList{} << QStringList{"#notes"};
}

void tst_HtmlLabel::anchorOpensOnPress()
{
    QFETCH(QString, href);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, succeed);
    RecordingShell shell;
    shell.succeed = succeed;
    QStringList signalled;
    connect(m_label.get(), &HtmlLabel::anchorClicked, this,
            [&](const QString& h) { signalled.append(h); });
    const QPoint at = pointOnAnchor(*m_label, href);
    QVERIFY(at.x() >= 0);
    QTest::mousePress(m_label.get(), button, {}, at); // no release: the press alone opens
    QTEST(shell.opened, "opened");
    QTEST(signalled, "signalled");
    QCOMPARE(shell.beeps, 0);
    QTest::mouseRelease(m_label.get(), button, {}, at);
    QTEST(shell.opened, "opened"); // nothing more on release
}

void tst_HtmlLabel::pressBesideAnchorsOpensNothing()
{
    RecordingShell shell;
    QSignalSpy signalled(m_label.get(), &HtmlLabel::anchorClicked);
    for (const QPoint at : {QPoint(3, 6), QPoint(300, 100)}) {
        QVERIFY(m_label->anchorAt(at).isEmpty());
        QTest::mousePress(m_label.get(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(m_label.get(), Qt::LeftButton, {}, at);
    }
    QVERIFY(shell.opened.isEmpty());
    QCOMPARE(signalled.count(), 0);
}

void tst_HtmlLabel::handCursorOverAnchorsOnly()
{
    const QPoint onAnchor = pointOnAnchor(*m_label, page);
    QVERIFY(onAnchor.x() >= 0);
    QTest::mouseMove(m_label.get(), onAnchor);
    QCOMPARE(m_label->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(m_label.get(), QPoint(3, 6));
    QCOMPARE(m_label->cursor().shape(), Qt::ArrowCursor);
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_HtmlLabel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_HtmlLabel.moc"

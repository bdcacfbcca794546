#include "AnchorProbe.h"
#include "MainWindowFixture.h"
#include "platform/Application.h"
#include "platform/HtmlLabel.h"
#include "platform/ImageLabel.h"
#include "platform/UrlLabel.h"

#include <QHelpEvent>
#include <QRegularExpression>
#include <QToolTip>
#include <QtTest>

namespace {

const QString product = QStringLiteral("http://www.quorvane.com/amortizer.htm");

QStringList anchorsOf(const HtmlLabel& label)
{
    QStringList hrefs;
    static const QRegularExpression anchor(QStringLiteral("<a href=\"([^\"]*)\">"));
    for (const auto& m : anchor.globalMatch(label.html()))
        hrefs.append(m.captured(1));
    return hrefs;
}

} // namespace

class tst_PromoPage : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void layout_data();
    void layout();
    void anchors_data();
    void anchors();
    void screenShotClick_data();
    void screenShotClick();
    void screenShotShowsTheHandAndItsTip();

private:
    static HtmlLabel* label(MainWindowFixture& f, const QString& name)
    {
        return f.ui().Page2->findChild<HtmlLabel*>(name);
    }
    static ImageLabel* screenShot(MainWindowFixture& f)
    {
        return f.ui().Page2->findChild<ImageLabel*>(QStringLiteral("imgScreenShot"));
    }
};

void tst_PromoPage::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Application::instance()->setHint(QString());
}

void tst_PromoPage::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");

    QTest::newRow("Panel4") << "Panel4" << QRect(4, 5, 647, 300);
    QTest::newRow("HTMLabel3") << "HTMLabel3" << QRect(10, 12, 207, 20);
    QTest::newRow("HTMLabel2") << "HTMLabel2" << QRect(11, 40, 368, 177);
    QTest::newRow("imgScreenShot") << "imgScreenShot" << QRect(383, 12, 250, 181);
    QTest::newRow("HTMLabel1") << "HTMLabel1" << QRect(10, 219, 629, 76);
}

void tst_PromoPage::layout()
{
    QFETCH(QString, name);
    MainWindowFixture f;
    QVERIFY(f.start());
    QCOMPARE(f.ui().nbkMain->tabText(1), QStringLiteral("Try Quorvane Amortizer"));
    QWidget* w = f.ui().Page2->findChild<QWidget*>(name);
    QVERIFY(w);
    QTEST(w->geometry(), "geometry");
    // The screenshot is read when its page comes into sight.
    f.ui().nbkMain->setCurrentIndex(1);
    QCOMPARE(screenShot(f)->pixmap().toImage(),
             QImage(QStringLiteral(":/pictures/amortizer.png"))
                 .convertToFormat(screenShot(f)->pixmap().toImage().format()));
}

void tst_PromoPage::anchors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("href"); // every anchor of the label
    QTest::addColumn<int>("count");
    QTest::addColumn<Qt::MouseButton>("button");

    QTest::newRow("title: source tag, right button")
        << "HTMLabel3" << product + "?source=ksv1200" << 1 << Qt::RightButton;
    QTest::newRow("description: ref tag, left button")
        << "HTMLabel2" << product + "?ref=ksv1200" << 2 << Qt::LeftButton;
    QTest::newRow("contents: ref tag, middle button")
        << "HTMLabel1" << product + "?ref=ksv1200" << 1 << Qt::MiddleButton;
}

void tst_PromoPage::anchors()
{
    QFETCH(QString, name);
    QFETCH(QString, href);
    QFETCH(int, count);
    QFETCH(Qt::MouseButton, button);
    MainWindowFixture f;
    QVERIFY(f.start());
    f.ui().nbkMain->setCurrentIndex(1);
    HtmlLabel* l = label(f, name);
    QVERIFY(l);
    // Fixed in the text: the product code, no edition word.
    QCOMPARE(anchorsOf(*l), QStringList(count, href));
    const QPoint at = pointOnAnchor(*l, href);
    QVERIFY(at.x() >= 0);
    QTest::mousePress(l, button, {}, at);
    QCOMPARE(f.shell.opened, QStringList{href});
    QCOMPARE(f.shell.beeps, 0);
    QTest::mouseRelease(l, button, {}, at);
    QCOMPARE(f.shell.opened.size(), 1);
}

void tst_PromoPage::screenShotClick_data()
{
    QTest::addColumn<bool>("succeed");
    QTest::addColumn<int>("beeps");

    QTest::newRow("opened") << true << 0;
    QTest::newRow("shell failed: one beep") << false << 1;
}

void tst_PromoPage::screenShotClick()
{
    QFETCH(bool, succeed);
    MainWindowFixture f;
    QVERIFY(f.start());
    f.ui().nbkMain->setCurrentIndex(1);
    f.shell.succeed = succeed;
    QTest::mouseClick(screenShot(f), Qt::LeftButton, {}, QPoint(120, 90));
    const QString address = product + QStringLiteral("?ref=ksv1200FreeAboutAmortizer");
    QCOMPARE(f.shell.opened, QStringList{address});
    QCOMPARE(f.ui().UrlOnline->URL(), address); // through the hidden URL label
    QTEST(f.shell.beeps, "beeps");
    QVERIFY(f.dialogs.messages().isEmpty());
}

void tst_PromoPage::screenShotShowsTheHandAndItsTip()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    f.ui().nbkMain->setCurrentIndex(1);
    ImageLabel* shot = screenShot(f);
    QCOMPARE(shot->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(shot, QPoint(120, 90));
    QCOMPARE(shot->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(f.ui().statusBar->panel(1).text,
             QStringLiteral("Click to go online and learn more about Quorvane Amortizer"));
    QTest::mouseMove(label(f, QStringLiteral("HTMLabel2")), QPoint(300, 170));
    QCOMPARE(shot->cursor().shape(), Qt::PointingHandCursor); // nothing sets it back

    QToolTip::hideText();
    QHelpEvent tip(QEvent::ToolTip, QPoint(120, 90), shot->mapToGlobal(QPoint(120, 90)));
    QApplication::sendEvent(shot, &tip);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(),
             QStringLiteral("Click to go online and learn more about Quorvane Amortizer"));
    QToolTip::hideText();
}

int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_PromoPage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PromoPage.moc"

#include "platform/Application.h"
#include "platform/DeferredIcon.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

QPixmap filled(int side, QColor color)
{
    QPixmap pixmap(side, side);
    pixmap.fill(color);
    return pixmap;
}

// Red at 16 pixels, blue at 32, counting how often it is made.
QIcon counted(int& made)
{
    return DeferredIcon::make([&made] {
        ++made;
        QIcon icon;
        icon.addPixmap(filled(16, Qt::red));
        icon.addPixmap(filled(32, Qt::blue));
        return icon;
    });
}

} // namespace

class tst_DeferredIcon : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void madeOnceWhenFirstDrawn();
    void drawsAsTheMadeIcon_data();
    void drawsAsTheMadeIcon();
    void paintsAtTheDevicesDensity();
    void anEmptyMadeIconIsNull();
};

void tst_DeferredIcon::madeOnceWhenFirstDrawn()
{
    int made = 0;
    const QIcon icon = counted(made);
    QIcon copy = icon;
    QVERIFY(!icon.isNull());
    QCOMPARE(made, 0); // made, copied and asked whether it is there: nothing made yet
    QCOMPARE(icon.pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    QCOMPARE(made, 1);
    copy.detach(); // a copy of its own still shares what was made
    QCOMPARE(copy.pixmap(32).toImage().pixelColor(8, 8), QColor(Qt::blue));
    QCOMPARE(made, 1);
}

void tst_DeferredIcon::drawsAsTheMadeIcon_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QIcon::Mode>("mode");

    QTest::newRow("16, normal") << 16 << QIcon::Normal;
    QTest::newRow("24, normal") << 24 << QIcon::Normal;
    QTest::newRow("32, disabled") << 32 << QIcon::Disabled;
    QTest::newRow("64, selected") << 64 << QIcon::Selected;
}

void tst_DeferredIcon::drawsAsTheMadeIcon()
{
    QFETCH(int, side);
    QFETCH(QIcon::Mode, mode);
    int made = 0;
    const QIcon icon = counted(made);
    int made2 = 0;
    const QIcon direct = counted(made2);
    (void)direct.pixmap(1); // made at once: the icon as it would be without waiting
    const QSize size(side, side);
    QCOMPARE(icon.pixmap(size, 1.0, mode).toImage(), direct.pixmap(size, 1.0, mode).toImage());
    QCOMPARE(icon.actualSize(size, mode), direct.actualSize(size, mode));
    QCOMPARE(icon.availableSizes(), direct.availableSizes());
}

void tst_DeferredIcon::paintsAtTheDevicesDensity()
{
    int made = 0;
    const QIcon icon = counted(made);
    QImage canvas(40, 40, QImage::Format_ARGB32);
    canvas.setDevicePixelRatio(2);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    icon.paint(&painter, QRect(2, 2, 16, 16));
    painter.end();
    QCOMPARE(canvas.pixelColor(5, 5), QColor(Qt::blue)); // drawn from the 32-pixel picture
    QCOMPARE(canvas.pixelColor(38, 38), QColor(Qt::white));
}

void tst_DeferredIcon::anEmptyMadeIconIsNull()
{
    const QIcon icon = DeferredIcon::make([] { return QIcon(); });
    QVERIFY(icon.pixmap(16).isNull());
    QVERIFY(icon.isNull());
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_DeferredIcon test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DeferredIcon.moc"

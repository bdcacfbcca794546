#include "platform/Application.h"
#include "platform/PictureIcon.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Writes <folder>/<side>x<side>.png filled with one colour.
bool writePicture(const QString& folder, int side, QColor color)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    return QDir().mkpath(folder) &&
           image.save(QStringLiteral("%1/%2x%2.png").arg(folder).arg(side));
}

QColor colorOf(const QPixmap& pixmap)
{
    return pixmap.toImage().pixelColor(pixmap.width() / 2, pixmap.height() / 2);
}

} // namespace

class tst_PictureIcon : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void sizeIsDrawnFromItsPicture_data();
    void sizeIsDrawnFromItsPicture();
    void looksComeFromTheirFolders();
    void picturesAreReadWhenDrawn();
    void paintsIntoTheRectangle();
    void withoutPicturesTheIconIsNull();
};

void tst_PictureIcon::sizeIsDrawnFromItsPicture_data()
{
    QTest::addColumn<int>("asked");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("color");

    // Pictures of 16 (red) and 32 (blue).
    QTest::newRow("its own size") << 16 << QSize(16, 16) << QColor(Qt::red);
    QTest::newRow("the larger one") << 32 << QSize(32, 32) << QColor(Qt::blue);
    QTest::newRow("between: from the next larger") << 24 << QSize(24, 24) << QColor(Qt::blue);
    QTest::newRow("below the smallest: scaled down") << 12 << QSize(12, 12) << QColor(Qt::red);
    QTest::newRow("beyond the largest: not blown up") << 48 << QSize(32, 32) << QColor(Qt::blue);
}

void tst_PictureIcon::sizeIsDrawnFromItsPicture()
{
    QFETCH(int, asked);
    QTemporaryDir dir;
    const QString normal = dir.filePath(QStringLiteral("normal"));
    QVERIFY(writePicture(normal, 16, Qt::red));
    QVERIFY(writePicture(normal, 32, Qt::blue));
    const QIcon icon = PictureIcon::fromFolders({32, 16}, normal);

    QCOMPARE(icon.availableSizes(), QList<QSize>({QSize(16, 16), QSize(32, 32)}));
    const QPixmap pixmap = icon.pixmap(QSize(asked, asked), 1.0);
    QTEST(pixmap.size(), "size");
    QTEST(colorOf(pixmap), "color");
    QTEST(icon.actualSize(QSize(asked, asked)), "size");
}

void tst_PictureIcon::looksComeFromTheirFolders()
{
    QTemporaryDir dir;
    const QString normal = dir.filePath(QStringLiteral("normal"));
    const QString hover = dir.filePath(QStringLiteral("hover"));
    QVERIFY(writePicture(normal, 16, Qt::red));
    QVERIFY(writePicture(hover, 16, Qt::green));
    const QIcon icon = PictureIcon::fromFolders({16}, normal, QString(), hover);

    QCOMPARE(colorOf(icon.pixmap(16, QIcon::Normal)), QColor(Qt::red));
    QCOMPARE(colorOf(icon.pixmap(16, QIcon::Active)), QColor(Qt::green));
    // No disabled pictures: the style works the look out from the normal one, as for any icon.
    const QPixmap normalPixmap = icon.pixmap(16, QIcon::Normal);
    QStyleOption option;
    option.palette = QApplication::palette();
    const QPixmap expected =
        QApplication::style()->generatedIconPixmap(QIcon::Disabled, normalPixmap, &option);
    QCOMPARE(icon.pixmap(16, QIcon::Disabled).toImage(), expected.toImage());
    QVERIFY(icon.pixmap(16, QIcon::Disabled).toImage() != normalPixmap.toImage());
}

void tst_PictureIcon::picturesAreReadWhenDrawn()
{
    // The icon is made before its pictures exist: nothing is read until it is drawn.
    QTemporaryDir dir;
    const QString normal = dir.filePath(QStringLiteral("normal"));
    const QIcon icon = PictureIcon::fromFolders({16, 32}, normal);
    QVERIFY(!icon.isNull());
    QVERIFY(writePicture(normal, 16, Qt::red));
    QVERIFY(writePicture(normal, 32, Qt::blue));
    QCOMPARE(colorOf(icon.pixmap(16)), QColor(Qt::red));
    QCOMPARE(colorOf(icon.pixmap(32)), QColor(Qt::blue));
}

void tst_PictureIcon::paintsIntoTheRectangle()
{
    QTemporaryDir dir;
    const QString normal = dir.filePath(QStringLiteral("normal"));
    QVERIFY(writePicture(normal, 16, Qt::red));
    QVERIFY(writePicture(normal, 32, Qt::blue));
    const QIcon icon = PictureIcon::fromFolders({16, 32}, normal);

    // A painting device of twice the density draws from the 32-pixel picture.
    QImage canvas(40, 40, QImage::Format_ARGB32);
    canvas.setDevicePixelRatio(2);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    icon.paint(&painter, QRect(2, 2, 16, 16));
    painter.end();
    QCOMPARE(canvas.pixelColor(4, 4), QColor(Qt::blue));    // inside, in device pixels
    QCOMPARE(canvas.pixelColor(38, 38), QColor(Qt::white)); // outside
}

void tst_PictureIcon::withoutPicturesTheIconIsNull()
{
    QVERIFY(PictureIcon::fromFolders({16}, QString()).isNull());
    QVERIFY(PictureIcon::fromFolders({}, QStringLiteral("/nowhere")).isNull());
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_PictureIcon test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PictureIcon.moc"

// Mouse events go through the window system, so the button learns when the pointer is over it.
#define QTEST_QPA_MOUSE_HANDLING

#include "platform/Application.h"
#include "platform/GraphicButton.h"

#include <QtTest>

namespace {

const QColor normalColour(201, 3, 7);
const QColor disabledColour(91, 87, 93);
const QColor hoverColour(3, 171, 5);

QPixmap solid(const QColor& colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return pixmap;
}

// How many pixels of the button, as drawn, have exactly this colour.
int pixelsOf(QWidget& widget, const QColor& colour)
{
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                ++count;
        }
    }
    return count;
}

} // namespace

class tst_GraphicButton : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void pictureFollowsThePointer_data();
    void pictureFollowsThePointer();
};

void tst_GraphicButton::pictureFollowsThePointer_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("pointerOver");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QColor>("shown");

    QTest::newRow("idle") << true << false << false << int(QIcon::Normal) << normalColour;
    QTest::newRow("focused: still the normal picture")
        << true << true << false << int(QIcon::Normal) << normalColour;
    QTest::newRow("pointer over") << true << false << true << int(QIcon::Active) << hoverColour;
    QTest::newRow("pointer over, focused")
        << true << true << true << int(QIcon::Active) << hoverColour;
    QTest::newRow("disabled, pointer over")
        << false << false << true << int(QIcon::Disabled) << disabledColour;
}

void tst_GraphicButton::pictureFollowsThePointer()
{
    QFETCH(bool, enabled);
    QFETCH(bool, focused);
    QFETCH(bool, pointerOver);
    QFETCH(QColor, shown);

    QWidget window;
    window.resize(200, 80);
    auto* other = new QPushButton(QStringLiteral("Other"), &window);
    other->setGeometry(10, 45, 80, 24);
    auto* button = new GraphicButton(&window);
    button->setGeometry(10, 10, 129, 24);
    button->setText(QStringLiteral(" &Retrieve Update"));
    button->setIconSize(QSize(16, 16));
    QIcon icon;
    icon.addPixmap(solid(normalColour), QIcon::Normal);
    icon.addPixmap(solid(disabledColour), QIcon::Disabled);
    icon.addPixmap(solid(hoverColour), QIcon::Active);
    button->setIcon(icon);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QTest::mouseMove(&window, QPoint(150, 70)); // nowhere near the button
    button->setEnabled(enabled);
    (focused ? static_cast<QWidget*>(button) : other)->setFocus(Qt::OtherFocusReason);
    if (pointerOver)
        QTest::mouseMove(button, button->rect().center());
    QCOMPARE(button->hasFocus(), focused);
    QCOMPARE(button->underMouse(), pointerOver);

    QTEST(int(button->iconMode()), "mode");
    // The whole 16 x 16 picture of that state is drawn, and no other.
    QCOMPARE(pixelsOf(*button, shown), 16 * 16);
    for (const QColor& colour : {normalColour, disabledColour, hoverColour}) {
        if (colour != shown)
            QCOMPARE(pixelsOf(*button, colour), 0);
    }

    // The pointer leaving brings the normal picture back.
    if (pointerOver && enabled) {
        QTest::mouseMove(&window, QPoint(150, 70));
        QCOMPARE(button->iconMode(), QIcon::Normal);
        QCOMPARE(pixelsOf(*button, normalColour), 16 * 16);
    }
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_GraphicButton test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_GraphicButton.moc"

#include "MainWindowFixture.h"
#include "app/Pictures.h"
#include "platform/Application.h"

#include <QMenu>
#include <QToolButton>
#include <QtTest>

namespace {

// A picture as its SVG files draw it.
QIcon fromSvg(const QString& name)
{
    QIcon icon(QStringLiteral(":/icons/%1.svg").arg(name));
    icon.addFile(QStringLiteral(":/icons/%1-disabled.svg").arg(name), {}, QIcon::Disabled);
    icon.addFile(QStringLiteral(":/icons/%1-hover.svg").arg(name), {}, QIcon::Active);
    return icon;
}

QImage drawn(const QIcon& icon, int side, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(side, side), 1.0, mode)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QAction* entryOf(QMenu* menu, const QString& name)
{
    for (QAction* a : menu->actions()) {
        if (a->objectName() == name || (a->menu() && a->menu()->objectName() == name))
            return a;
    }
    return nullptr;
}

} // namespace

class tst_Pictures : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void toolbarButtonsShowTheirPictures_data();
    void toolbarButtonsShowTheirPictures();
    void menuEntriesShowTheirPictures_data();
    void menuEntriesShowTheirPictures();
    void windowIconInTheSizesOfItsSvg();
};

void tst_Pictures::toolbarButtonsShowTheirPictures_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("picture");

    QTest::newRow("btnReset") << "btnReset"
                              << "reset";
    QTest::newRow("btnUpdate") << "btnUpdate"
                               << "update";
    QTest::newRow("btnHelp") << "btnHelp"
                             << "help";
    QTest::newRow("btnAbout") << "btnAbout"
                              << "about";
}

void tst_Pictures::toolbarButtonsShowTheirPictures()
{
    QFETCH(QString, button);
    QFETCH(QString, picture);
    MainWindowFixture f;
    QVERIFY(f.start());
    auto* b = f.ui().Panel2->findChild<QToolButton*>(button);
    QVERIFY(b);
    QCOMPARE(b->iconSize(), QSize(16, 16));
    const QIcon svg = fromSvg(picture);
    // Each look, at the button's size on screens of scale 1, 1.25, 1.5, 2 and 3.
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active}) {
        for (const int side : {16, 20, 24, 32, 48}) {
            const QString where = QStringLiteral("look %1, %2 pixels").arg(mode).arg(side);
            QVERIFY2(drawn(b->icon(), side, mode) == drawn(svg, side, mode), qPrintable(where));
        }
    }
}

void tst_Pictures::menuEntriesShowTheirPictures_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entry"); // an action, or the submenu it opens
    QTest::addColumn<QString>("picture");

    const QList<std::tuple<const char*, const char*, const char*>> rows{
        {"File1", "mnuFileReset", "reset"},
        {"File1", "mnuFilePrintSetup", "print"},
        {"File1", "mnuFilePrint", "print"},
        {"File1", "mnuFileExit", "exit"},
        {"Internet1", "mnuInternetWeb", "web"},
        {"Internet1", "mnuInternetBlog", "blog"},
        {"Internet1", "mnuInternetEmail", "mail"},
        {"Internet1", "mnuInternetDownload", "download"},
        {"Internet1", "mnuInternetUpdate", "update"},
        {"mnuInternetWeb", "mnuInternetProductInfo", "product"},
        {"mnuInternetWeb", "mnuInternetHome", "home"},
        {"mnuInternetWeb", "mnuInternetFreeware", "download"},
        {"mnuInternetWeb", "mnuInternetSuggest", "suggest"},
        {"mnuInternetWeb", "mnuInternetPartner1", "link"},
        {"mnuInternetWeb", "mnuInternetPartner2", "link"},
        {"mnuInternetEmail", "mnuInternetSendSuggestions", "mail"},
        {"mnuInternetEmail", "mnuInternetTechSupport", "mail"},
        {"mnuInternetDownload", "mnuInternetProduct1", "product"},
        {"mnuInternetDownload", "mnuInternetProduct6", "product"},
        {"Help1", "Contents1", "book"},
        {"Help1", "SearchforHelpOn1", "search"},
        {"Help1", "HowtoUseHelp1", "help"},
        {"Help1", "About1", "about"},
        {"mnuPop", "mnuPopReset", "reset"},
        {"mnuPop", "mnuPopPrinterSetup", "print"},
        {"mnuPop", "mnuPopPrint", "print"},
        {"mnuPop", "mnuPopAbout", "about"},
        {"mnuPop", "mnuPopExit", "exit"},
    };
    for (const auto& [menu, entry, picture] : rows)
        QTest::newRow(entry) << menu << entry << picture;
}

void tst_Pictures::menuEntriesShowTheirPictures()
{
    QFETCH(QString, menu);
    QFETCH(QString, entry);
    QFETCH(QString, picture);
    MainWindowFixture f;
    QVERIFY(f.start());
    auto* m = f.w().findChild<QMenu*>(menu);
    QVERIFY(m);
    QAction* a = entryOf(m, entry);
    QVERIFY(a);

    m->popup(f.w().mapToGlobal(QPoint(20, 40)));
    QVERIFY(m->isVisible());
    const QIcon svg = fromSvg(picture);
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active})
        QCOMPARE(drawn(a->icon(), 16, mode), drawn(svg, 16, mode));
    m->hide();
    // Shown again, the entry keeps its picture.
    m->popup(f.w().mapToGlobal(QPoint(20, 40)));
    QCOMPARE(drawn(a->icon(), 16), drawn(svg, 16));
    m->hide();
}

void tst_Pictures::windowIconInTheSizesOfItsSvg()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    const QIcon icon = f.w().windowIcon();
    const QIcon svg(QStringLiteral(":/icons/kestrava.svg"));
    const QList<QSize> sizes{QSize(16, 16), QSize(32, 32), QSize(64, 64), QSize(128, 128)};
    QCOMPARE(icon.availableSizes(), sizes);
    for (const QSize& size : sizes)
        QVERIFY2(drawn(icon, size.width()) == drawn(svg, size.width()),
                 qPrintable(QString::number(size.width())));
}

int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_Pictures test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Pictures.moc"

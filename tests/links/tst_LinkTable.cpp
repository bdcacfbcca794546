#include "MainWindowFixture.h"
#include "platform/Application.h"
#include "platform/StatusBar.h"
#include "platform/UrlLabel.h"

#include <QtTest>

namespace {

// Chooses a link entry as the user would, or releases the left button over the status bar's
// link panel when the name is "WebPanel".
void choose(MainWindowFixture& f, const QString& entry)
{
    if (entry == QLatin1String("WebPanel")) {
        StatusBar* bar = f.ui().statusBar;
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(40, bar->height() / 2));
        return;
    }
    QAction* action = f.w().findChild<QAction*>(entry);
    QVERIFY2(action, qPrintable(entry));
    action->trigger();
}

} // namespace

class tst_LinkTable : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void everyEntryOpensItsAddress_data();
    void everyEntryOpensItsAddress();
    void twoEntriesInARowOpenTwoAddresses();
    void shellFailureBeepsOnce();
    void menuErrorIsReported();
};

void tst_LinkTable::everyEntryOpensItsAddress_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("address");

    const QString site = QStringLiteral("www.quorvane.com/");
    const QString tag = QStringLiteral("?ref=ksv1200Free");
    QTest::newRow("product information") << "mnuInternetProductInfo" << site + "kestrava.htm" + tag;
    QTest::newRow("home page") << "mnuInternetHome" << site + "index.htm" + tag;
    QTest::newRow("freeware page") << "mnuInternetFreeware" << site + "freeware.htm" + tag;
    QTest::newRow("suggestion box") << "mnuInternetSuggest" << site + "suggest.htm" + tag;
    QTest::newRow("partner 1") << "mnuInternetPartner1"
                               << "www.ledgerwick.com/index.htm" + tag;
    QTest::newRow("partner 2") << "mnuInternetPartner2"
                               << "www.tallyburn.net/index.htm" + tag;
    QTest::newRow("blog") << "mnuInternetBlog" << site + "blogsite.htm" + tag;
    QTest::newRow("send suggestions: edition in the local part, no tag")
        << "mnuInternetSendSuggestions"
        << "mailto:ksv1200Free.Suggest@quorvane.com";
    QTest::newRow("tech support: edition in the local part, no tag")
        << "mnuInternetTechSupport"
        << "mailto:ksv1200Free.Support@quorvane.com";
    QTest::newRow("product 1") << "mnuInternetProduct1" << site + "amortizer.htm" + tag;
    QTest::newRow("product 2") << "mnuInternetProduct2" << site + "budget.htm" + tag;
    QTest::newRow("product 3") << "mnuInternetProduct3" << site + "mortcomp.htm" + tag;
    QTest::newRow("product 4") << "mnuInternetProduct4" << site + "savings.htm" + tag;
    QTest::newRow("product 5") << "mnuInternetProduct5" << site + "retire.htm" + tag;
    QTest::newRow("product 6") << "mnuInternetProduct6" << site + "currpad.htm" + tag;
    QTest::newRow("status bar link panel: the home page") << "WebPanel" << site + "index.htm" + tag;
}

void tst_LinkTable::everyEntryOpensItsAddress()
{
    QFETCH(QString, entry);
    QFETCH(QString, address);
    MainWindowFixture f;
    QVERIFY(f.start());
    choose(f, entry);
    QCOMPARE(f.shell.opened, QStringList{address});
    QCOMPARE(f.shell.params, QStringList{QString()});
    QCOMPARE(f.ui().UrlOnline->URL(), address); // held until the next link
    QVERIFY(f.ui().UrlOnline->isHidden());
    QCOMPARE(f.shell.beeps, 0);
    QVERIFY(f.dialogs.messages().isEmpty());
}

void tst_LinkTable::twoEntriesInARowOpenTwoAddresses()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    choose(f, QStringLiteral("mnuInternetHome"));
    choose(f, QStringLiteral("mnuInternetBlog"));
    choose(f, QStringLiteral("WebPanel"));
    QCOMPARE(f.shell.opened, QStringList({"www.quorvane.com/index.htm?ref=ksv1200Free",
                                          "www.quorvane.com/blogsite.htm?ref=ksv1200Free",
                                          "www.quorvane.com/index.htm?ref=ksv1200Free"}));
}

void tst_LinkTable::shellFailureBeepsOnce()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    f.shell.succeed = false;
    const QString payment = f.ui().edtPayment->text();
    choose(f, QStringLiteral("mnuInternetFreeware"));
    QCOMPARE(f.shell.opened.size(), 1);
    QCOMPARE(f.shell.beeps, 1);
    QVERIFY(f.dialogs.messages().isEmpty());
    QCOMPARE(f.ui().edtPayment->text(), payment);
    QVERIFY(f.w().isVisible());
}

void tst_LinkTable::menuErrorIsReported()
{
    // A menu entry catches nothing: an error on the way reaches the window's error handler.
    MainWindowFixture f;
    QVERIFY(f.start());
    f.shell.failWith = QStringLiteral("no way out");
    choose(f, QStringLiteral("mnuInternetHome"));
    QCOMPARE(f.dialogs.messages().size(), 1);
    QVERIFY(f.dialogs.messages().first().text.startsWith("An unidentified error has occurred."));
}

int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_LinkTable test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_LinkTable.moc"

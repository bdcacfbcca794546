#include "MainWindowFixture.h"
#include "platform/Application.h"
#include "platform/FnpNumericEdit.h"
#include "platform/NumEdit.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void startComputesBothLoans_data();
    void startComputesBothLoans();
    void recalculation_data();
    void recalculation();
    void tooManyPaymentsIsAConversionError();
    void typedPaymentIsReplacedButCaptured();
    void frequencyChangeRecalculatesAtOnce();
    void frequencyTextIsValidatedAfterEveryKeystroke();
    void constantCanBePasted();
    void loansAreIndependent();
    void helpCommands();
    void firstStartOffersTopic10000();
    void centerForm_data();
    void centerForm();
    void menusHoldHiddenAndDisabledEntries();
    void controlsCarryAccessibleNames();
};

void tst_MainWindow::startComputesBothLoans_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("term");
    QTest::addColumn<QString>("payment");
    QTest::addColumn<QString>("interest");
    QTest::addColumn<QString>("total");

    QTest::newRow("en_US") << "en_US"
                           << "30.00 years."
                           << "$786.70"
                           << "$183,212.15"
                           << "$283,212.15";
    QTest::newRow("de_DE") << "de_DE"
                           << "30,00 years." << QString::fromUtf8("786,70\u00a0€")
                           << QString::fromUtf8("183.212,15\u00a0€")
                           << QString::fromUtf8("283.212,15\u00a0€");
}

void tst_MainWindow::startComputesBothLoans()
{
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    MainWindowFixture f;
    QVERIFY(f.start());
    for (int loan = 1; loan <= 2; ++loan) {
        const auto& c = loan == 1 ? f.w().panel1().controls() : f.w().panel2().controls();
        QTEST(c.lblTerm->text(), "term");
        QTEST(c.edtPayment->text(), "payment");
        QTEST(c.edtInterestPaid->text(), "interest");
        QTEST(c.edtTotalPaid->text(), "total");
    }
    QCOMPARE(f.ui().edtTerm->text(), QStringLiteral("360"));
    QCOMPARE(f.ui().edtInterest->text(), locale == "de_DE" ? "8,750" : "8.750");
    QCOMPARE(f.ui().cbFrequency->currentText(), QStringLiteral("Monthly 12"));
    QCOMPARE(QApplication::focusWidget(), f.ui().edtLoan);
    QVERIFY(f.dialogs.messages().isEmpty());
}

void tst_MainWindow::recalculation_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("frequency"); // chosen from the list
    QTest::addColumn<QString>("payments");
    QTest::addColumn<QString>("rate"); // typed digits only, the field keeps three decimals
    QTest::addColumn<QString>("term");
    QTest::addColumn<QString>("payment");
    QTest::addColumn<QString>("interest");
    QTest::addColumn<QString>("total");

    QTest::newRow("rate 0") << "en_US"
                            << "100000"
                            << "Monthly 12"
                            << "360"
                            << "0"
                            << "30.00 years."
                            << "$277.78"
                            << "$0.00"
                            << "$100,000.00";
    QTest::newRow("no payments") << "en_US"
                                 << "100000"
                                 << "Monthly 12"
                                 << "0"
                                 << "8.75"
                                 << "0.00 years."
                                 << "$0.00"
                                 << "($100,000.00)"
                                 << "$0.00";
    QTest::newRow("12 monthly is one year") << "en_US"
                                            << "100000"
                                            << "Monthly 12"
                                            << "12"
                                            << "8.75"
                                            << "1.00 year."
                                            << "$8,733.56"
                                            << "$4,802.70"
                                            << "$104,802.70";
    QTest::newRow("1 annually is one year") << "en_US"
                                            << "100000"
                                            << "Annually 1"
                                            << "1"
                                            << "8.75"
                                            << "1.00 year."
                                            << "$108,750.00"
                                            << "$8,750.00"
                                            << "$108,750.00";
    QTest::newRow("364 daily shows 1.00 year") << "en_US"
                                               << "1000"
                                               << "Daily 365"
                                               << "364"
                                               << "0"
                                               << "1.00 year."
                                               << "$2.75"
                                               << "$0.00"
                                               << "$1,000.00";
    QTest::newRow("6 monthly is half a year") << "en_US"
                                              << "600"
                                              << "Monthly 12"
                                              << "6"
                                              << "0"
                                              << "0.50 years."
                                              << "$100.00"
                                              << "$0.00"
                                              << "$600.00";
    QTest::newRow("3 bimonthly rounds 0.125 up") << "en_US"
                                                 << "300"
                                                 << "Bimonthly 24"
                                                 << "3"
                                                 << "0"
                                                 << "0.13 years."
                                                 << "$100.00"
                                                 << "$0.00"
                                                 << "$300.00";
    QTest::newRow("one year with a decimal comma")
        << "de_DE"
        << "1200"
        << "Monthly 12"
        << "12"
        << "0"
        << "1,00 year." << QString::fromUtf8("100,00\u00a0€") << QString::fromUtf8("0,00\u00a0€")
        << QString::fromUtf8("1.200,00\u00a0€");
    QTest::newRow("emptied amount counts as 0") << "en_US"
                                                << ""
                                                << "Monthly 12"
                                                << "360"
                                                << "8.75"
                                                << "30.00 years."
                                                << "$0.00"
                                                << "$0.00"
                                                << "$0.00";
    QTest::newRow("negative amount") << "en_US"
                                     << "-100000"
                                     << "Monthly 12"
                                     << "360"
                                     << "8.75"
                                     << "30.00 years."
                                     << "($786.70)"
                                     << "($183,212.15)"
                                     << "($283,212.15)";
    QTest::newRow("negative amount, decimal comma")
        << "de_DE"
        << "-100000"
        << "Monthly 12"
        << "360"
        << "8,75"
        << "30,00 years." << QString::fromUtf8("-786,70\u00a0€")
        << QString::fromUtf8("-183.212,15\u00a0€") << QString::fromUtf8("-283.212,15\u00a0€");
}

void tst_MainWindow::recalculation()
{
    QFETCH(QString, locale);
    QFETCH(QString, amount);
    QFETCH(QString, frequency);
    QFETCH(QString, payments);
    QFETCH(QString, rate);
    QLocale::setDefault(QLocale(locale));
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    u.cbFrequency->setCurrentIndex(u.cbFrequency->findText(frequency));
    MainWindowFixture::type(u.edtLoan, amount, u.edtTerm);
    MainWindowFixture::type(u.edtTerm, payments, u.edtInterest);
    u.edtInterest->setValue(QLocale().toDouble(rate));
    MainWindowFixture::leave(u.edtLoan);
    QTEST(u.lblTerm->text(), "term");
    QTEST(u.edtPayment->text(), "payment");
    QTEST(u.edtInterestPaid->text(), "interest");
    QTEST(u.edtTotalPaid->text(), "total");
    QVERIFY2(f.dialogs.messages().isEmpty(), "no error reported");
}

void tst_MainWindow::tooManyPaymentsIsAConversionError()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    MainWindowFixture::type(u.edtTerm, QStringLiteral("2147483648"), u.edtInterest);
    // The term label is updated first; the results keep what they showed.
    QCOMPARE(u.lblTerm->text(), QStringLiteral("178956970.67 years."));
    QCOMPARE(u.edtPayment->text(), QStringLiteral("$786.70"));
    QCOMPARE(u.edtTotalPaid->text(), QStringLiteral("$283,212.15"));
    QCOMPARE(f.dialogs.messages().size(), 1);
    QVERIFY(f.dialogs.messages().first().text.startsWith("An unidentified error has occurred."));
    QCOMPARE(f.w().lastValues(1).term, 2147483648.0);
}

void tst_MainWindow::typedPaymentIsReplacedButCaptured()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    MainWindowFixture::type(u.edtPayment, QStringLiteral("500"), u.edtLoan);
    QCOMPARE(u.edtPayment->text(), QStringLiteral("$786.70"));
    QCOMPARE(f.w().lastValues(1).payment, 500.0);
    MainWindowFixture::leave(u.edtTerm); // the next recalculation captures the computed one
    QVERIFY(qAbs(f.w().lastValues(1).payment - 786.700406) < 1e-6);
}

void tst_MainWindow::frequencyChangeRecalculatesAtOnce()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    u.cbFrequency->setFocus(Qt::TabFocusReason);
    QTest::keyClick(u.cbFrequency, Qt::Key_Down); // "Quarterly 4", still in the box
    QCOMPARE(u.cbFrequency->currentText(), QStringLiteral("Quarterly 4"));
    QCOMPARE(QApplication::focusWidget(), u.cbFrequency);
    QCOMPARE(u.lblTerm->text(), QStringLiteral("90.00 years."));
    QCOMPARE(f.w().lastValues(1).freqCode, 7);
}

void tst_MainWindow::frequencyTextIsValidatedAfterEveryKeystroke()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    QLineEdit* edit = u.cbFrequency->lineEdit();
    u.cbFrequency->setFocus(Qt::TabFocusReason);
    edit->end(false);
    QTest::keyClick(u.cbFrequency, Qt::Key_X);
    QCOMPARE(u.cbFrequency->currentText(), QStringLiteral("Monthly 12"));
    edit->end(false);
    QTest::keyClick(u.cbFrequency, Qt::Key_Backspace);
    QCOMPARE(u.cbFrequency->currentText(), QStringLiteral("Monthly 12"));
    QCOMPARE(f.w().lastValues(1).freqCode, 6);
}

void tst_MainWindow::constantCanBePasted()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    u.cbFrequency->setFocus(Qt::TabFocusReason);
    u.cbFrequency->lineEdit()->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("Constant"));
    u.cbFrequency->lineEdit()->paste();
    MainWindowFixture::leave(u.edtTerm);
    QCOMPARE(u.cbFrequency->currentText(), QStringLiteral("Constant"));
    QCOMPARE(f.w().lastValues(1).freqCode, 0);
    QCOMPARE(u.lblTerm->text(), QStringLiteral("15.00 years.")); // 360 / 24
    QCOMPARE(u.edtPayment->text(), QStringLiteral("$8,750.00"));
}

void tst_MainWindow::loansAreIndependent()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    MainWindowFixture::type(u.edtTerm2, QStringLiteral("12"), u.edtInterest2);
    QCOMPARE(u.lblTerm2->text(), QStringLiteral("1.00 year."));
    QCOMPARE(u.lblTerm->text(), QStringLiteral("30.00 years."));
    QCOMPARE(f.w().lastValues(2).term, 12.0);
    QCOMPARE(f.w().lastValues(1).term, 360.0);
    MainWindowFixture::type(u.edtPayment2, QStringLiteral("1"), u.edtLoan);
    QCOMPARE(f.w().lastValues(2).payment, 1.0);
    QCOMPARE(u.edtPayment->text(), QStringLiteral("$786.70"));
}

void tst_MainWindow::helpCommands()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    f.help.commands.clear();
    QTest::keyClick(u.edtInterest2, Qt::Key_F1);
    u.btnHelp->click();
    u.SearchforHelpOn1->trigger();
    u.HowtoUseHelp1->trigger();
    const QList<QPair<int, qint64>> expected{{3, 0}, {3, 0}, {0x0105, 0}, {4, 0}};
    QCOMPARE(f.help.commands, expected);
    QCOMPARE(f.help.files.last(), QDir(f.dir()).filePath(QStringLiteral("kestrava.hlp")));
    QVERIFY(f.close());
    QCOMPARE(f.help.commands.last(), (QPair<int, qint64>(2, 0)));
}

void tst_MainWindow::firstStartOffersTopic10000()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    QCOMPARE(f.help.commands.value(0), (QPair<int, qint64>(1, 10000)));
    QVERIFY(f.w().hasRun());
}

void tst_MainWindow::centerForm_data()
{
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QSize>("form");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("centred") << QRect(100, 100, 600, 400) << QSize(200, 100) << QPoint(300, 250);
    QTest::newRow("301 wider: -50 stored as 0")
        << QRect(100, 100, 600, 400) << QSize(901, 100) << QPoint(0, 250);
    QTest::newRow("difference -3 gives -1, not -2")
        << QRect(100, 100, 600, 400) << QSize(603, 403) << QPoint(99, 99);
    QTest::newRow("odd difference truncates")
        << QRect(0, 0, 601, 401) << QSize(200, 100) << QPoint(200, 150);
}

void tst_MainWindow::centerForm()
{
    QFETCH(QRect, main);
    QFETCH(QSize, form);
    QFETCH(QPoint, expected);
    MainWindowFixture f;
    QVERIFY(f.start());
    QWidget main_(nullptr);
    // CenterForm reads the main window's outer bounds; a plain top-level stands in for them.
    f.w().setGeometry(main);
    QWidget dialog;
    dialog.resize(form);
    const QRect outer = f.w().frameGeometry();
    f.w().CenterForm(&dialog);
    const QPoint got = dialog.frameGeometry().topLeft();
    const QPoint want(
        std::max(outer.left() + (outer.width() - dialog.frameGeometry().width()) / 2, 0),
        std::max(outer.top() + (outer.height() - dialog.frameGeometry().height()) / 2, 0));
    QCOMPARE(got, want);
    if (outer.size() == main.size() && outer.topLeft() == main.topLeft())
        QCOMPARE(got, expected);
}

void tst_MainWindow::menusHoldHiddenAndDisabledEntries()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    for (QAction* hidden : {u.mnuFilePrintSetup, u.mnuFilePrint, u.mnuInternetProductInfo})
        QVERIFY(!hidden->isVisible());
    QVERIFY(!u.mnuFilePrintSetup->isEnabled());
    QVERIFY(!u.mnuFilePrint->isEnabled());
    QVERIFY(!u.mnuInternetEmail->menuAction()->isVisible());
    QCOMPARE(u.Contents1->shortcut(), QKeySequence(Qt::Key_F1));
    QMenu* pop = f.w().popupMenu();
    QStringList names;
    for (QAction* a : pop->actions())
        names << a->objectName();
    QCOMPARE(names, QStringList({"mnuPopReset", "N14", "mnuPopPrinterSetup", "mnuPopPrint", "N15",
                                 "mnuPopAbout", "N1", "mnuPopExit"}));
    QVERIFY(!pop->actions().at(2)->isVisible() && !pop->actions().at(2)->isEnabled());
}

void tst_MainWindow::controlsCarryAccessibleNames()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    for (QLineEdit* edit : f.ui().Page1->findChildren<QLineEdit*>()) {
        if (edit->parentWidget()->inherits("QComboBox"))
            continue;
        QVERIFY2(!edit->accessibleName().isEmpty(), qPrintable(edit->objectName()));
    }
    QCOMPARE(f.ui().edtInterest2->accessibleName(), QStringLiteral("Annual Interest Rate"));
}

int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_MainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MainWindow.moc"

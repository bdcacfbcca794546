#include "MainWindowFixture.h"
#include "platform/Application.h"
#include "platform/FnpNumericEdit.h"
#include "platform/NumEdit.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QtTest>

namespace {

const QString mathMessage =
    QStringLiteral("Valid results cannot be calculated using\n\rthe variables you have entered."
                   "\n\r\n\rPlease try again with reasonable values.");
const QString otherMessage =
    QStringLiteral("An unidentified error has occurred.\r\n\r\nIf you wish contact Quorvane "
                   "Software    \r\n\r\nat:  support@quorvane.com");

void checkInformationBox(const MessageRequest& box, const QString& text)
{
    QCOMPARE(box.caption, QStringLiteral("Information"));
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, MessageIcon::Information);
    QCOMPARE(box.buttons, MessageButtons(MessageButton::Ok));
    QCOMPARE(box.defaultButton, MessageButton::Ok);
    QCOMPARE(box.escapeButton, MessageButton::Ok);
}

} // namespace

class tst_ErrorsAndReset : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void mathErrorInLoan1RestoresItsDefaults();
    void mathErrorInLoan2ResetsLoan1Only();
    void otherErrorsGetTheGeneralMessage();
    void reset_data();
    void reset();
};

void tst_ErrorsAndReset::mathErrorInLoan1RestoresItsDefaults()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    u.edtTerm->setValue(12);
    u.cbFrequency->setCurrentIndex(u.cbFrequency->findText(QStringLiteral("Annually 1")));
    u.edtInterest->setFocus(Qt::TabFocusReason);
    u.edtInterest->setValue(-1300); // as a paste or a stored value can bring it
    MainWindowFixture::leave(u.edtTerm);
    QCOMPARE(f.dialogs.messages().size(), 1);
    checkInformationBox(f.dialogs.messages().first(), mathMessage);
    QCOMPARE(u.edtLoan->value(), 100000.0L);
    QCOMPARE(u.edtInterest->text(), QStringLiteral("8.750"));
    QCOMPARE(u.edtTerm->text(), QStringLiteral("360"));
    QCOMPARE(u.cbFrequency->currentText(), QStringLiteral("Monthly 12"));
    QCOMPARE(f.w().lastValues(1).freqCode, 6);
    QCOMPARE(QApplication::focusWidget(), u.edtLoan);
}

void tst_ErrorsAndReset::mathErrorInLoan2ResetsLoan1Only()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    u.edtTerm->setValue(12);
    u.edtInterest2->setFocus(Qt::TabFocusReason);
    u.edtInterest2->setValue(-1300);
    MainWindowFixture::leave(u.edtTerm2);
    QCOMPARE(f.dialogs.messages().size(), 1);
    checkInformationBox(f.dialogs.messages().first(), mathMessage);
    QCOMPARE(u.edtTerm->text(), QStringLiteral("360"));
    QCOMPARE(u.edtInterest2->text(), QStringLiteral("-1300.000"));
    // Loan 2 keeps its values, so leaving one of its fields shows the message again.
    u.edtTerm2->setFocus(Qt::TabFocusReason);
    MainWindowFixture::leave(u.edtInterest2);
    QCOMPARE(f.dialogs.messages().size(), 2);
}

void tst_ErrorsAndReset::otherErrorsGetTheGeneralMessage()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    u.edtTerm->setFocus(Qt::TabFocusReason);
    u.edtTerm->setText(QString()); // as the edit control's own Delete can leave it
    MainWindowFixture::leave(u.edtInterest);
    QCOMPARE(f.dialogs.messages().size(), 1);
    checkInformationBox(f.dialogs.messages().first(), otherMessage);
    QCOMPARE(u.edtTerm->text(), QString()); // nothing is reset
}

void tst_ErrorsAndReset::reset_data()
{
    QTest::addColumn<QString>("sender");
    QTest::newRow("toolbar button") << "btnReset";
    QTest::newRow("File menu") << "mnuFileReset";
    QTest::newRow("context menu") << "mnuPopReset";
}

void tst_ErrorsAndReset::reset()
{
    QFETCH(QString, sender);
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    u.edtLoan->setValue(5000);
    u.edtTerm->setValue(12);
    u.edtInterest2->setValue(3);
    u.cbFrequency2->setCurrentIndex(u.cbFrequency2->findText(QStringLiteral("Annually 1")));
    u.edtTerm2->setFocus(Qt::TabFocusReason);
    MainWindowFixture::leave(u.edtLoan2);
    QCOMPARE(f.w().lastValues(2).freqCode, 9);
    u.nbkMain->setCurrentIndex(1);

    if (sender == "btnReset")
        u.btnReset->click();
    else if (sender == "mnuFileReset")
        u.mnuFileReset->trigger();
    else
        f.w().popupMenu()->findChild<QAction*>(QStringLiteral("mnuPopReset"))->trigger();

    QCOMPARE(u.nbkMain->currentIndex(), 0);
    QCOMPARE(QApplication::focusWidget(), u.edtLoan);
    for (int loan = 1; loan <= 2; ++loan) {
        const auto& c = loan == 1 ? f.w().panel1().controls() : f.w().panel2().controls();
        QCOMPARE(c.edtLoan->value(), 100000.0L); // loan 1's has the focus and shows it plain
        QCOMPARE(c.edtTerm->text(), QStringLiteral("360"));
        QCOMPARE(c.edtInterest->text(), QStringLiteral("8.750"));
        QCOMPARE(c.cbFrequency->currentText(), QStringLiteral("Monthly 12"));
        QCOMPARE(c.edtPayment->text(), QStringLiteral("$786.70"));
        QCOMPARE(c.lblTerm->text(), QStringLiteral("30.00 years."));
        const TfrmMain::LastValues last = f.w().lastValues(loan);
        QCOMPARE(last.loan, 100000.0);
        QCOMPARE(last.interest, 8.75);
        QCOMPARE(last.term, 360.0);
        QCOMPARE(last.freqCode, 6);
    }
    QVERIFY(f.dialogs.messages().isEmpty());
}

int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_ErrorsAndReset test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ErrorsAndReset.moc"

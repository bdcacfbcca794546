#include "MainWindowFixture.h"
#include "platform/Application.h"
#include "platform/FnpNumericEdit.h"
#include "platform/NumEdit.h"
#include "platform/ProfileFile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QtTest>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString iniPath(const MainWindowFixture& f)
{
    return QDir(f.dir()).filePath(QStringLiteral("Kestrava.Ini"));
}

} // namespace

class tst_SettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void fixtures_data();
    void fixtures();
    void freshFileHoldsKeysInOrder();
    void roundTrip_data();
    void roundTrip();
    void unwritableFileKeepsWindowAndRetries();
    void stoppedStartKeepsRunFlag();
    void closeWithFocusedFieldSavesLastRecalculation();
};

void tst_SettingsFile::fixtures_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("file");   // "<none>" for no file
    QTest::addColumn<double>("loan");       // edtLoan after start
    QTest::addColumn<QString>("rate");      // edtInterest after start
    QTest::addColumn<QString>("frequency"); // cbFrequency after start
    QTest::addColumn<QString>("term");      // lblTerm after start
    QTest::addColumn<bool>("helpOffered");  // topic 10000 at start
    QTest::addColumn<QByteArray>("kept");   // must still be in the file after the close
    QTest::addColumn<QString>("savedLoan"); // "Loan" after the close

    const QByteArray defaults = "[LastValues]\nLoan=100000\n";
    QTest::newRow("no file") << "en_US" << QByteArray("<none>") << 100000.0 << "8.750"
                             << "Monthly 12"
                             << "30.00 years." << true << QByteArray() << "100000";
    QTest::newRow("empty file") << "en_US" << QByteArray("") << 100000.0 << "8.750"
                                << "Monthly 12"
                                << "30.00 years." << true << QByteArray() << "100000";
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) % 256));
    QTest::newRow("binary garbage") << "en_US" << garbage << 100000.0 << "8.750"
                                    << "Monthly 12"
                                    << "30.00 years." << true << QByteArray() << "100000";
    QTest::newRow("a 1 MB line before the keys")
        << "en_US" << (QByteArray(1 << 20, 'x') + "\n[LastValues]\nLoan=5000\n") << 5000.0
        << "8.750"
        << "Monthly 12"
        << "30.00 years." << true << QByteArray() << "5000";
    QTest::newRow("a 5000-character frequency is cut to 2047")
        << "en_US" << (QByteArray("[LastValues]\nFrequency=") + QByteArray(5000, 'M') + "\n")
        << 100000.0 << "8.750" << QString(2047, QLatin1Char('M')) << "15.00 years." << true
        << QByteArray() << "100000";
    QTest::newRow("duplicate keys and sections: the first counts")
        << "en_US" << QByteArray("[LastValues]\nLoan=5000\nLoan=6000\n[LastValues]\nLoan=7000\n")
        << 5000.0 << "8.750"
        << "Monthly 12"
        << "30.00 years." << true << QByteArray() << "5000";
    QTest::newRow("keys in another letter case")
        << "en_US" << QByteArray("[lastvalues]\nLOAN=5000\nINTEREST=6\nTERM=12\n") << 5000.0
        << "6.000"
        << "Monthly 12"
        << "1.00 year." << true << QByteArray() << "5000";
    QTest::newRow("CRLF line ends")
        << "en_US" << QByteArray("[LastValues]\r\nLoan=5000\r\nterm=12\r\n") << 5000.0 << "8.750"
        << "Monthly 12"
        << "1.00 year." << true << QByteArray() << "5000";
    QTest::newRow("UTF-8 BOM") << "en_US" << QByteArray("\xEF\xBB\xBF[LastValues]\nLoan=5000\n")
                               << 5000.0 << "8.750"
                               << "Monthly 12"
                               << "30.00 years." << true << QByteArray() << "5000";
    QTest::newRow("monthly 12 in lower case stays, code 0")
        << "en_US" << QByteArray("[LastValues]\nFrequency=monthly 12\n") << 100000.0 << "8.750"
        << "monthly 12"
        << "15.00 years." << true << QByteArray() << "100000";
    QTest::newRow("Constant") << "en_US" << QByteArray("[LastValues]\nFrequency=Constant\n")
                              << 100000.0 << "8.750"
                              << "Constant"
                              << "15.00 years." << true << QByteArray() << "100000";
    QTest::newRow("Run 2") << "en_US" << QByteArray("[GeneralValues]\nRun=2\n") << 100000.0
                           << "8.750"
                           << "Monthly 12"
                           << "30.00 years." << false << QByteArray() << "100000";
    QTest::newRow("Run 0x1") << "en_US" << QByteArray("[GeneralValues]\nRun=0x1\n") << 100000.0
                             << "8.750"
                             << "Monthly 12"
                             << "30.00 years." << false << QByteArray() << "100000";
    QTest::newRow("Run $1") << "en_US" << QByteArray("[GeneralValues]\nRun=$1\n") << 100000.0
                            << "8.750"
                            << "Monthly 12"
                            << "30.00 years." << false << QByteArray() << "100000";
    QTest::newRow("Run yes") << "en_US" << QByteArray("[GeneralValues]\nRun=yes\n") << 100000.0
                             << "8.750"
                             << "Monthly 12"
                             << "30.00 years." << true << QByteArray() << "100000";
    QTest::newRow("Run empty") << "en_US" << QByteArray("[GeneralValues]\nRun=\n") << 100000.0
                               << "8.750"
                               << "Monthly 12"
                               << "30.00 years." << true << QByteArray() << "100000";
    QTest::newRow("8,75 under en_US")
        << "en_US" << QByteArray("[LastValues]\nInterest=8,75\n") << 100000.0 << "8.750"
        << "Monthly 12"
        << "30.00 years." << true << QByteArray() << "100000";
    QTest::newRow("8,75 under de_DE")
        << "de_DE" << QByteArray("[LastValues]\nInterest=8,75\n") << 100000.0 << "8,750"
        << "Monthly 12"
        << "30,00 years." << true << QByteArray() << "100000";
    QTest::newRow("8.75 under de_DE")
        << "de_DE" << QByteArray("[LastValues]\nInterest=8.75\n") << 100000.0 << "8,750"
        << "Monthly 12"
        << "30,00 years." << true << QByteArray() << "100000";
    QTest::newRow("grouping is not a number: default")
        << "en_US" << QByteArray("[LastValues]\nLoan=100,000\n") << 100000.0 << "8.750"
        << "Monthly 12"
        << "30.00 years." << true << QByteArray() << "100000";
    QTest::newRow("1E400 is beyond a double: default")
        << "en_US" << QByteArray("[LastValues]\nLoan=1E400\n") << 100000.0 << "8.750"
        << "Monthly 12"
        << "30.00 years." << true << QByteArray() << "100000";
    QTest::newRow("NaN: default") << "en_US" << QByteArray("[LastValues]\nLoan=NaN\n") << 100000.0
                                  << "8.750"
                                  << "Monthly 12"
                                  << "30.00 years." << true << QByteArray() << "100000";
    QTest::newRow("an empty number: default")
        << "en_US" << QByteArray("[LastValues]\nLoan=\nterm=12\n") << 100000.0 << "8.750"
        << "Monthly 12"
        << "1.00 year." << true << QByteArray() << "100000";
    const QByteArray other = "; comment that stays\n[Window]\nLeft=10 ; note\n\n";
    QTest::newRow("unrelated section and comments survive")
        << "en_US" << (other + defaults) << 100000.0 << "8.750"
        << "Monthly 12"
        << "30.00 years." << true << other << "100000";
}

void tst_SettingsFile::fixtures()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, file);
    QFETCH(bool, helpOffered);
    QFETCH(QByteArray, kept);
    QFETCH(QString, savedLoan);
    QLocale::setDefault(QLocale(locale));
    MainWindowFixture f;
    if (file != "<none>")
        writeAll(iniPath(f), file);
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    QTEST(static_cast<double>(u.edtLoan->value()), "loan");
    QTEST(u.edtInterest->text(), "rate");
    QTEST(u.cbFrequency->currentText(), "frequency");
    QTEST(u.lblTerm->text(), "term");
    QCOMPARE(f.help.commands.contains({1, 10000}), helpOffered);
    QVERIFY2(f.dialogs.messages().isEmpty(), "a settings file is never reported");

    QVERIFY(f.close());
    const QByteArray after = readAll(iniPath(f));
    if (!kept.isEmpty())
        QVERIFY(after.contains(kept));
    const ProfileFile saved(f.dir(), QStringLiteral("kestrava.ini"));
    QCOMPARE(saved.readString(QStringLiteral("LastValues"), QStringLiteral("Loan")), savedLoan);
    QCOMPARE(saved.readString(QStringLiteral("GeneralValues"), QStringLiteral("Run")),
             QStringLiteral("1"));
}

void tst_SettingsFile::freshFileHoldsKeysInOrder()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    QVERIFY(f.close());
    const QStringList dir = QDir(f.dir()).entryList(QDir::Files);
    QCOMPARE(dir.size(), 1); // one file, whatever the letter case of its name
    const QByteArray text = readAll(QDir(f.dir()).filePath(dir.first()));
    QCOMPARE(text, QByteArray("[LastValues]\nLoan=100000\nInterest=8.75\nterm=360\n"
                              "Payment=786.7\nFrequency=Monthly 12\nLoan2=100000\n"
                              "Interest2=8.75\nterm2=360\nPayment2=786.7\n"
                              "Frequency2=Monthly 12\n[GeneralValues]\nRun=1\n"));
}

void tst_SettingsFile::roundTrip_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("rate");
    QTest::newRow("en_US") << "en_US"
                           << "6.500";
    QTest::newRow("de_DE") << "de_DE"
                           << "6,500";
}

void tst_SettingsFile::roundTrip()
{
    QFETCH(QString, locale);
    QFETCH(QString, rate);
    QLocale::setDefault(QLocale(locale));
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    MainWindowFixture::type(u.edtLoan, QStringLiteral("250000"), u.edtTerm);
    MainWindowFixture::type(u.edtTerm, QStringLiteral("180"), u.edtInterest);
    u.edtInterest->setValue(6.5);
    MainWindowFixture::leave(u.edtLoan);
    u.cbFrequency2->setFocus(Qt::TabFocusReason);
    u.cbFrequency2->setCurrentIndex(u.cbFrequency2->findText(QStringLiteral("Weekly 52")));
    MainWindowFixture::leave(u.edtLoan2);
    const QString payment = u.edtPayment->text();
    QVERIFY(f.close());
    f.destroy();

    QVERIFY(f.start());
    QVERIFY(f.ui().edtLoan->text().contains(locale == "de_DE" ? "250.000,00" : "250,000.00"));
    QCOMPARE(f.ui().edtTerm->text(), QStringLiteral("180"));
    QCOMPARE(f.ui().edtInterest->text(), rate);
    QCOMPARE(f.ui().edtPayment->text(), payment);
    QCOMPARE(f.ui().cbFrequency2->currentText(), QStringLiteral("Weekly 52"));
    QCOMPARE(f.w().lastValues(2).freqCode, 3);
    QCOMPARE(f.help.commands.count({1, 10000}), 1); // only the first start offered it
}

void tst_SettingsFile::unwritableFileKeepsWindowAndRetries()
{
    // A folder in the file's place stops even root from replacing it.
    MainWindowFixture f;
    QVERIFY(f.start());
    QVERIFY(QDir(f.dir()).mkdir(QStringLiteral("kestrava.ini")));
    QVERIFY(!f.close());
    QVERIFY(f.w().isVisible());
    QCOMPARE(f.dialogs.messages().size(), 1);
    QCOMPARE(f.dialogs.messages().first().caption, QStringLiteral("Information"));
    QVERIFY(f.dialogs.messages().first().text.startsWith("An unidentified error has occurred."));
    QCOMPARE(f.ui().edtLoan->value(), 100000.0L); // nothing was reset

    QVERIFY(QDir(f.dir()).rmdir(QStringLiteral("kestrava.ini")));
    QVERIFY(f.close());
    const ProfileFile saved(f.dir(), QStringLiteral("kestrava.ini"));
    QCOMPARE(saved.readString(QStringLiteral("LastValues"), QStringLiteral("term2")),
             QStringLiteral("360"));
}

void tst_SettingsFile::stoppedStartKeepsRunFlag()
{
    // Stored values that make the formula fail stop the start at the first recalculation.
    MainWindowFixture f;
    writeAll(iniPath(f), "[LastValues]\nInterest=-1300\nLoan2=777\n[GeneralValues]\nRun=0\n");
    QVERIFY(f.start());
    QCOMPARE(f.dialogs.messages().size(), 1);
    QVERIFY(f.dialogs.messages().first().text.startsWith("Valid results cannot be calculated"));
    QVERIFY(!f.help.commands.contains({1, 10000}));
    QCOMPARE(f.ui().edtInterest->text(), QStringLiteral("8.750"));   // loan 1 back at its defaults
    QCOMPARE(f.ui().lblTerm2->text(), QStringLiteral("360 months")); // loan 2 never computed
    QVERIFY(f.close());
    const ProfileFile saved(f.dir(), QStringLiteral("kestrava.ini"));
    QCOMPARE(saved.readString(QStringLiteral("GeneralValues"), QStringLiteral("Run")),
             QStringLiteral("0"));
    QCOMPARE(saved.readString(QStringLiteral("LastValues"), QStringLiteral("Loan2")),
             QStringLiteral("777"));
}

void tst_SettingsFile::closeWithFocusedFieldSavesLastRecalculation()
{
    MainWindowFixture f;
    QVERIFY(f.start());
    Ui::TfrmMain& u = f.ui();
    u.edtLoan->setFocus(Qt::TabFocusReason);
    u.edtLoan->selectAll();
    QTest::keyClicks(u.edtLoan, QStringLiteral("5"));
    QVERIFY(f.close());
    const ProfileFile saved(f.dir(), QStringLiteral("kestrava.ini"));
    QCOMPARE(saved.readString(QStringLiteral("LastValues"), QStringLiteral("Loan")),
             QStringLiteral("100000"));
}

int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    tst_SettingsFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_SettingsFile.moc"

#include "platform/Exceptions.h"
#include "platform/NumberFormat.h"

#include <QLocale>
#include <QtTest>

#include <limits>

using namespace NumberFormat;

class tst_NumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void general_data();
    void general();
    void fixedTerm_data();
    void fixedTerm();
    void currency_data();
    void currency();
    void parseFloat_data();
    void parseFloat();
    void parseInteger_data();
    void parseInteger();
    void parseInt32Range();
    void formatThousands_data();
    void formatThousands();
};

void tst_NumberFormat::general_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("100000") << "en_US" << 100000.0 << "100000";
    QTest::newRow("8.75") << "en_US" << 8.75 << "8.75";
    QTest::newRow("786.7") << "en_US" << 786.7 << "786.7";
    QTest::newRow("8,75 with a decimal comma") << "de_DE" << 8.75 << "8,75";
    QTest::newRow("zero") << "en_US" << 0.0 << "0";
    QTest::newRow("1E20") << "en_US" << 1e20 << "1E20";
    QTest::newRow("1.5E-5") << "en_US" << 1.5e-5 << "1.5E-5";
    QTest::newRow("1,5E-5") << "de_DE" << 1.5e-5 << "1,5E-5";
    QTest::newRow("-0.0001 stays plain") << "en_US" << -0.0001 << "-0.0001";
    QTest::newRow("0.00001 is scientific") << "en_US" << 0.00001 << "1E-5";
    QTest::newRow("just below 10^15 stays plain")
        << "en_US" << 999999999999999.0 << "999999999999999";
    QTest::newRow("10^15 is scientific") << "en_US" << 1e15 << "1E15";
    QTest::newRow("15 digits, no trailing zeros") << "en_US" << 0.1 + 0.2 << "0.3";
    QTest::newRow("negative exponent sign only") << "en_US" << -2.5e30 << "-2.5E30";
    QTest::newRow("payment 786.700406...") << "en_US" << 786.70040642756459 << "786.700406427565";
}

void tst_NumberFormat::general()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(formatGeneral(value), text);
}

void tst_NumberFormat::fixedTerm_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("30.00") << "en_US" << 30.0 << "30.00";
    QTest::newRow("0.125 rounds half away to 0.13") << "en_US" << 0.125 << "0.13";
    QTest::newRow("-0.125 rounds to -0.13") << "en_US" << -0.125 << "-0.13";
    QTest::newRow("0.997 shows 1.00") << "en_US" << 364.0 / 365 << "1.00";
    QTest::newRow("1,00 with a decimal comma") << "de_DE" << 1.0 << "1,00";
    QTest::newRow("0.5") << "en_US" << 0.5 << "0.50";
    QTest::newRow("zero") << "en_US" << 0.0 << "0.00";
    QTest::newRow("no grouping") << "en_US" << 1234567.0 << "1234567.00";
    QTest::newRow("12 significant digits") << "en_US" << 123456789012.345 << "123456789012.00";
    QTest::newRow("beyond 12 integer digits: general") << "en_US" << 1e13 << "1E13";
    QTest::newRow("carry into a new digit") << "en_US" << 9.999 << "10.00";
}

void tst_NumberFormat::fixedTerm()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(formatFixed(value, 12, 2), text);
}

void tst_NumberFormat::currency_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("$786.70") << "en_US" << 786.700406 << "$786.70";
    QTest::newRow("$183,212.15") << "en_US" << 183212.146 << "$183,212.15";
    QTest::newRow("negative in the locale's form") << "en_US" << -100000.0 << "($100,000.00)";
    QTest::newRow("ties to even 0.125 -> 0.12") << "en_US" << 0.125 << "$0.12";
    QTest::newRow("ties to even 0.375 -> 0.38") << "en_US" << 0.375 << "$0.38";
    QTest::newRow("zero") << "en_US" << 0.0 << "$0.00";
    QTest::newRow("tiny negative rounds to zero") << "en_US" << -0.001 << "$0.00";
    QTest::newRow("1E13 in general notation") << "en_US" << 1e13 << "1E13";
    QTest::newRow("12 integer digits") << "en_US" << 999999999999.0 << "$999,999,999,999.00";
    QTest::newRow("de_DE") << "de_DE" << 786.700406 << QString::fromUtf8("786,70\u00a0€");
    QTest::newRow("de_DE grouping")
        << "de_DE" << 183212.146 << QString::fromUtf8("183.212,15\u00a0€");
    QTest::newRow("de_DE negative")
        << "de_DE" << -100000.0 << QString::fromUtf8("-100.000,00\u00a0€");
}

void tst_NumberFormat::currency()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(formatCurrency(value), text);
}

void tst_NumberFormat::parseFloat_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");

    QTest::newRow("8.75") << "en_US"
                          << "8.75" << true << 8.75;
    QTest::newRow("blanks and sign") << "en_US"
                                     << "  -8.75 " << true << -8.75;
    QTest::newRow("exponent") << "en_US"
                              << "1.5E-5" << true << 1.5e-5;
    QTest::newRow("lower-case exponent") << "en_US"
                                         << "2e3" << true << 2000.0;
    QTest::newRow("trailing point") << "en_US"
                                    << "5." << true << 5.0;
    QTest::newRow("8,75 under de_DE") << "de_DE"
                                      << "8,75" << true << 8.75;
    QTest::newRow("8,75 under en_US") << "en_US"
                                      << "8,75" << false << 0.0;
    QTest::newRow("8.75 under de_DE") << "de_DE"
                                      << "8.75" << false << 0.0;
    QTest::newRow("grouping") << "en_US"
                              << "100,000" << false << 0.0;
    QTest::newRow("empty") << "en_US"
                           << "" << false << 0.0;
    QTest::newRow("letters") << "en_US"
                             << "abc" << false << 0.0;
    QTest::newRow("sign alone") << "en_US"
                                << "-" << false << 0.0;
    QTest::newRow("two points") << "en_US"
                                << "1.2.3" << false << 0.0;
    QTest::newRow("exponent without digits") << "en_US"
                                             << "1E" << false << 0.0;
    QTest::newRow("NaN") << "en_US"
                         << "NaN" << false << 0.0;
    QTest::newRow("beyond extended range") << "en_US"
                                           << "1E5000" << false << 0.0;
}

void tst_NumberFormat::parseFloat()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    QLocale::setDefault(QLocale(locale));
    if (valid) {
        QCOMPARE(static_cast<double>(NumberFormat::parseFloat(text)), value);
    } else {
        QVERIFY_THROWS_EXCEPTION(EConvertError, NumberFormat::parseFloat(text));
    }
}

void tst_NumberFormat::parseInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("value");

    QTest::newRow("1") << "1" << true << qint64(1);
    QTest::newRow("2") << "2" << true << qint64(2);
    QTest::newRow("0x1") << "0x1" << true << qint64(1);
    QTest::newRow("0X1F") << "0X1F" << true << qint64(31);
    QTest::newRow("$1") << "$1" << true << qint64(1);
    QTest::newRow("negative") << "-7" << true << qint64(-7);
    QTest::newRow("yes") << "yes" << false << qint64(0);
    QTest::newRow("empty") << "" << false << qint64(0);
    QTest::newRow("1.5") << "1.5" << false << qint64(0);
    QTest::newRow("0x alone") << "0x" << false << qint64(0);
}

void tst_NumberFormat::parseInteger()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, value);
    const auto parsed = tryParseInteger(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void tst_NumberFormat::parseInt32Range()
{
    QCOMPARE(parseInt32(QStringLiteral("2147483647")), std::numeric_limits<qint32>::max());
    QCOMPARE(parseInt32(QStringLiteral("-2147483648")), std::numeric_limits<qint32>::min());
    QVERIFY_THROWS_EXCEPTION(EConvertError, parseInt32(QStringLiteral("2147483648")));
    QVERIFY_THROWS_EXCEPTION(EConvertError, parseInt32(QStringLiteral("1E20")));
}

void tst_NumberFormat::formatThousands_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("0") << "en_US" << qint64(0) << "0";
    QTest::newRow("999") << "en_US" << qint64(999) << "999";
    QTest::newRow("1000") << "en_US" << qint64(1000) << "1,000";
    QTest::newRow("1234567") << "en_US" << qint64(1234567) << "1,234,567";
    QTest::newRow("de_DE keeps the comma") << "de_DE" << qint64(1500000) << "1,500,000";
    QTest::newRow("six digits") << "en_US" << qint64(100000) << "100,000";
    QTest::newRow("beyond 32 bits") << "de_DE" << qint64(4294967296) << "4,294,967,296";
    QTest::newRow("largest") << "en_US" << std::numeric_limits<qint64>::max()
                             << "9,223,372,036,854,775,807";
    QTest::newRow("negative") << "en_US" << qint64(-1234) << "-1,234";
    QTest::newRow("most negative")
        << "en_US" << std::numeric_limits<qint64>::min() << "-9,223,372,036,854,775,808";
}

void tst_NumberFormat::formatThousands()
{
    QFETCH(QString, locale);
    QFETCH(qint64, value);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(FormatThousands(value), text);
}

QTEST_GUILESS_MAIN(tst_NumberFormat)
#include "tst_NumberFormat.moc"

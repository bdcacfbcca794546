#include "calc/FrequencyTable.h"

#include <QtTest>

class tst_FrequencyTable : public QObject
{
    Q_OBJECT

private slots:
    void mapping_data();
    void mapping();
    void listHoldsNineTextsInCodeOrder();
    void divisors();
};

void tst_FrequencyTable::mapping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code"); // -1: no code
    QTest::addColumn<QString>("validated");

    QTest::newRow("Monthly 12") << "Monthly 12" << 6 << "Monthly 12";
    QTest::newRow("Daily 365") << "Daily 365" << 1 << "Daily 365";
    QTest::newRow("Annually 1") << "Annually 1" << 9 << "Annually 1";
    QTest::newRow("Constant passes validation") << "Constant" << 0 << "Constant";
    QTest::newRow("lower case") << "monthly 12" << -1 << "Monthly 12";
    QTest::newRow("leading blank") << " Monthly 12" << -1 << "Monthly 12";
    QTest::newRow("trailing blank") << "Monthly 12 " << -1 << "Monthly 12";
    QTest::newRow("missing word") << "Monthly" << -1 << "Monthly 12";
    QTest::newRow("letter added") << "Monthly 12x" << -1 << "Monthly 12";
    QTest::newRow("empty") << "" << -1 << "Monthly 12";
}

void tst_FrequencyTable::mapping()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QFETCH(QString, validated);

    const auto mapped = FrequencyTable::codeOf(text);
    QCOMPARE(mapped.has_value(), code >= 0);
    if (mapped)
        QCOMPARE(*mapped, code);
    QCOMPARE(FrequencyTable::validated(text), validated);
}

void tst_FrequencyTable::listHoldsNineTextsInCodeOrder()
{
    const QStringList texts = FrequencyTable::listTexts();
    QCOMPARE(texts,
             QStringList({"Daily 365", "Daily 360", "Weekly 52", "Biweekly 26", "Bimonthly 24",
                          "Monthly 12", "Quarterly 4", "Biannually 2", "Annually 1"}));
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(*FrequencyTable::codeOf(texts.at(i)), i + 1);
}

void tst_FrequencyTable::divisors()
{
    // code 0 divides the term by 24 but leaves the rate undivided
    QCOMPARE(FrequencyTable::termDivisor(0), 24);
    QCOMPARE(FrequencyTable::rateDivisor(0), 1);
    const int expected[] = {365, 360, 52, 26, 24, 12, 4, 2, 1};
    for (int code = 1; code <= 9; ++code) {
        QCOMPARE(FrequencyTable::termDivisor(code), expected[code - 1]);
        QCOMPARE(FrequencyTable::rateDivisor(code), expected[code - 1]);
    }
}

QTEST_GUILESS_MAIN(tst_FrequencyTable)
#include "tst_FrequencyTable.moc"

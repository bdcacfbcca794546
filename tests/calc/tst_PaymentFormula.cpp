#include "calc/FrequencyTable.h"
#include "calc/PaymentFormula.h"
#include "platform/Exceptions.h"

#include <QtTest>

#include <cmath>
#include <cstring>

using PaymentFormula::CalcPayment;
using PaymentFormula::getPower;

class tst_PaymentFormula : public QObject
{
    Q_OBJECT

private slots:
    void payment_data();
    void payment();
    void mathErrors_data();
    void mathErrors();
    void resultHoldsADouble();
    void powerOfZeroIsZero();
    void matchesFormulaWithGetPower_data();
    void matchesFormulaWithGetPower();
};

void tst_PaymentFormula::payment_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("tolerance");

    QTest::newRow("initial loan 786.700406") << 360 << 6 << 100000.0 << 8.75 << 786.700406 << 5e-7;
    QTest::newRow("no payments, any rate") << 0 << 6 << 100000.0 << 8.75 << 0.0 << 0.0;
    QTest::newRow("no payments, rate 0") << 0 << 6 << 100000.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("rate 0 is A over n") << 360 << 6 << 100000.0 << 0.0 << 100000.0 / 360 << 0.0;
    QTest::newRow("rate 0 ignores the code")
        << 360 << 9 << 100000.0 << 0.0 << 100000.0 / 360 << 0.0;
    QTest::newRow("code 0 applies the annual rate per period")
        << 360 << 0 << 100000.0 << 8.75 << 8750.0 << 0.005;
    QTest::newRow("one month: principal plus interest")
        << 1 << 6 << 1000.0 << 12.0 << 1010.0 << 1e-9;
    QTest::newRow("negative amount changes the sign")
        << 360 << 6 << -100000.0 << 8.75 << -786.700406 << 5e-7;
    QTest::newRow("negative rate -12") << 360 << 6 << 100000.0 << -12.0 << 27.57 << 0.005;
    QTest::newRow("power clamped at e^88") << 360 << 9 << 100000.0 << -50.0 << 3.0e-34 << 0.1e-34;
    QTest::newRow("rate per period -1 annually gives -A")
        << 360 << 9 << 100000.0 << -100.0 << -100000.0 << 0.0;
    QTest::newRow("rate per period -1 monthly gives -A")
        << 360 << 6 << 100000.0 << -1200.0 << -100000.0 << 0.0;
    QTest::newRow("negative number of payments") << -12 << 6 << 1200.0 << 12.0 << -94.62 << 0.005;
    QTest::newRow("very many payments approach A*r")
        << 100000 << 6 << 100000.0 << 8.75 << 729.17 << 0.005;
    QTest::newRow("daily 365") << 365 << 1 << 10000.0 << 5.0 << 28.0 << 0.5;
}

void tst_PaymentFormula::payment()
{
    QFETCH(int, n);
    QFETCH(int, code);
    QFETCH(double, amount);
    QFETCH(double, rate);
    QFETCH(double, expected);
    QFETCH(double, tolerance);

    const long double p = CalcPayment(n, code, amount, rate);
    if (tolerance == 0)
        QCOMPARE(static_cast<double>(p), expected);
    else
        QVERIFY2(std::fabs(static_cast<double>(p) - expected) <= tolerance,
                 qPrintable(QString::number(static_cast<double>(p), 'g', 17)));
}

void tst_PaymentFormula::mathErrors_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("kind");

    QTest::newRow("rate per period below -1 is invalid")
        << 360 << 9 << 100000.0 << -150.0 << "invalid";
    QTest::newRow("rate far below -1200 monthly") << 360 << 6 << 100000.0 << -1300.0 << "invalid";
    QTest::newRow("1+r rounds to 1: division by zero")
        << 360 << 9 << 100000.0 << 1e-18 << "zerodivide";
    QTest::newRow("1+r rounds to 1 with A 0: invalid") << 360 << 9 << 0.0 << 1e-18 << "invalid";
    QTest::newRow("quotient beyond the double range overflows")
        << 1 << 9 << 1e308 << 1e10 << "overflow";
}

void tst_PaymentFormula::mathErrors()
{
    QFETCH(int, n);
    QFETCH(int, code);
    QFETCH(double, amount);
    QFETCH(double, rate);
    QFETCH(QString, kind);

    try {
        CalcPayment(n, code, amount, rate);
        QFAIL("no math error");
    } catch (const EInvalidOp&) {
        QCOMPARE(kind, QStringLiteral("invalid"));
    } catch (const EZeroDivide&) {
        QCOMPARE(kind, QStringLiteral("zerodivide"));
    } catch (const EOverflow&) {
        QCOMPARE(kind, QStringLiteral("overflow"));
    }
}

void tst_PaymentFormula::resultHoldsADouble()
{
    const long double p = CalcPayment(360, 6, 100000, 8.75);
    QCOMPARE(p, static_cast<long double>(static_cast<double>(p)));
}

void tst_PaymentFormula::powerOfZeroIsZero()
{
    QCOMPARE(getPower(0, -360), 0.0L);
    // e^88 at most, also for an exponent far beyond it
    const long double clamped = getPower(0.5L, -1000);
    QVERIFY(std::fabs(clamped / std::exp(88.0L) - 1) < 1e-17L);
}

void tst_PaymentFormula::matchesFormulaWithGetPower_data()
{
    // Annual rates swept from `from` to `to`; `decimals` < 0 sweeps them geometrically instead.
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("decimals");

    QTest::newRow("monthly, everyday rates") << 6 << 0.001 << 30.0 << 3;
    QTest::newRow("monthly, negative rates") << 6 << -599.999 << -0.001 << 3;
    QTest::newRow("rate per period across 0.5") << 6 << 590.0 << 610.0 << 3;
    QTest::newRow("rate per period across -0.5") << 6 << -610.0 << -590.0 << 3;
    QTest::newRow("constant, rate used per period") << 0 << 0.001 << 49.999 << 3;
    QTest::newRow("daily, rates with any digits") << 1 << 0.0001 << 30.0 << -1;
    QTest::newRow("annually, tiny rates") << 9 << 1e-15 << 1e-6 << -1;
}

// Every payment equals the formula written out with getPower, to the last bit.
void tst_PaymentFormula::matchesFormulaWithGetPower()
{
    QFETCH(int, code);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, decimals);

    const auto formula = [code](qint32 n, long double A, long double R) {
        long double r = R / 100;
        if (code != 0)
            r = r / FrequencyTable::rateDivisor(code);
        const long double p = getPower(1 + r, -static_cast<long double>(n));
        return static_cast<double>(A * r / (1 - p));
    };
    constexpr int steps = 4000;
    const qint32 terms[] = {1, 12, 360, 10000, -12};
    const long double amounts[] = {100000.0L, 1234567.89L};
    for (int step = 0; step <= steps; ++step) {
        double R = decimals < 0 ? from * std::pow(to / from, double(step) / steps)
                                : from + (to - from) * step / steps;
        if (decimals >= 0)
            R = std::round(R * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
        for (qint32 n : terms) {
            for (long double A : amounts) {
                const double expected = formula(n, A, R);
                const double actual = static_cast<double>(CalcPayment(n, code, A, R));
                if (std::memcmp(&actual, &expected, sizeof(double)) != 0)
                    QFAIL(qPrintable(QStringLiteral("n %1, R %2: %3 instead of %4")
                                         .arg(n)
                                         .arg(R, 0, 'g', 17)
                                         .arg(actual, 0, 'g', 17)
                                         .arg(expected, 0, 'g', 17)));
            }
        }
    }
}

QTEST_GUILESS_MAIN(tst_PaymentFormula)
#include "tst_PaymentFormula.moc"

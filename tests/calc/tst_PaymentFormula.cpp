#include "calc/PaymentFormula.h"
#include "platform/Exceptions.h"

#include <QtTest>

#include <cmath>

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

QTEST_GUILESS_MAIN(tst_PaymentFormula)
#include "tst_PaymentFormula.moc"

#include "calc/PaymentFormula.h"

#include "calc/FrequencyTable.h"
#include "platform/Exceptions.h"

#include <array>
#include <bit>
#include <cmath>

// The formula's logarithm and exponential are those of the x87 unit (fyl2x, f2xm1). Both are slow
// on current processors, so CalcPayment first estimates the logarithm from a table and takes it
// only when every value the x87 logarithm could give leads to the same t; otherwise, and for all
// unusual inputs, it computes the payment the reference way. The results are the same either way.

namespace {

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define KESTRAVA_X87 1

// ln 2 (rounded to 64 bits) times log2 x, within one unit in the last place.
long double lnExtended(long double x)
{
    long double result;
    asm("fldln2\n\tfxch\n\tfyl2x" : "=t"(result) : "0"(x) : "st(1)");
    return result;
}

// Rounds to the nearest integer, ties to even, as the x87 does in its default rounding mode.
qint32 nearestInt(long double v)
{
    qint32 result;
    asm("fistpl %0" : "=m"(result) : "t"(v) : "st");
    return result;
}

// e^t = 2^(t log2 e) = 2^whole * 2^fraction with |fraction| <= 1/2.
inline __attribute__((always_inline)) long double expExtended(double t)
{
    const long double z = t * 1.44269504088896340735992468100189214L;
    if (z > -1022 && z < 1023) {
        // Adding and subtracting 1.5 * 2^63 rounds z to an integer exactly as frndint does, and
        // 2^whole fits a double, built from its exponent bits: both quicker than frndint and
        // fscale.
        constexpr double roundingShift = 0x1.8p63;
        const long double fraction = z - ((z + roundingShift) - roundingShift);
        long double power;
        asm("f2xm1" : "=t"(power) : "0"(fraction));
        power += 1;
        const qint32 whole = nearestInt(z);
        return power * std::bit_cast<double>(static_cast<quint64>(whole + 1023) << 52);
    }
    long double whole;
    asm("frndint" : "=t"(whole) : "0"(z));
    long double power;
    asm("f2xm1" : "=t"(power) : "0"(z - whole));
    power += 1;
    long double result;
    asm("fscale" : "=t"(result) : "0"(power), "u"(whole));
    return result;
}

// Points x_i = 1 + i/512 from 0.5 to 1.5 with their x87 logarithm, each split exactly into a
// double and a small double remainder (80-bit loads are slow).
constexpr int lnStepsPerUnit = 512;
constexpr int lnFirst = -lnStepsPerUnit / 2;
constexpr int lnLast = lnStepsPerUnit / 2;

struct LnPoint
{
    double ln;
    double lnRest;
};

using LnPoints = std::array<LnPoint, lnLast - lnFirst + 1>;

// Initialised ahead of other static objects, so that a payment computed during static
// initialisation finds it ready.
__attribute__((init_priority(101))) const LnPoints lnPoints = [] {
    LnPoints points{};
    for (int i = lnFirst; i <= lnLast; ++i) {
        const long double ln = lnExtended(1 + static_cast<long double>(i) / lnStepsPerUnit);
        const double high = static_cast<double>(ln);
        points[i - lnFirst] = {high, static_cast<double>(ln - high)};
    }
    return points;
}();

// ln x for 0.5 <= x < 1.5 as ln x_i + log1p(u), u = (x - x_i) / x_i, at the nearest point x_i:
// |u| <= 2^-9. Its distance to the x87 logarithm stays below 11 * 2^-64 of the result: the
// table's unit in the last place (up to 4 * 2^-64 where the result is half the table value), the
// x87's own unit (2 * 2^-64), the roundings of u and of the sums (4 * 2^-64), the series cut after
// u^6 (2^-65.8) and ln 2 rounded in the x87 logarithm (2^-65.7).
inline __attribute__((always_inline)) long double lnNearOne(long double x)
{
    // Adding and subtracting 1.5 * 2^54 rounds x to a multiple of 1/512, exactly.
    constexpr double pointShift = 0x1.8p54;
    const long double point = (x + pointShift) - pointShift;
    const LnPoint& ln = lnPoints[nearestInt(point * lnStepsPerUnit) - lnStepsPerUnit - lnFirst];
    const long double u = (x - point) / point; // x - x_i exact: one rounding
    // log1p(u) = u - u^2/2 + u^3 (1/3 - u/4 + u^2/5 - u^3/6) + (below 2^-65.8 |u|)
    const long double u2 = u * u;
    const long double head = (ln.ln + u) + (ln.lnRest - u2 * 0.5);
    return head + (u2 * u) * ((1.0 / 3 - u * 0.25) + u2 * (0.2 - u * (1.0 / 6)));
}

// About three times the bound above: the estimate settles t when both ends of this margin give it.
constexpr double lnTolerance = 0x1p-59;
#else
long double lnExtended(long double x)
{
    return std::log(x);
}

long double expExtended(double t)
{
    return std::exp(static_cast<long double>(t));
}
#endif

// The rate divisors by code, kept here so that the division takes its divisor straight from memory.
constexpr auto rateDivisors = [] {
    std::array<int, FrequencyTable::rows.size()> divisors{};
    for (std::size_t code = 0; code < divisors.size(); ++code)
        divisors[code] = FrequencyTable::rateDivisor(static_cast<qint32>(code));
    return divisors;
}();

long double ratePerPeriod(qint32 code, long double R)
{
    const long double r = R / 100;
    // "Constant" and codes outside the table divide by 1, which leaves r as it is
    if (code > 0 && code < static_cast<qint32>(rateDivisors.size()))
        return r / rateDivisors[code];
    return r;
}

// The formula as it stands, with every error it raises. A and R stay in memory: held in x87
// registers they would crowd out the fast path's values.
__attribute__((noinline)) long double referencePayment(qint32 n, qint32 code, const long double& A,
                                                       const long double& R)
{
    if (n == 0)
        return 0;
    if (R == 0)
        return static_cast<double>(A / n);
    const long double r = ratePerPeriod(code, R);
    const long double p = PaymentFormula::getPower(1 + r, -static_cast<long double>(n));
    const long double numerator = A * r;
    const long double denominator = 1 - p;
    if (denominator == 0) {
        if (numerator == 0)
            throw EInvalidOp();
        throw EZeroDivide();
    }
    const long double quotient = numerator / denominator;
    if (std::isnan(quotient))
        throw EInvalidOp();
    const double payment = static_cast<double>(quotient);
    if (std::isinf(payment))
        throw EOverflow();
    return payment;
}

} // namespace

namespace PaymentFormula {

long double getPower(long double x, long double y)
{
    if (x == 0)
        return 0;
    if (x < 0 || std::isnan(x))
        throw EInvalidOp();
    double t = static_cast<double>(y * lnExtended(x));
    if (t > 88)
        t = 88;
    return expExtended(t);
}

long double CalcPayment(qint32 n, qint32 code, long double A, long double R)
{
#ifdef KESTRAVA_X87
    if (n != 0 && R != 0) {
        const long double r = ratePerPeriod(code, R);
        const long double x = 1 + r;
        if (x >= 0.5L && x < 1.5L) {
            const long double y = -static_cast<long double>(n);
            const long double ln = lnNearOne(x);
            const long double margin = std::fabs(ln) * lnTolerance;
            double t = static_cast<double>(y * ln);
            // y * ln rounds monotonically, so equal ends mean t is y * (x87 logarithm) rounded
            if (static_cast<double>(y * (ln - margin)) == static_cast<double>(y * (ln + margin))) {
                if (t > 88)
                    t = 88;
                const long double denominator = 1 - expExtended(t);
                if (denominator != 0) {
                    const long double quotient = (A * r) / denominator;
                    const double payment = static_cast<double>(quotient);
                    if (!std::isnan(quotient) && !std::isinf(payment))
                        return payment;
                }
            }
        }
    }
#endif
    return referencePayment(n, code, A, R);
}

} // namespace PaymentFormula

#include "calc/PaymentFormula.h"

#include "calc/FrequencyTable.h"
#include "platform/Exceptions.h"

#include <cmath>

namespace {

// Natural logarithm and exponential on the x87 unit in 80-bit precision, the way extended
// arithmetic has always computed them there; about twice as fast as the library's logl/expl.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
long double lnExtended(long double x)
{
    long double result;
    asm("fldln2\n\tfxch\n\tfyl2x" : "=t"(result) : "0"(x) : "st(1)");
    return result;
}

long double expExtended(long double t)
{
    // e^t = 2^(t log2 e) = 2^whole * 2^fraction with |fraction| <= 1/2
    const long double z = t * 1.44269504088896340735992468100189214L;
    long double whole;
    asm("frndint" : "=t"(whole) : "0"(z));
    long double power;
    asm("f2xm1" : "=t"(power) : "0"(z - whole));
    power += 1;
    long double result;
    asm("fscale" : "=t"(result) : "0"(power), "u"(whole));
    return result;
}
#else
long double lnExtended(long double x)
{
    return std::log(x);
}

long double expExtended(long double t)
{
    return std::exp(t);
}
#endif

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
    if (n == 0)
        return 0;
    if (R == 0)
        return static_cast<double>(A / n);
    long double r = R / 100;
    if (code != 0)
        r = r / FrequencyTable::rateDivisor(code);
    const long double p = getPower(1 + r, -static_cast<long double>(n));
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

} // namespace PaymentFormula

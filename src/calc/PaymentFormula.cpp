#include "calc/PaymentFormula.h"

#include "calc/FrequencyTable.h"
#include "platform/Exceptions.h"

#include <cmath>

namespace PaymentFormula {

long double getPower(long double x, long double y)
{
    if (x == 0)
        return 0;
    if (x < 0 || std::isnan(x))
        throw EInvalidOp();
    double t = static_cast<double>(y * std::log(x));
    if (t > 88)
        t = 88;
    return std::exp(static_cast<long double>(t));
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

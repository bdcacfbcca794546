#pragma once

#include <QtGlobal>

// The level payment of an annuity loan, in 80-bit extended arithmetic (long double on x86).
// Invalid operations, divisions by zero and overflows throw the matching math error; underflow
// passes silently. Both are pure functions.
namespace PaymentFormula {

// x raised to y as exp(min(y * ln x rounded to double, 88)); 0 when x is exactly 0.
long double getPower(long double x, long double y);

// The payment per period for n payments at the frequency `code`, amount A and annual rate R in
// percent. The result always holds a double.
long double CalcPayment(qint32 n, qint32 code, long double A, long double R);

} // namespace PaymentFormula

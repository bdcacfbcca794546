#pragma once

#include <QString>

// The widget-free steps of a loan panel's recalculation.
namespace LoanCalculation {

// The term label: the number of payments divided by the term divisor of the code, in fixed
// notation with two decimals, followed by " year." for exactly one year and " years." otherwise.
QString termText(double payments, qint32 code);

// The number of payments as the formula takes it: the field's value written in the general
// form and read back as a signed 32-bit integer. Throws EConvertError beyond that range.
qint32 paymentCount(double payments);

struct Totals
{
    long double totalPaid;    // P x n
    long double interestPaid; // P x n - A
};

// The totals from the unrounded payment, in extended precision.
Totals totals(long double payment, qint32 n, long double amount);

} // namespace LoanCalculation

#include "calc/LoanCalculation.h"

#include "calc/FrequencyTable.h"
#include "platform/NumberFormat.h"

namespace LoanCalculation {

QString termText(double payments, qint32 code)
{
    const long double years =
        static_cast<long double>(payments) / FrequencyTable::termDivisor(code);
    const QString number = NumberFormat::formatFixed(years, 12, 2);
    const bool oneYear = number == QLatin1String("1.00") || number == QLatin1String("1,00");
    return number + (oneYear ? QStringLiteral(" year.") : QStringLiteral(" years."));
}

qint32 paymentCount(double payments)
{
    return NumberFormat::parseInt32(NumberFormat::formatGeneral(payments, 15));
}

Totals totals(long double payment, qint32 n, long double amount)
{
    const long double total = payment * n;
    return {total, total - amount};
}

} // namespace LoanCalculation

#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The ten payment frequencies: the text that names each one, its code, the divisor that turns
// the annual rate into a rate per period and the divisor that turns payments into years.
namespace FrequencyTable {

struct Frequency
{
    qint32 code;
    const char* text;
    int rateDivisor; // 0: the annual rate is used unchanged
    int termDivisor;
};

inline constexpr std::array<Frequency, 10> rows{{
    {0, "Constant", 0, 24},
    {1, "Daily 365", 365, 365},
    {2, "Daily 360", 360, 360},
    {3, "Weekly 52", 52, 52},
    {4, "Biweekly 26", 26, 26},
    {5, "Bimonthly 24", 24, 24},
    {6, "Monthly 12", 12, 12},
    {7, "Quarterly 4", 4, 4},
    {8, "Biannually 2", 2, 2},
    {9, "Annually 1", 1, 1},
}};

inline constexpr qint32 defaultCode = 6;
QString defaultText(); // "Monthly 12"

// The nine texts of the drop-down list, codes 1 to 9 in code order ("Constant" is not listed).
QStringList listTexts();

// The code of a text compared whole, byte for byte and case-sensitively with the ten texts.
std::optional<qint32> codeOf(const QString& text);

// The text itself when it is one of the ten, otherwise "Monthly 12".
QString validated(const QString& text);

// The rows stand in code order, so a code indexes its row.
constexpr bool rowsInCodeOrder()
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].code != static_cast<qint32>(i))
            return false;
    }
    return true;
}
static_assert(rowsInCodeOrder());

// The divisor of the annual rate: 1 for "Constant" and for a code outside the table. Usable at
// compile time, where the payment formula builds its own table of divisors.
constexpr int rateDivisor(qint32 code)
{
    if (code < 0 || code >= static_cast<qint32>(rows.size()) || rows[code].rateDivisor == 0)
        return 1;
    return rows[code].rateDivisor;
}

int termDivisor(qint32 code);

} // namespace FrequencyTable

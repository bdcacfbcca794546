#pragma once

#include <QString>

#include <optional>

// Float/text conversion in the user's locale. Every function reads the separators and the
// currency format from QLocale(), so QLocale::setDefault switches them.
namespace NumberFormat {

// General form: the shortest text that gives the value to `precision` significant digits,
// without grouping and trailing zeros. Plain notation from 0.0001 up to (excluding)
// 10^precision, otherwise scientific (1E20, 1.5E-5).
QString formatGeneral(long double value, int precision = 15);

// Fixed form with `decimals` digits after the separator and at most `precision` significant
// digits, rounded half away from zero on the decimal digits (0.125 -> 0.13). A value with more
// than `precision` digits before the separator comes out in the general form.
QString formatFixed(long double value, int precision, int decimals);

// Currency form: rounded to two decimals with ties to even (display only), 12 significant
// digits, the locale's symbol, grouping, decimal separator and negative form. A value with more
// than 12 digits before the separator comes out in the general form.
QString formatCurrency(long double value);

// The value rounded to two decimals with ties to even, as the currency form shows it.
long double roundCurrency(long double value);

// The number with the locale's grouping and decimal separators and `decimals` decimals,
// "-" in front when negative (the text of a currency field that has the focus).
QString formatGrouped(long double value, int decimals);

// Reads a float: optional blanks and sign, digits with at most one decimal separator,
// optionally E or e with a signed exponent, no grouping. Throws EConvertError.
long double parseFloat(const QString& text);
std::optional<long double> tryParseFloat(const QString& text);
std::optional<long double> tryParseFloat(const QString& text, QChar decimalSeparator);

// Reads a whole number: decimal, or hexadecimal after "0x", "0X" or "$", optional sign.
std::optional<qint64> tryParseInteger(const QString& text);

// Reads a signed 32-bit integer (decimal or hexadecimal as above). Throws EConvertError for a
// text that is not a whole number in the signed 32-bit range.
qint32 parseInt32(const QString& text);

// A count in decimal with a "," before every group of three digits counted from the right
// (1234567 -> 1,234,567), whatever the locale: the download progress shows byte counts so.
QString FormatThousands(qint64 n);

QChar decimalSeparator();
QChar groupSeparator();

} // namespace NumberFormat

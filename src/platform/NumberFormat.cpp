#include "platform/NumberFormat.h"

#include "platform/Exceptions.h"

#include <QLocale>

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// A finite value as 0.d1d2d3... x 10^exponent; no digits for zero.
struct Decimal
{
    bool negative = false;
    QByteArray digits;
    int exponent = 0;
};

Decimal exactDigits(long double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0)
        return d;
    char buffer[64];
    // 26 significant digits: enough to see every digit of an 80-bit value that can decide a
    // rounding at 18 digits or fewer.
    std::snprintf(buffer, sizeof buffer, "%.25Le", std::fabs(value));
    const QByteArray text(buffer);
    const qsizetype e = text.indexOf('e');
    QByteArray mantissa = text.left(e);
    mantissa.remove(1, 1); // the point after the first digit
    d.exponent = text.mid(e + 1).toInt() + 1;
    while (mantissa.endsWith('0'))
        mantissa.chop(1);
    d.digits = mantissa;
    return d;
}

// Keeps `keep` digits, rounding half away from zero on the digit after them.
void roundDigits(Decimal& d, int keep)
{
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    if (d.digits.size() <= keep)
        return;
    const bool up = d.digits.at(keep) >= '5';
    d.digits.truncate(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            d.digits[i] = static_cast<char>(d.digits[i] + 1);
        } else {
            d.digits.prepend('1');
            d.digits.truncate(std::max(keep, 1));
            ++d.exponent;
        }
    }
    while (d.digits.endsWith('0'))
        d.digits.chop(1);
}

QString nonFinite(long double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// The plain digits of d: integer part, then `decimals` decimals (-1: as many as there are).
QString plainText(const Decimal& d, int decimals, QChar point)
{
    QString integer;
    QString fraction;
    for (int i = 0; i < d.exponent; ++i)
        integer += QLatin1Char(i < d.digits.size() ? d.digits.at(i) : '0');
    if (integer.isEmpty())
        integer = QStringLiteral("0");
    // fraction digits: positions exponent, exponent+1, ... of the digit string
    const int available = static_cast<int>(d.digits.size()) - d.exponent;
    const int count = decimals < 0 ? std::max(available, 0) : decimals;
    for (int k = 0; k < count; ++k) {
        const int index = d.exponent + k;
        fraction += QLatin1Char(index >= 0 && index < d.digits.size() ? d.digits.at(index) : '0');
    }
    QString text = integer;
    if (!fraction.isEmpty())
        text += point + fraction;
    if (d.negative && !d.digits.isEmpty())
        text.prepend(QLatin1Char('-'));
    return text;
}

QString scientificText(const Decimal& d, QChar point)
{
    QString text;
    if (d.negative)
        text += QLatin1Char('-');
    text += QLatin1Char(d.digits.at(0));
    if (d.digits.size() > 1)
        text += point + QString::fromLatin1(d.digits.mid(1));
    text += QLatin1Char('E') + QString::number(d.exponent - 1);
    return text;
}

QString generalFrom(Decimal d, int precision, QChar point)
{
    roundDigits(d, precision);
    if (d.digits.isEmpty())
        return QStringLiteral("0");
    if (d.exponent > precision || d.exponent < -3)
        return scientificText(d, point);
    return plainText(d, -1, point);
}

// Rounds to at most `precision` significant digits and `decimals` decimals.
Decimal fixedDigits(long double value, int precision, int decimals)
{
    Decimal d = exactDigits(value);
    if (!d.digits.isEmpty())
        roundDigits(d, std::min(precision, d.exponent + decimals));
    if (d.digits.isEmpty())
        d.negative = false;
    return d;
}

} // namespace

namespace NumberFormat {

QChar decimalSeparator()
{
    const QString s = QLocale().decimalPoint();
    return s.isEmpty() ? QLatin1Char('.') : s.at(0);
}

QChar groupSeparator()
{
    const QString s = QLocale().groupSeparator();
    return s.isEmpty() ? QLatin1Char(',') : s.at(0);
}

QString formatGeneral(long double value, int precision)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    return generalFrom(exactDigits(value), precision, decimalSeparator());
}

QString formatFixed(long double value, int precision, int decimals)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const Decimal d = fixedDigits(value, precision, decimals);
    if (d.exponent > precision)
        return generalFrom(exactDigits(value), precision, decimalSeparator());
    return plainText(d, decimals, decimalSeparator());
}

long double roundCurrency(long double value)
{
    return std::nearbyint(value * 100.0L) / 100.0L;
}

QString formatGrouped(long double value, int decimals)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const Decimal d = fixedDigits(value, 18, decimals);
    if (d.exponent > 18)
        return formatGeneral(value, 18);
    const QString plain = plainText(d, decimals, QLatin1Char('.'));
    const bool negative = plain.startsWith(QLatin1Char('-'));
    const QString unsignedText = negative ? plain.mid(1) : plain;
    const qsizetype point = unsignedText.indexOf(QLatin1Char('.'));
    const QString integer = point < 0 ? unsignedText : unsignedText.left(point);
    QString text = QLocale().toString(integer.toLongLong());
    if (point >= 0)
        text += decimalSeparator() + unsignedText.mid(point + 1);
    return negative ? QLatin1Char('-') + text : text;
}

QString formatCurrency(long double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const long double rounded = roundCurrency(value);
    const Decimal d = fixedDigits(rounded, 12, 2);
    if (d.exponent > 12)
        return generalFrom(exactDigits(rounded), 12, decimalSeparator());
    const QLocale locale;
    // The locale's pattern, found by formatting one unit and putting our digits in its place:
    // this keeps the symbol's place and the negative form that the locale prescribes.
    const QString one = locale.toString(1.0, 'f', 2);
    const bool negative = d.negative && !d.digits.isEmpty();
    QString pattern = locale.toCurrencyString(negative ? -1.0 : 1.0, QString(), 2);
    QString digits = formatGrouped(std::fabs(rounded), 2);
    const qsizetype at = pattern.indexOf(one);
    if (at < 0)
        return (negative ? QStringLiteral("-") : QString()) + digits;
    pattern.replace(at, one.size(), digits);
    return pattern;
}

std::optional<long double> tryParseFloat(const QString& text, QChar point)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    QByteArray c; // the C form of the number, for strtold
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-'))
        c += static_cast<char>(t.at(i++).unicode());
    int mantissaDigits = 0;
    bool seenPoint = false;
    for (; i < t.size(); ++i) {
        const QChar ch = t.at(i);
        if (ch >= u'0' && ch <= u'9') {
            c += static_cast<char>(ch.unicode());
            ++mantissaDigits;
        } else if (ch == point && !seenPoint) {
            c += '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < t.size() && (t.at(i) == u'e' || t.at(i) == u'E')) {
        c += 'e';
        ++i;
        if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-'))
            c += static_cast<char>(t.at(i++).unicode());
        int exponentDigits = 0;
        for (; i < t.size() && t.at(i) >= u'0' && t.at(i) <= u'9'; ++i) {
            c += static_cast<char>(t.at(i).unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;
    const long double value = std::strtold(c.constData(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long double> tryParseFloat(const QString& text)
{
    return tryParseFloat(text, decimalSeparator());
}

long double parseFloat(const QString& text)
{
    if (const auto value = tryParseFloat(text))
        return *value;
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

std::optional<qint64> tryParseInteger(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-'))
        negative = t.at(i++) == u'-';
    int base = 10;
    if (i < t.size() && t.at(i) == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t.at(i) == u'0' &&
               (t.at(i + 1) == u'x' || t.at(i + 1) == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= t.size())
        return std::nullopt;
    qint64 value = 0;
    constexpr qint64 limit = qint64(1) << 40; // far beyond any 32-bit number; stops overflow
    for (; i < t.size(); ++i) {
        const int digit = QChar(t.at(i)).digitValue();
        int v = -1;
        if (digit >= 0 && digit <= 9 && t.at(i).unicode() < 128)
            v = digit;
        else if (base == 16 && t.at(i).toLower() >= u'a' && t.at(i).toLower() <= u'f')
            v = t.at(i).toLower().unicode() - u'a' + 10;
        if (v < 0 || v >= base)
            return std::nullopt;
        value = value * base + v;
        if (value > limit)
            value = limit;
    }
    return negative ? -value : value;
}

qint32 parseInt32(const QString& text)
{
    const auto value = tryParseInteger(text);
    if (!value || *value < std::numeric_limits<qint32>::min() ||
        *value > std::numeric_limits<qint32>::max())
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return static_cast<qint32>(*value);
}

QString FormatThousands(qint64 n)
{
    // Digits of the magnitude, so that the most negative value has its sign and all its digits.
    const QString digits = QString::number(n < 0 ? -quint64(n) : quint64(n));
    QString out = n < 0 ? QStringLiteral("-") : QString();
    out.reserve(digits.size() + digits.size() / 3 + 1);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += u',';
        out += digits.at(i);
    }
    return out;
}

} // namespace NumberFormat

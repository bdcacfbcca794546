#include "platform/NumEdit.h"

#include "platform/NumberFormat.h"

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

NumEdit::NumEdit(QWidget* parent) : FieldEdit(parent)
{
    redraw();
}

void NumEdit::setValue(long double value)
{
    if (value == m_value)
        return;
    m_value = value;
    redraw();
}

std::optional<long double> NumEdit::readText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0.0L;
    const QChar point = NumberFormat::decimalSeparator();
    QString reduced;
    bool hasDigit = false;
    for (const QChar c : t) {
        if (isDigit(c)) {
            reduced += c;
            hasDigit = true;
        } else if (c == point) {
            reduced += c;
        }
    }
    if (!hasDigit)
        return std::nullopt;
    const std::optional<long double> number = NumberFormat::tryParseFloat(reduced, point);
    if (!number)
        return std::nullopt;
    if (*number == 0)
        return 0.0L;
    const bool negative = t.startsWith(u'-') || t.endsWith(u'-');
    return negative ? -*number : *number;
}

void NumEdit::redraw()
{
    if (isEntered()) {
        // The same two decimals, rounded the same way, that the field shows out of focus.
        setText(NumberFormat::formatGrouped(NumberFormat::roundCurrency(m_value), 2));
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    } else {
        setText(NumberFormat::formatCurrency(m_value));
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

void NumEdit::enterField()
{
    redraw();
}

void NumEdit::leaveField()
{
    bool restored = false;
    // An untouched text keeps Value as it was: the text shows only two decimals of it.
    if (isModified()) {
        if (const std::optional<long double> number = readText(text()))
            m_value = *number;
        else
            restored = true;
    }
    redraw();
    reportExit();
    if (restored) {
        // After the focus change in progress has finished, so that the control the user went
        // to gets its focus-in before it loses the focus again.
        QMetaObject::invokeMethod(
            this, [this] { setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
    }
}

QString NumEdit::acceptedPart(const QString& typed) const
{
    QString current = text();
    qsizetype caret = cursorPosition();
    if (hasSelectedText()) {
        caret = selectionStart();
        current.remove(caret, selectionLength());
    }
    const QChar point = NumberFormat::decimalSeparator();
    const QChar group = NumberFormat::groupSeparator();
    const QChar minus = u'-';
    QString accepted;
    for (const QChar c : typed) {
        const bool allowed = isDigit(c) || c == group || (c == point && !current.contains(point)) ||
                             (c == minus && !current.contains(minus));
        if (!allowed)
            continue;
        QString candidate = current;
        candidate.insert(caret, c);
        // The decimal separator and the minus sign do not count against the limit.
        const qsizetype limit = MaxTypedLength + (candidate.contains(point) ? 1 : 0) +
                                (candidate.contains(minus) ? 1 : 0);
        if (candidate.size() > limit)
            continue;
        current = candidate;
        ++caret;
        accepted += c;
    }
    return accepted;
}

void NumEdit::insertFiltered(const QString& text)
{
    if (isReadOnly())
        return;
    const QString accepted = acceptedPart(text);
    if (!accepted.isEmpty())
        insert(accepted);
}

#include "platform/FnpNumericEdit.h"

#include "platform/NumberFormat.h"

#include <QKeyEvent>

#include <algorithm>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype signLength(const QString& text)
{
    return text.startsWith(u'-') ? 1 : 0;
}

// Where the decimals begin: the decimal separator, or the end of a text without one.
qsizetype pointIndex(const QString& text)
{
    const qsizetype at = text.indexOf(NumberFormat::decimalSeparator());
    return at < 0 ? text.size() : at;
}

} // namespace

// The text being edited with its selection [start, end); start == end is the caret alone.
struct FnpNumericEdit::Edit
{
    QString text;
    qsizetype start = 0;
    qsizetype end = 0;

    void setCaret(qsizetype caret) { start = end = caret; }
};

FnpNumericEdit::FnpNumericEdit(QWidget* parent) : FieldEdit(parent)
{
    setAlignment(Qt::AlignCenter);
    setValue(0);
    // Edits the line edit makes itself (a word deleted, Cut or Delete from the menu) are put
    // back into shape at once.
    connect(this, &QLineEdit::textEdited, this, &FnpNumericEdit::repairText);
}

void FnpNumericEdit::setDecimals(int decimals)
{
    m_decimals = std::max(decimals, 0);
    if (const auto number = NumberFormat::tryParseFloat(text()))
        setValue(static_cast<double>(*number));
}

double FnpNumericEdit::value() const
{
    return static_cast<double>(NumberFormat::parseFloat(text()));
}

void FnpNumericEdit::setValue(double value)
{
    const QString t = NumberFormat::formatFixed(value, 18, m_decimals);
    if (t != text())
        setText(t);
}

QString FnpNumericEdit::repaired(const QString& text) const
{
    const QChar point = NumberFormat::decimalSeparator();
    const qsizetype sign = signLength(text);
    QString whole;
    QString decimals;
    bool inDecimals = false;
    for (qsizetype i = sign; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isDigit(c))
            (inDecimals ? decimals : whole) += c;
        else if (c == point && !inDecimals && m_decimals > 0)
            inDecimals = true;
        else
            break;
    }
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    QString result = text.left(sign) + whole;
    if (m_decimals > 0)
        result += point + decimals.left(m_decimals).leftJustified(m_decimals, u'0');
    return result;
}

void FnpNumericEdit::repairText()
{
    const QString fixed = repaired(text());
    if (fixed == text())
        return;
    const int caret = cursorPosition();
    setText(fixed);
    setCursorPosition(std::min(caret, static_cast<int>(fixed.size())));
}

FnpNumericEdit::Edit FnpNumericEdit::currentEdit() const
{
    Edit edit;
    edit.text = text();
    const QString fixed = repaired(edit.text);
    if (fixed != edit.text) {
        // A text set from outside that is no plain number (an exponent, letters, nothing): the
        // edit starts from its plain part, all of it selected if all of the text was.
        edit.text = fixed;
        edit.setCaret(fixed.size());
        if (hasSelectedText() && selectedText() == text())
            edit.start = 0;
        return edit;
    }
    if (hasSelectedText()) {
        edit.start = selectionStart();
        edit.end = edit.start + selectionLength();
    } else {
        edit.setCaret(cursorPosition());
    }
    return edit;
}

void FnpNumericEdit::apply(const Edit& edit)
{
    if (edit.text != text()) {
        setText(edit.text);
        setModified(true);
        emit textEdited(edit.text);
    }
    setCursorPosition(static_cast<int>(edit.end));
}

void FnpNumericEdit::normaliseWhole(Edit& edit) const
{
    const qsizetype sign = signLength(edit.text);
    qsizetype point = pointIndex(edit.text);
    // No leading zeros: the number keeps one digit before the separator.
    while (point - sign > 1 && edit.text.at(sign) == u'0') {
        edit.text.remove(sign, 1);
        --point;
        if (edit.end > sign)
            edit.setCaret(edit.end - 1);
    }
    if (point == sign) {
        // The last digit deleted: "0" stays, with the caret after it.
        edit.text.insert(sign, u'0');
        if (edit.end >= sign)
            edit.setCaret(edit.end + 1);
    }
}

void FnpNumericEdit::deleteSelection(Edit& edit) const
{
    if (edit.start == edit.end)
        return;
    const qsizetype point = pointIndex(edit.text);
    QString result;
    for (qsizetype i = 0; i < edit.text.size(); ++i) {
        const bool selected = i >= edit.start && i < edit.end;
        if (!selected || i == point)
            result += edit.text.at(i);
        else if (i > point)
            result += u'0'; // the decimals keep their count
    }
    edit.text = result;
    edit.setCaret(edit.start);
    normaliseWhole(edit);
}

bool FnpNumericEdit::typeChar(Edit& edit, QChar c) const
{
    const QChar point = NumberFormat::decimalSeparator();
    if (isDigit(c)) {
        if (c == u'0' && edit.start == 0)
            return false;
        Edit result = edit;
        deleteSelection(result);
        const qsizetype sign = signLength(result.text);
        const qsizetype at = std::max(result.end, sign);
        const qsizetype pointAt = pointIndex(result.text);
        if (at <= pointAt) {
            if (pointAt - sign == 1 && result.text.at(sign) == u'0') {
                // The lone 0 gives way to the digit typed.
                result.text[sign] = c;
                result.setCaret(sign + 1);
            } else {
                result.text.insert(at, c);
                result.setCaret(at + 1);
                normaliseWhole(result);
            }
        } else {
            if (at >= result.text.size())
                return false; // every decimal place is taken
            result.text[at] = c;
            result.setCaret(at + 1);
        }
        edit = result;
        return true;
    }
    if (c == point) {
        if (m_decimals == 0)
            return false;
        deleteSelection(edit);
        edit.setCaret(pointIndex(edit.text) + 1);
        return true;
    }
    if (c == u'-') {
        if (m_minimum >= 0)
            return false;
        const qsizetype caret = edit.end;
        if (signLength(edit.text) > 0) {
            edit.text.remove(0, 1);
            edit.setCaret(std::max<qsizetype>(caret - 1, 0));
        } else {
            edit.text.prepend(u'-');
            edit.setCaret(caret + 1);
        }
        return true;
    }
    return false;
}

bool FnpNumericEdit::backspace(Edit& edit) const
{
    if (edit.start != edit.end) {
        deleteSelection(edit);
        return true;
    }
    qsizetype caret = edit.end;
    const qsizetype point = pointIndex(edit.text);
    if (caret > point + 1) {
        // In the decimals the digit becomes 0 and the caret moves back over it.
        edit.text[caret - 1] = u'0';
        edit.setCaret(caret - 1);
        return true;
    }
    if (caret == point + 1)
        caret = point; // over the separator, to the last whole digit
    if (caret == 0)
        return false;
    edit.start = caret - 1;
    edit.end = caret;
    deleteSelection(edit);
    return true;
}

bool FnpNumericEdit::deleteForward(Edit& edit) const
{
    if (edit.start != edit.end) {
        deleteSelection(edit);
        return true;
    }
    qsizetype caret = edit.end;
    const qsizetype point = pointIndex(edit.text);
    if (caret < point) {
        edit.start = caret;
        edit.end = caret + 1;
        deleteSelection(edit);
        return true;
    }
    if (caret == point)
        caret = point + 1; // over the separator, to the first decimal
    if (caret >= edit.text.size())
        return false;
    edit.text[caret] = u'0';
    edit.setCaret(caret + 1);
    return true;
}

void FnpNumericEdit::insertFiltered(const QString& text)
{
    if (isReadOnly())
        return;
    Edit edit = currentEdit();
    bool changed = false;
    for (const QChar c : text) {
        if (typeChar(edit, c))
            changed = true;
    }
    if (changed)
        apply(edit);
}

bool FnpNumericEdit::editKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const bool backspaceKey = event->key() == Qt::Key_Backspace && modifiers == Qt::NoModifier;
    const bool deleteKey = event->matches(QKeySequence::Delete);
    if (!backspaceKey && !deleteKey)
        return false;
    Edit edit = currentEdit();
    if (backspaceKey ? backspace(edit) : deleteForward(edit))
        apply(edit);
    event->accept();
    return true;
}

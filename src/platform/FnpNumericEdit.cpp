#include "platform/FnpNumericEdit.h"

#include "platform/NumberFormat.h"

FnpNumericEdit::FnpNumericEdit(QWidget* parent) : QLineEdit(parent)
{
    setValue(0);
}

void FnpNumericEdit::setDecimals(int decimals)
{
    m_decimals = decimals;
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

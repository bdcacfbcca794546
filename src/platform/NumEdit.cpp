#include "platform/NumEdit.h"

#include "platform/NumberFormat.h"

NumEdit::NumEdit(QWidget* parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setText(NumberFormat::formatCurrency(m_value));
}

void NumEdit::setValue(long double value)
{
    if (value == m_value)
        return;
    m_value = value;
    setText(NumberFormat::formatCurrency(m_value));
}

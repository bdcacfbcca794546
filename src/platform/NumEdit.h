#pragma once

#include "platform/FieldEdit.h"

#include <optional>

// The currency field: holds an extended Value. Out of focus it shows Value rounded to two
// decimals in the user's currency format, right-aligned; with the focus its text is the plain
// number, left-aligned. Leaving the field reads the text back into Value and then raises
// exited().
class NumEdit : public FieldEdit
{
    Q_OBJECT

public:
    // Characters that may be typed; a decimal separator and a minus sign come on top.
    static constexpr int MaxTypedLength = 12;

    explicit NumEdit(QWidget* parent = nullptr);

    long double value() const { return m_value; }
    // Setting a different number stores it and redraws; setting the same number does nothing.
    void setValue(long double value);

    void insertFiltered(const QString& text) override;

    // Reads a field text as leaving the field does: its digits and decimal separator, negative
    // when "-" comes first or last, 0 when the text is empty; nothing for a text without digits.
    static std::optional<long double> readText(const QString& text);

protected:
    void enterField() override;
    void leaveField() override;

private:
    void redraw();
    // The characters of `typed` that the filter lets through at the caret, given the text with
    // the selection taken out.
    QString acceptedPart(const QString& typed) const;

    long double m_value = 0;
};

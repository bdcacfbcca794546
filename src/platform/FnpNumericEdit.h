#pragma once

#include "platform/FieldEdit.h"

// The numeric field: its value is its text read as a number at each request; setting it writes
// the number with exactly the field's number of decimals. Typing keeps the text a plain number:
// the decimals keep their count and are typed over, a 0 typed first is refused, "-" needs a
// minimum below 0, and deleting the last digit leaves "0". Centred unless told otherwise.
class FnpNumericEdit : public FieldEdit
{
    Q_OBJECT
    // For Designer forms, which set these by name.
    Q_PROPERTY(int decimals READ decimals WRITE setDecimals)
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum)

public:
    explicit FnpNumericEdit(QWidget* parent = nullptr);

    int decimals() const { return m_decimals; }
    // Also rewrites a readable text with the new number of decimals.
    void setDecimals(int decimals);
    double minimum() const { return m_minimum; }
    void setMinimum(double minimum) { m_minimum = minimum; }

    // The text read as a number; throws EConvertError for a text that is not one.
    double value() const;
    // Writes the number rounded to the field's decimals when that text differs from the text.
    void setValue(double value);

    void insertFiltered(const QString& text) override;

protected:
    bool editKey(QKeyEvent* event) override;

private:
    struct Edit;
    Edit currentEdit() const;
    void apply(const Edit& edit);
    // The text rebuilt as a plain number with the field's decimals (after an edit the field
    // left to the line edit, such as a word deleted or Cut from the menu).
    QString repaired(const QString& text) const;
    void repairText();

    bool typeChar(Edit& edit, QChar c) const;
    void deleteSelection(Edit& edit) const;
    void normaliseWhole(Edit& edit) const;
    bool backspace(Edit& edit) const;
    bool deleteForward(Edit& edit) const;

    int m_decimals = 0;
    double m_minimum = 0;
};

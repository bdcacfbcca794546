#pragma once

#include <QLineEdit>

// The numeric field: its value is its text read as a number at each request; setting it writes
// the number with exactly the field's number of decimals.
class FnpNumericEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit FnpNumericEdit(QWidget* parent = nullptr);

    int decimals() const { return m_decimals; }
    void setDecimals(int decimals);
    double minimum() const { return m_minimum; }
    void setMinimum(double minimum) { m_minimum = minimum; }

    // The text read as a number; throws EConvertError for a text that is not one.
    double value() const;
    void setValue(double value);

signals:
    // The focus moved to another control of the same window.
    void exited();

private:
    int m_decimals = 0;
    double m_minimum = 0;
};

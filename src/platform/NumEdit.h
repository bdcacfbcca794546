#pragma once

#include <QLineEdit>

// The currency field: holds an extended Value. Out of focus it shows Value rounded to two
// decimals in the user's currency format, right-aligned; with the focus its text is the plain
// number. Leaving the field reads the text back into Value and then raises exited().
class NumEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit NumEdit(QWidget* parent = nullptr);

    long double value() const { return m_value; }
    // Setting a different number stores it and redraws; setting the same number does nothing.
    void setValue(long double value);

signals:
    // The focus moved to another control of the same window (not a window switch, a menu or a
    // modal dialog).
    void exited();

private:
    long double m_value = 0;
};

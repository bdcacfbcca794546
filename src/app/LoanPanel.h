#pragma once

#include <QtGlobal>

class FnpNumericEdit;
class NumEdit;
class QComboBox;
class QLabel;
class QObject;

// One loan panel: its controls and the last-values fields it captures. Both panels of the main
// window run the same recalculation through this one class, so they cannot drift apart.
class LoanPanel
{
public:
    struct Controls
    {
        NumEdit* edtLoan;
        QComboBox* cbFrequency;
        FnpNumericEdit* edtTerm;
        FnpNumericEdit* edtInterest;
        NumEdit* edtPayment;
        NumEdit* edtInterestPaid;
        NumEdit* edtTotalPaid;
        QLabel* lblTerm;
    };

    struct Fields
    {
        double& FLoan;
        double& FInterest;
        double& FTerm;
        double& FPayment;
        qint32& FFreqCode;
    };

    LoanPanel(const Controls& controls, const Fields& fields);

    const Controls& controls() const { return m_c; }

    // Sets up the field kinds, the frequency list and the colours of the results.
    void prepare();

    // The recalculation: validate and map the frequency, the term label, capture the inputs,
    // then the payment and the totals. An error ends it where it arises and travels on; what
    // the earlier steps changed stays changed.
    void calculate(const QObject* sender);

    // The last steps of the recalculation: read the inputs, compute the payment and the totals.
    void DoTheMath();

    // Puts the default inputs back (100000, "Monthly 12", 360, 8.75) without recalculating.
    void restoreDefaults();

    // Puts a text into the frequency list's edit box as it stands; not a change by the user.
    void setFrequency(const QString& text);

    // Maps the frequency text to the panel's code; a text that matches none leaves the code.
    void mapFrequency();

private:
    Controls m_c;
    Fields m_f;
};

#include "app/LoanPanel.h"

#include "calc/FrequencyTable.h"
#include "calc/LoanCalculation.h"
#include "calc/PaymentFormula.h"
#include "platform/FnpNumericEdit.h"
#include "platform/NumEdit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

constexpr double defaultAmount = 100000;
constexpr double defaultRate = 8.75;
constexpr double defaultPayments = 360;

// Shows a frequency text in the list's edit box; a text of the list also becomes its current
// row, so that the arrow keys move on from it. No change event comes of it.
void setFrequencyText(QComboBox* box, const QString& text)
{
    const QSignalBlocker block(box);
    const int row = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (row >= 0)
        box->setCurrentIndex(row);
    box->setEditText(text);
}

void paintBase(QWidget* w, const QColor& color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, color);
    w->setPalette(p);
}

} // namespace

LoanPanel::LoanPanel(const Controls& controls, const Fields& fields) : m_c(controls), m_f(fields) {}

void LoanPanel::prepare()
{
    m_c.cbFrequency->clear();
    m_c.cbFrequency->addItems(FrequencyTable::listTexts());
    m_c.cbFrequency->setMaxVisibleItems(9);
    m_c.cbFrequency->setInsertPolicy(QComboBox::NoInsert);
    m_c.cbFrequency->setCompleter(nullptr);
    setFrequencyText(m_c.cbFrequency, FrequencyTable::defaultText());

    m_c.edtTerm->setDecimals(0);
    m_c.edtTerm->setAlignment(Qt::AlignCenter);
    m_c.edtTerm->setValue(defaultPayments);
    m_c.edtInterest->setDecimals(3);
    m_c.edtInterest->setAlignment(Qt::AlignCenter);
    m_c.edtInterest->setValue(defaultRate);
    m_c.edtLoan->setValue(defaultAmount);

    for (QWidget* w : {static_cast<QWidget*>(m_c.edtLoan), static_cast<QWidget*>(m_c.cbFrequency),
                       static_cast<QWidget*>(m_c.edtTerm), static_cast<QWidget*>(m_c.edtInterest)})
        paintBase(w, Qt::white);
    for (QWidget* w : {m_c.edtPayment, m_c.edtInterestPaid, m_c.edtTotalPaid})
        paintBase(w, Qt::yellow);
}

void LoanPanel::setFrequency(const QString& text)
{
    setFrequencyText(m_c.cbFrequency, text);
}

void LoanPanel::mapFrequency()
{
    if (const auto code = FrequencyTable::codeOf(m_c.cbFrequency->currentText()))
        m_f.FFreqCode = *code;
}

void LoanPanel::calculate(const QObject* sender)
{
    // 1. Only the panel's own list validates its text.
    if (sender == m_c.cbFrequency) {
        const QString text = m_c.cbFrequency->currentText();
        const QString valid = FrequencyTable::validated(text);
        if (valid != text)
            setFrequencyText(m_c.cbFrequency, valid);
    }
    // 2.
    mapFrequency();
    // 3.
    m_c.lblTerm->setText(LoanCalculation::termText(m_c.edtTerm->value(), m_f.FFreqCode));
    // 4. The payment captured is the one shown before this recalculation.
    m_f.FLoan = static_cast<double>(m_c.edtLoan->value());
    m_f.FInterest = m_c.edtInterest->value();
    m_f.FTerm = m_c.edtTerm->value();
    m_f.FPayment = static_cast<double>(m_c.edtPayment->value());
    DoTheMath();
}

void LoanPanel::DoTheMath()
{
    // 5.
    const double amount = static_cast<double>(m_c.edtLoan->value());
    const qint32 n = LoanCalculation::paymentCount(m_c.edtTerm->value());
    const double rate = m_c.edtInterest->value();
    // 6. to 8.
    const long double payment = PaymentFormula::CalcPayment(n, m_f.FFreqCode, amount, rate);
    m_c.edtPayment->setValue(payment);
    const LoanCalculation::Totals totals = LoanCalculation::totals(payment, n, amount);
    m_c.edtTotalPaid->setValue(totals.totalPaid);
    m_c.edtInterestPaid->setValue(totals.interestPaid);
}

void LoanPanel::restoreDefaults()
{
    m_c.edtLoan->setValue(defaultAmount);
    m_c.edtInterest->setValue(defaultRate);
    m_c.edtTerm->setValue(defaultPayments);
    setFrequencyText(m_c.cbFrequency, FrequencyTable::defaultText());
    m_f.FFreqCode = FrequencyTable::defaultCode;
}

#pragma once

#include <QDialog>

class QLabel;

// The small window shown modally while the web file information component waits for a request.
// It has no button and no close box, and neither Esc nor the window manager closes it: only the
// component ends it, with done(), once the request has ended.
class WaitForm : public QDialog
{
    Q_OBJECT

public:
    WaitForm(const QString& text, const QFont& font);

    QLabel* label() const { return m_label; }

    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_label;
};

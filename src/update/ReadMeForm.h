#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The window that shows the text read-me of a release: four fifths of the screen in each
// direction, centred, with the text in a box that scrolls both ways and one "&Ok" button.
class ReadMeForm : public QDialog
{
    Q_OBJECT

public:
    ReadMeForm(const QString& text, const QFont& font);

    QPlainTextEdit* memo() const { return m_memo; }
    QPushButton* okButton() const { return m_ok; }

    // The outer size of the window on a screen of the given size.
    static QSize outerSize(const QSize& screen);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* m_memo;
    QPushButton* m_ok;
};

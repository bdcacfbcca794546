#include "update/WaitForm.h"

#include "platform/ScreenPlacement.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

// Outer size 240 x 100 with a fixed dialog frame (3-pixel borders, 20-pixel caption).
constexpr QSize clientSize(234, 74);

} // namespace

WaitForm::WaitForm(const QString& text, const QFont& font)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      m_label(new QLabel(text, this))
{
    setObjectName(QStringLiteral("WaitForm"));
    setWindowTitle(QStringLiteral("Please Wait"));
    setWindowModality(Qt::ApplicationModal);
    setCursor(Qt::WaitCursor);
    setFixedSize(clientSize);

    m_label->setObjectName(QStringLiteral("lblWait"));
    m_label->setGeometry(0, 27, 232, 23);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setFont(font);
}

void WaitForm::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void WaitForm::showEvent(QShowEvent* event)
{
    // Centred on the screen, whatever window is active.
    centerOnScreen(this);
    QDialog::showEvent(event);
}

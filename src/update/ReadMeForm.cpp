#include "update/ReadMeForm.h"

#include "platform/ScreenPlacement.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace {

// The fixed dialog frame the window's outer size counts in: 3-pixel borders and a 20-pixel
// caption, as the component's other windows.
constexpr QSize frame(6, 26);

QSize screenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(800, 600);
}

} // namespace

QSize ReadMeForm::outerSize(const QSize& screen)
{
    return QSize(screen.width() * 4 / 5, screen.height() * 4 / 5);
}

ReadMeForm::ReadMeForm(const QString& text, const QFont& font)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      m_memo(new QPlainTextEdit(this)), m_ok(new QPushButton(this))
{
    setObjectName(QStringLiteral("ReadMeForm"));
    setWindowTitle(QStringLiteral("Read Me"));
    setWindowModality(Qt::ApplicationModal);
    setFont(font);
    // The controls are placed against the outer size, the client area lies inside the frame.
    const QSize outer = outerSize(screenSize());
    setFixedSize(outer - frame);

    m_memo->setObjectName(QStringLiteral("memReadMe"));
    m_memo->setGeometry(10, 10, outer.width() - 25, outer.height() - 80);
    m_memo->setFont(font);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setPlainText(text);

    m_ok->setObjectName(QStringLiteral("btnOk"));
    m_ok->setText(QStringLiteral("&Ok"));
    m_ok->setGeometry(outer.width() / 2 - 34, outer.height() - 56, 68, 22);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

void ReadMeForm::showEvent(QShowEvent* event)
{
    centerOnScreen(this); // whatever window is active
    QDialog::showEvent(event);
}

#include "platform/FieldEdit.h"

#include "platform/ExitNotifier.h"

#include "platform/Application.h"
#include "platform/NumberFormat.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

FieldEdit::FieldEdit(QWidget* parent) : QLineEdit(parent)
{
    // Dropped text would bypass the filter.
    setAcceptDrops(false);
}

QString FieldEdit::typedText(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return {};
    // Ctrl and Ctrl+Shift make shortcuts; Ctrl+Alt is AltGr on some keyboards and types.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier))
        return {};
    for (const QChar c : text) {
        if (!c.isPrint())
            return {};
    }
    if ((event->modifiers() & Qt::KeypadModifier) &&
        (text == QLatin1String(".") || text == QLatin1String(",")))
        return QString(NumberFormat::decimalSeparator());
    return text;
}

QMenu* FieldEdit::createFieldContextMenu()
{
    QMenu* menu = createStandardContextMenu();
    // The entry is found by the text Qt gives it; its connection to QLineEdit::paste is
    // replaced so that pasted text passes the filter.
    const QString pasteText = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* action : menu->actions()) {
        if (!action->text().startsWith(pasteText))
            continue;
        disconnect(action, &QAction::triggered, this, nullptr);
        connect(action, &QAction::triggered, this,
                [this] { insertFiltered(QGuiApplication::clipboard()->text()); });
    }
    return menu;
}

bool FieldEdit::editKey(QKeyEvent*)
{
    return false;
}

void FieldEdit::reportExit()
{
    Application::guard(this, [this] { emit exited(); });
}

void FieldEdit::focusInEvent(QFocusEvent* event)
{
    if (!m_entered) {
        m_entered = true;
        enterField();
    }
    QLineEdit::focusInEvent(event);
}

void FieldEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (m_entered && ExitNotifier::isExitReason(event->reason())) {
        m_entered = false;
        leaveField();
    }
}

void FieldEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            insertFiltered(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    const QString typed = typedText(event);
    if (!typed.isEmpty()) {
        // A refused character is swallowed, not passed on to the window.
        if (!isReadOnly())
            insertFiltered(typed);
        event->accept();
        return;
    }
    if (isReadOnly() || !editKey(event))
        QLineEdit::keyPressEvent(event);
}

void FieldEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    if (commit.isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&rest);
    insertFiltered(commit);
    event->accept();
}

void FieldEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the selection on X11; it goes through the filter too.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && !isReadOnly() && clipboard->supportsSelection()) {
        deselect();
        insertFiltered(clipboard->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void FieldEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createFieldContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

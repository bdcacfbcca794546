#include "FieldWindow.h"

#include "platform/FieldEdit.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QMenu>
#include <QtTest>

#include <memory>

namespace {

// Activates the window as a window manager does when it opens or is clicked. (A dialog counts
// as active for QWindow while its parent is, so the application's active window is checked.)
bool becomeActive(QWidget* window)
{
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

} // namespace

bool pasteInto(FieldEdit* field, PasteRoute route, const QString& text)
{
    switch (route) {
    case PasteRoute::CtrlV:
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        return true;
    case PasteRoute::ContextMenu: {
        QGuiApplication::clipboard()->setText(text);
        const std::unique_ptr<QMenu> menu(field->createFieldContextMenu());
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QStringLiteral("&Paste"))) {
                action->trigger();
                return true;
            }
        }
        return false;
    }
    case PasteRoute::InputMethod: {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(field, &event);
        return true;
    }
    }
    return false;
}

FieldWindow::FieldWindow(QWidget* field)
    : m_field(field), m_next(new QLineEdit(this)), m_menuBar(new QMenuBar(this))
{
    setWindowTitle(QStringLiteral("Field"));
    resize(300, 120);
    m_menuBar->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
    m_menuBar->setGeometry(0, 0, 300, 22);
    m_field->setParent(this);
    m_field->setGeometry(20, 40, 110, 23);
    m_next->setGeometry(20, 75, 110, 23);
    setTabOrder(m_field, m_next);
}

bool FieldWindow::showActive()
{
    show();
    return QTest::qWaitForWindowExposed(this) && becomeActive(this);
}

bool FieldWindow::tabIntoField()
{
    m_field->setFocus(Qt::TabFocusReason);
    return m_field->hasFocus();
}

void addFocusMoveRows()
{
    QTest::addColumn<FocusMove>("move");
    QTest::addColumn<bool>("leaves");

    QTest::newRow("Tab to the next control") << FocusMove::Tab << true;
    QTest::newRow("Shift+Tab") << FocusMove::Backtab << true;
    QTest::newRow("click on another control") << FocusMove::Click << true;
    QTest::newRow("another window activated") << FocusMove::OtherWindow << false;
    QTest::newRow("popup menu") << FocusMove::PopupMenu << false;
    QTest::newRow("modal dialog") << FocusMove::ModalDialog << false;
    QTest::newRow("menu bar") << FocusMove::MenuBar << false;
}

bool FieldWindow::moveFocus(FocusMove move)
{
    switch (move) {
    case FocusMove::Tab:
        QTest::keyClick(m_field, Qt::Key_Tab);
        return m_next->hasFocus();
    case FocusMove::Backtab:
        QTest::keyClick(m_field, Qt::Key_Backtab, Qt::ShiftModifier);
        return m_next->hasFocus();
    case FocusMove::Click:
        QTest::mouseClick(m_next, Qt::LeftButton, {}, QPoint(5, 5));
        return m_next->hasFocus();
    case FocusMove::OtherWindow: {
        QWidget other;
        other.setWindowTitle(QStringLiteral("Other"));
        other.resize(100, 50);
        other.show();
        if (!becomeActive(&other))
            return false;
        other.hide();
        return becomeActive(this) && m_field->hasFocus();
    }
    case FocusMove::PopupMenu: {
        QMenu menu;
        menu.addAction(QStringLiteral("Copy"));
        menu.popup(m_field->mapToGlobal(QPoint(5, 5)));
        if (!QTest::qWaitForWindowExposed(&menu) || QApplication::activePopupWidget() != &menu)
            return false;
        menu.close();
        return m_field->hasFocus();
    }
    case FocusMove::ModalDialog: {
        QDialog dialog(this);
        dialog.resize(100, 50);
        dialog.setModal(true);
        dialog.show();
        if (!becomeActive(&dialog))
            return false;
        dialog.reject();
        return becomeActive(this) && m_field->hasFocus();
    }
    case FocusMove::MenuBar:
        // What the menu bar does when Alt puts it into keyboard mode, and when it leaves it.
        m_menuBar->setFocus(Qt::MenuBarFocusReason);
        if (!m_menuBar->hasFocus())
            return false;
        m_field->setFocus(Qt::MenuBarFocusReason);
        return m_field->hasFocus();
    }
    return false;
}

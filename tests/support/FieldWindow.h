#pragma once

#include <QLineEdit>
#include <QMenuBar>
#include <QWidget>

// How the focus can leave a field. The first three move it to another control of the window;
// the others only borrow it (another window, a popup menu, a modal dialog, the menu bar) and
// hand it back.
enum class FocusMove
{
    Tab,
    Backtab,
    Click,
    OtherWindow,
    PopupMenu,
    ModalDialog,
    MenuBar,
};

// The table of every focus move with whether it leaves the field (columns "move", "leaves").
void addFocusMoveRows();

// The ways text arrives other than typed key by key.
enum class PasteRoute
{
    CtrlV,
    ContextMenu,
    InputMethod,
};

class FieldEdit;

// Puts `text` into the field as the route does: from the clipboard with Ctrl+V, from the
// clipboard with the context menu's Paste, or committed by an input method. False when the
// context menu has no Paste entry.
bool pasteInto(FieldEdit* field, PasteRoute route, const QString& text);

// A top-level window holding the field under test, a plain line edit after it in the tab
// order and a menu bar. Shown and active after show().
class FieldWindow : public QWidget
{
public:
    // Takes ownership of the field.
    explicit FieldWindow(QWidget* field);

    QWidget* field() const { return m_field; }
    QLineEdit* next() const { return m_next; }

    // Shows the window and waits until it is active.
    bool showActive();
    // Gives the field the focus as the Tab key does (its text selected).
    bool tabIntoField();
    // Moves the focus away from the field as `move` describes; a borrowing move gives the
    // focus back to the field before it returns. False when a step did not take effect.
    bool moveFocus(FocusMove move);

private:
    QWidget* m_field;
    QLineEdit* m_next;
    QMenuBar* m_menuBar;
};

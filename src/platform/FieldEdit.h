#pragma once

#include <QLineEdit>

class QMenu;

// A line edit whose typed and pasted text passes a filter, and that tells when the user left it
// for another control of the window. The numeric edit fields build on it.
class FieldEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit FieldEdit(QWidget* parent = nullptr);

    // True from entering the field until leaving it for another control; a window switch, a
    // menu or a modal dialog in between only borrows the focus.
    bool isEntered() const { return m_entered; }

    // Inserts text at the caret as if its characters were typed: refused ones are dropped.
    virtual void insertFiltered(const QString& text) = 0;

    // The line edit's own context menu, with Paste routed through insertFiltered().
    QMenu* createFieldContextMenu();

    // The characters a key event types, or an empty string for a command key (Backspace, Enter,
    // arrows, shortcuts). The keypad's decimal key types the locale's decimal separator.
    static QString typedText(const QKeyEvent* event);

signals:
    // The focus moved to another control of the same window (not a window switch, a menu or a
    // modal dialog).
    void exited();

protected:
    // Called on entering the field, before the line edit's own focus-in handling.
    virtual void enterField() {}
    // Called on leaving the field for another control; emits exited() unless overridden.
    virtual void leaveField() { reportExit(); }
    // Command keys the field handles itself; returns false to leave the key to the line edit.
    virtual bool editKey(QKeyEvent* event);

    // Emits exited(); whatever its receivers throw is reported through the application, so
    // that no error leaves through the event handler.
    void reportExit();

    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool m_entered = false;
};

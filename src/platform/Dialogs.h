#pragma once

#include <QFlags>
#include <QList>
#include <QString>

class QWidget;

// Every message box and the Save dialog pass through this one seam, so that tests can answer
// them with a scripted double and production shows QMessageBox / QFileDialog.

enum class MessageIcon
{
    None,
    Information,
    Exclamation,
    Error,
    Question
};

enum class MessageButton
{
    None = 0x0,
    Ok = 0x1,
    Cancel = 0x2,
    Yes = 0x4,
    No = 0x8
};
Q_DECLARE_FLAGS(MessageButtons, MessageButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(MessageButtons)

struct MessageRequest
{
    QString caption;
    QString text; // kept byte for byte: "\r", "\r\n" and "\n\r" all break lines when shown
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButton::Ok;
    MessageButton defaultButton = MessageButton::Ok;
    MessageButton escapeButton = MessageButton::Ok;
    QWidget* parent = nullptr;
};

struct FileFilter
{
    QString name;    // "Application (*.EXE)"
    QString pattern; // "*.EXE"
};

struct SaveRequest
{
    QString title; // empty: the platform's default title
    QList<FileFilter> filters;
    int filterIndex = 1; // 1-based: the entry chosen when the dialog opens
    QString fileName;    // proposed name
    QString folder;      // empty: the platform's default folder
    bool overwritePrompt = false;
    bool pathMustExist = false;
    QWidget* parent = nullptr;
};

struct SaveAnswer
{
    bool accepted = false;
    QString fileName; // full path of the chosen file
    int filterIndex = 1;
};

class DialogProvider
{
public:
    virtual ~DialogProvider() = default;
    virtual MessageButton showMessage(const MessageRequest& request) = 0;
    virtual SaveAnswer showSave(const SaveRequest& request) = 0;
};

namespace Dialogs {

MessageButton message(const MessageRequest& request);
SaveAnswer save(const SaveRequest& request);

// The plain message window: the application's title as caption, no icon, one OK button.
void showMessage(const QString& text, QWidget* parent = nullptr);

// nullptr puts the Qt dialogs back.
void setProvider(DialogProvider* provider);
DialogProvider* provider();

// The text as a message box shows it: every "\r\n", "\n\r" and lone "\r" becomes "\n".
QString displayText(const QString& text);

} // namespace Dialogs

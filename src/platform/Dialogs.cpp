#include "platform/Dialogs.h"

#include "platform/Application.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::StandardButton toStandard(MessageButton button)
{
    switch (button) {
    case MessageButton::Ok:
        return QMessageBox::Ok;
    case MessageButton::Cancel:
        return QMessageBox::Cancel;
    case MessageButton::Yes:
        return QMessageBox::Yes;
    case MessageButton::No:
        return QMessageBox::No;
    case MessageButton::None:
        break;
    }
    return QMessageBox::NoButton;
}

MessageButton fromStandard(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return MessageButton::Ok;
    case QMessageBox::Cancel:
        return MessageButton::Cancel;
    case QMessageBox::Yes:
        return MessageButton::Yes;
    case QMessageBox::No:
        return MessageButton::No;
    default:
        return MessageButton::None;
    }
}

QMessageBox::Icon toIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

class QtDialogProvider : public DialogProvider
{
public:
    MessageButton showMessage(const MessageRequest& request) override
    {
        QMessageBox box(toIcon(request.icon), request.caption, Dialogs::displayText(request.text),
                        QMessageBox::NoButton, request.parent);
        box.setTextFormat(Qt::PlainText);
        for (MessageButton b :
             {MessageButton::Yes, MessageButton::No, MessageButton::Ok, MessageButton::Cancel}) {
            if (request.buttons.testFlag(b))
                box.addButton(toStandard(b));
        }
        if (request.defaultButton != MessageButton::None)
            box.setDefaultButton(toStandard(request.defaultButton));
        if (request.escapeButton != MessageButton::None)
            box.setEscapeButton(toStandard(request.escapeButton));
        const int answer = box.exec();
        return fromStandard(answer);
    }

    SaveAnswer showSave(const SaveRequest& request) override
    {
        QFileDialog dialog(request.parent, request.title, request.folder);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        QStringList names;
        for (const FileFilter& f : request.filters) {
            const QString suffix = QStringLiteral("(%1)").arg(f.pattern);
            names << (f.name.endsWith(suffix) ? f.name : f.name + QLatin1Char(' ') + suffix);
        }
        dialog.setNameFilters(names);
        if (request.filterIndex >= 1 && request.filterIndex <= names.size())
            dialog.selectNameFilter(names.at(request.filterIndex - 1));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        SaveAnswer answer;
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return answer;
        answer.accepted = true;
        answer.fileName = dialog.selectedFiles().constFirst();
        answer.filterIndex = static_cast<int>(names.indexOf(dialog.selectedNameFilter())) + 1;
        if (answer.filterIndex < 1)
            answer.filterIndex = 1;
        return answer;
    }
};

QtDialogProvider& qtProvider()
{
    static QtDialogProvider provider;
    return provider;
}

DialogProvider* current = nullptr;

} // namespace

namespace Dialogs {

MessageButton message(const MessageRequest& request)
{
    return provider()->showMessage(request);
}

SaveAnswer save(const SaveRequest& request)
{
    return provider()->showSave(request);
}

void showMessage(const QString& text, QWidget* parent)
{
    MessageRequest request;
    request.caption = Application::instance() ? Application::instance()->title() : QString();
    request.text = text;
    request.parent = parent;
    message(request);
}

void setProvider(DialogProvider* provider)
{
    current = provider;
}

DialogProvider* provider()
{
    return current ? current : &qtProvider();
}

QString displayText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if ((c == u'\r' && next == u'\n') || (c == u'\n' && next == u'\r')) {
            out += u'\n';
            ++i;
        } else if (c == u'\r') {
            out += u'\n';
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace Dialogs

#include "ScriptedDialogs.h"

ScriptedDialogs::ScriptedDialogs()
{
    Dialogs::setProvider(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    if (Dialogs::provider() == this)
        Dialogs::setProvider(nullptr);
}

void ScriptedDialogs::clear()
{
    m_messages.clear();
    m_saves.clear();
    m_messageAnswers.clear();
    m_saveAnswers.clear();
}

MessageButton ScriptedDialogs::showMessage(const MessageRequest& request)
{
    m_messages.append(request);
    if (!m_messageAnswers.isEmpty())
        return m_messageAnswers.dequeue();
    return request.defaultButton;
}

SaveAnswer ScriptedDialogs::showSave(const SaveRequest& request)
{
    m_saves.append(request);
    if (!m_saveAnswers.isEmpty())
        return m_saveAnswers.dequeue();
    return SaveAnswer{};
}

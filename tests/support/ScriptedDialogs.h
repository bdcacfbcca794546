#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QQueue>

// A stand-in for every message box and Save dialog: records each request and answers it from a
// script. Installed for its lifetime; an unscripted message box gets its default button and an
// unscripted Save dialog is cancelled.
class ScriptedDialogs : public DialogProvider
{
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void answerMessage(MessageButton answer) { m_messageAnswers.enqueue(answer); }
    void answerSave(const SaveAnswer& answer) { m_saveAnswers.enqueue(answer); }

    const QList<MessageRequest>& messages() const { return m_messages; }
    const QList<SaveRequest>& saves() const { return m_saves; }
    void clear();

    MessageButton showMessage(const MessageRequest& request) override;
    SaveAnswer showSave(const SaveRequest& request) override;

private:
    QList<MessageRequest> m_messages;
    QList<SaveRequest> m_saves;
    QQueue<MessageButton> m_messageAnswers;
    QQueue<SaveAnswer> m_saveAnswers;
};

#pragma once

#include "platform/Exceptions.h"
#include "platform/Shell.h"

#include <QStringList>

// Records every request to the shell instead of opening a browser, mail program or file, and
// counts the beeps. Installed for its lifetime. `succeed` is the shell's answer; with
// `failWith` set the request throws it instead.
class RecordingShell
{
public:
    RecordingShell()
    {
        m_backend = Shell::setBackend([this](const QString& target, const QString& params) {
            opened.append(target);
            this->params.append(params);
            if (!failWith.isEmpty())
                throw Exception(failWith);
            return succeed;
        });
        m_beeper = Shell::setBeeper([this] { ++beeps; });
    }
    ~RecordingShell()
    {
        Shell::setBackend(std::move(m_backend));
        Shell::setBeeper(std::move(m_beeper));
    }
    RecordingShell(const RecordingShell&) = delete;
    RecordingShell& operator=(const RecordingShell&) = delete;

    void clear()
    {
        opened.clear();
        params.clear();
        beeps = 0;
    }

    QStringList opened;
    QStringList params;
    int beeps = 0;
    bool succeed = true;
    QString failWith;

private:
    Shell::Backend m_backend;
    Shell::Beeper m_beeper;
};

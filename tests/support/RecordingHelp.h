#pragma once

#include "platform/HelpEngine.h"

#include <QList>
#include <QPair>

// Records every help command instead of opening the help window. Installed for its lifetime.
class RecordingHelp : public HelpProvider
{
public:
    RecordingHelp() { Help::setProvider(this); }
    ~RecordingHelp() override
    {
        if (Help::provider() == this)
            Help::setProvider(nullptr);
    }
    RecordingHelp(const RecordingHelp&) = delete;
    RecordingHelp& operator=(const RecordingHelp&) = delete;

    bool helpCommand(const QString& file, int command, qint64 data, QWidget*) override
    {
        files.append(file);
        commands.append({command, data});
        return true;
    }

    QStringList files;
    QList<QPair<int, qint64>> commands;
};

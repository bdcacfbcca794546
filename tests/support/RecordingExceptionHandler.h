#pragma once

#include "platform/Application.h"

#include <QList>
#include <QStringList>

// Stands in for the main window's error handler: records each error with its sender.
class RecordingExceptionHandler : public ExceptionHandler
{
public:
    void handleException(QObject* sender, const Exception& error) override
    {
        senders.append(sender);
        messages.append(error.message());
    }

    QList<QObject*> senders;
    QStringList messages;
};

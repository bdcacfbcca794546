#include "platform/SingleInstance.h"

#include <QWidget>

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    Q_UNUSED(name);
}

SingleInstance::~SingleInstance() = default;

#include "platform/ExitNotifier.h"

#include <QFocusEvent>
#include <QWidget>

ExitNotifier::ExitNotifier(QWidget* watched) : QObject(watched)
{
    watched->installEventFilter(this);
}

bool ExitNotifier::isExitReason(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

bool ExitNotifier::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut &&
        isExitReason(static_cast<QFocusEvent*>(event)->reason()))
        emit exited();
    return QObject::eventFilter(watched, event);
}

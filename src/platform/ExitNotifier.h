#pragma once

#include <QObject>

class QWidget;

// Raises exited() when the focus leaves a widget for another control of the same window; not
// when the window itself loses activation, a menu opens or a modal dialog takes over.
class ExitNotifier : public QObject
{
    Q_OBJECT

public:
    explicit ExitNotifier(QWidget* watched);

    // Whether a focus change for this reason counts as leaving the control.
    static bool isExitReason(Qt::FocusReason reason);

signals:
    void exited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

// For the start-up benchmark: when the environment variable KESTRAVA_EXIT_WHEN_SHOWN is set, a
// program prints "shown" on its standard output as soon as its main window has been exposed and
// painted for the first time, and then leaves its message loop. The window is not closed, so
// nothing is saved. The benchmark's bare window program uses the same probe.
class StartupProbe : public QObject
{
public:
    // Call before the window is shown.
    static void attach(QWidget& window)
    {
        if (!qEnvironmentVariableIsSet("KESTRAVA_EXIT_WHEN_SHOWN"))
            return;
        window.winId(); // makes the native window, so its first expose cannot be missed
        QWindow* handle = window.windowHandle();
        handle->installEventFilter(new StartupProbe(handle));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_seen && event->type() == QEvent::Expose &&
            static_cast<QWindow*>(watched)->isExposed()) {
            m_seen = true;
            // Queued, so the paint that the expose starts comes first.
            QTimer::singleShot(0, this, [] {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    using QObject::QObject;
    bool m_seen = false;
};

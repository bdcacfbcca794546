#pragma once

#include "platform/Exceptions.h"

#include <QApplication>
#include <QPointer>

#include <exception>
#include <type_traits>
#include <utility>

// Receives the errors that the code where they arose did not handle. The slot holds one at a
// time; whoever installs a handler can compare the slot with itself by address.
class ExceptionHandler
{
public:
    virtual ~ExceptionHandler() = default;
    virtual void handleException(QObject* sender, const Exception& error) = 0;
};

class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int& argc, char** argv);
    ~Application() override;

    static Application* instance();

    // The title captions the plain error boxes and names the single-instance guard.
    QString title() const { return m_title; }
    void setTitle(const QString& title);

    ExceptionHandler* exceptionHandler() const { return m_handler; }
    void setExceptionHandler(ExceptionHandler* handler) { m_handler = handler; }

    // Reports an error: EAbort is dropped, anything else goes to the handler in the slot, or to
    // the plain error box while the slot is empty.
    void handleException(QObject* sender, std::exception_ptr error);

    // The plain error box: title as caption, error icon, the text with the full-stop rule.
    void showErrorBox(const QString& message);

    // Runs fn and reports whatever it throws, so that no exception crosses Qt's own frames.
    template <typename Fn> static void guard(QObject* sender, Fn&& fn) noexcept
    {
        try {
            std::forward<Fn>(fn)();
        } catch (...) {
            reportCurrent(sender, std::current_exception());
        }
    }

    // The current hint: the long part of the hint of the control under the pointer, or of its
    // nearest enclosing control that has one; empty where none has one. It is brought up to
    // date after each mouse move has been handled and when the pointer leaves a window. Controls
    // keep their hint, "short|long" or one text for both, in the dynamic property "hint".
    QString hint() const { return m_hint; }
    // Raises hintChanged when the text differs from the current one.
    void setHint(const QString& hint);
    // The hint of the widget or of its nearest ancestor that has one; empty for none.
    static QString hintOf(const QWidget* widget);
    // The text after the first "|", or the whole hint when it holds none.
    static QString longHint(const QString& hint);

    // Tool tips: the delay before one shows and how long it stays, in milliseconds.
    void setHintTiming(int pause, int hidePause);
    int hintPause() const { return m_hintPause; }
    int hintHidePause() const { return m_hintHidePause; }

    // Ends every running modal loop and the main loop.
    void terminate();
    bool isTerminated() const { return m_terminated; }

    bool notify(QObject* receiver, QEvent* event) override;

signals:
    void hintChanged();

private:
    static void reportCurrent(QObject* sender, std::exception_ptr error) noexcept;
    bool deliverMouseMove(QWidget* receiver, QEvent* event);
    bool showToolTip(QWidget* receiver, QEvent* event);

    QString m_title;
    ExceptionHandler* m_handler = nullptr;
    bool m_terminated = false;
    QString m_hint;
    int m_hintPause = -1; // -1: the style's own timing
    int m_hintHidePause = -1;
};

// The full-stop rule of the error boxes: a full stop is appended when the text's last character
// sorts after "." (letters and digits do; "!" and ")" do not).
QString withFullStop(const QString& text);

// Connects a signal to a handler and reports anything the handler throws through the
// application, with the signal's sender. The handler may take the signal's arguments or none.
template <typename Sender, typename Signal, typename Fn>
QMetaObject::Connection bindHandler(Sender* sender, Signal signal, QObject* context, Fn fn)
{
    return QObject::connect(sender, signal, context, [sender, fn = std::move(fn)](auto... args) {
        Application::guard(sender, [&] {
            if constexpr (std::is_invocable_v<Fn&, decltype(args)...>)
                fn(args...);
            else
                fn();
        });
    });
}

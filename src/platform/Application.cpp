#include "platform/Application.h"

#include "platform/Dialogs.h"

#include <QDebug>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

Application::~Application() = default;

Application* Application::instance()
{
    return qobject_cast<Application*>(QCoreApplication::instance());
}

void Application::setTitle(const QString& title)
{
    m_title = title;
    setApplicationDisplayName(title);
}

void Application::handleException(QObject* sender, std::exception_ptr error)
{
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // the silent abort
    } catch (const Exception& e) {
        if (m_handler)
            m_handler->handleException(sender, e);
        else
            showErrorBox(e.message());
    } catch (const std::exception& e) {
        const Exception wrapped(QString::fromLocal8Bit(e.what()));
        if (m_handler)
            m_handler->handleException(sender, wrapped);
        else
            showErrorBox(wrapped.message());
    } catch (...) {
        const Exception wrapped(QStringLiteral("Unknown error"));
        if (m_handler)
            m_handler->handleException(sender, wrapped);
        else
            showErrorBox(wrapped.message());
    }
}

void Application::showErrorBox(const QString& message)
{
    MessageRequest request;
    request.caption = m_title;
    request.text = withFullStop(message);
    request.icon = MessageIcon::Error;
    request.buttons = MessageButton::Ok;
    Dialogs::message(request);
}

void Application::terminate()
{
    m_terminated = true;
    QCoreApplication::exit(0);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrent(receiver, std::current_exception());
        return false;
    }
}

void Application::reportCurrent(QObject* sender, std::exception_ptr error) noexcept
{
    Application* app = instance();
    if (!app) {
        qWarning("Kestrava: an error was raised with no application to report it");
        return;
    }
    try {
        app->handleException(sender, error);
    } catch (...) {
        // A handler that fails itself falls back to the plain error box.
        try {
            app->showErrorBox(QStringLiteral("An error occurred while an error was reported"));
        } catch (...) {
            qWarning("Kestrava: an error could not be reported");
        }
    }
}

QString withFullStop(const QString& text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}

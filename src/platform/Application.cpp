#include "platform/Application.h"

#include "platform/DeferredIcon.h"
#include "platform/Dialogs.h"

#include <QCursor>
#include <QDebug>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QToolTip>

namespace {

// Hands out the arrows of toolbars and menu bars too full to show all their entries as icons
// that are made when first drawn. Every menu bar and toolbar asks for one as it is built and
// hardly any ever shows it, while reading its picture has Qt load every image plugin it has.
class OverflowArrowStyle : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override
    {
        if (icon != SP_ToolBarHorizontalExtensionButton &&
            icon != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        // The arrow points along the reading direction of the moment it is asked for.
        QStyleOption direction;
        direction.direction = option ? option->direction : QGuiApplication::layoutDirection();
        return DeferredIcon::make([style = QPointer<const QStyle>(baseStyle()), icon, direction] {
            return style ? style->standardIcon(icon, &direction) : QIcon();
        });
    }
};

// Gives tool tips the application's delay before they show.
class HintTimingStyle : public QProxyStyle
{
public:
    HintTimingStyle() : QProxyStyle(new OverflowArrowStyle) {}

    int pause = -1;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay && pause >= 0)
            return pause;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    // In place before any window is built: putting a style in later restyles every control of
    // every window.
    setStyle(new HintTimingStyle);
}

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

void Application::setHint(const QString& hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    emit hintChanged();
}

QString Application::hintOf(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        const QString hint = widget->property("hint").toString();
        if (!hint.isEmpty())
            return hint;
    }
    return QString();
}

QString Application::longHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void Application::setHintTiming(int pause, int hidePause)
{
    m_hintPause = pause;
    m_hintHidePause = hidePause;
    auto* timing = dynamic_cast<HintTimingStyle*>(style());
    if (!timing) { // someone put another style in since
        timing = new HintTimingStyle;
        setStyle(timing); // the application takes it over
    }
    timing->pause = pause;
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        if (receiver->isWidgetType()) {
            if (event->type() == QEvent::MouseMove)
                return deliverMouseMove(static_cast<QWidget*>(receiver), event);
            if (event->type() == QEvent::Leave && static_cast<QWidget*>(receiver)->isWindow()) {
                // The pointer left a window: whatever it is over now decides, nothing at all
                // empties the hint.
                const bool result = QApplication::notify(receiver, event);
                setHint(longHint(hintOf(widgetAt(QCursor::pos()))));
                return result;
            }
            if (event->type() == QEvent::ToolTip &&
                showToolTip(static_cast<QWidget*>(receiver), event))
                return true;
        }
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrent(receiver, std::current_exception());
        return false;
    }
}

bool Application::deliverMouseMove(QWidget* receiver, QEvent* event)
{
    // Without a button held the receiver is the widget under the pointer; with one, the widget
    // that grabbed the mouse, so the pointer's own widget is looked up.
    const auto* mouse = static_cast<QMouseEvent*>(event);
    QPointer<QWidget> under = receiver;
    if (mouse->buttons() != Qt::NoButton) {
        if (QWidget* at = widgetAt(mouse->globalPosition().toPoint()))
            under = at;
    }
    const bool result = QApplication::notify(receiver, event);
    // The hint follows the move's own handling, so a handler that writes where the hint goes
    // is overwritten once when the hint changes.
    setHint(longHint(hintOf(under)));
    return result;
}

bool Application::showToolTip(QWidget* receiver, QEvent* event)
{
    // Only a widget's own tip gets the application's display time; anything else (tips that a
    // widget works out itself, tips of enclosing widgets) goes Qt's usual way.
    if (m_hintHidePause < 0 || receiver->toolTip().isEmpty() || receiver->toolTipDuration() >= 0)
        return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), receiver->toolTip(), receiver, QRect(), m_hintHidePause);
    return true;
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

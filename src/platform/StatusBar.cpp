#include "platform/StatusBar.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QToolTip>

StatusBar::StatusBar(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

int StatusBar::addPanel(const StatusPanel& panel)
{
    m_panels.append(panel);
    update();
    return panelCount() - 1;
}

int StatusBar::indexOf(const QString& name) const
{
    for (int i = 0; i < panelCount(); ++i) {
        if (m_panels.at(i).name == name)
            return i;
    }
    return -1;
}

void StatusBar::setPanelText(int index, const QString& text)
{
    if (index < 0 || index >= panelCount() || m_panels[index].text == text)
        return;
    m_panels[index].text = text;
    update(panelRect(index));
}

void StatusBar::setPanelWidth(int index, int width)
{
    if (index < 0 || index >= panelCount() || m_panels[index].width == width)
        return;
    m_panels[index].width = width;
    update();
}

QRect StatusBar::panelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += m_panels.at(i).width;
    const bool last = index == panelCount() - 1;
    const int w = last ? std::max(width() - left, 0) : m_panels.at(index).width;
    return QRect(left, 0, w, height());
}

int StatusBar::panelAt(const QPoint& pos) const
{
    for (int i = 0; i < panelCount(); ++i) {
        if (panelRect(i).contains(pos))
            return i;
    }
    return -1;
}

QSize StatusBar::sizeHint() const
{
    return QSize(200, 19);
}

bool StatusBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = panelAt(help->pos());
        if (m_showHints && index >= 0 && !m_panels.at(index).hint.isEmpty())
            QToolTip::showText(help->globalPos(), m_panels.at(index).hint, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void StatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < panelCount(); ++i) {
        const StatusPanel& p = m_panels.at(i);
        const QRect r = panelRect(i);
        if (p.bevel != StatusPanel::Bevel::None) {
            QStyleOptionFrame frame;
            frame.initFrom(this);
            frame.rect = r.adjusted(1, 1, -1, -1);
            frame.lineWidth = 1;
            frame.state |= p.bevel == StatusPanel::Bevel::Lowered ? QStyle::State_Sunken
                                                                  : QStyle::State_Raised;
            style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
        }
        painter.setFont(p.ownFont ? p.font : font());
        painter.setPen(p.color.isValid() ? p.color : palette().color(QPalette::WindowText));
        painter.drawText(r.adjusted(4, 0, -4, 0), int(p.alignment | Qt::AlignVCenter), p.text);
    }
}

void StatusBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseMoved(event->modifiers(), pos.x(), pos.y());
}

void StatusBar::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int index = panelAt(pos);
    if (index >= 0)
        emit panelClicked(index, event->button(), event->modifiers(), pos);
}

void StatusBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

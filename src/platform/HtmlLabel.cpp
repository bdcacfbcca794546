#include "platform/HtmlLabel.h"

#include "platform/Shell.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QPainter>

HtmlLabel::HtmlLabel(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    m_document.setDocumentMargin(0);
    rebuild();
}

void HtmlLabel::setHtml(const QString& html)
{
    m_html = html;
    rebuild();
}

void HtmlLabel::setLinkColor(const QColor& color)
{
    m_linkColor = color;
    rebuild();
}

void HtmlLabel::rebuild()
{
    m_document.setDefaultFont(font());
    // The style sheet applies when the text is parsed, so the text is set again after it.
    m_document.setDefaultStyleSheet(
        QStringLiteral("a { color: %1; text-decoration: underline; }").arg(m_linkColor.name()));
    m_document.setHtml(m_html);
    m_document.setTextWidth(width());
    setAccessibleName(m_document.toPlainText().simplified());
    update();
}

QString HtmlLabel::anchorAt(const QPoint& pos) const
{
    return m_document.documentLayout()->anchorAt(pos);
}

void HtmlLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setClipRect(rect());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette();
    context.palette.setColor(QPalette::Text, palette().color(QPalette::WindowText));
    context.clip = rect();
    m_document.documentLayout()->draw(&painter, context);
}

void HtmlLabel::mouseMoveEvent(QMouseEvent* event)
{
    if (anchorAt(event->position().toPoint()).isEmpty())
        unsetCursor();
    else
        setCursor(Qt::PointingHandCursor);
    QWidget::mouseMoveEvent(event);
}

void HtmlLabel::mousePressEvent(QMouseEvent* event)
{
    const QString href = anchorAt(event->position().toPoint());
    if (href.isEmpty()) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    // The shell's answer is not looked at: a failed anchor passes silently.
    if (href.contains(QLatin1String("://")) || href.contains(QLatin1String("mailto:")))
        Shell::open(href);
    else
        emit anchorClicked(href);
}

void HtmlLabel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_document.setTextWidth(width());
}

void HtmlLabel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        rebuild();
}

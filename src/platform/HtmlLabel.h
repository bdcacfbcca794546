#pragma once

#include <QColor>
#include <QTextDocument>
#include <QWidget>

// A label that shows a small HTML text (paragraphs, font sizes, bold, italics, line breaks and
// anchors) on a transparent background, wrapped to its width and aligned to its top. An anchor
// opens as soon as a mouse button, any button, goes down over it; the pointer is a hand over
// anchors only.
class HtmlLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString html READ html WRITE setHtml)

public:
    explicit HtmlLabel(QWidget* parent = nullptr);

    QString html() const { return m_html; }
    void setHtml(const QString& html);
    QString plainText() const { return m_document.toPlainText(); }

    QColor linkColor() const { return m_linkColor; }
    void setLinkColor(const QColor& color);

    // The address of the anchor at a point of the label; empty where there is none.
    QString anchorAt(const QPoint& pos) const;

signals:
    // An anchor whose address the shell would not take (neither "://" nor "mailto:").
    void anchorClicked(const QString& href);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void rebuild();

    QString m_html;
    QColor m_linkColor = Qt::blue;
    QTextDocument m_document;
};

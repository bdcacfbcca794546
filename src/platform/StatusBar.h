#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QWidget>

// One panel of the status bar: laid out from the left, each as wide as its width; the last one
// runs on to the bar's right edge.
struct StatusPanel
{
    enum class Bevel
    {
        None,
        Lowered,
        Raised
    };

    QString name;
    int width = 50;
    QString text;
    Bevel bevel = Bevel::Lowered;
    bool ownFont = false; // false: the bar's own font
    QFont font;
    QColor color; // invalid: the palette's text colour
    Qt::Alignment alignment = Qt::AlignLeft;
    QString hint;
};

// A status bar with named panels. Mouse moves come in bar coordinates; a panel click comes when
// any mouse button is released over a panel.
class StatusBar : public QWidget
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget* parent = nullptr);

    int addPanel(const StatusPanel& panel);
    int panelCount() const { return static_cast<int>(m_panels.size()); }
    const StatusPanel& panel(int index) const { return m_panels.at(index); }
    int indexOf(const QString& name) const;

    void setPanelText(int index, const QString& text);
    void setPanelWidth(int index, int width);

    // Whether a panel's hint shows as a tool tip over it; the bar follows its window's setting.
    bool showHints() const { return m_showHints; }
    void setShowHints(bool show) { m_showHints = show; }

    // The panel under a point of the bar, -1 for none.
    int panelAt(const QPoint& pos) const;
    QRect panelRect(int index) const;

    QSize sizeHint() const override;

signals:
    void mouseMoved(Qt::KeyboardModifiers modifiers, int x, int y);
    void panelClicked(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                      const QPoint& pos);
    void resized();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<StatusPanel> m_panels;
    bool m_showHints = true;
};

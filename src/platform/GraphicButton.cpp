#include "platform/GraphicButton.h"

#include <QStyleOptionButton>

GraphicButton::GraphicButton(QWidget* parent) : QPushButton(parent)
{
    setAttribute(Qt::WA_Hover); // repainted as the pointer comes and goes
}

QIcon::Mode GraphicButton::iconMode() const
{
    if (!isEnabled())
        return QIcon::Disabled;
    return underMouse() ? QIcon::Active : QIcon::Normal;
}

void GraphicButton::initStyleOption(QStyleOptionButton* option) const
{
    QPushButton::initStyleOption(option);
    if (icon().isNull())
        return;
    // The style picks the mode from the focus; an icon that is the chosen picture in every mode
    // leaves it nothing to pick.
    const QPixmap shown = icon().pixmap(iconSize(), devicePixelRatio(), iconMode());
    QIcon picture;
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected})
        picture.addPixmap(shown, mode);
    option->icon = picture;
}

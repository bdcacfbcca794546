#include "platform/LabelFit.h"

#include <QLabel>

void fitLabelToText(QLabel* label)
{
    const int extra = label->fontMetrics().horizontalAdvance(label->text()) + 2 - label->width();
    if (extra <= 0)
        return;
    QRect r = label->geometry();
    if (label->alignment() & Qt::AlignRight)
        r.setLeft(r.left() - extra);
    else
        r.setRight(r.right() + extra);
    label->setGeometry(r);
}

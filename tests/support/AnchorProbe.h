#pragma once

#include "platform/HtmlLabel.h"

#include <QPoint>

// The first point of the label, row by row, that lies on an anchor with this address;
// (-1, -1) when there is none.
inline QPoint pointOnAnchor(const HtmlLabel& label, const QString& href)
{
    // From 1, as QTest reads the point (0, 0) as "the middle of the widget".
    for (int y = 1; y < label.height(); y += 2) {
        for (int x = 1; x < label.width(); x += 2) {
            if (label.anchorAt(QPoint(x, y)) == href)
                return QPoint(x, y);
        }
    }
    return QPoint(-1, -1);
}

#pragma once

#include <QIcon>
#include <QString>

#include <QList>

// Icons made of ready square pictures: one folder per look (normal, disabled, under the pointer),
// each holding one PNG per size, named <side>x<side>.png. A picture is read the first time its
// look and size are drawn, so an icon costs nothing until it shows and a look that never shows is
// never read.
namespace PictureIcon {

// `sides`: the sizes each folder holds. The disabled and hover folders may be left empty; a look
// without pictures is worked out from the normal pictures the way the style does it for any
// icon. A size between two pictures is drawn from the next larger one.
QIcon fromFolders(const QList<int>& sides, const QString& normal,
                  const QString& disabled = QString(), const QString& active = QString());

} // namespace PictureIcon

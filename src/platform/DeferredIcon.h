#pragma once

#include <QIcon>

#include <functional>

// An icon that is made the first time it is drawn or measured, for icons that every window gets
// but few ever show: making it may cost far more than the window needs it to.
namespace DeferredIcon {

// `make` runs once, when the icon is first drawn or measured (copies of the icon share it). The
// icon counts as not null until then.
QIcon make(std::function<QIcon()> make);

} // namespace DeferredIcon

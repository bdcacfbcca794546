#pragma once

#include <QIcon>
#include <QString>

#include <utility>
#include <vector>

class QAction;
class QMenu;

namespace Ui {
class TfrmMain;
}

// The main window's pictures: its icon, the toolbar's buttons and the menu entries. Reading
// pictures is the dearest part of making the window, so the window reads only what it shows:
// the icon and the toolbar come from pictures drawn at build time and read when first drawn, and
// a menu's pictures are read the first time that menu is about to show.
namespace Pictures {

// The program's icon in the sizes the window system is given.
QIcon programIcon();

// The toolbar picture <name> with its disabled and hover looks.
QIcon toolbarPicture(const QString& name);

// The menu picture :/icons/<name>.svg with its disabled and hover looks (<name>-disabled.svg,
// <name>-hover.svg).
QIcon menuPicture(const QString& name);

using Entries = std::vector<std::pair<QAction*, QString>>;

// Gives each action its menu picture (by name) the first time `menu` is about to show.
void setWhenShown(QMenu* menu, const Entries& entries);

// The toolbar's pictures, and those of the main menu's entries: File, the online menu with its
// submenus, Help.
void setForMainWindow(Ui::TfrmMain& ui);

} // namespace Pictures

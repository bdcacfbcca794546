#pragma once

#include <QString>

class StatusBar;

// The main window's status bar: the link panel "WebPanel" with the maker's site name and the
// hint panel "HintPanel" with the tagline, the invitation or the current hint.
namespace StatusBarHandlers {

inline constexpr int linkPanel = 0;
inline constexpr int hintPanel = 1;

// The maker's site name, " - " and the slogan.
QString tagline();
// "Click to visit " and the maker's site name.
QString invitation();

// Adds the two panels as the window lays them out.
void addPanels(StatusBar& bar);

// Mouse move at x in bar coordinates: the hand up to the link panel's width - 6, the
// invitation up to its width, the default cursor and the tagline beyond.
void mouseMove(StatusBar& bar, int x);

// Whether the panel is the link panel, found by its name.
bool isLinkPanel(const StatusBar& bar, int index);

// The hint panel takes what the link panel and 2 pixels leave of the bar.
void resize(StatusBar& bar);

// Writes the long part of a hint into the hint panel.
void showHint(StatusBar& bar, const QString& hint);

} // namespace StatusBarHandlers

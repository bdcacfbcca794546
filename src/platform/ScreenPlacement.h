#pragma once

class QWidget;

// Moves a window to the middle of its screen: left = (screen width - window width) / 2 and top
// likewise, each truncated toward zero and at least 0, with the window's outer size.
void centerOnScreen(QWidget* window);

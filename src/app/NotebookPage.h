#pragma once

#include <QFont>
#include <QWidget>

// A page of the main window's notebook. Designer's code makes a notebook's pages without a parent
// and hands them to the notebook only once their controls are in; a page that took its font from
// the window would have every control lay out its text first in the default font and then once
// more in the window's. So a page starts out with the window's font.
class NotebookPage : public QWidget
{
public:
    explicit NotebookPage(QWidget* parent = nullptr);

    // The font of the whole main window: Arial 12 pixels high, whatever the screen's density.
    static QFont windowFont();
};

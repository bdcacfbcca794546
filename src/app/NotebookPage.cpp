#include "app/NotebookPage.h"

NotebookPage::NotebookPage(QWidget* parent) : QWidget(parent)
{
    setFont(windowFont());
}

QFont NotebookPage::windowFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    return font;
}

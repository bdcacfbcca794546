#pragma once

#include <QIcon>
#include <QPushButton>

// A command button with its own picture for the normal, disabled and pointer-over states (the
// icon's Normal, Disabled and Active modes). A plain push button shows the Active picture while
// it has the focus; this one shows it while the pointer is over it, and the normal picture
// otherwise.
class GraphicButton : public QPushButton
{
    Q_OBJECT

public:
    explicit GraphicButton(QWidget* parent = nullptr);

    // The picture the button shows now.
    QIcon::Mode iconMode() const;

protected:
    void initStyleOption(QStyleOptionButton* option) const override;
};

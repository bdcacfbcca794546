#pragma once

#include <QDialog>
#include <QPointer>

#include <memory>

namespace Ui {
class TfrmAbout;
}

class TfrmMain;

// The about box: the product's name, version and compile date, the maker's logo (a click
// opens the maker's home page), a copyright and a rights line. Created afresh for each showing
// by TfrmMain::ShowAbout, shown modally and released.
class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget* parent = nullptr);
    ~TfrmAbout() override;

    static QString copyrightLine();
    static QString rightsLine();

    Ui::TfrmAbout* ui() const { return m_ui.get(); }

    void FormCreate();
    void FormShow();
    void imgLogoMouseMove();
    void imgLogoClick();
    void btnCloseClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:

    std::unique_ptr<Ui::TfrmAbout> m_ui;
};

// The about box while it is shown.
extern QPointer<TfrmAbout> frmAbout;

// Creates the box, places it over the main window, shows it modally and releases it, also
// when an error leaves the placing or the showing.
void showAboutBox(TfrmMain& main);

#pragma once

#include <QDialog>
#include <QPointer>

#include <memory>

namespace Ui {
class TfrmUpdate;
}

class TWebFileInfo;
class TfrmMain;

// The update dialog: the installed version and compile date, and, once the check that runs at
// its first activation has read the version page through the main window's WebFileInfo, the
// newest version on the maker's site with its date. When that version is newer, its Retrieve
// button hands over to the component's download and install flow. Created afresh for each
// opening by TfrmMain::ShowUpdate, shown modally and released.
class TfrmUpdate : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmUpdate(QWidget* parent = nullptr);
    ~TfrmUpdate() override;

    Ui::TfrmUpdate* ui() const { return m_ui.get(); }

    // The version this program is: what the newest version on the server is compared with.
    static constexpr char installedVersion[] = "1.2.00";

    void CloseUpdateCenter(QObject* sender);
    void RetrieveUpdate(QObject* sender);
    // Reads the version page (unless the component still holds it) and fills the labels. The
    // hour-glass shows while it runs; a failed read is reported in a plain message window.
    void CheckUpdate(QObject* sender);
    void FormCreate(QObject* sender);
    // True when the newest version, as lblVersion shows it, is newer than the installed one.
    bool IsUpdateAvailable() const;
    void FormDestroy(QObject* sender);

    // True once the check of this opening has run to its end, whatever its outcome.
    bool checkRan() const { return m_checkRan; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormClose(QObject* sender, QCloseEvent* event);

    std::unique_ptr<Ui::TfrmUpdate> m_ui;
    bool m_activated = false;
    bool m_checkRan = false;
};

// The update dialog while it exists.
extern QPointer<TfrmUpdate> frmUpdate;

// Creates the dialog, places it over the main window, shows it modally and releases it, also
// when an error leaves the placing or the showing.
void showUpdateDialog(TfrmMain& main);

#pragma once

#include "app/LoanPanel.h"
#include "links/LinkTable.h"
#include "platform/Application.h"

#include <QMainWindow>

#include <memory>

namespace Ui {
class TfrmMain;
}

class ImageLabel;
class QMenu;
class SingleInstance;
class TWebFileInfo;

// The one main window: toolbar, notebook with the two loan panels, status bar and menus. It
// runs the creation sequence, owns the last-values fields and reports unhandled errors.
class TfrmMain : public QMainWindow, public ExceptionHandler
{
    Q_OBJECT

public:
    // appDir: the folder of the settings and help files; empty for the executable's folder.
    explicit TfrmMain(const QString& appDir = QString(), QWidget* parent = nullptr);
    ~TfrmMain() override;

    // True when another copy was running and has been asked to come to the front: this copy
    // must end without showing its window.
    bool handedOver() const { return m_handedOver; }

    QString refTag() const { return FRefTag; }
    QString appDir() const { return FAppDir; }

    // The update component that the update dialog drives; owned by the window.
    TWebFileInfo& webFileInfo() const { return *WebFileInfo; }

    // Places the given form centred over the main window (offsets truncated toward zero,
    // clamped at 0 on the left and top).
    void CenterForm(QWidget* form) const;

    // The recalculation of loan 1 and loan 2.
    void Calculate(const QObject* sender);
    void Calculate2(const QObject* sender);

    // The application-wide error handler.
    void AppOnException(QObject* sender, const Exception& error);
    void handleException(QObject* sender, const Exception& error) override
    {
        AppOnException(sender, error);
    }

    void btnResetClick(QObject* sender);
    void mnuFileExitClick();
    void mnuHelpContentsClick();
    void mnuHelpSearchClick();
    void mnuHelpHowClick();
    void ShowUpdate();
    void ShowAbout();
    void GoOnline(QObject* sender);

    // The status bar: pointer moves in bar coordinates, a button released over a panel, the
    // bar's resize, and the application's hint changes.
    void statusBarMouseMove(QObject* sender, Qt::KeyboardModifiers shift, int x, int y);
    void statusBarPanelClick(int panel, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                             const QPoint& pos);
    void statusBarResize(QObject* sender);
    void AppOnHint(QObject* sender);

    // The promotional page's screenshot.
    void imgScreenShotMouseMove();
    void imgScreenShotClick(QObject* sender);

    // The last values of a loan (1 or 2) as the next save would write them.
    struct LastValues
    {
        double loan;
        double interest;
        double term;
        double payment;
        qint32 freqCode;
    };
    LastValues lastValues(int loan) const;
    bool hasRun() const { return FHasRun; }

    LoanPanel& panel1() { return *m_panel1; }
    LoanPanel& panel2() { return *m_panel2; }
    QMenu* popupMenu() const { return mnuPop; }

    Ui::TfrmMain* ui() const { return m_ui.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void FormActivate();
    void ApplicationActivate();
    void SaveValuesAtExit();
    void ReadValues();
    void buildPopupMenu();
    void buildStatusBar();
    void buildPromoPage();
    void bindHandlers();
    void fitLabels();

    std::unique_ptr<Ui::TfrmMain> m_ui;
    QMenu* mnuPop = nullptr;
    ImageLabel* imgScreenShot = nullptr;
    SingleInstance* XJustOne1 = nullptr;
    TWebFileInfo* WebFileInfo = nullptr;
    bool m_handedOver = false;
    bool m_activated = false;

    // Last values of loan 1 and loan 2: read at start, captured by each recalculation, saved
    // at exit.
    double FLoan = 0;
    double FInterest = 0;
    double FTerm = 0;
    double FPayment = 0;
    qint32 FFreqCode = 0;
    double FLoan2 = 0;
    double FInterest2 = 0;
    double FTerm2 = 0;
    double FPayment2 = 0;
    qint32 FFreqCode2 = 0;
    QString FAppDir;
    bool FHasRun = false;
    QString FEdition;
    QString FRefKey;
    QString FRefTag;

    std::unique_ptr<LoanPanel> m_panel1;
    std::unique_ptr<LoanPanel> m_panel2;
    LinkTable m_links;
};

// The one main window while it exists.
extern TfrmMain* frmMain;

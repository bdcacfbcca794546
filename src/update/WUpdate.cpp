#include "update/WUpdate.h"

#include "app/Main.h"
#include "app/MakerValues.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/LabelFit.h"
#include "platform/ScreenPlacement.h"
#include "ui_WUpdate.h"
#include "update/VersionPage.h"
#include "update/WebFileInfo.h"

#include <QKeyEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QWindow>

QPointer<TfrmUpdate> frmUpdate;

namespace {

const QColor blue(0, 0, 255);
const QColor silver(192, 192, 192);
const QColor black(0, 0, 0);
const QColor red(255, 0, 0);

QFont arial(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void setFontColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// The application-wide hour-glass for as long as it lives, or until restore().
class HourGlass
{
public:
    HourGlass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~HourGlass() { restore(); }
    HourGlass(const HourGlass&) = delete;
    HourGlass& operator=(const HourGlass&) = delete;

    void restore()
    {
        if (m_on)
            QApplication::restoreOverrideCursor();
        m_on = false;
    }

private:
    bool m_on = true;
};

// The main window's update component; none while no main window exists.
TWebFileInfo* webFileInfo()
{
    return frmMain ? &frmMain->webFileInfo() : nullptr;
}

} // namespace

TfrmUpdate::TfrmUpdate(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_ui(std::make_unique<Ui::TfrmUpdate>())
{
    Ui::TfrmUpdate& u = *m_ui;
    u.setupUi(this);
    setFont(arial(11));
    setFixedSize(411, 220);

    QPalette white = u.Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    u.Panel1->setPalette(white);
    u.lblDeveloper->setText(QLatin1Char(' ') + QLatin1String(Maker::company));

    // The value labels in colour, their captions in black; the online details are smaller.
    const struct
    {
        QLabel* label;
        QColor colour;
        int pixels;
        bool bold;
    } looks[] = {
        {u.lblApplicationName, blue, 12, false},
        {u.lblDeveloper, blue, 12, false},
        {u.lblDate, silver, 12, false},
        {u.lblVersion, silver, 12, false},
        {u.lblReadMe, silver, 11, false},
        {u.lblURL, silver, 11, false},
        {u.Label1, black, 12, false},
        {u.Label2, black, 12, false},
        {u.Label3, black, 12, false},
        {u.Label4, black, 12, false},
        {u.Label5, black, 11, false},
        {u.Label6, black, 11, false},
        {u.lblCurrentVersion, blue, 12, false},
        {u.Label8, black, 12, false},
        {u.lblCurrentCompileDate, blue, 12, false},
        {u.Label10, black, 12, false},
        {u.Label7, black, 12, true},
        {u.lblUpdateStatus, black, 12, true},
    };
    for (const auto& look : looks) {
        look.label->setFont(arial(look.pixels, look.bold));
        setFontColour(look.label, look.colour);
    }

    for (QPushButton* button : {u.btnCheckForUpdate, u.btnRetrieveUpdate, u.btnClose}) {
        button->setFont(arial(12));
        QPalette palette = button->palette();
        palette.setColor(QPalette::Button, Qt::white);
        button->setPalette(palette);
    }

    bindHandler(u.btnCheckForUpdate, &QPushButton::clicked, this,
                [this] { CheckUpdate(m_ui->btnCheckForUpdate); });
    bindHandler(u.btnRetrieveUpdate, &QPushButton::clicked, this,
                [this] { RetrieveUpdate(m_ui->btnRetrieveUpdate); });
    bindHandler(u.btnClose, &QPushButton::clicked, this,
                [this] { CloseUpdateCenter(m_ui->btnClose); });

    FormCreate(this);
}

TfrmUpdate::~TfrmUpdate()
{
    FormDestroy(this);
}

void TfrmUpdate::FormCreate(QObject*)
{
    Ui::TfrmUpdate& u = *m_ui;
    u.lblApplicationName->setText(QStringLiteral("Kestrava"));
    u.lblCurrentVersion->setText(QLatin1String(installedVersion));
    u.lblCurrentCompileDate->setText(QStringLiteral("April 20, 2004"));
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label != u.lblReadMe && label != u.lblURL)
            fitLabelToText(label);
    }
    if (!frmMain)
        return;
    frmMain->CenterForm(this);
    // A new address makes the component fetch the page again at every opening.
    frmMain->webFileInfo().setHomeURL(QLatin1String(Maker::versionPage) + frmMain->refTag() +
                                      QStringLiteral("frmUpdate"));
}

void TfrmUpdate::FormDestroy(QObject*)
{
    if (frmUpdate == this)
        frmUpdate = nullptr;
}

void TfrmUpdate::FormClose(QObject*, QCloseEvent*)
{
    // The dialog releases itself as it closes; its caller's release comes to the same end.
    setAttribute(Qt::WA_DeleteOnClose);
}

void TfrmUpdate::CloseUpdateCenter(QObject*)
{
    close();
}

void TfrmUpdate::RetrieveUpdate(QObject*)
{
    TWebFileInfo* info = webFileInfo();
    if (!info)
        return;
    info->setActive(true); // the component takes only false: this keeps what it has
    if (info->Active())
        info->Execute();
}

void TfrmUpdate::CheckUpdate(QObject*)
{
    auto ran = qScopeGuard([this] { m_checkRan = true; });
    TWebFileInfo* info = webFileInfo();
    if (!info)
        return;
    Ui::TfrmUpdate& u = *m_ui;
    HourGlass hourGlass; // also gone when an error of the page ends the check

    if (!info->GetInfo()) {
        hourGlass.restore();
        Dialogs::showMessage(QStringLiteral("Get Info failed due to:\r\n") + info->LastError(),
                             this);
        return;
    }
    setFontColour(u.lblUpdateStatus, red);
    u.lblUpdateStatus->setText(QStringLiteral("Update Information"));
    const std::pair<QLabel*, QString> values[] = {
        {u.lblDate, info->ProductDateStr()},
        {u.lblVersion, info->ProductVersion()},
        {u.lblReadMe, info->ProductReadMe()},
        {u.lblURL, info->DownloadURL()},
    };
    for (const auto& [label, text] : values) {
        setFontColour(label, blue);
        label->setText(text);
    }
    fitLabelToText(u.lblDate);
    fitLabelToText(u.lblVersion);
    if (IsUpdateAvailable())
        u.btnRetrieveUpdate->setVisible(true);
    if (!IsUpdateAvailable())
        u.lblUpdateStatus->setText(QStringLiteral("No Update Available"));
    fitLabelToText(u.lblUpdateStatus);
}

bool TfrmUpdate::IsUpdateAvailable() const
{
    // Against this program's own version, not the component's: three passes, one for each part
    // of "1.2.00".
    return VersionPage::IsNewVersion(QLatin1String(installedVersion), m_ui->lblVersion->text(),
                                     wfivBuildNumber);
}

void TfrmUpdate::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // The check runs at the first activation of each opening; when the windows it opens over
    // the dialog close, the dialog is active again but checks no more. It runs from the event
    // loop, so that its own modal windows do not nest inside the activation.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activated) {
        m_activated = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isVisible())
                    Application::guard(this, [this] { CheckUpdate(this); });
            },
            Qt::QueuedConnection);
    }
}

void TfrmUpdate::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centerOnScreen(this);
}

void TfrmUpdate::closeEvent(QCloseEvent* event)
{
    FormClose(this, event);
    QDialog::closeEvent(event);
}

void TfrmUpdate::keyPressEvent(QKeyEvent* event)
{
    // Only the OK button closes the dialog: Escape does nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void showUpdateDialog(TfrmMain& main)
{
    // 1. and 2.: the main window's bounds, and the window drawn whole behind the dialog.
    const QRect r = main.frameGeometry();
    main.repaint();
    // 3.
    frmUpdate = new TfrmUpdate;
    const QPointer<TfrmUpdate> dialog = frmUpdate;
    // 6. Released once the pending events are handled, also when an error leaves the placing
    // or the showing.
    auto release = qScopeGuard([dialog] {
        if (dialog)
            dialog->deleteLater();
    });
    // 4.
    const QRect outer = dialog->frameGeometry();
    dialog->move(r.left() + (r.width() - outer.width()) / 2,
                 r.top() + (r.height() - outer.height()) / 2);
    // 5. Modal over the main window without belonging to it.
    dialog->winId();
    if (QWindow* handle = dialog->windowHandle())
        handle->setTransientParent(main.windowHandle());
    dialog->exec();
    if (main.isVisible())
        main.activateWindow();
}

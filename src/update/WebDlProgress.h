#pragma once

#include <QDialog>
#include <QPointer>

class HttpCli;
class QLabel;
class QProgressBar;
class QPushButton;

// The download progress dialog of the web file information component: what is being
// downloaded, a bar with the share received and the byte count, and Cancel. It has no close
// box, and neither Esc nor the window manager closes it: Cancel aborts the request, and the
// component ends the dialog once the request has ended.
class TWebDlProgress : public QDialog
{
    Q_OBJECT

public:
    // Aborting goes through `client`, whose request the dialog waits for.
    TWebDlProgress(const QFont& font, HttpCli* client);

    QProgressBar* pbarProgress;
    QLabel* lblDownloading;
    QLabel* lblProgress;
    QPushButton* btnCancel;

    bool cancelled() const { return FCancelled; }

    // Shows `received` of the `size` bytes the response announced; size 0: none announced,
    // so the count alone and a busy bar.
    void showProgress(qint64 received, qint64 size);

    void btnCancelClick();
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool FCancelled = false;
    QPointer<HttpCli> m_client;
};

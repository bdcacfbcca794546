#include "update/WebDlProgress.h"

#include "platform/Application.h"
#include "platform/HttpCli.h"
#include "platform/NumberFormat.h"
#include "platform/ScreenPlacement.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

TWebDlProgress::TWebDlProgress(const QFont& font, HttpCli* client)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      // Created in their tab order: the bar first, Cancel the one control that takes the focus.
      pbarProgress(new QProgressBar(this)), lblDownloading(new QLabel(this)),
      lblProgress(new QLabel(this)), btnCancel(new QPushButton(this)), m_client(client)
{
    setObjectName(QStringLiteral("WebDlProgress"));
    setWindowTitle(QStringLiteral("Download Progress"));
    setWindowModality(Qt::ApplicationModal);
    setCursor(Qt::WaitCursor);
    setFont(font);
    setFixedSize(272, 123);

    lblDownloading->setObjectName(QStringLiteral("lblDownloading"));
    lblDownloading->setGeometry(2, 10, 268, 18);
    lblDownloading->setAlignment(Qt::AlignCenter);

    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setGeometry(2, 60, 268, 22);
    lblProgress->setAlignment(Qt::AlignCenter);

    pbarProgress->setObjectName(QStringLiteral("pbarProgress"));
    pbarProgress->setGeometry(36, 40, 200, 14);
    pbarProgress->setRange(0, 100);
    pbarProgress->setValue(0);
    pbarProgress->setTextVisible(false); // the label below says how far it is
    pbarProgress->setCursor(Qt::WaitCursor);

    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(102, 94, 68, 22);
    btnCancel->setText(QStringLiteral("&Cancel"));
    bindHandler(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
}

void TWebDlProgress::showProgress(qint64 received, qint64 size)
{
    using NumberFormat::FormatThousands;
    if (size <= 0) {
        // Without an announced size there is no share to show, only that data keeps coming.
        lblProgress->setText(QStringLiteral("%1 bytes received.").arg(FormatThousands(received)));
        if (pbarProgress->maximum() != 0)
            pbarProgress->setRange(0, 0);
        return;
    }
    lblProgress->setText(QStringLiteral("%1 of %2 bytes received.")
                             .arg(FormatThousands(received), FormatThousands(size)));
    const int percent = int(std::min<qint64>(received * 100 / size, 100));
    if (percent > pbarProgress->value())
        pbarProgress->setValue(percent);
}

void TWebDlProgress::btnCancelClick()
{
    FCancelled = true;
    if (m_client)
        m_client->abort(); // its request-done event ends this dialog
}

void TWebDlProgress::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void TWebDlProgress::showEvent(QShowEvent* event)
{
    centerOnScreen(this); // whatever window is active
    QDialog::showEvent(event);
}

#include "links/uFrmAbout.h"

#include "app/Main.h"
#include "app/MakerValues.h"
#include "platform/Application.h"
#include "platform/ScreenPlacement.h"
#include "ui_uFrmAbout.h"

#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

QPointer<TfrmAbout> frmAbout;

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_ui(std::make_unique<Ui::TfrmAbout>())
{
    Ui::TfrmAbout& u = *m_ui;
    u.setupUi(this);
    // Arial 12 pixels high, whatever the screen's density.
    QFont boxFont(QStringLiteral("Arial"));
    boxFont.setPixelSize(12);
    setFont(boxFont);
    setFixedSize(307, 211);

    QPalette white = u.Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    u.Panel1->setPalette(white);
    u.imgLogo->setPicture(QPixmap(QStringLiteral(":/pictures/logo.jpg")));

    QFont linkFont(QStringLiteral("Arial"));
    linkFont.setPixelSize(11);
    linkFont.setBold(true);
    linkFont.setUnderline(true);
    u.urlHome->setFont(linkFont);
    QPalette blue = u.urlHome->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    u.urlHome->setPalette(blue);
    u.urlHome->setText(QLatin1String(Maker::siteName));
    u.urlHome->setURL(QLatin1String(Maker::homePage));
    u.urlHome->setVisible(false);

    bindHandler(u.imgLogo, &ImageLabel::mouseMoved, this, [this] { imgLogoMouseMove(); });
    bindHandler(u.imgLogo, &ImageLabel::clicked, this, [this] { imgLogoClick(); });
    bindHandler(u.btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });

    FormCreate();
}

TfrmAbout::~TfrmAbout() = default;

QString TfrmAbout::copyrightLine()
{
    return QStringLiteral("Copyright \u00a9 2004 ") + QLatin1String(Maker::company);
}

QString TfrmAbout::rightsLine()
{
    return QStringLiteral("All Rights Reserved Worldwide.");
}

void TfrmAbout::FormCreate()
{
    if (frmMain)
        frmMain->CenterForm(this);
}

void TfrmAbout::FormShow()
{
    Ui::TfrmAbout& u = *m_ui;
    setWindowTitle(QStringLiteral(" About Kestrava, 1.2.00"));
    u.lblVersion->setText(QStringLiteral("Version 1.2.00"));
    u.lblCompileDate->setText(QStringLiteral("Compiled April 20, 2004"));
    u.lblCopyright->setText(copyrightLine());
    u.lblRights->setText(rightsLine());
    // The lines grow to their text, as labels sized to their content do.
    for (QLabel* line : {u.lblVersion, u.lblCompileDate, u.lblCopyright, u.lblRights}) {
        const int needed = line->fontMetrics().horizontalAdvance(line->text()) + 2;
        if (needed > line->width())
            line->resize(needed, line->height());
    }
}

void TfrmAbout::imgLogoMouseMove()
{
    m_ui->imgLogo->setCursor(Qt::PointingHandCursor); // nothing sets it back
}

void TfrmAbout::imgLogoClick()
{
    m_ui->urlHome->click();
}

void TfrmAbout::btnCloseClick()
{
    close();
}

void TfrmAbout::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
    centerOnScreen(this);
}

void TfrmAbout::keyPressEvent(QKeyEvent* event)
{
    // Only the OK button closes the box: Escape does nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void showAboutBox(TfrmMain& main)
{
    const QRect r = main.frameGeometry();
    main.repaint();
    frmAbout = new TfrmAbout;
    TfrmAbout* box = frmAbout;
    // Released once the pending events are handled, also when an error leaves the placing or
    // the showing.
    struct Release
    {
        TfrmAbout* box;
        ~Release() { box->deleteLater(); }
    } release{box};
    const QRect outer = box->frameGeometry();
    const int top = r.top() + (r.height() - outer.height()) / 2;
    const int left = r.left() + (r.width() - outer.width()) / 2;
    box->move(left, top);
    // Modal over the main window without belonging to it.
    box->winId();
    if (QWindow* handle = box->windowHandle())
        handle->setTransientParent(main.windowHandle());
    box->exec();
    if (main.isVisible())
        main.activateWindow();
}

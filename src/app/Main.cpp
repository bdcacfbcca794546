#include "app/Main.h"

#include "app/MakerValues.h"
#include "app/NotebookPage.h"
#include "app/Pictures.h"
#include "app/SettingsFile.h"
#include "calc/FrequencyTable.h"
#include "links/PromoPage.h"
#include "links/StatusBarHandlers.h"
#include "links/uFrmAbout.h"
#include "platform/Dialogs.h"
#include "platform/ExitNotifier.h"
#include "platform/FnpNumericEdit.h"
#include "platform/HelpEngine.h"
#include "platform/ImageLabel.h"
#include "platform/LabelFit.h"
#include "platform/NumEdit.h"
#include "platform/ProfileFile.h"
#include "platform/SingleInstance.h"
#include "platform/StatusBar.h"
#include "platform/UrlLabel.h"
#include "ui_Main.h"
#include "update/WUpdate.h"
#include "update/WebFileInfo.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>

TfrmMain* frmMain = nullptr;

namespace {

const QString title = QStringLiteral("Kestrava, 1.2.00");

// Integer division truncated toward zero, as the placement rules count.
int halfToward0(int difference)
{
    return difference / 2; // C++ division truncates toward zero
}

} // namespace

TfrmMain::TfrmMain(const QString& appDir, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TfrmMain>())
{
    // The controls inherit the window's font. It is set before they are made, so that none of
    // them lays out its text twice.
    setFont(NotebookPage::windowFont());
    m_ui->setupUi(this);
    Pictures::setForMainWindow(*m_ui);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    centralWidget()->setFixedSize(658, 385);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowIcon(Pictures::programIcon());
    WebFileInfo = new TWebFileInfo(this);
    configureProgramWebFileInfo(*WebFileInfo);

    // The single-instance guard acts while the window's parts are loaded, before the creation
    // sequence: a second copy hands over and never reads or writes the settings file.
    XJustOne1 = new SingleInstance(title, this);
    XJustOne1->setWindow(this);
    if (!XJustOne1->isFirst()) {
        m_handedOver = true;
        return;
    }

    Ui::TfrmMain& u = *m_ui;
    m_panel1 = std::make_unique<LoanPanel>(
        LoanPanel::Controls{u.edtLoan, u.cbFrequency, u.edtTerm, u.edtInterest, u.edtPayment,
                            u.edtInterestPaid, u.edtTotalPaid, u.lblTerm},
        LoanPanel::Fields{FLoan, FInterest, FTerm, FPayment, FFreqCode});
    m_panel2 = std::make_unique<LoanPanel>(
        LoanPanel::Controls{u.edtLoan2, u.cbFrequency2, u.edtTerm2, u.edtInterest2, u.edtPayment2,
                            u.edtInterestPaid2, u.edtTotalPaid2, u.lblTerm2},
        LoanPanel::Fields{FLoan2, FInterest2, FTerm2, FPayment2, FFreqCode2});
    m_panel1->prepare();
    m_panel2->prepare();
    u.nbkMain->setCurrentIndex(0);
    u.mnuInternetEmail->menuAction()->setVisible(false); // the mail entries stay out of sight
    fitLabels();
    buildPopupMenu();
    buildStatusBar();
    buildPromoPage();
    m_links = LinkTable::forMainWindow(u);
    bindHandlers();

    FAppDir = appDir;
    frmMain = this;
    Application::guard(this, [this] { FormCreate(); });
}

TfrmMain::~TfrmMain()
{
    // FormDestroy
    if (frmMain == this)
        frmMain = nullptr;
    if (auto* app = Application::instance(); app && app->exceptionHandler() == this)
        app->setExceptionHandler(nullptr);
}

void TfrmMain::FormCreate()
{
    // 1. The referral tag of every web address.
    FEdition = QStringLiteral("Free");
    FRefKey = QStringLiteral("?ref=");
    FRefTag = FRefKey + QStringLiteral("ksv1200") + FEdition;
    // 2.
    setWindowTitle(title);
    // 3.
    if (FAppDir.isEmpty())
        FAppDir = QCoreApplication::applicationDirPath();
    if (!FAppDir.endsWith(QLatin1Char('/')))
        FAppDir += QLatin1Char('/');
    // 4.
    FLoan = FInterest = FTerm = FPayment = 0;
    FLoan2 = FInterest2 = FTerm2 = FPayment2 = 0;
    // 5.
    ReadValues();
    // 6.
    if (auto* app = Application::instance()) {
        connect(app, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (state == Qt::ApplicationActive)
                        ApplicationActivate();
                });
        app->setExceptionHandler(this);
        bindHandler(app, &Application::hintChanged, this, [this, app] { AppOnHint(app); });
    }
    // 7.
    Help::setHelpFile(FAppDir + QStringLiteral("kestrava.hlp"));
    // 8. Only controls that ask for it show a tip; the window's hints go to the status bar.
    if (auto* app = Application::instance())
        app->setHintTiming(400, 4000);
    // 9.
    Calculate(this);
    Calculate2(this);
    // 10. The first-run topic is offered once; the flag is set even when help fails.
    if (!FHasRun) {
        Help::command(HelpCommand::Context, 10000, this);
        FHasRun = true;
    }
}

void TfrmMain::ReadValues()
{
    const QString last = QStringLiteral("LastValues");
    const ProfileFile ini(SettingsFile::folder(FAppDir), QLatin1String(SettingsFile::readName));
    FLoan = SettingsFile::readNumber(ini, last, QStringLiteral("Loan"), 100000);
    FInterest = SettingsFile::readNumber(ini, last, QStringLiteral("Interest"), 8.75);
    FTerm = SettingsFile::readNumber(ini, last, QStringLiteral("term"), 360);
    FPayment = SettingsFile::readNumber(ini, last, QStringLiteral("Payment"), 786.7);
    m_panel1->setFrequency(
        ini.readString(last, QStringLiteral("Frequency"), FrequencyTable::defaultText()));
    FLoan2 = SettingsFile::readNumber(ini, last, QStringLiteral("Loan2"), 100000);
    FInterest2 = SettingsFile::readNumber(ini, last, QStringLiteral("Interest2"), 8.75);
    FTerm2 = SettingsFile::readNumber(ini, last, QStringLiteral("term2"), 360);
    FPayment2 = SettingsFile::readNumber(ini, last, QStringLiteral("Payment2"), 786.7);
    m_panel2->setFrequency(
        ini.readString(last, QStringLiteral("Frequency2"), FrequencyTable::defaultText()));
    FHasRun = SettingsFile::readFlag(ini, QStringLiteral("GeneralValues"), QStringLiteral("Run"));

    m_panel1->mapFrequency();
    m_panel2->mapFrequency();
    m_ui->edtLoan->setValue(FLoan);
    m_ui->edtInterest->setValue(FInterest);
    m_ui->edtTerm->setValue(FTerm);
    m_ui->edtPayment->setValue(FPayment);
    m_ui->edtLoan2->setValue(FLoan2);
    m_ui->edtInterest2->setValue(FInterest2);
    m_ui->edtTerm2->setValue(FTerm2);
    m_ui->edtPayment2->setValue(FPayment2);
}

void TfrmMain::SaveValuesAtExit()
{
    // The whole file is replaced at once, so a failed save leaves the previous one whole; the
    // error travels on and the next close writes everything again.
    const QString last = QStringLiteral("LastValues");
    ProfileFile ini(SettingsFile::folder(FAppDir), QLatin1String(SettingsFile::writeName));
    SettingsFile::writeNumber(ini, last, QStringLiteral("Loan"), FLoan);
    SettingsFile::writeNumber(ini, last, QStringLiteral("Interest"), FInterest);
    SettingsFile::writeNumber(ini, last, QStringLiteral("term"), FTerm);
    SettingsFile::writeNumber(ini, last, QStringLiteral("Payment"), FPayment);
    ini.writeString(last, QStringLiteral("Frequency"), m_ui->cbFrequency->currentText());
    SettingsFile::writeNumber(ini, last, QStringLiteral("Loan2"), FLoan2);
    SettingsFile::writeNumber(ini, last, QStringLiteral("Interest2"), FInterest2);
    SettingsFile::writeNumber(ini, last, QStringLiteral("term2"), FTerm2);
    SettingsFile::writeNumber(ini, last, QStringLiteral("Payment2"), FPayment2);
    ini.writeString(last, QStringLiteral("Frequency2"), m_ui->cbFrequency2->currentText());
    SettingsFile::writeFlag(ini, QStringLiteral("GeneralValues"), QStringLiteral("Run"), FHasRun);
    ini.save();
}

void TfrmMain::bindHandlers()
{
    Ui::TfrmMain& u = *m_ui;
    // Every control of a panel recalculates its own panel only.
    const auto bindPanel = [this](LoanPanel& panel, auto calculate) {
        const LoanPanel::Controls& c = panel.controls();
        for (NumEdit* edit : {c.edtLoan, c.edtPayment})
            bindHandler(edit, &NumEdit::exited, this,
                        [this, edit, calculate] { (this->*calculate)(edit); });
        for (FnpNumericEdit* edit : {c.edtTerm, c.edtInterest})
            bindHandler(edit, &FnpNumericEdit::exited, this,
                        [this, edit, calculate] { (this->*calculate)(edit); });
        QComboBox* cb = c.cbFrequency;
        const auto recalc = [this, cb, calculate] { (this->*calculate)(cb); };
        bindHandler(cb, &QComboBox::activated, this, recalc);
        bindHandler(cb->lineEdit(), &QLineEdit::textEdited, this, recalc);
        auto* exit = new ExitNotifier(cb);
        bindHandler(exit, &ExitNotifier::exited, this, recalc);
    };
    bindPanel(*m_panel1, &TfrmMain::Calculate);
    bindPanel(*m_panel2, &TfrmMain::Calculate2);

    for (QAction* reset :
         {u.mnuFileReset, mnuPop->findChild<QAction*>(QStringLiteral("mnuPopReset"))})
        bindHandler(reset, &QAction::triggered, this, [this, reset] { btnResetClick(reset); });
    bindHandler(u.btnReset, &QToolButton::clicked, this, [this] { btnResetClick(m_ui->btnReset); });
    bindHandler(u.btnUpdate, &QToolButton::clicked, this, [this] { ShowUpdate(); });
    bindHandler(u.mnuInternetUpdate, &QAction::triggered, this, [this] { ShowUpdate(); });
    bindHandler(u.btnHelp, &QToolButton::clicked, this, [this] { mnuHelpContentsClick(); });
    bindHandler(u.Contents1, &QAction::triggered, this, [this] { mnuHelpContentsClick(); });
    bindHandler(u.SearchforHelpOn1, &QAction::triggered, this, [this] { mnuHelpSearchClick(); });
    bindHandler(u.HowtoUseHelp1, &QAction::triggered, this, [this] { mnuHelpHowClick(); });
    bindHandler(u.btnAbout, &QToolButton::clicked, this, [this] { ShowAbout(); });
    bindHandler(u.About1, &QAction::triggered, this, [this] { ShowAbout(); });
    bindHandler(u.mnuFileExit, &QAction::triggered, this, [this] { mnuFileExitClick(); });

    for (QAction* link : {u.mnuInternetProductInfo, u.mnuInternetHome, u.mnuInternetFreeware,
                          u.mnuInternetSuggest, u.mnuInternetPartner1, u.mnuInternetPartner2,
                          u.mnuInternetBlog, u.mnuInternetSendSuggestions, u.mnuInternetTechSupport,
                          u.mnuInternetProduct1, u.mnuInternetProduct2, u.mnuInternetProduct3,
                          u.mnuInternetProduct4, u.mnuInternetProduct5, u.mnuInternetProduct6})
        bindHandler(link, &QAction::triggered, this, [this, link] { GoOnline(link); });

    setContextMenuPolicy(Qt::CustomContextMenu);
    const auto popup = [this](QWidget* owner) {
        return [this, owner](const QPoint& pos) { mnuPop->popup(owner->mapToGlobal(pos)); };
    };
    connect(this, &QWidget::customContextMenuRequested, this, popup(this));
    connect(u.Panel2, &QWidget::customContextMenuRequested, this, popup(u.Panel2));
}

TfrmMain::LastValues TfrmMain::lastValues(int loan) const
{
    if (loan == 2)
        return {FLoan2, FInterest2, FTerm2, FPayment2, FFreqCode2};
    return {FLoan, FInterest, FTerm, FPayment, FFreqCode};
}

void TfrmMain::fitLabels()
{
    for (QLabel* label : m_ui->Page1->findChildren<QLabel*>())
        fitLabelToText(label);
}

void TfrmMain::buildPopupMenu()
{
    mnuPop = new QMenu(this);
    mnuPop->setObjectName(QStringLiteral("mnuPop"));
    Pictures::Entries pictures;
    const auto add = [this, &pictures](const char* name, const QString& text, const QString& icon) {
        QAction* a = mnuPop->addAction(text);
        a->setObjectName(QLatin1String(name));
        if (!icon.isEmpty())
            pictures.emplace_back(a, icon);
        return a;
    };
    const auto separator = [this](const char* name) {
        QAction* s = mnuPop->addSeparator();
        s->setObjectName(QLatin1String(name));
        return s;
    };
    add("mnuPopReset", QStringLiteral("&Reset"), QStringLiteral("reset"));
    separator("N14")->setVisible(false);
    QAction* printSetup = add("mnuPopPrinterSetup", QStringLiteral("Print Setup..."), "print");
    printSetup->setVisible(false);
    printSetup->setEnabled(false);
    QAction* print = add("mnuPopPrint", QStringLiteral("&Print..."), QStringLiteral("print"));
    print->setVisible(false);
    print->setEnabled(false);
    separator("N15");
    QAction* about = add("mnuPopAbout", QStringLiteral("&About..."), QStringLiteral("about"));
    separator("N1");
    QAction* exit = add("mnuPopExit", QStringLiteral("E&xit"), QStringLiteral("exit"));
    Pictures::setWhenShown(mnuPop, pictures);
    bindHandler(about, &QAction::triggered, this, [this] { ShowAbout(); });
    bindHandler(exit, &QAction::triggered, this, [this] { mnuFileExitClick(); });
}

void TfrmMain::buildStatusBar()
{
    StatusBar* bar = m_ui->statusBar;
    StatusBarHandlers::addPanels(*bar);
    bar->setShowHints(false); // the window shows no hint pop-ups
    bindHandler(bar, &StatusBar::mouseMoved, this,
                [this, bar](Qt::KeyboardModifiers shift, int x, int y) {
                    statusBarMouseMove(bar, shift, x, y);
                });
    connect(bar, &StatusBar::panelClicked, this, &TfrmMain::statusBarPanelClick);
    bindHandler(bar, &StatusBar::resized, this, [this, bar] { statusBarResize(bar); });
}

void TfrmMain::buildPromoPage()
{
    imgScreenShot = PromoPage::build(m_ui->Page2);
    bindHandler(imgScreenShot, &ImageLabel::mouseMoved, this, [this] { imgScreenShotMouseMove(); });
    bindHandler(imgScreenShot, &ImageLabel::clicked, this,
                [this] { imgScreenShotClick(imgScreenShot); });
}

void TfrmMain::Calculate(const QObject* sender)
{
    m_panel1->calculate(sender);
}

void TfrmMain::Calculate2(const QObject* sender)
{
    m_panel2->calculate(sender);
}

void TfrmMain::AppOnException(QObject* sender, const Exception& error)
{
    Q_UNUSED(sender);
    MessageRequest box;
    box.caption = QStringLiteral("Information");
    box.icon = MessageIcon::Information;
    box.buttons = MessageButton::Ok;
    box.defaultButton = MessageButton::Ok;
    box.escapeButton = MessageButton::Ok;
    if (dynamic_cast<const EMathError*>(&error)) {
        box.text = QStringLiteral("Valid results cannot be calculated using\n\rthe variables you "
                                  "have entered.\n\r\n\rPlease try again with reasonable values.");
        Dialogs::message(box);
        // Loan 1 gets its defaults back; nothing is recalculated and loan 2 is left alone.
        m_panel1->restoreDefaults();
        if (isVisible() && isEnabled())
            m_ui->edtLoan->setFocus(Qt::OtherFocusReason);
        return;
    }
    box.text = QStringLiteral("An unidentified error has occurred.\r\n\r\nIf you wish contact "
                              "Quorvane Software    \r\n\r\nat:  ") +
               QString::fromLatin1(Maker::supportAddress);
    Dialogs::message(box);
}

void TfrmMain::btnResetClick(QObject* sender)
{
    m_ui->nbkMain->setCurrentIndex(0);
    m_panel1->restoreDefaults();
    m_panel2->restoreDefaults();
    m_ui->edtLoan->setFocus(Qt::OtherFocusReason);
    Calculate(sender);
    Calculate2(sender);
}

void TfrmMain::mnuFileExitClick()
{
    close();
}

void TfrmMain::mnuHelpContentsClick()
{
    Help::command(HelpCommand::Contents, 0, this);
}

void TfrmMain::mnuHelpSearchClick()
{
    Help::command(HelpCommand::PartialKey, 0, this);
}

void TfrmMain::mnuHelpHowClick()
{
    Help::command(HelpCommand::HelpOnHelp, 0, this);
}

void TfrmMain::ShowUpdate()
{
    showUpdateDialog(*this);
}

void TfrmMain::ShowAbout()
{
    showAboutBox(*this);
}

void TfrmMain::GoOnline(QObject* sender)
{
    // The address is written anew for every entry; the label opens whatever it holds.
    const QString address = m_links.addressFor(sender, FRefTag, FEdition);
    if (!address.isNull())
        m_ui->UrlOnline->setURL(address);
    m_ui->UrlOnline->click();
}

void TfrmMain::statusBarMouseMove(QObject*, Qt::KeyboardModifiers, int x, int)
{
    StatusBarHandlers::mouseMove(*m_ui->statusBar, x);
}

void TfrmMain::statusBarPanelClick(int panel, Qt::MouseButton, Qt::KeyboardModifiers, const QPoint&)
{
    // Any button opens the home page; whatever goes wrong on the way is dropped silently.
    try {
        if (StatusBarHandlers::isLinkPanel(*m_ui->statusBar, panel))
            GoOnline(m_ui->statusBar);
    } catch (...) {
    }
}

void TfrmMain::statusBarResize(QObject*)
{
    StatusBarHandlers::resize(*m_ui->statusBar);
}

void TfrmMain::AppOnHint(QObject*)
{
    if (auto* app = Application::instance())
        StatusBarHandlers::showHint(*m_ui->statusBar, app->hint());
}

void TfrmMain::imgScreenShotMouseMove()
{
    // Nothing sets it back: from the first move on the screenshot shows the hand.
    imgScreenShot->setCursor(Qt::PointingHandCursor);
}

void TfrmMain::imgScreenShotClick(QObject*)
{
    m_ui->UrlOnline->setURL(PromoPage::screenShotAddress(FRefTag));
    m_ui->UrlOnline->click();
}

void TfrmMain::CenterForm(QWidget* form) const
{
    const QRect main = frameGeometry();
    const QRect f = form->frameGeometry();
    const int left = std::max(main.left() + halfToward0(main.width() - f.width()), 0);
    const int top = std::max(main.top() + halfToward0(main.height() - f.height()), 0);
    form->move(left, top);
}

void TfrmMain::FormActivate()
{
    m_ui->edtLoan->setFocus(Qt::ActiveWindowFocusReason);
}

void TfrmMain::ApplicationActivate()
{
    if (QWidget* active = QApplication::activeWindow())
        active->raise();
}

void TfrmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Only the first activation moves the focus; later ones give it back where it was.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activated) {
        m_activated = true;
        FormActivate();
    }
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    Help::command(HelpCommand::Quit, 0, this);
    bool saved = false;
    Application::guard(this, [&] {
        SaveValuesAtExit();
        saved = true;
    });
    // A failed save keeps the window open; the next close tries again.
    if (saved)
        event->accept();
    else
        event->ignore();
}

#include "update/WebFileInfo.h"

#include "update/WaitForm.h"
#include "update/WebDlProgress.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QScopeGuard>
#include <QWidget>

TWebFileInfo::TWebFileInfo(QObject* owner) : QObject(owner) {}

TWebFileInfo::~TWebFileInfo()
{
    // The application must not keep calling a filter that is gone.
    if (Application* app = Application::instance(); app && app->exceptionHandler() == &m_filter)
        app->setExceptionHandler(FOldAppException);
    if (FHttpClient) {
        disconnect(FHttpClient, nullptr, this, nullptr);
        FHttpClient->setRcvdStream(nullptr);
    }
    delete FWaitForm.data();
    delete FProgressForm.data();
}

void TWebFileInfo::setActive(bool active)
{
    if (!active)
        FActive = false;
}

void TWebFileInfo::setHomeURL(const QString& url)
{
    const QString scheme = url.left(8).toLower();
    if (scheme.startsWith(QLatin1String("http://")) || scheme == QLatin1String("https://")) {
        FHomeURL = url;
        FActive = false;
    }
}

QFont TWebFileInfo::UIFont()
{
    if (FUIOwnerFont) {
        if (const auto* form = qobject_cast<const QWidget*>(parent()); form && form->isWindow())
            FUIFont = form->font();
    }
    return FUIFont;
}

void TWebFileInfo::setUIFont(const QFont& font)
{
    FUIFont = font;
    FUIOwnerFont = false;
}

void TWebFileInfo::setRequestTimeouts(int idleMs, int totalMs)
{
    m_idleTimeout = idleMs;
    m_totalTimeout = totalMs;
}

bool TWebFileInfo::IsNewVersion() const
{
    return VersionPage::IsNewVersion(FCurrentVersion, FValues.ProductVersion, FVersionFormat);
}

bool TWebFileInfo::GetInfo()
{
    if (FActive)
        return true;
    if (FHomeURL.isEmpty()) {
        showBox(QStringLiteral("Missing Home URL"),
                QStringLiteral("Can not retrieve version information\r"
                               "because no home url was provided."));
        return false;
    }
    if (FInfoTags.allEmpty()) {
        showBox(QStringLiteral("Missing Tag Information"),
                QStringLiteral("Can not retrieve version information\r"
                               "because no tag information was provided."));
        return false;
    }

    // The wait window of the first page serves the whole redirect chain and goes on every way
    // out, also when a page's date ends the check with an error.
    const bool ownWaitForm = !FWaitForm;
    auto cleanup = qScopeGuard([&] {
        releaseStream();
        if (ownWaitForm)
            destroyWaitForm();
    });
    try {
        for (int redirects = 0;; ++redirects) {
            const bool read = fetchPage();
            if (FValues.RedirectURL.isEmpty()) {
                FActive = read;
                return FActive;
            }
            if (redirects == maxPageRedirects) {
                clearResults();
                FLastError = QStringLiteral("Redirect limit reached: the version page named "
                                            "more than %1 redirects")
                                 .arg(maxPageRedirects);
                FActive = false;
                return false;
            }
        }
    } catch (...) {
        // A failed check keeps no place in a redirect chain: the next one starts at HomeURL.
        FValues.RedirectURL.clear();
        throw;
    }
}

// Requests one page (HomeURL, or the redirect address the last page named), waits for it in the
// wait window and reads it. True if the page was read.
bool TWebFileInfo::fetchPage()
{
    HookAppException();
    if (!FHttpClient)
        createHttpClient();
    applyProxy();
    auto buffer = std::make_unique<QBuffer>();
    buffer->open(QIODevice::ReadWrite);
    prepareRequest(std::move(buffer), maxPageSize, m_totalTimeout);

    FHttpClient->setURL(FValues.RedirectURL.isEmpty() ? FHomeURL : FValues.RedirectURL);
    FHttpClient->getAsync();

    if (!FWaitForm)
        FWaitForm = CreateWaitForm(QStringLiteral("Checking For Update..."));
    if (FHttpClient->busy())
        FWaitForm->exec();
    // Only RequestDone and the exception filter end the wait; should anything else end it (the
    // application terminating), the request ends here rather than leave half a page.
    bool interrupted = false;
    if (FHttpClient->busy()) {
        interrupted = true;
        FHttpClient->abort();
    }

    const int status = FHttpClient->statusCode();
    if (status > 200 && !m_waitEndedByFilter) {
        FLastError = FHttpClient->reasonPhrase();
        if (!interrupted)
            Dialogs::showMessage(QString::number(status));
    }

    clearResults();
    const auto* page = qobject_cast<QBuffer*>(FRcvdStream.get());
    if (!FLastError.isEmpty() || status > 200 || !page) {
        releaseStream();
        return false;
    }
    const QByteArray body = page->data();
    releaseStream();
    VersionPage::Values values;
    VersionPage::ParseTags(VersionPage::splitLines(body), FInfoTags, values);
    FValues = values;
    if (!FValues.ProductDateStr.isEmpty())
        FProductDate = VersionPage::ParseDate(FValues.ProductDateStr, FDateFormat);
    FDownloadFileName = VersionPage::downloadFileName(FValues.DownloadURL);
    return true;
}

void TWebFileInfo::applyProxy()
{
    if (!FProxyHost.isEmpty()) {
        FHttpClient->setProxy(FProxyHost);
        FHttpClient->setProxyPort(QString::number(FProxyPort));
    } else {
        FHttpClient->setProxy(QString());
        FHttpClient->setProxyPort(QStringLiteral("80"));
    }
}

// Gives the client the receive stream and the limits of the next request and clears LastError.
void TWebFileInfo::prepareRequest(std::unique_ptr<QIODevice> stream, qint64 maxBodySize,
                                  int totalTimeout)
{
    FHttpClient->setMaxBodySize(maxBodySize);
    FHttpClient->setIdleTimeout(m_idleTimeout);
    FHttpClient->setTotalTimeout(totalTimeout);
    FHttpClient->setRcvdStream(stream.get());
    FRcvdStream = std::move(stream);
    FLastError.clear();
    m_waitEndedByFilter = false;
}

void TWebFileInfo::createHttpClient()
{
    FHttpClient = new HttpCli(this);
    connect(FHttpClient, &HttpCli::OnRequestDone, this,
            [this](HttpCli::RequestType rqType, quint16 error) { RequestDone(rqType, error); });
}

void TWebFileInfo::RequestDone(HttpCli::RequestType, quint16 error)
{
    if (error != 0)
        FLastError = FHttpClient->reasonPhrase();
    else
        FLastError.clear();
    if (FWaitForm)
        FWaitForm->done(mrOk);
    if (FProgressForm) {
        const auto* progress = qobject_cast<const TWebDlProgress*>(FProgressForm.data());
        FProgressForm->done(progress && progress->cancelled() ? mrCancel : mrOk);
    }
}

QDialog* TWebFileInfo::CreateWaitForm(const QString& text)
{
    return new WaitForm(text, FUIFont);
}

void TWebFileInfo::clearResults()
{
    FValues = {};
    FProductDate = 0;
}

void TWebFileInfo::releaseStream()
{
    if (FHttpClient && FHttpClient->rcvdStream() == FRcvdStream.get())
        FHttpClient->setRcvdStream(nullptr);
    FRcvdStream.reset();
}

void TWebFileInfo::destroyWaitForm()
{
    delete FWaitForm.data();
    FWaitForm = nullptr;
}

void TWebFileInfo::showBox(const QString& caption, const QString& text, MessageIcon icon)
{
    MessageRequest request;
    request.caption = caption;
    request.text = text;
    request.icon = icon;
    request.buttons = MessageButton::Ok;
    Dialogs::message(request);
}

void TWebFileInfo::HookAppException()
{
    Application* app = Application::instance();
    if (!app || app->exceptionHandler() == &m_filter)
        return; // already in place: the handler saved the first time stays saved
    FOldAppException = app->exceptionHandler();
    app->setExceptionHandler(&m_filter);
}

void TWebFileInfo::UnhookAppException()
{
    Application* app = Application::instance();
    if (app && app->exceptionHandler() == &m_filter)
        app->setExceptionHandler(FOldAppException);
    FOldAppException = nullptr;
}

void TWebFileInfo::AppException(QObject* sender, const Exception& error)
{
    if (!dynamic_cast<const EHttpException*>(&error)) {
        if (FOldAppException)
            FOldAppException->handleException(sender, error);
        else if (Application* app = Application::instance())
            app->showErrorBox(error.message()); // what the application does with no handler
        return;
    }

    // The request that the closed window waited for ends with it; its RequestDone comes first,
    // so that the exception's text is the one that stays.
    if (FHttpClient && FHttpClient->busy())
        FHttpClient->abort();
    FLastError = error.message();
    m_waitEndedByFilter = true;
    for (QPointer<QDialog>* window : {&FWaitForm, &FProgressForm}) {
        if (QDialog* dialog = window->data()) {
            dialog->done(mrCancel);
            dialog->deleteLater();
            *window = nullptr;
        }
    }
    releaseStream();
    if (FDocDataConnection)
        disconnect(FDocDataConnection);
    UnhookAppException();
    showBox(QStringLiteral("Exception"),
            QStringLiteral("Error retrieving update information.\rException: %1.")
                .arg(error.message()));
}

void configureProgramWebFileInfo(TWebFileInfo& info)
{
    info.setObjectName(QStringLiteral("WebFileInfo"));
    info.setCurrentVersion(QStringLiteral("1.2.00"));
    info.setHomeURL(QStringLiteral("http://www.quorvane.com/kestrava.htm?ref=ksv1200upd"));
    TWfiTags& tags = info.InfoTags();
    tags.AuthorTag = QStringLiteral("author");
    tags.AuthorEMailTag = QStringLiteral("email");
    tags.DateTag = QStringLiteral("date");
    tags.DownloadTag = QStringLiteral("url");
    tags.ProductNameTag = QStringLiteral("name");
    tags.ReadMeTag = QStringLiteral("readme");
    tags.RedirectTag = QStringLiteral("redirect");
    tags.RunParamsTag = QStringLiteral("runparams");
    tags.VersionTag = QStringLiteral("version");
    tags.Sha256Tag = QStringLiteral("sha256");
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    font.setFixedPitch(false);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    info.setUIFont(font);
}

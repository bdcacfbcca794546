// The update flow of the web file information component: read-me, download with its progress
// dialog, and the start of the downloaded file.
#include "update/WebFileInfo.h"

#include "platform/Exceptions.h"
#include "platform/Shell.h"
#include "update/ReadMeForm.h"
#include "update/WebDlProgress.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScopeGuard>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

namespace {

const QString partSuffix = QStringLiteral(".part");

// The 32 bytes of a SHA-256 written as 64 hexadecimal digits; empty for any other text.
QByteArray sha256Digest(const QString& text)
{
    if (text.size() != 64)
        return {};
    for (const QChar c : text) {
        if (!c.isDigit() && !(c >= u'a' && c <= u'f') && !(c >= u'A' && c <= u'F'))
            return {};
    }
    return QByteArray::fromHex(text.toLatin1());
}

// A name that ends in a separator names a folder.
bool namesFolder(const QString& fileName)
{
    return fileName.endsWith(u'/') || fileName.endsWith(QDir::separator());
}

// The file name of an address: the text after its last "/", and after its last "\" as well,
// so that an address can never lead out of the folder it is saved in. Empty when no usable name
// is left.
QString plainFileName(const QString& address)
{
    QString name = address.mid(address.lastIndexOf(u'/') + 1);
    name = name.mid(name.lastIndexOf(u'\\') + 1);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return name;
}

qint32 clamp32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, 0, std::numeric_limits<qint32>::max()));
}

[[noreturn]] void cannotCreate(const QString& fileName, const QString& reason)
{
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(QDir::toNativeSeparators(fileName), reason));
}

} // namespace

bool TWebFileInfo::Execute()
{
    if (!GetInfo()) {
        showBox(QStringLiteral("Connection Error"),
                FLastError.isEmpty()
                    ? QStringLiteral("Could not retrieve version information from the Internet.\r"
                                     "Error unknown.")
                    : QStringLiteral("Could not retrieve version information from the Internet.\r"
                                     "Error: \"%1.\"")
                          .arg(FLastError));
        return false;
    }
    if (!IsNewVersion()) {
        showBox(QStringLiteral("No Update Found"), QStringLiteral("There is no update available."),
                MessageIcon::Information);
        return false;
    }
    if (FOptions.contains(wfioDisplayReadMe))
        ShowReadMe(true);
    if (ask(QStringLiteral("Update Available"),
            versionLines() + QStringLiteral("\rDownload the update?")) != MessageButton::Yes)
        return false;

    SaveRequest save;
    save.filters = {{QStringLiteral("Application (*.EXE)"), QStringLiteral("*.EXE")},
                    {QStringLiteral("Zipped File"), QStringLiteral("*.ZIP")},
                    {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")}};
    save.filterIndex = 1;
    save.fileName = FDownloadFileName;
    save.overwritePrompt = true;
    save.pathMustExist = true;
    const SaveAnswer chosen = Dialogs::save(save);
    if (!chosen.accepted)
        return false;

    // A name without an extension gets the one of the chosen filter; a name that ends in a full
    // stop has one.
    QString fileName = chosen.fileName;
    if (!QFileInfo(fileName).fileName().contains(u'.')) {
        if (chosen.filterIndex == 1)
            fileName += QStringLiteral(".EXE");
        else if (chosen.filterIndex == 2)
            fileName += QStringLiteral(".ZIP");
    }

    if (!DownloadUpdate(fileName)) {
        showBox(QStringLiteral("Download Error"),
                FLastError.isEmpty()
                    ? QStringLiteral("Error occurred while downloading update.\rError unknown.")
                    : QStringLiteral("Error occurred while downloading update.\rError: \"%1.\"")
                          .arg(FLastError));
        return false;
    }
    if (!FOptions.contains(wfioRunUpdate))
        return true;

    const bool exitAfter = FOptions.contains(wfioExitDuringUpdate);
    Application* app = Application::instance();
    const QString question =
        exitAfter ? QStringLiteral("Do you want to install the update now?\rThis will close %1.")
                        .arg(app ? app->title() : QString())
                  : QStringLiteral("Do you want to install the update now?");
    if (ask(QStringLiteral("Install Update"), question) != MessageButton::Yes)
        return true;

    if (Shell::open(FDownloadPath, FValues.RunParams)) {
        if (exitAfter && app)
            app->terminate();
        return true;
    }
    showBox(QStringLiteral("Error"), QStringLiteral("Can not start program."));
    return true;
}

bool TWebFileInfo::ShowReadMe(bool Ask)
{
    if (!FActive && !GetInfo())
        return false;
    if (FValues.ProductReadMe.isEmpty() && FValues.ProductReadMeExt.isEmpty())
        return false;
    if (Ask && ask(QStringLiteral("Update Available"),
                   versionLines() + QStringLiteral("\rWould you like to view the ReadMe file?")) !=
                   MessageButton::Yes)
        return false;

    if (!FValues.ProductReadMeExt.isEmpty()) {
        bool opened = false;
        if (const QString name = plainFileName(FValues.ProductReadMeExt); !name.isEmpty()) {
            const QString target = QDir(QDir::tempPath()).filePath(name);
            if (DownloadFile(FValues.ProductReadMeExt, target,
                             QStringLiteral("Downloading ReadMe")))
                opened = Shell::open(target, QString());
        }
        if (opened)
            return true;
        showBox(QStringLiteral("Error"), QStringLiteral("Can not start program."));
    }
    if (!FValues.ProductReadMe.isEmpty()) {
        if (const std::unique_ptr<QDialog> form(CreateReadMeForm()); form)
            form->exec();
    }
    return true;
}

bool TWebFileInfo::DownloadUpdate(const QString& FileName)
{
    if (!FActive && !GetInfo())
        return false;
    FDownloadPath = namesFolder(FileName) ? FileName + FDownloadFileName : FileName;
    return download(FValues.DownloadURL, FDownloadPath, QStringLiteral("Downloading Update"),
                    FValues.Sha256);
}

bool TWebFileInfo::DownloadFile(const QString& URL, const QString& FileName, const QString& Title)
{
    return download(URL, FileName, Title, QString());
}

bool TWebFileInfo::download(const QString& url, const QString& fileName, const QString& title,
                            const QString& sha256)
{
    FLastError.clear();
    QByteArray expected;
    if (!sha256.isEmpty()) {
        expected = sha256Digest(sha256);
        if (expected.isEmpty()) {
            FLastError = QStringLiteral("The version page gives no valid SHA-256 checksum for "
                                        "the update: \"%1\"")
                             .arg(sha256);
            return false;
        }
    }

    // The body goes to a file beside the target, so that the target is only replaced by a whole
    // download and a file of that name stays as it was until then.
    const QFileInfo target(fileName);
    if (target.exists() && target.isDir())
        cannotCreate(fileName, QStringLiteral("A folder of that name exists"));
    if (target.exists() && !target.isWritable())
        cannotCreate(fileName, QStringLiteral("The file is write-protected"));
    const QString partName = fileName + partSuffix;
    auto file = std::make_unique<QFile>(partName);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        cannotCreate(partName, file->errorString());
    QFile* part = file.get();

    if (!FHttpClient) {
        createHttpClient();
        applyProxy();
    }
    // A download may be far larger and take far longer than a page: only silence ends it.
    prepareRequest(std::move(file), 0, 0);
    m_downloadHash.reset(expected.isEmpty() ? nullptr
                                            : new QCryptographicHash(QCryptographicHash::Sha256));
    FDocDataConnection =
        bindHandler(FHttpClient, &HttpCli::OnDocData, this, [this](const QByteArray& piece) {
            if (m_downloadHash)
                m_downloadHash->addData(piece);
            HttpDocData(FHttpClient->rcvdCount(), FHttpClient->contentLength());
        });
    auto cleanup = qScopeGuard([&] {
        disconnect(FDocDataConnection);
        releaseStream();
        m_downloadHash.reset();
        delete FProgressForm.data();
        FProgressForm = nullptr;
        QFile::remove(partName);
    });

    FHttpClient->setURL(url);
    FHttpClient->getAsync();
    TWebDlProgress* progress = CreateProgressForm();
    FProgressForm = progress;
    progress->lblDownloading->setText(title);
    if (FHttpClient->busy())
        progress->exec();
    // Only RequestDone and the exception filter end the dialog; should anything else end it
    // (the application terminating), the download ends here.
    if (FHttpClient->busy())
        FHttpClient->abort();

    bool ok = FHttpClient->statusCode() <= 200;
    if (!ok && !m_waitEndedByFilter)
        FLastError = FHttpClient->reasonPhrase();
    disconnect(FDocDataConnection);

    // The stream is gone when the exception filter has released it.
    if (ok && FRcvdStream.get() == part && !part->flush()) {
        ok = false;
        FLastError =
            QStringLiteral("The received data could not be written: %1").arg(part->errorString());
    }
    releaseStream();
    if (ok && m_downloadHash && m_downloadHash->result() != expected) {
        ok = false;
        FLastError =
            QStringLiteral("The checksum of the downloaded file did not match: its SHA-256 is %1, "
                           "the version page gives %2")
                .arg(QString::fromLatin1(m_downloadHash->result().toHex()), sha256.toLower());
    }
    if (ok) {
        std::error_code error;
        std::filesystem::rename(QFile(partName).filesystemFileName(),
                                QFile(fileName).filesystemFileName(), error);
        if (error) {
            ok = false;
            FLastError = QStringLiteral("The download could not be saved as \"%1\": %2")
                             .arg(QDir::toNativeSeparators(fileName),
                                  QString::fromLocal8Bit(error.message()));
        }
    }
    return ok; // the scope guard removes what is left of the part file
}

void TWebFileInfo::HttpDocData(qint64 BytesReceived, qint64 FileSize)
{
    if (auto* progress = qobject_cast<TWebDlProgress*>(FProgressForm.data());
        progress && !progress->cancelled())
        progress->showProgress(BytesReceived, FileSize);
    emit OnDownloadProgress(this, clamp32(BytesReceived), clamp32(FileSize));
}

TWebDlProgress* TWebFileInfo::CreateProgressForm()
{
    return new TWebDlProgress(FUIFont, FHttpClient);
}

QDialog* TWebFileInfo::CreateReadMeForm()
{
    if (!FHttpClient) {
        createHttpClient();
        applyProxy();
    }
    auto buffer = std::make_unique<QBuffer>();
    buffer->open(QIODevice::ReadWrite);
    prepareRequest(std::move(buffer), maxPageSize, m_totalTimeout);
    auto cleanup = qScopeGuard([this] {
        releaseStream();
        destroyWaitForm();
    });
    FHttpClient->setURL(FValues.ProductReadMe);
    FHttpClient->getAsync();

    FWaitForm = CreateWaitForm(QStringLiteral("Retrieving ReadMe..."));
    if (FHttpClient->busy())
        FWaitForm->exec();
    if (FHttpClient->busy())
        FHttpClient->abort();

    const auto* text = qobject_cast<QBuffer*>(FRcvdStream.get());
    if (FHttpClient->statusCode() > 200 || !text) {
        if (!m_waitEndedByFilter)
            FLastError = FHttpClient->reasonPhrase();
        return nullptr;
    }
    QStringList lines;
    for (const QByteArray& line : VersionPage::splitLines(text->data()))
        lines << QString::fromLocal8Bit(line);
    return new ReadMeForm(lines.join(u'\n'), FUIFont);
}

MessageButton TWebFileInfo::ask(const QString& caption, const QString& text)
{
    MessageRequest request;
    request.caption = caption;
    request.text = text;
    request.icon = MessageIcon::Question;
    request.buttons = MessageButton::Yes | MessageButton::No;
    request.defaultButton = MessageButton::Yes;
    request.escapeButton = MessageButton::No;
    return Dialogs::message(request);
}

// The first two lines of the questions about an available update.
QString TWebFileInfo::versionLines() const
{
    return QStringLiteral("Current version is %1.\rVersion %2 is available.")
        .arg(FCurrentVersion, FValues.ProductVersion);
}

#pragma once

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/HttpCli.h"
#include "update/VersionPage.h"

#include <QDialog>
#include <QFont>
#include <QObject>
#include <QPointer>

#include <initializer_list>
#include <memory>

class QCryptographicHash;
class QIODevice;
class TWebDlProgress;

// The behaviour switches of the web file information component, in this order.
enum TWfiOption : quint8
{
    wfioAlwaysOverwrite,
    wfioDisplayUI,
    wfioDisplayReadMe,
    wfioRunUpdate,
    wfioExitDuringUpdate
};

// A set of TWfiOption held in one byte, member n in bit n.
class TWfiOptions
{
public:
    constexpr TWfiOptions() = default;
    constexpr TWfiOptions(std::initializer_list<TWfiOption> options)
    {
        for (TWfiOption option : options)
            m_bits = quint8(m_bits | bit(option));
    }
    static constexpr TWfiOptions fromByte(quint8 bits)
    {
        TWfiOptions set;
        set.m_bits = bits;
        return set;
    }
    constexpr quint8 toByte() const { return m_bits; }
    constexpr bool contains(TWfiOption option) const { return (m_bits & bit(option)) != 0; }
    constexpr TWfiOptions operator+(TWfiOption option) const
    {
        return fromByte(quint8(m_bits | bit(option)));
    }
    constexpr TWfiOptions operator-(TWfiOption option) const
    {
        return fromByte(quint8(m_bits & ~bit(option)));
    }
    constexpr bool operator==(const TWfiOptions&) const = default;

private:
    static constexpr quint8 bit(TWfiOption option) { return quint8(1u << option); }
    quint8 m_bits = 0;
};
static_assert(sizeof(TWfiOptions) == 1);

// Finds out over HTTP whether a newer release exists: fetches the version page from HomeURL,
// reads its tag lines into the read-only properties and compares the versions. It waits for
// each request in a small modal window and reports failures through Dialogs and LastError.
//
// While a check runs, its exception filter sits in the application's exception-handler slot in
// front of the handler that was there: the HTTP client's own errors (EHttpException) end the
// wait and are reported here; every other error passes on unchanged.
class TWebFileInfo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE setActive STORED false)
    Q_PROPERTY(QString CurrentVersion READ CurrentVersion WRITE setCurrentVersion)
    Q_PROPERTY(TWfiDateFormat DateFormat READ DateFormat WRITE setDateFormat)
    Q_PROPERTY(QString DownloadURL READ DownloadURL)
    Q_PROPERTY(QString HomeURL READ HomeURL WRITE setHomeURL)
    Q_PROPERTY(TWfiTags InfoTags READ InfoTags WRITE setInfoTags)
    Q_PROPERTY(QString LastError READ LastError)
    Q_PROPERTY(TWfiOptions Options READ Options WRITE setOptions)
    Q_PROPERTY(QString ProductName READ ProductName)
    Q_PROPERTY(QString ProductAuthor READ ProductAuthor)
    Q_PROPERTY(QString ProductAuthorEMail READ ProductAuthorEMail)
    Q_PROPERTY(double ProductDate READ ProductDate)
    Q_PROPERTY(QString ProductDateStr READ ProductDateStr)
    Q_PROPERTY(QString ProductReadMe READ ProductReadMe)
    Q_PROPERTY(QString ProductReadMeExt READ ProductReadMeExt)
    Q_PROPERTY(QString ProductVersion READ ProductVersion)
    Q_PROPERTY(QString ProxyHost READ ProxyHost WRITE setProxyHost)
    Q_PROPERTY(qint32 ProxyPort READ ProxyPort WRITE setProxyPort)
    Q_PROPERTY(QString RunParams READ RunParams)
    Q_PROPERTY(QFont UIFont READ UIFont WRITE setUIFont)
    Q_PROPERTY(bool UIOwnerFont READ UIOwnerFont WRITE setUIOwnerFont)
    Q_PROPERTY(TWfiVersionFormat VersionFormat READ VersionFormat WRITE setVersionFormat)

public:
    // Modal results of the component's windows.
    static constexpr int mrOk = QDialog::Accepted;
    static constexpr int mrCancel = QDialog::Rejected;

    static constexpr qint64 maxPageSize = 1024 * 1024;
    static constexpr int maxPageRedirects = 10;

    explicit TWebFileInfo(QObject* owner = nullptr);
    ~TWebFileInfo() override;

    bool Active() const { return FActive; }
    void setActive(bool active); // false is stored; true is ignored
    QString CurrentVersion() const { return FCurrentVersion; }
    void setCurrentVersion(const QString& version) { FCurrentVersion = version; }
    TWfiDateFormat DateFormat() const { return FDateFormat; }
    void setDateFormat(TWfiDateFormat format) { FDateFormat = format; }
    QString DownloadURL() const { return FValues.DownloadURL; }
    QString HomeURL() const { return FHomeURL; }
    // Accepts an http:// or https:// address (any letter case) and makes the component not
    // active; ignores anything else.
    void setHomeURL(const QString& url);
    const TWfiTags& InfoTags() const { return FInfoTags; }
    TWfiTags& InfoTags() { return FInfoTags; }
    void setInfoTags(const TWfiTags& tags) { FInfoTags = tags; }
    QString LastError() const { return FLastError; }
    TWfiOptions Options() const { return FOptions; }
    void setOptions(TWfiOptions options) { FOptions = options + wfioDisplayUI; }
    QString ProductName() const { return FValues.ProductName; }
    QString ProductAuthor() const { return FValues.ProductAuthor; }
    QString ProductAuthorEMail() const { return FValues.ProductAuthorEMail; }
    double ProductDate() const { return FProductDate; } // days since 30 December 1899
    QString ProductDateStr() const { return FValues.ProductDateStr; }
    QString ProductReadMe() const { return FValues.ProductReadMe; }
    QString ProductReadMeExt() const { return FValues.ProductReadMeExt; }
    QString ProductVersion() const { return FValues.ProductVersion; }
    QString ProxyHost() const { return FProxyHost; }
    void setProxyHost(const QString& host) { FProxyHost = host; }
    qint32 ProxyPort() const { return FProxyPort; }
    void setProxyPort(qint32 port) { FProxyPort = port; }
    QString RunParams() const { return FValues.RunParams; }
    // Reading takes the owner window's font first while UIOwnerFont is set; writing stores a
    // copy and clears UIOwnerFont. The component's windows use the stored font as it is.
    QFont UIFont();
    void setUIFont(const QFont& font);
    bool UIOwnerFont() const { return FUIOwnerFont; }
    void setUIOwnerFont(bool owner) { FUIOwnerFont = owner; }
    TWfiVersionFormat VersionFormat() const { return FVersionFormat; }
    void setVersionFormat(TWfiVersionFormat format) { FVersionFormat = format; }

    // Makes sure the release facts are held: true at once while active, otherwise fetches and
    // reads the version page (following its redirects) and returns whether that succeeded.
    // A malformed date on the page ends it with EConvertError.
    bool GetInfo();
    // True if ProductVersion is newer than CurrentVersion; fetches nothing.
    bool IsNewVersion() const;

    // The update flow: offers the read-me, asks, lets the user choose the file, downloads it
    // with a progress dialog and starts it. True if the file was downloaded. A target that
    // cannot be created ends it with EFCreateError.
    bool Execute();
    // Shows the read-me, after asking when Ask is set: the external one is downloaded to the
    // temporary folder and opened, the text one shown in the read-me window if the external one
    // is missing or failed. True if a read-me was shown or tried.
    bool ShowReadMe(bool Ask);
    // Downloads DownloadURL to FileName; a FileName that ends with a separator names a folder,
    // and the file gets the name of the download in it. When the page gave a checksum the file
    // must match it.
    bool DownloadUpdate(const QString& FileName);
    // Downloads one address into one file while the progress dialog shows Title. The body goes
    // to "<FileName>.part", which replaces FileName only once the whole body arrived; a failed
    // or cancelled download removes it and leaves FileName as it was. Throws EFCreateError when
    // the file cannot be created.
    bool DownloadFile(const QString& URL, const QString& FileName, const QString& Title);

    // The name a download of DownloadURL gets: the text after its last "/", as of the last page
    // that was read whole.
    QString downloadFileName() const { return FDownloadFileName; }
    // The full path of the last update download.
    QString downloadPath() const { return FDownloadPath; }
    // The SHA-256 the page gives for the update file, as written; empty when it gives none.
    QString productSha256() const { return FValues.Sha256; }
    // The HTTP client, created at the first request; null before.
    HttpCli* httpClient() const { return FHttpClient; }
    // Time-outs of every request, in milliseconds (see HttpCli); they shorten in tests.
    void setRequestTimeouts(int idleMs, int totalMs);

signals:
    // For each piece of a download, after the progress dialog shows it, also after Cancel: the
    // body bytes received so far and the announced size (0: none announced). A count beyond
    // the 32-bit range comes as the largest 32-bit value.
    void OnDownloadProgress(TWebFileInfo* Sender, qint32 BytesReceived, qint32 FileSize);

private:
    class Filter : public ExceptionHandler
    {
    public:
        explicit Filter(TWebFileInfo& owner) : m_owner(owner) {}
        void handleException(QObject* sender, const Exception& error) override
        {
            m_owner.AppException(sender, error);
        }

    private:
        TWebFileInfo& m_owner;
    };

    void HookAppException();
    void AppException(QObject* sender, const Exception& error);
    void UnhookAppException();
    QDialog* CreateWaitForm(const QString& text);
    void RequestDone(HttpCli::RequestType rqType, quint16 error);
    QDialog* CreateReadMeForm();
    TWebDlProgress* CreateProgressForm();
    void HttpDocData(qint64 BytesReceived, qint64 FileSize);

    bool download(const QString& url, const QString& fileName, const QString& title,
                  const QString& sha256);
    void prepareRequest(std::unique_ptr<QIODevice> stream, qint64 maxBodySize, int totalTimeout);
    void applyProxy();
    MessageButton ask(const QString& caption, const QString& text);
    QString versionLines() const;

    bool fetchPage();
    void createHttpClient();
    void clearResults();
    void releaseStream();
    void destroyWaitForm();
    void showBox(const QString& caption, const QString& text,
                 MessageIcon icon = MessageIcon::Exclamation);

    bool FActive = false;
    QString FCurrentVersion;
    TWfiDateFormat FDateFormat = wfidDFSDate;
    QString FHomeURL;
    TWfiTags FInfoTags;
    QString FLastError;
    TWfiOptions FOptions{wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate};
    VersionPage::Values FValues; // the read-only results and FRedirectURL
    double FProductDate = 0;
    QString FProxyHost;
    qint32 FProxyPort = 80;
    QFont FUIFont;
    bool FUIOwnerFont = true;
    TWfiVersionFormat FVersionFormat = wfivBuildNumber;

    QString FDownloadFileName;
    QString FDownloadPath;
    QPointer<QDialog> FWaitForm;
    QPointer<QDialog> FProgressForm;
    ExceptionHandler* FOldAppException = nullptr;
    HttpCli* FHttpClient = nullptr;
    std::unique_ptr<QIODevice> FRcvdStream; // the receive stream of the running request
    QMetaObject::Connection FDocDataConnection;
    std::unique_ptr<QCryptographicHash> m_downloadHash; // of the running download, when checked

    Filter m_filter{*this};
    bool m_waitEndedByFilter = false;
    int m_idleTimeout = HttpCli::defaultIdleTimeout;
    int m_totalTimeout = HttpCli::defaultTotalTimeout;
};

Q_DECLARE_METATYPE(TWfiOptions)

// Sets up the main window's instance as this program uses it: object name "WebFileInfo",
// version "1.2.00", the product page as home address, the nine tag names of the version page
// with "sha256" for the update file's checksum, and Arial 12 pixels for its windows.
void configureProgramWebFileInfo(TWebFileInfo& info);

#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

// The version page: an ordinary web page whose META HTTP-EQUIV lines carry the facts of the
// newest release. This file holds the rules that read such a page; fetching it is the web file
// information component's job (WebFileInfo.h).

// How the date text of a page becomes a date.
enum TWfiDateFormat
{
    wfidDFSDate, // "April 20, 2004"
    wfidNone     // not parsed; the date stays 0
};

// How the newest version is compared with the running one.
enum TWfiVersionFormat
{
    wfivBuildNumber, // dotted numbers
    wfivSimpleString // texts by their 8-bit codes
};

// The tag names to look for, one per release fact. Empty names are matched by a tag line whose
// own name is empty.
struct TWfiTags
{
    Q_GADGET
    Q_PROPERTY(QString AuthorTag MEMBER AuthorTag)
    Q_PROPERTY(QString AuthorEMailTag MEMBER AuthorEMailTag)
    Q_PROPERTY(QString DateTag MEMBER DateTag)
    Q_PROPERTY(QString DownloadTag MEMBER DownloadTag)
    Q_PROPERTY(QString ProductNameTag MEMBER ProductNameTag)
    Q_PROPERTY(QString ReadMeTag MEMBER ReadMeTag)
    Q_PROPERTY(QString ReadMeExtTag MEMBER ReadMeExtTag)
    Q_PROPERTY(QString RedirectTag MEMBER RedirectTag)
    Q_PROPERTY(QString RunParamsTag MEMBER RunParamsTag)
    Q_PROPERTY(QString VersionTag MEMBER VersionTag)
    Q_PROPERTY(QString Sha256Tag MEMBER Sha256Tag)

public:
    QString AuthorTag;
    QString AuthorEMailTag;
    QString DateTag;
    QString DownloadTag;
    QString ProductNameTag;
    QString ReadMeTag;
    QString ReadMeExtTag;
    QString RedirectTag;
    QString RunParamsTag;
    QString VersionTag;
    // The SHA-256 of the update file, 64 hexadecimal digits, that a download must match.
    QString Sha256Tag;

    bool allEmpty() const;
    bool operator==(const TWfiTags&) const = default;
};

namespace VersionPage {

// What one page gives; every text is empty when the page does not name it.
struct Values
{
    QString ProductName;
    QString ProductReadMe;
    QString ProductReadMeExt;
    QString ProductVersion;
    QString ProductDateStr;
    QString ProductAuthor;
    QString ProductAuthorEMail;
    QString DownloadURL;
    QString RedirectURL;
    QString RunParams;
    QString Sha256;

    bool operator==(const Values&) const = default;
};

// The body as 8-bit text cut into lines: a line ends at CR, LF or CR LF, and a NUL byte ends
// the text.
QList<QByteArray> splitLines(const QByteArray& body);

// Reads every tag line into `values`: a value is written only when its tag name occurs, so a
// later occurrence replaces an earlier one and untouched values keep what they held.
void ParseTags(const QList<QByteArray>& lines, const TWfiTags& tags, Values& values);

// The tag name and value of one line, or nothing when the line is no tag line.
struct TagLine
{
    QString name;
    QString value;
};
std::optional<TagLine> readTagLine(const QByteArray& line);

// The date of a page as days since 30 December 1899; wfidNone gives 0. Throws EConvertError
// when the text does not name a real calendar date.
double ParseDate(const QString& text, TWfiDateFormat format);

// The name the Save dialog proposes for a download address: the text after its last "/".
QString downloadFileName(const QString& downloadUrl);

// True when `product` is newer than `current`.
bool IsNewVersion(const QString& current, const QString& product, TWfiVersionFormat format);

} // namespace VersionPage

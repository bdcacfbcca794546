#include "update/VersionPage.h"

#include "platform/Exceptions.h"

#include <QDate>

#include <limits>

namespace {

// The page's texts are 8-bit; the windows below count bytes, like the page format does.
constexpr qsizetype window = 1000;

QByteArray asciiUpper(const QByteArray& text)
{
    QByteArray out = text;
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// The text from `start` up to, not including, the next double quote within the window; empty
// when no double quote follows in time.
QByteArray upToQuote(const QByteArray& line, qsizetype start)
{
    const QByteArray part = line.mid(start, window);
    const qsizetype quote = part.indexOf('"');
    return quote < 0 ? QByteArray() : part.left(quote);
}

// An integer as the page format reads it: leading blanks skipped, an optional sign, decimal
// digits and nothing after them, within the signed 32-bit range.
std::optional<qint32> readInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

[[noreturn]] void badDate(const QString& text)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
}

} // namespace

bool TWfiTags::allEmpty() const
{
    for (const QString* tag :
         {&AuthorTag, &AuthorEMailTag, &DateTag, &DownloadTag, &ProductNameTag, &ReadMeTag,
          &ReadMeExtTag, &RedirectTag, &RunParamsTag, &VersionTag, &Sha256Tag}) {
        if (!tag->isEmpty())
            return false;
    }
    return true;
}

namespace VersionPage {

QList<QByteArray> splitLines(const QByteArray& body)
{
    QList<QByteArray> lines;
    const qsizetype nul = body.indexOf('\0');
    const qsizetype end = nul < 0 ? body.size() : nul;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < end) {
        const char c = body.at(i);
        if (c == '\r' || c == '\n') {
            lines.append(body.mid(start, i - start));
            if (c == '\r' && i + 1 < end && body.at(i + 1) == '\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < end)
        lines.append(body.mid(start, end - start));
    return lines;
}

std::optional<TagLine> readTagLine(const QByteArray& line)
{
    static const QByteArray marker = QByteArrayLiteral("META HTTP-EQUIV");
    static const QByteArray content = QByteArrayLiteral("CONTENT=");

    const qsizetype tag = asciiUpper(line).indexOf(marker);
    if (tag < 0)
        return std::nullopt;
    // The two characters after the marker ('=' and the opening quote) are skipped unseen.
    const QByteArray name = upToQuote(line, tag + marker.size() + 2);
    // "CONTENT=" is looked for in the line as written; without it the value starts at the
    // ninth character, as if the text stood just before the line. The character after its "="
    // is skipped unseen.
    const qsizetype at = line.indexOf(content);
    const QByteArray value = upToQuote(line, at < 0 ? content.size() : at + content.size() + 1);
    return TagLine{QString::fromLocal8Bit(name), QString::fromLocal8Bit(value)};
}

void ParseTags(const QList<QByteArray>& lines, const TWfiTags& tags, Values& values)
{
    const std::pair<const QString*, QString*> targets[] = {
        {&tags.ProductNameTag, &values.ProductName},
        {&tags.ReadMeTag, &values.ProductReadMe},
        {&tags.ReadMeExtTag, &values.ProductReadMeExt},
        {&tags.VersionTag, &values.ProductVersion},
        {&tags.DateTag, &values.ProductDateStr},
        {&tags.AuthorTag, &values.ProductAuthor},
        {&tags.AuthorEMailTag, &values.ProductAuthorEMail},
        {&tags.DownloadTag, &values.DownloadURL},
        {&tags.RedirectTag, &values.RedirectURL},
        {&tags.RunParamsTag, &values.RunParams},
        {&tags.Sha256Tag, &values.Sha256},
    };
    for (const QByteArray& line : lines) {
        const std::optional<TagLine> tag = readTagLine(line);
        if (!tag)
            continue;
        for (const auto& [configured, target] : targets) {
            if (*configured == tag->name)
                *target = tag->value;
        }
    }
}

double ParseDate(const QString& text, TWfiDateFormat format)
{
    if (format == wfidNone)
        return 0;

    static const QString months = QStringLiteral("JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC");
    QString head = text.left(3);
    for (QChar& c : head) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    // A three-letter piece that straddles two names still counts: the position decides.
    const qsizetype found = head.isEmpty() ? -1 : months.indexOf(head);
    const int month = found < 0 ? 0 : int(found + 1 + 2) / 3;

    // The day is the two characters before the first comma; with no comma, or one too near the
    // start, the first two characters of the text.
    const qsizetype comma = text.indexOf(u',');
    const qsizetype dayStart = std::max<qsizetype>(comma - 2, 0);
    const std::optional<qint32> day = readInteger(QStringView(text).mid(dayStart, 2));
    const std::optional<qint32> year = readInteger(QStringView(text).right(4));
    if (!day || !year)
        badDate(text);

    if (*year < 1 || *year > 9999 || !QDate::isValid(*year, month, *day))
        badDate(text);
    return double(QDate(1899, 12, 30).daysTo(QDate(*year, month, *day)));
}

QString downloadFileName(const QString& downloadUrl)
{
    qsizetype pos = 0;
    for (;;) {
        const qsizetype slash = QStringView(downloadUrl).mid(pos, window).indexOf(u'/');
        if (slash < 0)
            break;
        pos += slash + 1;
    }
    return downloadUrl.mid(pos, window);
}

bool IsNewVersion(const QString& current, const QString& product, TWfiVersionFormat format)
{
    if (format == wfivSimpleString)
        return current.toLocal8Bit() < product.toLocal8Bit();

    // One pass per part of the running version; a shorter newest version has its last part
    // compared again with each remaining part.
    QString a = current;
    QString b = product;
    for (;;) {
        const qsizetype p = a.indexOf(u'.') + 1;
        const qsizetype q = b.indexOf(u'.') + 1;
        const qint32 x =
            readInteger(p > 0 ? QStringView(a).left(p - 1) : QStringView(a)).value_or(0);
        const qint32 y =
            readInteger(q > 0 ? QStringView(b).left(q - 1) : QStringView(b)).value_or(0);
        if (x < y)
            return true;
        if (x > y)
            return false;
        a.remove(0, p);
        b.remove(0, q);
        if (p == 0)
            return false;
    }
}

} // namespace VersionPage

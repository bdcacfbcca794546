#include "platform/ProfileFile.h"

#include "platform/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

const QByteArray byteOrderMark("\xEF\xBB\xBF");

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArray trimmedBlanks(QByteArrayView bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    return bytes.sliced(begin, end - begin).toByteArray();
}

// Files written by this program are UTF-8; older or hand-edited ones may hold 8-bit text in
// the Western code page, which Latin-1 reads for every byte.
QString decode(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString quoted(const QString& path)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

} // namespace

ProfileFile::ProfileFile(const QString& folder, const QString& name)
    : m_path(QDir(folder).filePath(resolveName(folder, name)))
{
    load();
}

QString ProfileFile::resolveName(const QString& folder, const QString& name)
{
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    QString found;
    for (const QString& entry : entries) {
        if (sameName(entry, name) && (found.isNull() || entry < found))
            found = entry;
    }
    return found.isNull() ? name : found;
}

void ProfileFile::load()
{
    const QFileInfo info(m_path);
    // A folder in the file's place holds no keys; save() reports that it cannot replace it.
    if (!info.exists() || info.isDir())
        return;
    const auto cannotOpen = [this](const QString& reason) {
        m_readError = QStringLiteral("Cannot open file %1. %2").arg(quoted(m_path), reason);
    };
    // Pipes and devices would block or never end.
    if (!info.isFile())
        return cannotOpen(QStringLiteral("It is not a regular file"));
    const QString tooLarge = QStringLiteral("It is larger than %1 MB").arg(maxFileSize >> 20);
    if (info.size() > maxFileSize)
        return cannotOpen(tooLarge);
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return cannotOpen(file.errorString());
    // In pieces, so that a file that grows while it is read still stops at the limit.
    QByteArray data;
    data.reserve(info.size());
    while (data.size() <= maxFileSize) {
        const QByteArray piece = file.read(64 * 1024);
        if (file.error() != QFileDevice::NoError)
            return cannotOpen(file.errorString());
        if (piece.isEmpty())
            break;
        data += piece;
    }
    if (data.size() > maxFileSize)
        return cannotOpen(tooLarge);

    if (data.startsWith(byteOrderMark)) {
        m_byteOrderMark = true;
        data.remove(0, byteOrderMark.size());
    }
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype newline = data.indexOf('\n', start);
        if (newline < 0) {
            m_lines.append(parseLine(data.sliced(start), QByteArray()));
            break;
        }
        const bool crlf = newline > start && data[newline - 1] == '\r';
        const qsizetype textEnd = crlf ? newline - 1 : newline;
        m_lines.append(parseLine(data.sliced(start, textEnd - start),
                                 crlf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n")));
        start = newline + 1;
    }
}

ProfileFile::Line ProfileFile::parseLine(QByteArray text, QByteArray end)
{
    Line line;
    line.text = std::move(text);
    line.end = std::move(end);
    const QByteArray& t = line.text;
    qsizetype first = 0;
    while (first < t.size() && isBlank(t[first]))
        ++first;
    if (first == t.size() || t[first] == ';')
        return line;

    if (t[first] == '[') {
        // A header without its "]" still opens a section, so that the keys under it are not
        // taken for keys of the section before.
        qsizetype close = t.indexOf(']', first + 1);
        if (close < 0)
            close = t.size();
        line.kind = Kind::Section;
        line.name = decode(trimmedBlanks(QByteArrayView(t).sliced(first + 1, close - first - 1)));
        return line;
    }

    const qsizetype equals = t.indexOf('=', first);
    if (equals < 0)
        return line;
    const QByteArray key = trimmedBlanks(QByteArrayView(t).sliced(first, equals - first));
    if (key.isEmpty())
        return line;
    line.kind = Kind::Key;
    line.name = decode(key);
    line.valueStart = equals + 1;
    while (line.valueStart < t.size() && isBlank(t[line.valueStart]))
        ++line.valueStart;
    line.valueEnd = t.size();
    while (line.valueEnd > line.valueStart && isBlank(t[line.valueEnd - 1]))
        --line.valueEnd;
    return line;
}

qsizetype ProfileFile::findSection(const QString& section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, section))
            return i;
    }
    return -1;
}

qsizetype ProfileFile::findKey(qsizetype sectionLine, const QString& key) const
{
    for (qsizetype i = sectionLine + 1; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section)
            break;
        if (m_lines[i].kind == Kind::Key && sameName(m_lines[i].name, key))
            return i;
    }
    return -1;
}

std::optional<QString> ProfileFile::readValue(const QString& section, const QString& key) const
{
    const qsizetype s = findSection(section);
    if (s < 0)
        return std::nullopt;
    const qsizetype k = findKey(s, key);
    if (k < 0)
        return std::nullopt;
    const Line& line = m_lines[k];
    QString value =
        decode(QByteArrayView(line.text).sliced(line.valueStart, line.valueEnd - line.valueStart));
    if (value.size() > maxValueLength) {
        qsizetype length = maxValueLength;
        if (value[length - 1].isHighSurrogate())
            --length; // never half a character
        value.truncate(length);
    }
    return value;
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const
{
    return readValue(section, key).value_or(defaultValue);
}

void ProfileFile::writeString(const QString& section, const QString& key, const QString& value)
{
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray bytes = oneLine.toUtf8();
    const QByteArray keyLine = key.toUtf8() + '=' + bytes;

    const qsizetype s = findSection(section);
    if (s < 0) {
        const qsizetype header = insertLine(m_lines.size(), '[' + section.toUtf8() + ']');
        insertLine(header + 1, keyLine);
        return;
    }
    const qsizetype k = findKey(s, key);
    if (k >= 0) {
        Line& line = m_lines[k];
        QByteArray text = line.text;
        text.replace(line.valueStart, line.valueEnd - line.valueStart, bytes);
        line = parseLine(std::move(text), line.end);
        return;
    }
    qsizetype after = s;
    for (qsizetype i = s + 1; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
        if (m_lines[i].kind == Kind::Key)
            after = i;
    }
    insertLine(after + 1, keyLine);
}

qsizetype ProfileFile::insertLine(qsizetype at, const QByteArray& text)
{
    const QByteArray end = lineEnd();
    // Only the last line can lack a line end; it needs one before anything follows it.
    if (at > 0 && m_lines[at - 1].end.isEmpty())
        m_lines[at - 1].end = end;
    m_lines.insert(at, parseLine(text, end));
    return at;
}

QByteArray ProfileFile::lineEnd() const
{
    for (const Line& line : m_lines) {
        if (!line.end.isEmpty())
            return line.end;
    }
    return QByteArrayLiteral("\n");
}

QByteArray ProfileFile::contents() const
{
    qsizetype size = m_byteOrderMark ? byteOrderMark.size() : 0;
    for (const Line& line : m_lines)
        size += line.text.size() + line.end.size();
    QByteArray data;
    data.reserve(size);
    if (m_byteOrderMark)
        data += byteOrderMark;
    for (const Line& line : m_lines) {
        data += line.text;
        data += line.end;
    }
    return data;
}

void ProfileFile::save()
{
    // Replacing a file whose content was never read would lose whatever it holds.
    if (!m_readError.isEmpty())
        throw EFOpenError(m_readError);

    QSaveFile file(m_path);
    // Unbuffered, so that a short write shows in write()'s count: a buffered QSaveFile loses
    // a short write at its final flush and commits the truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw EFCreateError(
            QStringLiteral("Cannot create file %1. %2").arg(quoted(m_path), file.errorString()));
    }
    const QByteArray data = contents();
    const qint64 written = file.write(data);
    if (written != data.size()) {
        const QString reason =
            written < 0 ? file.errorString()
                        : QStringLiteral("Only %1 of %2 bytes could be written (disk full?)")
                              .arg(written)
                              .arg(data.size());
        file.cancelWriting(); // the old file stays as it was
        throw EWriteError(QStringLiteral("Cannot write file %1. %2").arg(quoted(m_path), reason));
    }
    if (!file.commit()) {
        throw EWriteError(
            QStringLiteral("Cannot write file %1. %2").arg(quoted(m_path), file.errorString()));
    }
}

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A settings file in the INI format: "[section]" lines open a section, "key=value" lines follow.
//
// The whole file is read once when the object is made and held as raw lines; reads and writes
// work on that copy, and save() writes it back in one piece. Lines that no write touched keep
// their bytes exactly (line ends, stray bytes, comments, a UTF-8 byte-order mark), so a file
// that also holds other sections or hand-written notes survives a save.
//
// Reading:
// - section and key names are matched without regard to letter case;
// - a value loses its surrounding blanks and is cut to maxValueLength characters;
// - when a section or a key occurs more than once, the first one counts, for reading and for
//   writing alike, so that what is written is always what is read back. The first one is also
//   what the Windows profile services read, so a file shared with such a copy reads the same;
// - lines before the first section header, lines starting with ";" and lines without "=" hold
//   no keys;
// - text is decoded as UTF-8 when it is valid UTF-8, otherwise as Latin-1.
//
// Writing:
// - an existing key gets the new value in place of the old one (the key's spelling, the "=" and
//   the blanks around them stay);
// - a missing key is added after the last key line of its section, so blank lines and comments
//   that end the section stay where they are;
// - a missing section is added at the end of the file;
// - new lines take the line end of the file's first line ("\n" for a new file), values are
//   written as UTF-8, and line breaks in a value become blanks so that a value can never start
//   a line of its own.
class ProfileFile
{
public:
    static constexpr qsizetype maxValueLength = 2047;
    // A settings file is a few hundred bytes; anything past this is not one, and reading it
    // whole would only exhaust memory.
    static constexpr qint64 maxFileSize = 16 * 1024 * 1024;

    // Opens `name` in `folder`. The name is matched against the folder's entries without regard
    // to letter case (see resolveName), so "Kestrava.Ini" and "kestrava.ini" name one file.
    //
    // A missing file, a missing folder, or a folder in the file's place read as a file without
    // keys. A file that exists but cannot be read (no permission, larger than maxFileSize) also
    // reads as a file without keys, so that reading never stops a start; readError() then says
    // why, and save() refuses to replace the file whose content it never saw.
    ProfileFile(const QString& folder, const QString& name);

    // The entry of `folder` whose name equals `name` apart from letter case, or `name` itself
    // when there is none. When several entries match (possible on a case-sensitive file
    // system), the first in code-point order is taken whatever the case of `name`, so every
    // spelling of the name picks the same entry.
    static QString resolveName(const QString& folder, const QString& name);

    // The full path of the resolved file.
    QString filePath() const { return m_path; }

    // Why an existing file could not be read; empty when it was read or does not exist.
    QString readError() const { return m_readError; }

    // The value of `key` in `section`, or nothing when the section or the key is missing.
    std::optional<QString> readValue(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const;

    // Sets `key` in `section` in memory; save() writes it. Section and key names are plain
    // names chosen by the program: not empty, without line breaks, "[", "]" or "=".
    void writeString(const QString& section, const QString& key, const QString& value);

    // Writes the whole file atomically: a save that fails leaves the previous file as it was.
    // Throws EFOpenError when the file could not be read when it was opened, EFCreateError
    // when the file cannot be created or replaced (missing folder, a folder in its place, a
    // read-only file), EWriteError when writing or committing fails; each message names the
    // file and the reason. Every call writes all lines again, so a save after a failure
    // retries everything.
    void save();

private:
    enum class Kind
    {
        Other,
        Section,
        Key
    };

    struct Line
    {
        QByteArray text; // without the line end
        QByteArray end;  // "\n", "\r\n", or empty for a last line without one
        Kind kind = Kind::Other;
        QString name;           // section or key name, for Section and Key lines
        qsizetype valueStart{}; // for Key lines: the value's bytes without surrounding blanks
        qsizetype valueEnd{};
    };

    void load();
    static Line parseLine(QByteArray text, QByteArray end);
    qsizetype findSection(const QString& section) const;
    qsizetype findKey(qsizetype sectionLine, const QString& key) const;
    qsizetype insertLine(qsizetype at, const QByteArray& text);
    QByteArray lineEnd() const;
    QByteArray contents() const;

    QString m_path;
    QString m_readError;
    bool m_byteOrderMark = false;
    QList<Line> m_lines;
};

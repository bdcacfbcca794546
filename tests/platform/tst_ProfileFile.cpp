#include "platform/Exceptions.h"
#include "platform/ProfileFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#if __has_include(<sys/resource.h>)
#include <csignal>
#include <sys/resource.h>
#define HAVE_FILE_SIZE_LIMIT 1
#endif

namespace {

const QString iniName = QStringLiteral("kestrava.ini");
const QString readName = QStringLiteral("Kestrava.Ini");

void writeBytes(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(data), data.size());
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Reproducible bytes of every value, NUL, CR, LF, "[" and "=" among them.
QByteArray garbage(qsizetype size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

// The whole literal, NUL bytes included.
template <qsizetype N> QByteArray nul(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

// The keys the program writes, in the order it writes them.
void writeProgramKeys(ProfileFile& file)
{
    file.writeString("LastValues", "Loan", "42");
    file.writeString("GeneralValues", "Run", "1");
}

} // namespace

class tst_ProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void read_data();
    void read();
    void write_data();
    void write();
    void lineBreaksInAValue();
    void resolveName_data();
    void resolveName();
    void readAndWriteNamesShareOneFile();
    void hostileFiles_data();
    void hostileFiles();
    void saveFailsWhenTheFolderIsMissing();
    void saveFailsWhenAFolderTakesTheName();
    void failedWriteKeepsTheOldFile();
    void readOnlyFileIsKept();
    void unreadableFileIsNotReplaced_data();
    void unreadableFileIsNotReplaced();
};

void tst_ProfileFile::read_data()
{
    QTest::addColumn<QByteArray>("content"); // a null array: no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");

    const QString lv = QStringLiteral("LastValues");
    const QString loan = QStringLiteral("Loan");
    const QString freq = QStringLiteral("Frequency");
    const QByteArray digits = QByteArray("0123456789").repeated(500);
    const QByteArray megabyte(1 << 20, 'x');

    QTest::newRow("no file") << QByteArray() << lv << loan << false << QString();
    QTest::newRow("empty file") << QByteArray("") << lv << loan << false << QString();
    QTest::newRow("plain key") << QByteArray("[LastValues]\nLoan=5\n") << lv << loan << true << "5";
    QTest::newRow("blanks and tabs around the value dropped")
        << QByteArray("[LastValues]\nLoan = \t 5 0 \t\n") << lv << loan << true << "5 0";
    QTest::newRow("section and key in another letter case")
        << QByteArray("[LASTVALUES]\nloan=5\n") << lv << loan << true << "5";
    QTest::newRow("key of another section")
        << QByteArray("[Other]\nLoan=5\n[LastValues]\nInterest=1\n") << lv << loan << false
        << QString();
    QTest::newRow("key before the first section")
        << QByteArray("Loan=5\n[LastValues]\n") << lv << loan << false << QString();
    QTest::newRow("first of duplicate keys")
        << QByteArray("[LastValues]\nLoan=1\nLOAN=2\n") << lv << loan << true << "1";
    QTest::newRow("first of duplicate sections")
        << QByteArray("[LastValues]\nInterest=1\n[Other]\n[lastvalues]\nLoan=2\n") << lv << loan
        << false << QString();
    QTest::newRow("commented keys")
        << QByteArray("[LastValues]\n;Loan=5\n  ; Loan=6\n") << lv << loan << false << QString();
    QTest::newRow("line without equals sign, last line without line end")
        << QByteArray("[LastValues]\nLoan\nLoan=7") << lv << loan << true << "7";
    QTest::newRow("equals sign inside the value")
        << QByteArray("[LastValues]\nFrequency=a=b\n") << lv << freq << true << "a=b";
    QTest::newRow("empty value") << QByteArray("[LastValues]\nLoan=\n") << lv << loan << true << "";
    QTest::newRow("blank value") << QByteArray("[LastValues]\nLoan=  \t\n") << lv << loan << true
                                 << "";
    QTest::newRow("CRLF line ends")
        << QByteArray("[LastValues]\r\nLoan=5\r\n") << lv << loan << true << "5";
    QTest::newRow("CRLF and LF mixed")
        << QByteArray("[Other]\r\nx=1\n[LastValues]\r\nLoan=5\n") << lv << loan << true << "5";
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBF[LastValues]\r\nLoan=5\r\n") << lv << loan << true << "5";
    QTest::newRow("blanks around the section header")
        << QByteArray("  [ LastValues ]  \nLoan=5\n") << lv << loan << true << "5";
    QTest::newRow("header without closing bracket keeps its keys")
        << QByteArray("[Other]\nLoan=1\n[LastValues\nLoan=5\n") << lv << loan << true << "5";
    QTest::newRow("UTF-8 value") << QByteArray("[LastValues]\nFrequency=M\xC3\xB6nthly 12\n") << lv
                                 << freq << true << QString::fromUtf8("M\u00F6nthly 12");
    QTest::newRow("8-bit value read as Latin-1")
        << QByteArray("[LastValues]\nFrequency=M\xF6nthly 12\n") << lv << freq << true
        << QString::fromUtf8("M\u00F6nthly 12");
    QTest::newRow("NUL bytes kept in the value") << nul("[LastValues]\nFrequency=a\0b\n") << lv
                                                 << freq << true << QString::fromUtf8(nul("a\0b"));
    QTest::newRow("5000 characters cut to 2047")
        << QByteArray("[LastValues]\nFrequency=" + digits + "\n") << lv << freq << true
        << QString::fromLatin1(digits.left(2047));
    QTest::newRow("cut keeps a character whole")
        << QByteArray("[LastValues]\nFrequency=" + QByteArray(2046, 'a') + "\xF0\x9F\x98\x80z\n")
        << lv << freq << true << QString(2046, QLatin1Char('a'));
    QTest::newRow("1 MB value cut to 2047")
        << QByteArray("[LastValues]\nFrequency= " + megabyte) << lv << freq << true
        << QString(2047, QLatin1Char('x'));
    QTest::newRow("1 MB line before the section")
        << QByteArray(megabyte + "\n[LastValues]\nLoan=5\n") << lv << loan << true << "5";
    QTest::newRow("binary garbage before the section")
        << QByteArray(garbage(4096, 1) + "\n[LastValues]\nLoan=5\n") << lv << loan << true << "5";
    QTest::newRow("binary garbage only") << garbage(4096, 2) << lv << loan << false << QString();
}

void tst_ProfileFile::read()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, present);
    QFETCH(QString, value);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (!content.isNull())
        writeBytes(dir.filePath(iniName), content);

    const ProfileFile file(dir.path(), readName);
    QCOMPARE(file.readError(), QString());
    const std::optional<QString> read = file.readValue(section, key);
    QCOMPARE(read.has_value(), present);
    QCOMPARE(read.value_or(QString()), value);
    QCOMPARE(file.readString(section, key, "default"), present ? value : QString("default"));
}

void tst_ProfileFile::write_data()
{
    QTest::addColumn<QByteArray>("before");  // a null array: no file
    QTest::addColumn<QStringList>("writes"); // "section|key|value"
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("replace in place keeps the key's spelling and blanks")
        << QByteArray("[LastValues]\n  LOAN = 1 ; old \nInterest=2\n")
        << QStringList{"LastValues|Loan|7"}
        << QByteArray("[LastValues]\n  LOAN = 7 \nInterest=2\n");
    QTest::newRow("replace keeps CRLF and other sections")
        << QByteArray("[A]\r\nx=1\r\n[B]\r\nx=1\r\n") << QStringList{"A|x|2"}
        << QByteArray("[A]\r\nx=2\r\n[B]\r\nx=1\r\n");
    QTest::newRow("first of duplicate keys replaced")
        << QByteArray("[A]\nx=1\nx=2\n") << QStringList{"A|x|3"} << QByteArray("[A]\nx=3\nx=2\n");
    QTest::newRow("append after the last key, before closing comments and blank lines")
        << QByteArray("[A]\nx=1\n; note\ny=2\n\n; about B\n\n[B]\nz=3\n") << QStringList{"A|w|4"}
        << QByteArray("[A]\nx=1\n; note\ny=2\nw=4\n\n; about B\n\n[B]\nz=3\n");
    QTest::newRow("append to a section without keys")
        << QByteArray("[A]\n\n[B]\nz=3\n") << QStringList{"A|w|4"}
        << QByteArray("[A]\nw=4\n\n[B]\nz=3\n");
    QTest::newRow("append to the first of duplicate sections")
        << QByteArray("[A]\nx=1\n[B]\n[a]\nw=9\n") << QStringList{"A|w|4"}
        << QByteArray("[A]\nx=1\nw=4\n[B]\n[a]\nw=9\n");
    QTest::newRow("append to a section in another letter case")
        << QByteArray("[lastvalues]\nloan=1\n") << QStringList{"LastValues|Interest|8.75"}
        << QByteArray("[lastvalues]\nloan=1\nInterest=8.75\n");
    QTest::newRow("append after a last line without line end")
        << QByteArray("[A]\r\nx=1") << QStringList{"A|y|2"} << QByteArray("[A]\r\nx=1\r\ny=2\r\n");
    QTest::newRow("new section at the end of the file")
        << QByteArray("[B]\nz=3\n\n") << QStringList{"A|x|1"}
        << QByteArray("[B]\nz=3\n\n[A]\nx=1\n");
    QTest::newRow("new section after a last line without line end")
        << QByteArray("; only a comment") << QStringList{"A|x|1"}
        << QByteArray("; only a comment\n[A]\nx=1\n");
    QTest::newRow("new section takes the file's CRLF")
        << QByteArray("[B]\r\nz=3\r\n") << QStringList{"A|x|1"}
        << QByteArray("[B]\r\nz=3\r\n[A]\r\nx=1\r\n");
    QTest::newRow("a key before the first section is not the section's")
        << QByteArray("x=0\n[A]\n") << QStringList{"A|x|1"} << QByteArray("x=0\n[A]\nx=1\n");
    QTest::newRow("byte-order mark kept")
        << QByteArray("\xEF\xBB\xBF[A]\r\nx=1\r\n") << QStringList{"A|x|2"}
        << QByteArray("\xEF\xBB\xBF[A]\r\nx=2\r\n");
    QTest::newRow("other lines kept byte for byte")
        << nul("junk \xFF\0\x01\n[Other]\n ; comment \nk = v \t\nM\xF6nthly=1\n\n[A]\nx=1\n")
        << QStringList{"A|x|2"}
        << nul("junk \xFF\0\x01\n[Other]\n ; comment \nk = v \t\nM\xF6nthly=1\n\n[A]\nx=2\n");
    const QStringList programKeys{
        "LastValues|Loan|100000",   "LastValues|Interest|8.75",        "LastValues|term|360",
        "LastValues|Payment|786.7", "LastValues|Frequency|Monthly 12", "GeneralValues|Run|1"};
    const QByteArray fromScratch("[LastValues]\nLoan=100000\nInterest=8.75\nterm=360\n"
                                 "Payment=786.7\nFrequency=Monthly 12\n[GeneralValues]\nRun=1\n");
    QTest::newRow("created from scratch in the order written")
        << QByteArray() << programKeys << fromScratch;
    QTest::newRow("empty file filled in the order written")
        << QByteArray("") << programKeys << fromScratch;
    QTest::newRow("a key written twice keeps one line")
        << QByteArray() << QStringList{"A|x|1", "A|x|2"} << QByteArray("[A]\nx=2\n");
    QTest::newRow("non-ASCII value written as UTF-8")
        << QByteArray() << QStringList{QString::fromUtf8("A|f|M\u00F6nthly")}
        << QByteArray("[A]\nf=M\xC3\xB6nthly\n");
}

void tst_ProfileFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, writes);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(iniName);
    if (!before.isNull())
        writeBytes(path, before);

    ProfileFile file(dir.path(), iniName);
    for (const QString& write : writes) {
        const QStringList parts = write.split(QLatin1Char('|'));
        file.writeString(parts[0], parts[1], parts[2]);
    }
    file.save();
    QCOMPARE(readBytes(path), after);
    QCOMPARE(entries(dir.path()), QStringList{iniName});

    // What was written is what is read back, through the other spelling of the name.
    const ProfileFile reread(dir.path(), readName);
    QStringList seen;
    for (auto it = writes.crbegin(); it != writes.crend(); ++it) {
        const QStringList parts = it->split(QLatin1Char('|'));
        const QString id = (parts[0] + QLatin1Char('|') + parts[1]).toLower();
        if (seen.contains(id))
            continue;
        seen << id;
        QCOMPARE(reread.readValue(parts[0], parts[1]), std::optional<QString>(parts[2]));
    }
}

void tst_ProfileFile::lineBreaksInAValue()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ProfileFile file(dir.path(), iniName);
    file.writeString("A", "x", "1\r\n[B]\ny=2");
    file.save();

    QCOMPARE(readBytes(dir.filePath(iniName)), QByteArray("[A]\nx=1  [B] y=2\n"));
    const ProfileFile reread(dir.path(), iniName);
    QCOMPARE(reread.readValue("A", "x"), std::optional<QString>("1  [B] y=2"));
    QCOMPARE(reread.readValue("B", "y"), std::nullopt);
}

void tst_ProfileFile::resolveName_data()
{
    QTest::addColumn<QStringList>("existing"); // a trailing "/" makes a folder
    QTest::addColumn<QString>("resolved");     // empty: no entry matches

    QTest::newRow("no file") << QStringList{} << QString();
    QTest::newRow("lower case") << QStringList{"kestrava.ini"} << "kestrava.ini";
    QTest::newRow("mixed case") << QStringList{"Kestrava.Ini"} << "Kestrava.Ini";
    QTest::newRow("upper case") << QStringList{"KESTRAVA.INI"} << "KESTRAVA.INI";
    QTest::newRow("similar names do not count")
        << QStringList{"kestrava.ini.bak", "kestrava.hlp", "xkestrava.ini"} << QString();
    QTest::newRow("a folder takes the name") << QStringList{"KESTRAVA.ini/"} << "KESTRAVA.ini";
    QTest::newRow("several spellings: every name picks the same one")
        << QStringList{"kestrava.ini", "Kestrava.Ini", "KESTRAVA.INI"} << "KESTRAVA.INI";
}

void tst_ProfileFile::resolveName()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, resolved);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString& entry : existing) {
        if (entry.endsWith(QLatin1Char('/')))
            QVERIFY(QDir(dir.path()).mkdir(entry.chopped(1)));
        else
            writeBytes(dir.filePath(entry), "[A]\n");
    }
    for (const QString& name : {readName, iniName, QStringLiteral("KESTRAVA.INI")}) {
        const QString expected = resolved.isEmpty() ? name : resolved;
        QCOMPARE(ProfileFile::resolveName(dir.path(), name), expected);
        QCOMPARE(ProfileFile(dir.path(), name).filePath(), dir.filePath(expected));
    }
}

void tst_ProfileFile::readAndWriteNamesShareOneFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeBytes(dir.filePath(readName), "[LastValues]\nLoan=5\n");

    ProfileFile written(dir.path(), iniName);
    QCOMPARE(written.readString("LastValues", "Loan"), "5");
    written.writeString("LastValues", "Loan", "7");
    written.save();

    QCOMPARE(entries(dir.path()), QStringList{readName});
    QCOMPARE(ProfileFile(dir.path(), readName).readString("LastValues", "Loan"), "7");
}

void tst_ProfileFile::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loanPresent");
    QTest::addColumn<QString>("loan");
    QTest::addColumn<QByteArray>("kept"); // found unchanged in the file after the save

    const QByteArray noise = garbage(64 * 1024, 3);
    const QByteArray megabyte(1 << 20, 'x');

    QTest::newRow("binary garbage") << noise << false << QString() << noise;
    QTest::newRow("NUL bytes") << nul("\0\0\0\n[LastValues]\nLoan=7\n\0junk\0\n") << true << "7"
                               << nul("\0\0\0\n[LastValues]\nLoan=42\n\0junk\0\n");
    QTest::newRow("1 MB line") << QByteArray("[Other]\n" + megabyte + "\n[LastValues]\nLoan=7\n")
                               << true << "7"
                               << QByteArray("[Other]\n" + megabyte + "\n[LastValues]\nLoan=42\n");
    QTest::newRow("1 MB value of another key")
        << QByteArray("[LastValues]\nNote=" + megabyte + "\nLoan=7\n") << true << "7"
        << QByteArray("[LastValues]\nNote=" + megabyte + "\nLoan=42\n");
    QTest::newRow("value of 5000 characters replaced whole")
        << QByteArray("[LastValues]\nLoan=" + QByteArray(5000, '9') + "\n") << true
        << QString(2047, QLatin1Char('9'))
        << QByteArray("[LastValues]\nLoan=42\n[GeneralValues]\nRun=1\n");
    QTest::newRow("duplicate keys and sections")
        << QByteArray("[LastValues]\nLoan=1\nLoan=2\n[GeneralValues]\nRun=0\n"
                      "[LastValues]\nLoan=3\n[GeneralValues]\nRun=5\n")
        << true << "1"
        << QByteArray("[LastValues]\nLoan=42\nLoan=2\n[GeneralValues]\nRun=1\n"
                      "[LastValues]\nLoan=3\n[GeneralValues]\nRun=5\n");
    QTest::newRow("keys in another letter case")
        << QByteArray("[lastVALUES]\nLOAN=5\n[generalvalues]\nrun=0\n") << true << "5"
        << QByteArray("[lastVALUES]\nLOAN=42\n[generalvalues]\nrun=1\n");
    QTest::newRow("CRLF") << QByteArray("[LastValues]\r\nLoan=5\r\n") << true << "5"
                          << QByteArray("[LastValues]\r\nLoan=42\r\n[GeneralValues]\r\nRun=1\r\n");
    QTest::newRow("LF") << QByteArray("[LastValues]\nLoan=5\n") << true << "5"
                        << QByteArray("[LastValues]\nLoan=42\n[GeneralValues]\nRun=1\n");
    QTest::newRow("CRLF and LF mixed")
        << QByteArray("[GeneralValues]\nRun=0\n[LastValues]\r\nLoan=5\r\n") << true << "5"
        << QByteArray("[GeneralValues]\nRun=1\n[LastValues]\r\nLoan=42\r\n");
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBF[LastValues]\nLoan=5\n") << true << "5"
        << QByteArray("\xEF\xBB\xBF[LastValues]\nLoan=42\n");
    QTest::newRow("unrelated section with comments")
        << QByteArray("; written by hand\n[Printer]\n; keep this\nMargin = 2 \n\n"
                      "[LastValues]\nLoan=5\n")
        << true << "5"
        << QByteArray("; written by hand\n[Printer]\n; keep this\nMargin = 2 \n\n"
                      "[LastValues]\nLoan=42\n");
    QTest::newRow("8-bit text") << QByteArray("[LastValues]\nFrequency=M\xF6nthly 12\nLoan=5\n")
                                << true << "5" << QByteArray("Frequency=M\xF6nthly 12\nLoan=42\n");
}

void tst_ProfileFile::hostileFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, loanPresent);
    QFETCH(QString, loan);
    QFETCH(QByteArray, kept);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(iniName);
    writeBytes(path, content);

    ProfileFile file(dir.path(), readName);
    QCOMPARE(file.readError(), QString());
    QCOMPARE(file.readValue("LastValues", "Loan"),
             loanPresent ? std::optional<QString>(loan) : std::nullopt);
    writeProgramKeys(file);
    file.save();

    const QByteArray saved = readBytes(path);
    QVERIFY(saved.contains(kept));
    const ProfileFile reread(dir.path(), readName);
    QCOMPARE(reread.readString("LastValues", "Loan"), "42");
    QCOMPARE(reread.readString("GeneralValues", "Run"), "1");
}

void tst_ProfileFile::saveFailsWhenTheFolderIsMissing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("gone");

    ProfileFile file(folder, iniName);
    QCOMPARE(file.readError(), QString());
    QCOMPARE(file.readValue("LastValues", "Loan"), std::nullopt);
    writeProgramKeys(file);
    try {
        file.save();
        QFAIL("save into a missing folder succeeded");
    } catch (const EFCreateError& e) {
        QVERIFY2(e.message().contains(QDir::toNativeSeparators(file.filePath())),
                 qPrintable(e.message()));
    }
    QVERIFY(!QFileInfo::exists(folder));

    // Once the folder is there, the same object saves every key.
    QVERIFY(QDir(dir.path()).mkdir("gone"));
    file.save();
    QCOMPARE(readBytes(file.filePath()),
             QByteArray("[LastValues]\nLoan=42\n[GeneralValues]\nRun=1\n"));
}

void tst_ProfileFile::saveFailsWhenAFolderTakesTheName()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString taken = dir.filePath("KESTRAVA.INI");
    QVERIFY(QDir(dir.path()).mkdir("KESTRAVA.INI"));
    writeBytes(taken + "/inside.txt", "keep me");

    ProfileFile file(dir.path(), readName);
    QCOMPARE(file.filePath(), taken);
    QCOMPARE(file.readError(), QString());
    writeProgramKeys(file);
    try {
        file.save();
        QFAIL("save over a folder succeeded");
    } catch (const EFCreateError& e) {
        QVERIFY2(e.message().contains(QDir::toNativeSeparators(taken)), qPrintable(e.message()));
    }
    QVERIFY(QFileInfo(taken).isDir());
    QCOMPARE(readBytes(taken + "/inside.txt"), QByteArray("keep me"));
    QCOMPARE(entries(dir.path()), QStringList{"KESTRAVA.INI"});

    QVERIFY(QDir(taken).removeRecursively());
    file.save();
    QCOMPARE(readBytes(taken), QByteArray("[LastValues]\nLoan=42\n[GeneralValues]\nRun=1\n"));
}

void tst_ProfileFile::failedWriteKeepsTheOldFile()
{
#ifdef HAVE_FILE_SIZE_LIMIT
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(iniName);
    const QByteArray old("[LastValues]\nLoan=5\n; the old file\n");
    writeBytes(path, old);

    ProfileFile file(dir.path(), iniName);
    writeProgramKeys(file);
    const QString note(8192, QLatin1Char('n'));
    file.writeString("LastValues", "Note", note);

    // A file-size limit stops every writer, root too: the new file breaks off after 1 KB.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool threw = false;
    QString message;
    try {
        file.save();
    } catch (const EWriteError& e) {
        threw = true;
        message = e.message();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(threw);
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    QCOMPARE(readBytes(path), old);
    QCOMPARE(entries(dir.path()), QStringList{iniName});

    file.save();
    const ProfileFile reread(dir.path(), iniName);
    QCOMPARE(reread.readString("LastValues", "Loan"), "42");
    QCOMPARE(reread.readString("LastValues", "Note"), note.left(ProfileFile::maxValueLength));
    QCOMPARE(reread.readString("GeneralValues", "Run"), "1");
#else
    QSKIP("no file-size limit on this system");
#endif
}

void tst_ProfileFile::readOnlyFileIsKept()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(iniName);
    const QByteArray old("[LastValues]\nLoan=5\n");
    writeBytes(path, old);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    if (QFileInfo(path).isWritable())
        QSKIP("this user writes read-only files (root)");

    ProfileFile file(dir.path(), readName);
    QCOMPARE(file.readString("LastValues", "Loan"), "5");
    writeProgramKeys(file);
    QVERIFY_THROWS_EXCEPTION(EFCreateError, file.save());
    QCOMPARE(readBytes(path), old);
    QCOMPARE(entries(dir.path()), QStringList{iniName});

    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    file.save();
    QCOMPARE(ProfileFile(dir.path(), readName).readString("LastValues", "Loan"), "42");
}

void tst_ProfileFile::unreadableFileIsNotReplaced_data()
{
    QTest::addColumn<bool>("tooLarge"); // otherwise: no read permission

    QTest::newRow("larger than a settings file can be") << true;
    QTest::newRow("no read permission") << false;
}

void tst_ProfileFile::unreadableFileIsNotReplaced()
{
    QFETCH(bool, tooLarge);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(iniName);
    writeBytes(path, "[LastValues]\nLoan=5\n");
    if (tooLarge) {
        QFile file(path);
        QVERIFY(file.resize(ProfileFile::maxFileSize + 1));
    } else {
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
        if (QFileInfo(path).isReadable())
            QSKIP("this user reads files without read permission (root)");
    }
    const QByteArray hash =
        tooLarge ? fileHash(path)
                 : QCryptographicHash::hash("[LastValues]\nLoan=5\n", QCryptographicHash::Sha256);

    ProfileFile file(dir.path(), readName);
    QVERIFY2(file.readError().contains(QDir::toNativeSeparators(path)),
             qPrintable(file.readError()));
    QCOMPARE(file.readValue("LastValues", "Loan"), std::nullopt);
    writeProgramKeys(file);
    try {
        file.save();
        QFAIL("a file that could not be read was replaced");
    } catch (const EFOpenError& e) {
        QCOMPARE(e.message(), file.readError());
    }
    QCOMPARE(entries(dir.path()), QStringList{iniName});
    if (!tooLarge)
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(fileHash(path), hash);
}

QTEST_GUILESS_MAIN(tst_ProfileFile)
#include "tst_ProfileFile.moc"

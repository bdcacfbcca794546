#include "platform/Exceptions.h"
#include "update/VersionPage.h"

#include <QDate>
#include <QtTest>

namespace {

// The tag names this program configures; the external read-me keeps the empty name.
TWfiTags programTags()
{
    TWfiTags tags;
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
    return tags;
}

// The values a page gave, as "Field=value" for every field that is not empty.
QStringList filled(const VersionPage::Values& v)
{
    QStringList out;
    const std::pair<const char*, const QString*> fields[] = {
        {"ProductName", &v.ProductName},
        {"ProductReadMe", &v.ProductReadMe},
        {"ProductReadMeExt", &v.ProductReadMeExt},
        {"ProductVersion", &v.ProductVersion},
        {"ProductDateStr", &v.ProductDateStr},
        {"ProductAuthor", &v.ProductAuthor},
        {"ProductAuthorEMail", &v.ProductAuthorEMail},
        {"DownloadURL", &v.DownloadURL},
        {"RedirectURL", &v.RedirectURL},
        {"RunParams", &v.RunParams},
        {"Sha256", &v.Sha256},
    };
    for (const auto& [name, value] : fields) {
        if (!value->isEmpty())
            out << QString::fromLatin1(name) + u'=' + *value;
    }
    return out;
}

} // namespace

class tst_VersionPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void splitLines_data();
    void splitLines();
    void parseTags_data();
    void parseTags();
    void tagsFillOnlyWhatTheyName();
    void parseDate_data();
    void parseDate();
    void downloadFileName_data();
    void downloadFileName();
    void buildNumber_data();
    void buildNumber();
    void simpleString_data();
    void simpleString();
};

void tst_VersionPage::splitLines_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QList<QByteArray>>("lines");

    using L = QList<QByteArray>;
    QTest::newRow("LF") << QByteArray("a\nb") << L{"a", "b"};
    QTest::newRow("CR") << QByteArray("a\rb") << L{"a", "b"};
    QTest::newRow("CR LF is one end") << QByteArray("a\r\nb") << L{"a", "b"};
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << L{"a", "", "b"};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << L{"a", "", "b"};
    QTest::newRow("last end adds no line") << QByteArray("a\r\n") << L{"a"};
    QTest::newRow("NUL ends the text") << QByteArray("a\nb\0c\nd", 7) << L{"a", "b"};
    QTest::newRow("NUL first") << QByteArray("\0a", 2) << L{};
    QTest::newRow("8-bit bytes kept") << QByteArray("\xe9t\xe9\n") << L{"\xe9t\xe9"};
}

void tst_VersionPage::splitLines()
{
    QFETCH(QByteArray, body);
    QFETCH(QList<QByteArray>, lines);
    QCOMPARE(VersionPage::splitLines(body), lines);
}

void tst_VersionPage::parseTags_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("well-formed page")
        << QByteArray(
               "<html><head>\r\n"
               "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">\r\n"
               "<META HTTP-EQUIV=\"name\" CONTENT=\"Kestrava\">\r\n"
               "<META HTTP-EQUIV=\"version\" CONTENT=\"1.3.00\">\r\n"
               "<META HTTP-EQUIV=\"date\" CONTENT=\"May 3, 2004\">\r\n"
               "<META HTTP-EQUIV=\"url\" CONTENT=\"http://h/dl/ksv1300.exe\">\r\n"
               "<META HTTP-EQUIV=\"readme\" CONTENT=\"http://h/readme.txt\">\r\n"
               "<META HTTP-EQUIV=\"runparams\" CONTENT=\"/S /D=x\">\r\n"
               "<META HTTP-EQUIV=\"author\" CONTENT=\"Quorvane\">\r\n"
               "<META HTTP-EQUIV=\"email\" CONTENT=\"info@quorvane.com\">\r\n"
               "</head><body>Kestrava</body></html>\r\n")
        << QStringList{"ProductName=Kestrava",
                       "ProductReadMe=http://h/readme.txt",
                       "ProductVersion=1.3.00",
                       "ProductDateStr=May 3, 2004",
                       "ProductAuthor=Quorvane",
                       "ProductAuthorEMail=info@quorvane.com",
                       "DownloadURL=http://h/dl/ksv1300.exe",
                       "RunParams=/S /D=x"};
    QTest::newRow("update file checksum")
        << QByteArray(
               "<META HTTP-EQUIV=\"url\" CONTENT=\"http://h/dl/ksv1300.exe\">\r\n"
               "<META HTTP-EQUIV=\"sha256\" CONTENT=\"9f86d081884c7d659a2feaa0c55ad015a3bf4f1b"
               "2b0b822cd15d6c15b0f00a08\">\r\n")
        << QStringList{"DownloadURL=http://h/dl/ksv1300.exe",
                       "Sha256=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08"};
    QTest::newRow("no tag at all")
        << QByteArray("<html><body>Kestrava 1.3.00</body></html>") << QStringList{};
    QTest::newRow("Content-Type ignored")
        << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html\">") << QStringList{};
    QTest::newRow("lower-case meta is read")
        << QByteArray("<meta http-equiv=\"version\" CONTENT=\"1.3.00\">")
        << QStringList{"ProductVersion=1.3.00"};
    QTest::newRow("lower-case content= reads from the ninth character")
        << QByteArray("<META HTTP-EQUIV=\"version\" content=\"1.3.00\">")
        << QStringList{"ProductVersion=TP-EQUIV="};
    QTest::newRow("tag name keeps its case")
        << QByteArray("<META HTTP-EQUIV=\"Version\" CONTENT=\"1.3.00\">") << QStringList{};
    QTest::newRow("blanks on both sides of = name a blank")
        << QByteArray("<META HTTP-EQUIV = \"version\" CONTENT=\"1.3.00\">") << QStringList{};
    QTest::newRow("blank after = gives the empty name")
        << QByteArray("<META HTTP-EQUIV= \"version\" CONTENT=\"1.3.00\">")
        << QStringList{"ProductReadMeExt=1.3.00"};
    QTest::newRow("blank before = gives the empty name")
        << QByteArray("<META HTTP-EQUIV =\"version\" CONTENT=\"1.3.00\">")
        << QStringList{"ProductReadMeExt=1.3.00"};
    QTest::newRow("single quotes, no double quote after")
        << QByteArray("<META HTTP-EQUIV=\"version\" CONTENT='1.3.00'>") << QStringList{};
    QTest::newRow("single quotes run to the next double quote")
        << QByteArray("<META HTTP-EQUIV=\"version\" CONTENT='1.3.00' x=\"y\">")
        << QStringList{"ProductVersion=1.3.00' x="};
    QTest::newRow("no quotes lose the first character")
        << QByteArray("<META HTTP-EQUIV=\"version\" CONTENT=1.3.00 x=\"y\">")
        << QStringList{"ProductVersion=.3.00 x="};
    QTest::newRow("CONTENT= before the name")
        << QByteArray("<!-- CONTENT=\"1.3.00\" --><META HTTP-EQUIV=\"version\">")
        << QStringList{"ProductVersion=1.3.00"};
    QTest::newRow("NAME= is ignored")
        << QByteArray("<META NAME=\"version\" CONTENT=\"1.3.00\">") << QStringList{};
    QTest::newRow("two tags on a line: the first of each")
        << QByteArray("<META HTTP-EQUIV=\"version\" CONTENT=\"1.3.00\">"
                      "<META HTTP-EQUIV=\"date\" CONTENT=\"May 3, 2004\">")
        << QStringList{"ProductVersion=1.3.00"};
    QTest::newRow("empty name fills the empty tag")
        << QByteArray("<META HTTP-EQUIV=\"\" CONTENT=\"http://h/readme.rtf\">")
        << QStringList{"ProductReadMeExt=http://h/readme.rtf"};
    QTest::newRow("last occurrence wins")
        << QByteArray("<META HTTP-EQUIV=\"version\" CONTENT=\"1.3.00\">\n"
                      "<META HTTP-EQUIV=\"version\" CONTENT=\"1.4.00\">\n")
        << QStringList{"ProductVersion=1.4.00"};
    QTest::newRow("nothing after NUL")
        << QByteArray("<META HTTP-EQUIV=\"version\" CONTENT=\"1.3.00\">\n")
               .append('\0')
               .append("<META HTTP-EQUIV=\"date\" CONTENT=\"May 3, 2004\">\n")
        << QStringList{"ProductVersion=1.3.00"};
    QTest::newRow("CR separates tags")
        << QByteArray("<META HTTP-EQUIV=\"version\" CONTENT=\"1.3.00\">"
                      "\r<META HTTP-EQUIV=\"name\" CONTENT=\"K\">")
        << QStringList{"ProductName=K", "ProductVersion=1.3.00"};
    QTest::newRow("LF separates tags")
        << QByteArray("<META HTTP-EQUIV=\"version\" CONTENT=\"1.3.00\">"
                      "\n<META HTTP-EQUIV=\"name\" CONTENT=\"K\">")
        << QStringList{"ProductName=K", "ProductVersion=1.3.00"};
    QTest::newRow("element over two lines is not seen")
        << QByteArray("<META HTTP-EQUIV=\"version\"\r\nCONTENT=\"1.3.00\">")
        << QStringList{"ProductVersion=TP-EQUIV="};
    QTest::newRow("entities and blanks kept")
        << QByteArray("<META HTTP-EQUIV=\"name\" CONTENT=\" K &amp; Co \">")
        << QStringList{"ProductName= K &amp; Co "};
    QTest::newRow("value of 999 characters is read")
        << QByteArray("<META HTTP-EQUIV=\"name\" CONTENT=\"" + QByteArray(999, 'v') + "\">")
        << QStringList{"ProductName=" + QString(999, u'v')};
    QTest::newRow("value of 1000 characters is empty")
        << QByteArray("<META HTTP-EQUIV=\"name\" CONTENT=\"" + QByteArray(1000, 'v') + "\">")
        << QStringList{};
    QTest::newRow("name of 1000 characters is empty")
        << QByteArray("<META HTTP-EQUIV=\"" + QByteArray(1000, 'n') + "\" CONTENT=\"x\">")
        << QStringList{"ProductReadMeExt=x"};
}

void tst_VersionPage::parseTags()
{
    QFETCH(QByteArray, page);
    QFETCH(QStringList, values);
    VersionPage::Values read;
    VersionPage::ParseTags(VersionPage::splitLines(page), programTags(), read);
    QCOMPARE(filled(read), values);
}

void tst_VersionPage::tagsFillOnlyWhatTheyName()
{
    // Two facts configured under one name both receive the value; a fact without a tag line
    // keeps what it held.
    TWfiTags tags;
    tags.VersionTag = QStringLiteral("v");
    tags.ProductNameTag = QStringLiteral("v");
    tags.AuthorTag = QStringLiteral("author");
    VersionPage::Values read;
    read.ProductAuthor = QStringLiteral("earlier");
    VersionPage::ParseTags({"<META HTTP-EQUIV=\"v\" CONTENT=\"7\">"}, tags, read);
    QCOMPARE(filled(read),
             QStringList({"ProductName=7", "ProductVersion=7", "ProductAuthor=earlier"}));
}

void tst_VersionPage::parseDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: a conversion error

    QTest::newRow("April 20, 2004") << "April 20, 2004" << QDate(2004, 4, 20);
    QTest::newRow("Apr 20, 2004") << "Apr 20, 2004" << QDate(2004, 4, 20);
    QTest::newRow("upper case") << "APRIL 20, 2004" << QDate(2004, 4, 20);
    QTest::newRow("April 5, 2004") << "April 5, 2004" << QDate(2004, 4, 5);
    QTest::newRow("April 05, 2004") << "April 05, 2004" << QDate(2004, 4, 5);
    QTest::newRow("December") << "December 31, 1999" << QDate(1999, 12, 31);
    QTest::newRow("leap day") << "Feb 29, 2004" << QDate(2004, 2, 29);
    QTest::newRow("no leap day") << "Feb 29, 2003" << QDate();
    QTest::newRow("April 31, 2004") << "April 31, 2004" << QDate();
    QTest::newRow("20 April 2004") << "20 April 2004" << QDate();
    QTest::newRow("no comma") << "April 20 2004" << QDate();
    QTest::newRow("blank after the year") << "April 20, 2004 " << QDate();
    QTest::newRow("unknown month") << "Avril 20, 2004" << QDate();
    QTest::newRow("day zero") << "April 00, 2004" << QDate();
}

void tst_VersionPage::parseDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    if (date.isValid()) {
        QCOMPARE(VersionPage::ParseDate(text, wfidDFSDate),
                 double(QDate(1899, 12, 30).daysTo(date)));
    } else {
        try {
            VersionPage::ParseDate(text, wfidDFSDate);
            QFAIL("no conversion error");
        } catch (const EConvertError& e) {
            QVERIFY(e.message().contains(text));
        }
    }
    // Without date parsing any text gives 0.
    QCOMPARE(VersionPage::ParseDate(text, wfidNone), 0.0);
}

void tst_VersionPage::downloadFileName_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");

    QTest::newRow("path") << "http://h/dl/ksv1300.exe"
                          << "ksv1300.exe";
    QTest::newRow("no slash") << "ksv1300.exe"
                              << "ksv1300.exe";
    QTest::newRow("query stays") << "http://h/get.php?f=ksv.zip"
                                 << "get.php?f=ksv.zip";
    QTest::newRow("slash in the query") << "http://h/get?f=a/b.exe"
                                        << "b.exe";
    QTest::newRow("ends in slash") << "http://h/dl/"
                                   << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("slash beyond the window")
        << "a/" + QString(1000, u'x') + "/b" << QString(1000, u'x');
}

void tst_VersionPage::downloadFileName()
{
    QFETCH(QString, url);
    QFETCH(QString, name);
    QCOMPARE(VersionPage::downloadFileName(url), name);
}

void tst_VersionPage::buildNumber_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<bool>("newer");

    QTest::newRow("1.2.01") << "1.2.01" << true;
    QTest::newRow("1.3") << "1.3" << true;
    QTest::newRow("1.10.0") << "1.10.0" << true;
    QTest::newRow("2") << "2" << true;
    QTest::newRow("1.2 compares its 2 again") << "1.2" << true;
    QTest::newRow("blank before a part") << "1.2. 01" << true;
    QTest::newRow("1.2.00") << "1.2.00" << false;
    QTest::newRow("1.2.00.5") << "1.2.00.5" << false;
    QTest::newRow("1.1.99") << "1.1.99" << false;
    QTest::newRow("1.2.0a") << "1.2.0a" << false;
    QTest::newRow("1") << "1" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("part beyond 32 bits counts 0") << "1.2.99999999999" << false;
    QTest::newRow("negative part") << "1.2.-1" << false;
}

void tst_VersionPage::buildNumber()
{
    QFETCH(QString, product);
    QFETCH(bool, newer);
    QCOMPARE(VersionPage::IsNewVersion(QStringLiteral("1.2.00"), product, wfivBuildNumber), newer);
}

void tst_VersionPage::simpleString_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<bool>("newer");

    QTest::newRow("1.2.01") << "1.2.01" << true;
    QTest::newRow("1.10.0") << "1.10.0" << false;
    QTest::newRow("same") << "1.2.00" << false;
    QTest::newRow("longer with the same start") << "1.2.00a" << true;
    QTest::newRow("proper beginning") << "1.2.0" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("8-bit code above ASCII") << QString::fromLatin1("1.2.0\xe9") << true;
}

void tst_VersionPage::simpleString()
{
    QFETCH(QString, product);
    QFETCH(bool, newer);
    QCOMPARE(VersionPage::IsNewVersion(QStringLiteral("1.2.00"), product, wfivSimpleString), newer);
}

QTEST_GUILESS_MAIN(tst_VersionPage)
#include "tst_VersionPage.moc"

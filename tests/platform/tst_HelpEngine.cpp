#include "platform/Application.h"
#include "platform/HelpEngine.h"

#include <QHelpContentWidget>
#include <QHelpEngineCore>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include <memory>

namespace {

const QString builtHelpFile = QStringLiteral(KESTRAVA_HELP_FILE);

struct HelpCall
{
    QString file;
    int command = 0;
    qint64 data = 0;
    QWidget* owner = nullptr;
};

class RecordingProvider : public HelpProvider
{
public:
    bool helpCommand(const QString& file, int command, qint64 data, QWidget* owner) override
    {
        calls.append({file, command, data, owner});
        return answer;
    }
    QList<HelpCall> calls;
    bool answer = true;
};

} // namespace

class tst_HelpEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void commandReachesProvider();
    void topicByNumber_data();
    void topicByNumber();
    void contentsShowsContentsTab();
    void partialKeyFocusesIndexFilter();
    void quitClosesWindow();
    void unknownTopicReported();
    void unusableFileReported_data();
    void unusableFileReported();
    void fileThatAppearsLaterIsOpened();
    void installedDataFolderIsSearched();
    void everyLinkAndKeywordLeadsToAPage();

private:
    bool send(int command, qint64 data = 0, const QString& file = builtHelpFile)
    {
        return m_engine->helpCommand(file, command, data, nullptr);
    }
    template <typename T> T* part(const char* name) const
    {
        return m_engine->window() ? m_engine->window()->findChild<T*>(QLatin1String(name))
                                  : nullptr;
    }
    QTextBrowser* viewer() const { return part<QTextBrowser>("helpViewer"); }
    QString currentContentsTitle() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<HelpEngine> m_engine;
};

void tst_HelpEngine::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(QFileInfo::exists(builtHelpFile), qPrintable(builtHelpFile));
}

void tst_HelpEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_engine = std::make_unique<HelpEngine>(m_dir->filePath(QStringLiteral("collection")));
}

void tst_HelpEngine::cleanup()
{
    Help::setProvider(nullptr);
    m_engine.reset();
    m_dir.reset();
}

QString tst_HelpEngine::currentContentsTitle() const
{
    auto* contents = part<QHelpContentWidget>("helpContents");
    if (!contents)
        return {};
    auto* model = qobject_cast<QHelpContentModel*>(contents->model());
    QHelpContentItem* item = model ? model->contentItemAt(contents->currentIndex()) : nullptr;
    return item ? item->title() : QString();
}

void tst_HelpEngine::commandReachesProvider()
{
    RecordingProvider recorder;
    Help::setProvider(&recorder);
    Help::setHelpFile(QStringLiteral("/opt/kestrava/kestrava.hlp"));
    QCOMPARE(Help::helpFile(), QStringLiteral("/opt/kestrava/kestrava.hlp"));
    QWidget owner;

    QVERIFY(Help::command(HelpCommand::Context, 10000, &owner));
    recorder.answer = false;
    QVERIFY(!Help::command(HelpCommand::Quit, 0));

    QCOMPARE(recorder.calls.size(), 2);
    QCOMPARE(recorder.calls[0].file, QStringLiteral("/opt/kestrava/kestrava.hlp"));
    QCOMPARE(recorder.calls[0].command, 1);
    QCOMPARE(recorder.calls[0].data, qint64(10000));
    QCOMPARE(recorder.calls[0].owner, &owner);
    QCOMPARE(recorder.calls[1].command, 2);
    QCOMPARE(recorder.calls[1].owner, nullptr);

    // Without a provider of its own the program gets the Qt Help window.
    Help::setProvider(nullptr);
    QVERIFY(dynamic_cast<HelpEngine*>(Help::provider()));

    // And a real engine receives the application's help file.
    Help::setProvider(m_engine.get());
    Help::setHelpFile(builtHelpFile);
    QVERIFY(Help::command(HelpCommand::Contents, 0, &owner));
    QVERIFY(m_engine->window() && m_engine->window()->isVisible());
    QTRY_COMPARE(viewer()->source().fileName(), QStringLiteral("contents.html"));
}

void tst_HelpEngine::topicByNumber_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<qint64>("data");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");

    const auto topic = [](const char* name, qint64 number, const char* page, const char* title) {
        QTest::newRow(name) << HelpCommand::Context << number << QString::fromLatin1(page)
                            << QString::fromLatin1(title);
    };
    topic("first-run topic 10000", 10000, "welcome.html", "Welcome to Kestrava");
    topic("contents 10010", 10010, "contents.html", "Kestrava Help");
    topic("loan panels 10090", 10090, "loan-panel.html", "The loan panels");
    topic("amount 10100", 10100, "amount.html", "Amount Borrowed");
    topic("frequency field 10110", 10110, "frequency.html", "Payment Frequency");
    topic("number of payments 10120", 10120, "payments.html", "Number of Payments");
    topic("interest rate 10130", 10130, "rate.html", "Annual Interest Rate");
    topic("payment 10140", 10140, "payment.html", "Payment Amount");
    topic("total interest 10150", 10150, "total-interest.html", "Total Interest Paid");
    topic("total paid 10160", 10160, "total-paid.html", "Total Amount Paid");
    topic("term 10170", 10170, "term.html", "The term of this loan");
    topic("frequencies 10200", 10200, "frequencies.html", "Payment frequencies");
    topic("reset 10300", 10300, "reset.html", "Resetting the default values");
    topic("update check 10310", 10310, "update.html", "Checking for a new version");
    topic("settings file 10320", 10320, "settings.html", "The settings file");
    topic("menus 10330", 10330, "menus.html", "Menus, toolbar and status bar");
    topic("how to use help 10400", 10400, "how-to-use-help.html", "How to Use Help");
    topic("about 10500", 10500, "about.html", "About Kestrava and Quorvane Software");
    QTest::newRow("help on help command")
        << HelpCommand::HelpOnHelp << qint64(0) << "how-to-use-help.html"
        << "How to Use Help";
}

void tst_HelpEngine::topicByNumber()
{
    QFETCH(int, command);
    QFETCH(qint64, data);
    QFETCH(QString, page);
    QFETCH(QString, title);

    QVERIFY(send(command, data));
    QVERIFY(m_engine->window()->isVisible());
    QCOMPARE(viewer()->source().fileName(), page);
    QCOMPARE(viewer()->documentTitle(), title);
    QVERIFY(viewer()->toPlainText().startsWith(title));
    // The contents follow the topic once they have been read.
    QTRY_COMPARE(currentContentsTitle(), title);
}

void tst_HelpEngine::contentsShowsContentsTab()
{
    // Another topic first, so that the contents command has to move the viewer.
    QVERIFY(send(HelpCommand::Context, 10100));
    QVERIFY(send(HelpCommand::Contents));
    auto* navigation = part<QTabWidget>("helpNavigation");
    auto* contents = part<QHelpContentWidget>("helpContents");
    QCOMPARE(navigation->currentWidget(), contents);
    QTRY_COMPARE(viewer()->source().fileName(), QStringLiteral("contents.html"));
    QCOMPARE(currentContentsTitle(), QStringLiteral("Kestrava Help"));
    QCOMPARE(m_engine->window()->windowTitle(), QStringLiteral("Kestrava Help"));
    // The subjects under the root are shown, the root's own topics included.
    const QModelIndex root = contents->model()->index(0, 0);
    QVERIFY(contents->isExpanded(root));
    QCOMPARE(contents->model()->index(0, 0, root).data().toString(),
             QStringLiteral("Welcome to Kestrava"));
}

void tst_HelpEngine::partialKeyFocusesIndexFilter()
{
    // A window that opens on the index shows the contents topic beside it.
    QVERIFY(send(HelpCommand::PartialKey));
    QTRY_COMPARE(viewer()->source().fileName(), QStringLiteral("contents.html"));

    QVERIFY(send(HelpCommand::Context, 10000));
    auto* filter = part<QLineEdit>("helpIndexFilter");
    QTest::keyClicks(filter, QStringLiteral("old text"));

    QVERIFY(send(HelpCommand::PartialKey));
    QWidget* window = m_engine->window();
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* navigation = part<QTabWidget>("helpNavigation");
    QVERIFY(navigation->currentWidget()->isAncestorOf(filter));
    QVERIFY(filter->hasFocus());
    QVERIFY(filter->text().isEmpty());
    QCOMPARE(viewer()->source().fileName(), QStringLiteral("welcome.html"));

    // Typing narrows the index; Enter opens the topic of the chosen keyword.
    auto* index = part<QHelpIndexWidget>("helpIndex");
    QTRY_VERIFY(index->model()->rowCount() > 20);
    QTest::keyClicks(filter, QStringLiteral("Number of"));
    QTRY_COMPARE(index->model()->rowCount(), 1);
    QCOMPARE(index->currentIndex().data().toString(), QStringLiteral("Number of Payments"));
    QTest::keyClick(filter, Qt::Key_Return);
    QTRY_COMPARE(viewer()->source().fileName(), QStringLiteral("payments.html"));

    // The down key moves through the list while the typing stays in the filter field.
    filter->clear();
    QTest::keyClicks(filter, QStringLiteral("Total"));
    QTRY_COMPARE(index->model()->rowCount(), 2);
    QCOMPARE(index->currentIndex().data().toString(), QStringLiteral("Total Amount Paid"));
    QTest::keyClick(filter, Qt::Key_Down);
    QCOMPARE(index->currentIndex().data().toString(), QStringLiteral("Total Interest Paid"));
    QVERIFY(filter->hasFocus());
    QTest::keyClick(filter, Qt::Key_Enter);
    QTRY_COMPARE(viewer()->source().fileName(), QStringLiteral("total-interest.html"));
}

void tst_HelpEngine::quitClosesWindow()
{
    // Quit with no window open is no error.
    QVERIFY(send(HelpCommand::Quit));
    QVERIFY(!m_engine->window());

    QVERIFY(send(HelpCommand::Contents));
    QVERIFY(m_engine->window()->isVisible());
    QVERIFY(send(HelpCommand::Quit));
    QVERIFY(!m_engine->window()->isVisible());

    // The next request opens it again.
    QVERIFY(send(HelpCommand::Context, 10000));
    QVERIFY(m_engine->window()->isVisible());
    QCOMPARE(viewer()->source().fileName(), QStringLiteral("welcome.html"));
}

void tst_HelpEngine::unknownTopicReported()
{
    QVERIFY(!send(HelpCommand::Context, 4711));
    QVERIFY(m_engine->window()->isVisible());
    const QString text = viewer()->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("Help topic not found")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("no topic 4711")), qPrintable(text));
    // The rest of the help still works.
    QVERIFY(send(HelpCommand::Context, 10100));
    QCOMPARE(viewer()->source().fileName(), QStringLiteral("amount.html"));
}

void tst_HelpEngine::unusableFileReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing file, contents")
        << "kestrava.hlp" << QByteArray() << HelpCommand::Contents << "cannot be found";
    QTest::newRow("missing file, first-run topic")
        << "kestrava.hlp" << QByteArray() << HelpCommand::Context << "cannot be found";
    QTest::newRow("empty file, index")
        << "kestrava.hlp" << QByteArray("") << HelpCommand::PartialKey
        << "It is damaged or it is not a help file";
    QTest::newRow("text file, how to use help")
        << "kestrava.hlp" << QByteArray("[LastValues]\nLoan=100000\n") << HelpCommand::HelpOnHelp
        << "It is damaged or it is not a help file";
    QTest::newRow("no file given")
        << "" << QByteArray() << HelpCommand::Contents << "No help file has been given";
}

void tst_HelpEngine::unusableFileReported()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, command);
    QFETCH(QString, message);

    QTemporaryDir folder;
    const QString path = name.isEmpty() ? QString() : folder.filePath(name);
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QVERIFY(!send(command, 10000, path));
    QVERIFY(m_engine->window()->isVisible());
    const QString text = viewer()->toPlainText();
    QVERIFY2(text.contains(message), qPrintable(text));
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
    QVERIFY(!part<QTabWidget>("helpNavigation")->isEnabled());
    // Quit still closes the window.
    QVERIFY(send(HelpCommand::Quit, 0, path));
    QVERIFY(!m_engine->window()->isVisible());
}

void tst_HelpEngine::fileThatAppearsLaterIsOpened()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kestrava.hlp"));
    QVERIFY(!send(HelpCommand::Context, 10000, path));
    QVERIFY(viewer()->toPlainText().contains(QStringLiteral("cannot be found")));

    QVERIFY(QFile::copy(builtHelpFile, path));
    QVERIFY(send(HelpCommand::Context, 10000, path));
    QVERIFY(m_engine->window()->isVisible());
    QCOMPARE(viewer()->source().fileName(), QStringLiteral("welcome.html"));
}

void tst_HelpEngine::installedDataFolderIsSearched()
{
    // bin/kestrava.hlp is what the program asks for; the installed copy keeps the file in
    // share/kestrava.
    QTemporaryDir prefix;
    QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("share/kestrava")));
    const QString asked = prefix.filePath(QStringLiteral("bin/kestrava.hlp"));
    const QString installed = prefix.filePath(QStringLiteral("share/kestrava/kestrava.hlp"));
    QCOMPARE(HelpEngine::locate(asked), QString());
    QVERIFY(QFile::copy(builtHelpFile, installed));

    QCOMPARE(HelpEngine::locate(asked), QFileInfo(installed).absoluteFilePath());
    QVERIFY(send(HelpCommand::Context, 10000, asked));
    QCOMPARE(viewer()->source().fileName(), QStringLiteral("welcome.html"));

    // A file beside the executable wins.
    QVERIFY(QFile::copy(builtHelpFile, asked));
    QCOMPARE(HelpEngine::locate(asked), QFileInfo(asked).absoluteFilePath());
}

void tst_HelpEngine::everyLinkAndKeywordLeadsToAPage()
{
    QHelpEngineCore core(m_dir->filePath(QStringLiteral("check.qhc")));
    core.setReadOnly(false);
    QVERIFY(core.setupData());
    QVERIFY2(core.registerDocumentation(builtHelpFile), qPrintable(core.error()));
    const QString space = QHelpEngineCore::namespaceName(builtHelpFile);

    const auto pageHolds = [&](const QUrl& url) {
        const QByteArray data = core.fileData(url);
        if (data.isEmpty())
            return false;
        return !url.hasFragment() ||
               data.contains(QStringLiteral("id=\"%1\"").arg(url.fragment()).toUtf8());
    };

    const QList<QUrl> pages = core.files(space, QString(), QStringLiteral("html"));
    QVERIFY(pages.size() >= 18);
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    for (const QUrl& page : pages) {
        const QString html = QString::fromUtf8(core.fileData(page));
        QVERIFY2(html.contains(QStringLiteral("<title>")), qPrintable(page.toString()));
        for (const QRegularExpressionMatch& m : href.globalMatch(html)) {
            const QUrl link(m.captured(1));
            if (link.scheme() == QLatin1String("http"))
                continue;
            QVERIFY2(pageHolds(page.resolved(link)),
                     qPrintable(page.fileName() + QStringLiteral(" -> ") + link.toString()));
        }
    }

    // Every index entry, and the help-on-help mark, leads to a page (and its anchor).
    QVERIFY(send(HelpCommand::PartialKey));
    auto* index = part<QHelpIndexWidget>("helpIndex");
    QTRY_VERIFY(index->model()->rowCount() > 20);
    for (int row = 0; row < index->model()->rowCount(); ++row) {
        const QString keyword = index->model()->index(row, 0).data().toString();
        const QList<QHelpLink> links = core.documentsForKeyword(keyword);
        QVERIFY2(!links.isEmpty(), qPrintable(keyword));
        for (const QHelpLink& link : links)
            QVERIFY2(pageHolds(link.url),
                     qPrintable(keyword + QStringLiteral(" -> ") + link.url.toString()));
    }
    QVERIFY(!core.documentsForIdentifier(HelpEngine::helpOnHelpId()).isEmpty());
}

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    app.setTitle(QStringLiteral("Kestrava, 1.2.00"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    tst_HelpEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_HelpEngine.moc"

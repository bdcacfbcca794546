#pragma once

#include <QObject>
#include <QString>

#include <memory>

class HelpWindow;
class QHelpEngine;
class QWidget;

// Help commands as the program numbers them.
namespace HelpCommand {
inline constexpr int Context = 1;         // data: topic number
inline constexpr int Quit = 2;            // the help window closes
inline constexpr int Contents = 3;        // the contents
inline constexpr int HelpOnHelp = 4;      // "How to Use Help"
inline constexpr int PartialKey = 0x0105; // the index with its filter field focused
} // namespace HelpCommand

// Whatever shows help. Requests return at once; a missing help file is reported by the help
// window itself.
class HelpProvider
{
public:
    virtual ~HelpProvider() = default;
    virtual bool helpCommand(const QString& helpFile, int command, qint64 data, QWidget* owner) = 0;
};

namespace Help {

void setHelpFile(const QString& file);
QString helpFile();

// Sends a command with the application's help file to the current provider.
bool command(int command, qint64 data, QWidget* owner = nullptr);

// nullptr puts the Qt Help window back.
void setProvider(HelpProvider* provider);
HelpProvider* provider();

} // namespace Help

// The help window over Qt Help: contents, index and topic viewer in a non-modal window of its own.
// Requests return at once. The help file is a Qt compressed help file; the engine's collection
// file, which registers it, is made at run time in a writable folder.
class HelpEngine : public QObject, public HelpProvider
{
    Q_OBJECT

public:
    // collectionFolder: where the collection file is made; empty means the user's cache folder.
    explicit HelpEngine(const QString& collectionFolder = QString(), QObject* parent = nullptr);
    ~HelpEngine() override;

    // Contents, index, "How to Use Help" and topics by number show the window; quit closes it.
    // A help file that cannot be found or opened is reported in the window. False when the
    // request could not be carried out.
    bool helpCommand(const QString& helpFile, int command, qint64 data, QWidget* owner) override;

    // The help window; nullptr before the first request that showed it.
    QWidget* window() const;

    // The file to open for a help file name: the file itself or, when it is not there, the file
    // of the same name in the installed data folder. Empty when neither exists.
    static QString locate(const QString& helpFile);

    // The keyword id that marks the "How to Use Help" topic in the help file. Topics that are
    // opened by number carry the number as their id.
    static QString helpOnHelpId() { return QStringLiteral("HelpOnHelp"); }

private:
    bool open(const QString& helpFile);
    void tearDown();
    void present(QWidget* owner);
    bool showIdentifier(const QString& id, const QString& missingText);
    QString collectionFile(const QString& documentation) const;

    QString m_collectionFolder;
    QString m_file; // as it was asked for
    QString m_problemTitle;
    QString m_problem; // why the file could not be opened
    bool m_placed = false;
    // The engine goes before the window: the engine's content and index widgets live in the window.
    std::unique_ptr<HelpWindow> m_window;
    std::unique_ptr<QHelpEngine> m_engine;
};

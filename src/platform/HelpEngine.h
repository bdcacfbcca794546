#pragma once

#include <QObject>
#include <QString>

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

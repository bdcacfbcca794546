#include "platform/HelpEngine.h"

namespace {

class NoHelp : public HelpProvider
{
public:
    bool helpCommand(const QString&, int, qint64, QWidget*) override { return false; }
};

QString file;
HelpProvider* current = nullptr;

HelpProvider& defaultProvider()
{
    static NoHelp provider;
    return provider;
}

} // namespace

namespace Help {

void setHelpFile(const QString& f)
{
    file = f;
}

QString helpFile()
{
    return file;
}

bool command(int cmd, qint64 data, QWidget* owner)
{
    return provider()->helpCommand(file, cmd, data, owner);
}

void setProvider(HelpProvider* provider)
{
    current = provider;
}

HelpProvider* provider()
{
    return current ? current : &defaultProvider();
}

} // namespace Help

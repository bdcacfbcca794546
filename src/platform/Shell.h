#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// The desktop's "open" operation and its default beep. Every web address, mail address,
// document and program that the program opens passes through here, so that tests can record
// the requests instead of starting a browser and count the beeps.
namespace Shell {

// Opens the target; false when the desktop could not open it. params are the command-line
// arguments of a program and are ignored for anything else.
bool open(const QString& target, const QString& params = QString());

// The default message beep.
void beep();

using Backend = std::function<bool(const QString& target, const QString& params)>;
using Beeper = std::function<void()>;

// Install a stand-in; an empty function puts the desktop back. Each returns the one it
// replaced.
Backend setBackend(Backend backend);
Beeper setBeeper(Beeper beeper);

// How the desktop reads a target.
enum class TargetKind
{
    None,     // nothing to open
    Address,  // a web or mail address: the desktop's URL handler
    Document, // an existing file or folder: the application registered for it
    Program   // an existing file with the executable permission: started on its own
};

struct Target
{
    TargetKind kind = TargetKind::None;
    QUrl url;              // Address and Document
    QString program;       // Program
    QStringList arguments; // Program
};

// An existing file wins; then a scheme-less mail address gets "mailto:" and any other
// scheme-less address "http://".
Target resolve(const QString& target, const QString& params = QString());

// The desktop backend itself.
bool openOnDesktop(const QString& target, const QString& params);

} // namespace Shell

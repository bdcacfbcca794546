#pragma once

#include "RecordingHelp.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "app/Main.h"
#include "ui_Main.h"

#include <QTemporaryDir>
#include <QWidget>

#include <memory>

// A main window over a temporary program folder, with message boxes scripted and help
// commands and shell requests recorded. Shown and active after start().
class MainWindowFixture
{
public:
    MainWindowFixture() = default;

    // Creates the window (running its creation sequence) and shows it.
    bool start();
    // Closes the window as the user would; false when the close was refused.
    bool close();
    void destroy() { window.reset(); }

    TfrmMain& w() { return *window; }
    Ui::TfrmMain& ui() { return *window->ui(); }
    QString dir() const { return folder.path(); }

    // Gives the field the focus, replaces its text by typing, and leaves it for `next`.
    static void type(QWidget* field, const QString& text, QWidget* next);
    static void leave(QWidget* next);

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    RecordingHelp help;
    RecordingShell shell;
    std::unique_ptr<TfrmMain> window;
};

#pragma once

#include <QString>

class Clock;
class Dialogs;
class SerialLink;
class SettingsStore;

// The long-lived services the main window is built on. The program passes
// the real ones; tests pass a manual clock, scripted dialogs and a settings
// file of their own. All of them outlive the main window.
struct Services {
    SettingsStore& settings;
    Clock& clock;
    Dialogs& dialogs;
    SerialLink& serialLink;
    // The program's whole command line, or empty: the name of a data file to
    // open at start-up.
    QString commandLine;
};

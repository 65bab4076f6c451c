#pragma once

#include <QDialog>

class Dialogs;
class EventPump;
class Interface;
class SettingsStore;

// The "Torvik Calibration" dialog: the load cell's sensitivity and its zero
// offset. Created once and afterwards hidden and shown again; the owner shows
// it with exec(). OK (when the value is accepted), Cancel and the frame's close
// control hide it. Window thread.
class Calibration : public QDialog {
    Q_OBJECT
public:
    Calibration(SettingsStore& settings,
                Interface& device,
                EventPump& pump,
                Dialogs& dialogs,
                QWidget* parent = nullptr);
};

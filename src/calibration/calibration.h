#pragma once

#include "calibration/zeromeasurement.h"

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>

class Dialogs;
class EventPump;
class Interface;
class QLineEdit;
class QPushButton;
class SettingsStore;

// The "Torvik Calibration" dialog: the load cell's sensitivity and its zero
// offset. Created once and afterwards hidden and shown again; the owner shows
// it with exec(). OK (when the value is accepted), Cancel and the frame's close
// control hide it.
//
// The values OK and Zero accept apply at once; when the settings store cannot
// be written the operator is told, and they apply for this run only.
//
// Zero takes ten readings over about ten seconds while the dialog stays live.
// Readings that spread more than a settled load cell's are refused as a load
// that moved; otherwise the offset is shown as a force and stored once the
// operator answers OK.
// Leaving the dialog in that time (OK, Cancel, Escape, the frame's close
// control) stops the measurement and keeps the stored offset; a second Zero is
// refused while one runs. Window thread.
class Calibration : public QDialog {
    Q_OBJECT
public:
    // `units` gives the units the operator sees loads in (1 English, 2
    // metric); the offset Zero measured is shown as a force in them.
    Calibration(SettingsStore& settings,
                Interface& device,
                EventPump& pump,
                Dialogs& dialogs,
                QWidget* parent = nullptr,
                std::function<std::int32_t()> units = {});
    ~Calibration() override;

    // Shown to the operator when Zero gets no answer from the machine.
    static const QString kNoAnswerMessage;
    // Shown when the sensitivity is typed with a decimal comma.
    static const QString kDecimalCommaMessage;
    // Shown when the settings store cannot be written; %1 is its file.
    static const QString kNotStoredMessage;
    // Shown when the load moved while Zero read it; %1 is the spread.
    static const QString kUnsteadyMessage;
    // Asked before a measured offset is stored: %1 counts, %2 the force.
    static const QString kStoreOffsetQuestion;

    bool zeroRunning() const { return m_zero != nullptr; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void handleTextChanged(const QString& text);
    void handleOkClicked();
    void handleZeroClicked();
    void refuseValue(const QString& message);
    void reportNotStored();
    void offerOffset(std::int32_t offset);

    SettingsStore& m_settings;
    Interface& m_device;
    EventPump& m_pump;
    Dialogs& m_dialogs;
    std::function<std::int32_t()> m_units;
    // The measurement under way, if any. Shared with the running Zero handler
    // so that it outlives a dialog destroyed while it waits.
    std::shared_ptr<ZeroMeasurement> m_zero;
    QLineEdit* m_text1 = nullptr;
    QPushButton* m_zeroButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

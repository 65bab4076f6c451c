#pragma once

#include <QColor>
#include <QDialog>
#include <cstdint>

class Interface;
class QEventLoop;
class QLineEdit;

// "Watch Sensors": the live load in the given units and the raw displacement,
// polled as fast as the interface answers while the window is open. Built for
// one opening and destroyed by its owner after exec() returns; the polling
// loop runs inside exec() and has ended by the time exec() returns. Window
// thread.
class Test : public QDialog {
    Q_OBJECT
public:
    Test(Interface& device, std::int32_t units, QWidget* parent = nullptr);
    ~Test() override;

    // Loads of this size or more show in red: 1000 lbf, about 4448 N.
    static constexpr double kLoadLimitLbf = 1000.0;
    static constexpr double kLoadLimitNewtons = 4448.0;
    // The colour a load text of the given units is drawn in.
    static QColor LoadColour(const QString& loadText, std::int32_t units);

    bool polling() const { return m_polling; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void handleLoadTextChanged(const QString& text);
    void pollUntilClosed();
    void showReading(std::int32_t load, std::int32_t disp);
    void pauseAfterFailedRead(qint64 readMsecs);
    void requestClose();

    Interface& m_device;
    const std::int32_t m_units;
    QLineEdit* m_textLoad = nullptr;
    QLineEdit* m_textDisp = nullptr;
    bool m_pollingStarted = false;
    bool m_polling = false;
    bool m_closeRequested = false;
    QEventLoop* m_pause = nullptr;
};

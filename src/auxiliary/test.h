#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

class Interface;
class QEventLoop;
class QLabel;
class QLineEdit;

// "Watch Sensors": the live load in the main window's units and the raw
// displacement, polled as fast as the interface answers while the window is
// open. The units are asked for at each reading, so a unit switch made while
// the window was being opened shows. A load over the limit is drawn in red and
// also named in words beside the fields and to screen readers. Built for one
// opening and destroyed by its owner after exec() returns; the polling loop
// runs inside exec() and has ended by the time exec() returns. Window thread.
class Test : public QDialog {
    Q_OBJECT
public:
    Test(Interface& device, std::function<std::int32_t()> units, QWidget* parent = nullptr);
    ~Test() override;

    // Loads of this size or more show in red: 1000 lbf, about 4448 N.
    static constexpr double kLoadLimitLbf = 1000.0;
    static constexpr double kLoadLimitNewtons = 4448.0;
    // The words that tell of a load over the limit, beside the fields.
    static const QString kOverLimitText;

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
    const std::function<std::int32_t()> m_units;
    // The units of the load on show.
    std::int32_t m_shownUnits = 0;
    QLineEdit* m_textLoad = nullptr;
    QLabel* m_overLimit = nullptr;
    QLineEdit* m_textDisp = nullptr;
    bool m_pollingStarted = false;
    bool m_polling = false;
    bool m_closeRequested = false;
    QEventLoop* m_pause = nullptr;
};

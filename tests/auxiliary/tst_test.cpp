#include "auxiliary/test.h"
#include "calibration/machinefixture.h"
#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/geometry.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace {
constexpr int kGiveUpMsecs = 10000;
constexpr int kSpinCheckMsecs = 500;
// The window waits at least this long before trying a failed read again.
constexpr int kExpectedPauseMsecs = 50;

// The raw load that shows as `load` with a ratio of 1 and no offset.
int RawForLoad(float load, std::int32_t units) {
    for (int raw = 0; raw <= 65535; ++raw) {
        if (DigitalToLoad(raw, units, 1.0F, 0) == load)
            return raw;
    }
    return -1;
}

QLineEdit* Field(Test& window, const char* name) {
    return window.findChild<QLineEdit*>(QString::fromLatin1(name));
}
} // namespace

class TestWatchSensors : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void controlsCarryCaptionsNamesAndPlaces_data();
    void controlsCarryCaptionsNamesAndPlaces();
    void loadTurnsRedAtTheLimit_data();
    void loadTurnsRedAtTheLimit();
    void closingEndsThePolling_data();
    void closingEndsThePolling();
    void closingWhileAReadWaitsEndsAtOnce();
    void withoutMachineTheFieldsStayEmpty();
    void failingReadsDoNotSpin();

private:
    // Runs the window modally; `step` is called every few milliseconds from
    // its event loop until it answers true (or a time limit passes).
    void runWindow(Test& window, const std::function<bool()>& step);

    QTemporaryDir m_configHome;
    MachineFixture m_fixture;
};

void TestWatchSensors::initTestCase() {
    QVERIFY(m_configHome.isValid());
    qputenv("XDG_CONFIG_HOME", m_configHome.path().toLocal8Bit());
    QVERIFY2(m_fixture.start(), "the simulated machine was not found on port 1");
}

void TestWatchSensors::init() {
    SetCurrentLoadCellRatio(1.0F);
    SetCurrentLoadCellOffset(0);
    m_fixture.machine->setAppClosing(false);
    QVERIFY(m_fixture.sim->command(QStringLiteral("answer")));
    QVERIFY(m_fixture.sim->command(QStringLiteral("hold 32768 1000")));
}

void TestWatchSensors::cleanupTestCase() {
    m_fixture.stop();
}

void TestWatchSensors::runWindow(Test& window, const std::function<bool()>& step) {
    QElapsedTimer running;
    running.start();
    QTimer stepper;
    connect(&stepper, &QTimer::timeout, &window, [&] {
        if (step() || running.elapsed() > kGiveUpMsecs)
            stepper.stop();
    });
    stepper.start(5);
    window.exec();
}

void TestWatchSensors::controlsCarryCaptionsNamesAndPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("place");
    QTest::newRow("labelLoad") << "labelLoad"
                               << "Load" << TwipsRect(240, 360, 1575, 255);
    QTest::newRow("textLoad") << "textLoad"
                              << "Load" << TwipsRect(2280, 360, 1215, 375);
    QTest::newRow("labelDisp") << "labelDisp"
                               << "Digital Displacement" << TwipsRect(240, 840, 1575, 255);
    QTest::newRow("textDisp") << "textDisp"
                              << "Digital Displacement" << TwipsRect(2280, 840, 1215, 375);
    QTest::newRow("buttonClose") << "buttonClose"
                                 << "Close" << TwipsRect(2280, 1440, 1215, 495);
}

void TestWatchSensors::controlsCarryCaptionsNamesAndPlaces() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, place);
    Test window(*m_fixture.machine, kUnitsEnglish);
    QCOMPARE(window.windowTitle(), QStringLiteral("Watch Sensors"));
    QCOMPARE(window.accessibleName(), QStringLiteral("Watch Sensors"));
    QCOMPARE(window.size(), QSize(TwipsToPixels(3885), TwipsToPixels(2190)));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    auto* frame = window.findChild<QFrame*>(QStringLiteral("Frame1"));
    QVERIFY(frame);
    QCOMPARE(frame->geometry(), TwipsRect(20, 0, 3855, 2175));
    auto* control = frame->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->accessibleName(), caption);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->buddy()->accessibleName(), caption);
        // A caption keeps its place and may only grow towards its field, so
        // that it is read in full in a larger font.
        QCOMPARE(label->pos(), place.topLeft());
        QCOMPARE(label->height(), place.height());
        QVERIFY(label->width() >= place.width());
        if (label->width() > place.width())
            QVERIFY(label->geometry().right() < label->buddy()->x());
        QVERIFY(label->sizeHint().width() <= label->width());
    } else {
        QCOMPARE(control->geometry(), place);
    }
    if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), caption);
}

void TestWatchSensors::loadTurnsRedAtTheLimit_data() {
    QTest::addColumn<int>("units");
    QTest::addColumn<float>("load");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("red");
    QTest::newRow("1000 lbf") << kUnitsEnglish << 1000.0F << "1000 lbs" << true;
    QTest::newRow("999.8 lbf") << kUnitsEnglish << 999.8F << "999.8 lbs" << false;
    QTest::newRow("-1000 lbf") << kUnitsEnglish << -1000.0F << "-1000 lbs" << true;
    QTest::newRow("12.4 lbf") << kUnitsEnglish << 12.4F << "12.4 lbs" << false;
    QTest::newRow("4448 N") << kUnitsMetric << 4448.0F << "4448 N" << true;
    QTest::newRow("4447 N") << kUnitsMetric << 4447.0F << "4447 N" << false;
    QTest::newRow("-4448 N") << kUnitsMetric << -4448.0F << "-4448 N" << true;
}

void TestWatchSensors::loadTurnsRedAtTheLimit() {
    QFETCH(int, units);
    QFETCH(float, load);
    QFETCH(QString, text);
    QFETCH(bool, red);
    const int raw = load < 0 ? 65535 : RawForLoad(load, units);
    QVERIFY(raw >= 0);
    QCOMPARE(DigitalToLoad(raw, units, 1.0F, 0), load);
    QVERIFY(m_fixture.sim->command(QStringLiteral("hold %1 1234").arg(raw)));

    Test window(*m_fixture.machine, units);
    QCOMPARE(Field(window, "textLoad")->palette().color(QPalette::Text), QColor(0, 0, 0));
    QColor shown;
    runWindow(window, [&] {
        if (Field(window, "textLoad")->text() != text)
            return false;
        shown = Field(window, "textLoad")->palette().color(QPalette::Text);
        window.findChild<QPushButton*>(QStringLiteral("buttonClose"))->click();
        return true;
    });
    QCOMPARE(Field(window, "textLoad")->text(), text);
    QCOMPARE(Field(window, "textDisp")->text(), QStringLiteral("1234"));
    QCOMPARE(shown, red ? QColor(255, 0, 0) : QColor(0, 0, 0));
}

void TestWatchSensors::closingEndsThePolling_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Close button") << "Close";
    QTest::newRow("frame close") << "frame";
    QTest::newRow("Escape") << "Escape";
}

void TestWatchSensors::closingEndsThePolling() {
    QFETCH(QString, how);
    Test window(*m_fixture.machine, kUnitsEnglish);
    bool wasPolling = false;
    runWindow(window, [&] {
        if (Field(window, "textLoad")->text().isEmpty())
            return false;
        wasPolling = window.polling();
        if (how == QStringLiteral("Close"))
            window.findChild<QPushButton*>(QStringLiteral("buttonClose"))->click();
        else if (how == QStringLiteral("frame"))
            window.close();
        else
            QTest::keyClick(&window, Qt::Key_Escape);
        return true;
    });
    // exec() has returned: the loop is over and the window may be destroyed.
    QVERIFY(wasPolling);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.polling());
    QVERIFY(!m_fixture.machine->readInProgress());
    QCOMPARE(Field(window, "textLoad")->text(), QStringLiteral("0 lbs"));
}

void TestWatchSensors::closingWhileAReadWaitsEndsAtOnce() {
    QVERIFY(m_fixture.sim->command(QStringLiteral("silent")));
    Test window(*m_fixture.machine, kUnitsEnglish);
    bool readWaiting = false;
    QElapsedTimer closing;
    runWindow(window, [&] {
        if (!m_fixture.machine->readInProgress())
            return false;
        readWaiting = true;
        closing.start();
        window.findChild<QPushButton*>(QStringLiteral("buttonClose"))->click();
        return true;
    });
    QVERIFY(readWaiting);
    QVERIFY(closing.elapsed() < kGiveUpMsecs / 2);
    QVERIFY(!window.polling());
    QVERIFY(!m_fixture.machine->readInProgress());
}

void TestWatchSensors::withoutMachineTheFieldsStayEmpty() {
    Test window(*m_fixture.noMachine, kUnitsEnglish);
    QElapsedTimer open;
    open.start();
    bool everPolled = false;
    runWindow(window, [&] {
        everPolled = everPolled || window.polling();
        if (open.elapsed() < 200)
            return false;
        window.close();
        return true;
    });
    QVERIFY(!everPolled);
    QVERIFY(Field(window, "textLoad")->text().isEmpty());
    QVERIFY(Field(window, "textDisp")->text().isEmpty());
}

// Every read fails at once once the machine's line is gone; the loop must
// then wait between tries rather than spin.
void TestWatchSensors::failingReadsDoNotSpin() {
    auto sim = std::make_unique<SimulatedMachine>();
    QVERIFY(!sim->path().isEmpty());
    QtSerialLink link;
    Interface lostMachine(link, MachineFixture::PortsWithMachineOnFirst(sim->path()),
                          m_fixture.clock, m_fixture.dialogs);
    m_fixture.probe(lostMachine);
    QVERIFY(lostMachine.valid());
    sim.reset(); // the far end of the line closes
    QTRY_VERIFY(!link.isOpen());

    int reads = 0;
    connect(&lostMachine, &Interface::readFinished, this, [&reads] { ++reads; });
    Test window(lostMachine, kUnitsEnglish);
    QElapsedTimer open;
    open.start();
    runWindow(window, [&] {
        if (open.elapsed() < kSpinCheckMsecs)
            return false;
        window.close();
        return true;
    });
    const qint64 openMsecs = open.elapsed();
    QVERIFY(reads > 0);
    // About one try per pause; a spinning loop makes thousands.
    QVERIFY2(reads <= openMsecs / kExpectedPauseMsecs + 2, qPrintable(QString::number(reads)));
    QVERIFY(!window.polling());
    QVERIFY(Field(window, "textLoad")->text().isEmpty());
}

QTEST_MAIN(TestWatchSensors)
#include "tst_test.moc"

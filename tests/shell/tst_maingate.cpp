#include "device/interface.h"
#include "mainfixture.h"
#include "modalwatcher.h"
#include "simulator.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

// A command that reads the interface itself, chosen while a tick of the live
// load is still waiting for its reply: the command's own reads must not be
// refused as a second request. The command is chosen from inside the tick's
// wait, on the arrival of the reply, so that the case is met every time.
class TestMainGate : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_config;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<MainFixture> m_f;
    static constexpr int kPatienceCalls = 500;

    Main& main() { return *m_f->main; }

    // Runs `choose` once, inside the wait of a live-load read, and tells
    // whether a read of the test's own was refused at that moment.
    void chooseDuringATickRead(const std::function<void()>& choose, bool& nestedReadRefused) {
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection =
            connect(&m_f->serialLink, &SerialLink::readyRead, this, [=, this, &nestedReadRefused] {
                if (!main().deviceInterface().readInProgress())
                    return;
                disconnect(*connection);
                std::int32_t load = 0;
                std::int32_t disp = 0;
                nestedReadRefused = !main().deviceInterface().GetVals(load, disp);
                choose();
            });
    }

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void init() {
        m_sim = std::make_unique<Simulator>();
        QVERIFY(m_sim->command(QStringLiteral("hold 32770 1000")));
        m_f = std::make_unique<MainFixture>();
        m_f->usePorts(m_sim->portPath());
        m_f->storeCalibration(QStringLiteral("3.906"), QStringLiteral("0"));
        m_f->start();
        main().show();
        QTRY_VERIFY(!m_f->liveLoadPanel().text().isEmpty());
    }

    void cleanup() {
        m_f.reset();
        m_sim.reset();
    }

    void commandChosenDuringATickReadGetsItsOwnReads() {
        bool nestedReadRefused = false;
        int goodReads = -1;
        chooseDuringATickRead(
            [this, &goodReads] {
                main().runDeviceCommand([this, &goodReads] {
                    goodReads = 0;
                    for (int i = 0; i < 3; ++i) {
                        std::int32_t load = 0;
                        std::int32_t disp = 0;
                        if (main().deviceInterface().GetVals(load, disp) && load == 32770)
                            ++goodReads;
                    }
                });
            },
            nestedReadRefused);

        QTRY_VERIFY(goodReads >= 0);
        QVERIFY(nestedReadRefused); // the case really arose
        QVERIFY(goodReads >= 2);    // an abandoned reply may still be on its way
        QVERIFY(!main().deviceInterface().readInProgress());
    }

    void zeroChosenDuringATickReadMeasuresTheOffset() {
        bool nestedReadRefused = false;
        ModalWatcher watcher(QStringLiteral("Calibration"), [](QWidget& dialog) {
            // Zero runs to its end inside the click: ten readings of 32770.
            dialog.findChild<QAbstractButton*>(QStringLiteral("Command1"))->click();
            dialog.findChild<QAbstractButton*>(QStringLiteral("CancelButton"))->click();
            return true;
        });
        chooseDuringATickRead([this] { m_f->item<QAction>("mnuCalibration").trigger(); },
                              nestedReadRefused);

        QTRY_VERIFY_WITH_TIMEOUT(watcher.done(), 20000);
        QVERIFY(nestedReadRefused);
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QCOMPARE(
            m_f->settings.read(QStringLiteral("Calibration"), QStringLiteral("Load Cell Offset")),
            QStringLiteral("2"));
        QTRY_VERIFY(m_f->mainTimer().isActive());
    }

    void watchSensorsChosenDuringATickReadShowsTheLoad() {
        bool nestedReadRefused = false;
        int calls = 0;
        QString disp;
        ModalWatcher watcher(QStringLiteral("Test"), [&](QWidget& window) {
            disp = window.findChild<QLineEdit*>(QStringLiteral("textDisp"))->text();
            if (disp != QLatin1String("1000") && ++calls < kPatienceCalls)
                return false;
            window.findChild<QAbstractButton*>(QStringLiteral("buttonClose"))->click();
            return true;
        });
        chooseDuringATickRead([this] { m_f->item<QAction>("mnutest").trigger(); },
                              nestedReadRefused);

        QTRY_VERIFY_WITH_TIMEOUT(watcher.done(), 20000);
        QVERIFY(nestedReadRefused);
        QCOMPARE(disp, QStringLiteral("1000"));
        QTRY_VERIFY(m_f->mainTimer().isActive());
    }

    void secondCommandWhileOneIsPendingIsIgnored() {
        int runs = 0;
        bool nestedReadRefused = false;
        chooseDuringATickRead(
            [this, &runs] {
                main().runDeviceCommand([&runs] { ++runs; });
                main().runDeviceCommand([&runs] { ++runs; });
            },
            nestedReadRefused);

        QTRY_COMPARE(runs, 1);
        QTest::qWait(200);
        QCOMPARE(runs, 1);
        main().runDeviceCommand([&runs] { ++runs; });
        QCOMPARE(runs, 2);
    }
};

QTEST_MAIN(TestMainGate)
#include "tst_maingate.moc"

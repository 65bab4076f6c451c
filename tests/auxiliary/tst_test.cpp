#include "auxiliary/test.h"
#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/geometry.h"
#include "support/machinefixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// Watch Sensors over the simulator: the real window, run modally.
class TestWatchSensors : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseOwnSettingsFolder(); }
    void init() {
        SetCurrentLoadCellRatio(1.0F);
        SetCurrentLoadCellOffset(0);
        m_f = std::make_unique<MachineFixture>();
        QVERIFY2(m_f->start(), "the simulated machine was not found on port 1");
    }
    void cleanup() { m_f.reset(); }

    void controlsCarryCaptionsNamesAndPlaces() {
        const Test window(*m_f->machine, kUnitsEnglish);
        const QString disp = QStringLiteral("Digital Displacement");
        QCOMPARE(LayoutFault(window, QStringLiteral("Watch Sensors"), QSize(3885, 2190),
                             QSize(3855, 2175),
                             {{"labelLoad", "Load", TwipsRect(240, 360, 1575, 255)},
                              {"textLoad", "Load", TwipsRect(2280, 360, 1215, 375)},
                              {"labelDisp", disp, TwipsRect(240, 840, 1575, 255)},
                              {"textDisp", disp, TwipsRect(2280, 840, 1215, 375)},
                              {"buttonClose", "Close", TwipsRect(2280, 1440, 1215, 495)}}),
                 QString());
    }

    void loadTurnsRedAtTheLimit_data() {
        QTest::addColumn<int>("units");
        QTest::addColumn<float>("load");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("red");
        QTest::newRow("1000 lbf") << kUnitsEnglish << 1000.0F << "1000 lbs" << true;
        QTest::newRow("999.8 lbf") << kUnitsEnglish << 999.8F << "999.8 lbs" << false;
        QTest::newRow("-1000 lbf") << kUnitsEnglish << -1000.0F << "-1000 lbs" << true;
        QTest::newRow("4448 N") << kUnitsMetric << 4448.0F << "4448 N" << true;
        QTest::newRow("4447 N") << kUnitsMetric << 4447.0F << "4447 N" << false;
        QTest::newRow("-4448 N") << kUnitsMetric << -4448.0F << "-4448 N" << true;
    }
    void loadTurnsRedAtTheLimit() {
        QFETCH(int, units);
        QFETCH(float, load);
        QFETCH(QString, text);
        QFETCH(bool, red);
        const int raw = load < 0 ? 65535 : RawFor(load, units); // full tension
        QVERIFY(raw >= 0);
        QVERIFY(m_f->sim->command(QStringLiteral("hold %1 1234").arg(raw)));
        Test window(*m_f->machine, units);
        QCOMPARE(field(window, "textLoad")->palette().color(QPalette::Text), QColor(Qt::black));
        QColor shown;
        run(window, [&] {
            if (field(window, "textLoad")->text() != text)
                return false;
            shown = field(window, "textLoad")->palette().color(QPalette::Text);
            return true;
        });
        QCOMPARE(field(window, "textLoad")->text(), text);
        QCOMPARE(field(window, "textDisp")->text(), QStringLiteral("1234"));
        QCOMPARE(shown, red ? QColor(Qt::red) : QColor(Qt::black));
    }

    // A read waiting for a silent machine gives up at once.
    void closingEndsThePolling_data() {
        QTest::addColumn<bool>("frame");
        QTest::addColumn<bool>("silent");
        QTest::newRow("Close button") << false << false;
        QTest::newRow("frame close") << true << false;
        QTest::newRow("Close while a read waits") << false << true;
    }
    void closingEndsThePolling() {
        QFETCH(bool, frame);
        QFETCH(bool, silent);
        QVERIFY(!silent || m_f->sim->command(QStringLiteral("silent")));
        Test window(*m_f->machine, kUnitsEnglish);
        bool wasPolling = false;
        const auto ready = [&] {
            wasPolling = window.polling();
            return silent ? m_f->machine->readInProgress()
                          : !field(window, "textLoad")->text().isEmpty();
        };
        run(window, ready, frame);
        // exec() has returned: the loop is over and the window may be destroyed.
        QVERIFY(wasPolling);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.polling());
        QVERIFY(!m_f->machine->readInProgress());
        QCOMPARE(field(window, "textLoad")->text(), silent ? QString() : QStringLiteral("0 lbs"));
    }

    void withoutMachineTheFieldsStayEmpty() {
        Test window(*m_f->noMachine, kUnitsEnglish);
        bool everPolled = false;
        QElapsedTimer open;
        open.start();
        run(window, [&] {
            everPolled = everPolled || window.polling();
            return open.elapsed() >= 200;
        });
        QVERIFY(!everPolled);
        QVERIFY(field(window, "textLoad")->text().isEmpty());
        QVERIFY(field(window, "textDisp")->text().isEmpty());
    }

    // Every read fails at once once the machine's line is gone; the loop
    // must then wait between tries rather than spin.
    void failingReadsDoNotSpin() {
        m_f->sim.reset(); // the far end of the line closes
        QTRY_VERIFY(!m_f->link.isOpen());
        int reads = 0;
        connect(m_f->machine.get(), &Interface::readFinished, this, [&reads] { ++reads; });
        Test window(*m_f->machine, kUnitsEnglish);
        QElapsedTimer open;
        open.start();
        run(window, [&] { return open.elapsed() >= 500; });
        // About one try per 50 ms pause; a spinning loop makes thousands.
        QVERIFY(reads > 0);
        QVERIFY2(reads <= open.elapsed() / 50 + 2, qPrintable(QString::number(reads)));
        QVERIFY(!window.polling());
        QVERIFY(field(window, "textLoad")->text().isEmpty());
    }

private:
    // The raw load that shows as `load` with a ratio of 1 and no offset.
    static int RawFor(float load, std::int32_t units) {
        for (int raw = 0; raw <= 65535; ++raw) {
            if (DigitalToLoad(raw, units, 1.0F, 0) == load)
                return raw;
        }
        return -1;
    }
    static QLineEdit* field(Test& window, const char* name) {
        return window.findChild<QLineEdit*>(QLatin1String(name));
    }
    // Runs the window modally until `ready` holds, then closes it with its
    // Close button or its frame.
    void run(Test& window, const std::function<bool()>& ready, bool frame = false) {
        const Stepper closer([&] {
            if (!ready())
                return false;
            if (frame)
                window.close();
            else
                window.findChild<QPushButton*>(QStringLiteral("buttonClose"))->click();
            return true;
        });
        window.exec();
    }

    std::unique_ptr<MachineFixture> m_f;
};

QTEST_MAIN(TestWatchSensors)
#include "tst_test.moc"

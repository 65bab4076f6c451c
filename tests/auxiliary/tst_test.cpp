#include "auxiliary/test.h"
#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/geometry.h"
#include "support/machinefixture.h"

#include <QPushButton>

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
        const Test window(*m_f->machine, English);
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

    // Red, the words beside the fields and the field's accessible description
    // tell the same. The units are asked for once the window runs.
    void loadOverTheLimitIsShownInRedAndInWords_data() {
        QTest::addColumn<int>("units");
        QTest::addColumn<float>("load");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("over");
        QTest::newRow("1000 lbf") << kUnitsEnglish << 1000.0F << "1000 lbs" << true;
        QTest::newRow("999.8 lbf") << kUnitsEnglish << 999.8F << "999.8 lbs" << false;
        QTest::newRow("-1000 lbf") << kUnitsEnglish << -1000.0F << "-1000 lbs" << true;
        QTest::newRow("4448 N") << kUnitsMetric << 4448.0F << "4448 N" << true;
        QTest::newRow("4447 N") << kUnitsMetric << 4447.0F << "4447 N" << false;
    }
    void loadOverTheLimitIsShownInRedAndInWords() {
        QFETCH(int, units);
        QFETCH(float, load);
        QFETCH(QString, text);
        QFETCH(bool, over);
        QVERIFY(m_f->sim->command(QStringLiteral("hold %1 1234").arg(RawFor(load, units))));
        std::int32_t current = kUnitsEnglish + kUnitsMetric - units;
        Test window(*m_f->machine, [&current] { return current; });
        current = units; // switched while the window was being opened
        run(window, [&] { return field(window, "textLoad")->text() == text; });
        QCOMPARE(field(window, "textLoad")->palette().color(QPalette::Text),
                 over ? QColor(Qt::red) : QColor(Qt::black));
        QCOMPARE(!window.findChild<QLabel*>(QStringLiteral("labelOverLimit"))->isHidden(), over);
        QCOMPARE(field(window, "textLoad")->accessibleDescription(),
                 over ? text + QStringLiteral(", ") + Test::kOverLimitText : text);
        QCOMPARE(field(window, "textDisp")->accessibleDescription(), QStringLiteral("1234"));
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
        Test window(*m_f->machine, English);
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

    // Without a machine nothing is polled; once the machine's line is gone
    // every read fails at once, and the loop waits between tries rather than
    // spinning. The fields stay empty either way.
    void unreadableMachineLeavesTheFieldsEmpty_data() {
        QTest::addColumn<bool>("found");
        QTest::newRow("no machine") << false;
        QTest::newRow("line gone") << true;
    }
    void unreadableMachineLeavesTheFieldsEmpty() {
        QFETCH(bool, found);
        Interface& device = found ? *m_f->machine : *m_f->noMachine;
        m_f->sim.reset(); // the far end of the line closes
        QTRY_VERIFY(!m_f->link.isOpen());
        int reads = 0;
        connect(&device, &Interface::readFinished, this, [&reads] { ++reads; });
        Test window(device, English);
        bool everPolled = false;
        QElapsedTimer open;
        open.start();
        run(window, [&] {
            everPolled = everPolled || window.polling();
            return open.elapsed() >= 500;
        });
        QCOMPARE(everPolled, found);
        // About one try per 50 ms pause; a spinning loop makes thousands.
        QCOMPARE(reads > 0, found);
        QVERIFY2(reads <= open.elapsed() / 50 + 2, qPrintable(QString::number(reads)));
        QVERIFY(!window.polling());
        QVERIFY(field(window, "textLoad")->text().isEmpty());
        QVERIFY(field(window, "textDisp")->text().isEmpty());
    }

private:
    static std::int32_t English() { return kUnitsEnglish; }
    // The raw load that shows as `load` with a ratio of 1 and no offset.
    static int RawFor(float load, std::int32_t units) {
        int raw = 0;
        while (raw < 65535 && DigitalToLoad(raw, units, 1.0F, 0) != load)
            ++raw;
        return raw;
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

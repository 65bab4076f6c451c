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

    // The units are asked for once the window runs.
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
        run(window, false, [&] { return field(window, "textLoad")->text() == text; });
        QCOMPARE(field(window, "textLoad")->palette().color(QPalette::Text),
                 over ? QColor(Qt::red) : QColor(Qt::black));
        QCOMPARE(!window.findChild<QLabel*>(QStringLiteral("labelOverLimit"))->isHidden(), over);
        QCOMPARE(field(window, "textLoad")->accessibleDescription(),
                 over ? text + QStringLiteral(", ") + Test::kOverLimitText : text);
        QCOMPARE(field(window, "textDisp")->accessibleDescription(), QStringLiteral("1234"));
    }

    // A read waiting for a silent machine gives up at once; once the line is
    // gone every read fails at once, and the loop waits between tries.
    void closingEndsThePolling_data() {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<bool>("frame");
        QTest::addColumn<QString>("load");
        QTest::newRow("Close button") << "answering" << false << "0 lbs";
        QTest::newRow("frame close") << "answering" << true << "0 lbs";
        QTest::newRow("Close while a read waits") << "silent" << false << "";
        QTest::newRow("line gone") << "line gone" << false << "";
        QTest::newRow("no machine") << "none" << false << "";
    }
    void closingEndsThePolling() {
        QFETCH(QString, machine);
        QFETCH(bool, frame);
        QFETCH(QString, load);
        const auto is = [&machine](const char* state) { return machine == QLatin1String(state); };
        QVERIFY(!is("silent") || m_f->sim->command(QStringLiteral("silent")));
        if (is("line gone") || is("none")) {
            m_f->sim.reset(); // the far end of the line closes
            QTRY_VERIFY(!m_f->link.isOpen());
        }
        Interface& device = is("none") ? *m_f->noMachine : *m_f->machine;
        int reads = 0;
        connect(&device, &Interface::readFinished, this, [&reads] { ++reads; });
        Test window(device, English);
        bool wasPolling = false;
        QElapsedTimer open;
        open.start();
        run(window, frame, [&] {
            wasPolling = window.polling();
            return is("answering") ? !field(window, "textLoad")->text().isEmpty()
                   : is("silent")  ? m_f->machine->readInProgress()
                                   : open.elapsed() >= 500;
        });
        // exec() has returned: the loop is over and the window may be destroyed.
        QCOMPARE(wasPolling, !is("none"));
        QVERIFY(!window.isVisible() && !window.polling() && !m_f->machine->readInProgress());
        QCOMPARE(field(window, "textLoad")->text(), load);
        QCOMPARE(field(window, "textDisp")->text().isEmpty(), load.isEmpty());
        // About one try per 50 ms pause; a spinning loop makes thousands.
        QVERIFY2(is("answering") || is("silent") ||
                     ((reads > 0) == is("line gone") && reads <= open.elapsed() / 50 + 2),
                 qPrintable(QString::number(reads)));
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
    void run(Test& window, bool frame, const std::function<bool()>& ready) {
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

#include "device/interface.h"
#include "mainfixture.h"
#include "modalwatcher.h"
#include "model/currentcalibration.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "simulator.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

// Start-up, the menus' first state, the live load and the close check of the
// main window, against the simulator on a pseudo-terminal.
class TestMain : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_config;
    // One window with the machine on port 1, shared by the tests that only
    // look at its first state.
    std::unique_ptr<Simulator> m_sharedSim;
    std::unique_ptr<MainFixture> m_shared;

    // 33 counts of compression: 1 lbf, 4 N at a ratio of 1.
    static inline const QString kHoldOnePound = QStringLiteral("hold 32735 1000");

    static QStringList names(const QList<QAction*>& actions) {
        QStringList result;
        for (const QAction* action : actions)
            result.append(action->objectName());
        return result;
    }

    // A window started with the simulator on port 1 and a stored calibration.
    static void startWithMachine(MainFixture& f, Simulator& sim) {
        QVERIFY(!sim.portPath().isEmpty());
        QVERIFY(sim.command(kHoldOnePound));
        f.usePorts(sim.portPath());
        f.storeCalibration(QStringLiteral("3.906"), QStringLiteral("0"));
        f.start();
        QVERIFY(f.main->deviceInterface().valid());
        f.main->show();
        QTRY_COMPARE(f.liveLoadPanel().text(), QStringLiteral("1 lbs"));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        m_sharedSim = std::make_unique<Simulator>();
        m_shared = std::make_unique<MainFixture>();
        startWithMachine(*m_shared, *m_sharedSim);
    }

    void cleanupTestCase() {
        m_shared.reset();
        m_sharedSim.reset();
    }

    void startsWithMachineReadyAndStateSet() {
        Main& main = *m_shared->main;
        QVERIFY(m_shared->dialogs.messages.isEmpty());
        QCOMPARE(main.windowTitle(), QStringLiteral("Torvik"));
        QCOMPARE(main.units(), 1);
        QCOMPARE(main.viewMode(), 1);
        QVERIFY(!main.experimentPresent());
        QVERIFY(!main.dataSaved());
        QVERIFY(!main.appClosing());
        QCOMPARE(CurrentLoadCellRatio(), 1.0f);
        QCOMPARE(main.helpPath(),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html"));
        QCOMPARE(m_shared->mainTimer().interval(), 100);
        QVERIFY(m_shared->mainTimer().isActive());
    }

    void menuItemStartsAsTabled_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("checked");
        const auto row = [](const char* name, const char* caption, QKeySequence shortcut,
                            bool enabled, bool checked = false) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption)
                                << shortcut << enabled << checked;
        };
        const QKeySequence none;
        row("mnuFile", "&File", none, true);
        row("mnuNew", "&New", none, true);
        row("mnuHardness", "Hardness", none, true);
        row("mnuTension", "Tension", none, true);
        row("mnuCompression", "Compression", none, true);
        row("mnuShear", "Shear", none, true);
        row("mnuStructures", "Structures", none, true);
        row("mnuOpen", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), true);
        row("mnuSave", "&Save...", QKeySequence(Qt::CTRL | Qt::Key_S), false);
        row("mnuExport", "&Export...", none, false);
        row("mnuClose", "&Close", QKeySequence(Qt::CTRL | Qt::Key_W), false);
        row("mnuPrint", "&Print", QKeySequence(Qt::CTRL | Qt::Key_P), false);
        row("mnuExit", "E&xit", QKeySequence(Qt::CTRL | Qt::Key_Q), true);
        row("mnuView", "&View", none, true);
        row("mnuUnits", "&Units", none, true);
        row("mnuEnglish", "English", QKeySequence(Qt::CTRL | Qt::Key_E), true, true);
        row("mnuMetric", "Metric", QKeySequence(Qt::CTRL | Qt::Key_M), true);
        row("mnuAxis", "&Axis", none, false);
        row("mnuLoadDisp", "Load vs. Displacement", none, true, true);
        row("mnuStressStrain", "Stress vs. Strain", none, true);
        row("mnuOptions", "&Options", none, true);
        row("mnuCalibration", "&Calibration", none, true);
        row("mnutest", "Wa&tch Sensors", QKeySequence(Qt::CTRL | Qt::Key_T), true);
        row("mnuHelp", "&Help", none, true);
        row("mnuHelpHelp", "&Help...", QKeySequence(Qt::Key_F1), true);
        row("mnuHelpAbout", "&About Torvik...", none, true);
    }

    void menuItemStartsAsTabled() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        QFETCH(bool, enabled);
        QFETCH(bool, checked);
        const QAction& item = m_shared->item<QAction>(name.toLatin1().constData());
        QCOMPARE(item.text(), caption);
        QCOMPARE(item.shortcut(), shortcut);
        QCOMPARE(item.isEnabled(), enabled);
        QCOMPARE(item.isChecked(), checked);
    }

    void menusHoldTheirItemsInOrder() {
        const auto menu = [this](const char* name) {
            return names(m_shared->item<QMenu>(name).actions());
        };
        QCOMPARE(names(m_shared->main->menuBar()->actions()),
                 QStringList({"mnuFile", "mnuView", "mnuOptions", "mnuHelp"}));
        QCOMPARE(menu("mnuFile"), QStringList({"mnuNew", "mnuOpen", "mnuSave", "mnuExport",
                                               "mnuClose", "mnuPrint", "seperator", "mnuExit"}));
        QCOMPARE(menu("mnuNew"), QStringList({"mnuHardness", "mnuTension", "mnuCompression",
                                              "mnuShear", "mnuStructures"}));
        QCOMPARE(menu("mnuView"), QStringList({"mnuUnits", "mnuAxis"}));
        QCOMPARE(menu("mnuUnits"), QStringList({"mnuEnglish", "mnuMetric"}));
        QCOMPARE(menu("mnuAxis"), QStringList({"mnuLoadDisp", "mnuStressStrain"}));
        QCOMPARE(menu("mnuOptions"), QStringList({"mnuCalibration", "mnutest"}));
        QCOMPARE(menu("mnuHelp"), QStringList({"mnuHelpHelp", "seperator2", "mnuHelpAbout"}));
        QVERIFY(m_shared->item<QAction>("seperator").isSeparator());
        QVERIFY(m_shared->item<QAction>("seperator2").isSeparator());
    }

    void toolbarHasKeyedButtonsWithSaveAndPrintDisabled() {
        QStringList keys;
        QList<bool> enabled;
        for (const QAction* button : m_shared->item<QToolBar>("Toolbar").actions()) {
            keys.append(button->isSeparator() ? QStringLiteral("-") : button->data().toString());
            enabled.append(button->isEnabled());
        }
        QCOMPARE(keys, QStringList({"New", "Open", "Save", "-", "Print"}));
        QCOMPARE(enabled, QList<bool>({true, true, false, true, false}));
    }

    void startsWithoutMachineWithOneMessageAndReadingCommandsOff() {
        MainFixture f;
        f.usePorts(QString());
        f.storeCalibration(QStringLiteral("3.906"), QStringLiteral("0"));
        Main& main = f.start();
        main.show();

        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("No Torvik interface found.")});
        QCOMPARE(f.dialogs.messages.constFirst().icon, Dialogs::Icon::Information);
        QVERIFY(!f.item<QAction>("mnuNew").isEnabled());
        QVERIFY(!f.item<QAction>("toolbarNew").isEnabled());
        QVERIFY(!f.item<QAction>("mnutest").isEnabled());
        QVERIFY(f.item<QAction>("mnuCalibration").isEnabled());
        QVERIFY(f.item<QAction>("mnuOpen").isEnabled());
        QVERIFY(!f.mainTimer().isActive());
        QTest::qWait(300);
        QVERIFY(f.liveLoadPanel().text().isEmpty());
    }

    void pauseWithoutMachineNeitherWaitsNorShowsTheBusyPointer() {
        MainFixture f;
        f.usePorts(QString());
        f.storeCalibration(QStringLiteral("3.906"), QStringLiteral("0"));
        Main& main = f.start();
        f.clockDriver.stop();
        // Should the pause wait after all, this lets it end and the test fail.
        bool busy = false;
        QTimer rescue;
        connect(&rescue, &QTimer::timeout, this, [&] {
            busy |= QGuiApplication::overrideCursor() != nullptr;
            f.clock.advance();
        });
        rescue.start(200);
        const qint64 before = f.clock.wholeSeconds();

        main.PauseLiveLoad();

        QCOMPARE(f.clock.wholeSeconds(), before);
        QVERIFY(!busy);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void withoutStoredCalibrationTheDialogComesBeforeTheMainWindow() {
        Simulator sim;
        QVERIFY(sim.command(QStringLiteral("hold 32768 1000")));
        MainFixture f;
        f.usePorts(sim.portPath());
        f.storeCalibration(QString());
        SetCurrentLoadCellRatio(0.0f);
        bool mainShown = true;
        bool pollingStopped = false;
        ModalWatcher watcher(QStringLiteral("Calibration"), [&](QWidget& dialog) {
            mainShown = f.main->isVisible();
            pollingStopped = !f.mainTimer().isActive();
            dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
            return true;
        });

        Main& main = f.start();

        QVERIFY(watcher.done());
        QVERIFY(!mainShown);
        QVERIFY(pollingStopped);
        QCOMPARE(CurrentLoadCellRatio(), 0.0f);
        QVERIFY(
            f.settings.read(QStringLiteral("Calibration"), QStringLiteral("Load Cell")).isEmpty());
        QVERIFY(f.dialogs.messages.isEmpty());
        // Polling resumes after the dialog; with no ratio every load is 0.
        main.show();
        QTRY_COMPARE(f.liveLoadPanel().text(), QStringLiteral("0 lbs"));
    }

    void storedSensitivityWithTextBehindTheNumberIsReadByItsNumber() {
        MainFixture f;
        f.usePorts(QString());
        f.storeCalibration(QStringLiteral("3.5 mV/V"), QStringLiteral("-12"));
        ModalWatcher watcher(QStringLiteral("Calibration"), [](QWidget& dialog) {
            dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
            return true;
        });
        f.start();
        QVERIFY(!watcher.seen());
        QCOMPARE(CurrentLoadCellRatio(), static_cast<float>(3.906 / 3.5));
        QCOMPARE(CurrentLoadCellOffset(), -12.0f);
    }

    void liveLoadFollowsTheUnits() {
        Simulator sim;
        MainFixture f;
        startWithMachine(f, sim);
        Main& main = *f.main;

        f.item<QAction>("mnuMetric").trigger();
        QCOMPARE(main.units(), 2);
        QVERIFY(f.item<QAction>("mnuMetric").isChecked());
        QVERIFY(!f.item<QAction>("mnuEnglish").isChecked());
        QTRY_COMPARE(f.liveLoadPanel().text(), QStringLiteral("4 N"));

        f.item<QAction>("mnuEnglish").trigger();
        QCOMPARE(main.units(), 1);
        QVERIFY(f.item<QAction>("mnuEnglish").isChecked());
        QVERIFY(!f.item<QAction>("mnuMetric").isChecked());
        QTRY_COMPARE(f.liveLoadPanel().text(), QStringLiteral("1 lbs"));
    }

    void pauseEmptiesThePanelUntilResumed() {
        Simulator sim;
        MainFixture f;
        startWithMachine(f, sim);
        bool emptyWhileWaiting = true;
        bool busyWhileWaiting = true;
        const auto check = connect(&f.clockDriver, &QTimer::timeout, this, [&] {
            emptyWhileWaiting &= f.liveLoadPanel().text().isEmpty();
            const QCursor* cursor = QGuiApplication::overrideCursor();
            busyWhileWaiting &= cursor && cursor->shape() == Qt::WaitCursor;
        });
        const qint64 before = f.clock.wholeSeconds();

        f.main->PauseLiveLoad();
        disconnect(check);

        QVERIFY(f.clock.wholeSeconds() - before >= 2);
        QVERIFY(emptyWhileWaiting);
        QVERIFY(busyWhileWaiting);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QVERIFY(!f.mainTimer().isActive());
        QTest::qWait(300);
        QVERIFY(f.liveLoadPanel().text().isEmpty());

        f.main->ResumeLiveLoad();
        QTRY_COMPARE(f.liveLoadPanel().text(), QStringLiteral("1 lbs"));
    }

    void closeCheck_data() {
        QTest::addColumn<bool>("throughExit");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        const int cancel = static_cast<int>(Dialogs::Answer::Cancel);
        const int no = static_cast<int>(Dialogs::Answer::No);
        const int yes = static_cast<int>(Dialogs::Answer::Yes);
        QTest::newRow("close box, unsaved, Cancel stays") << false << true << cancel << false;
        QTest::newRow("close box, unsaved, No ends") << false << true << no << true;
        QTest::newRow("close box, unsaved, Yes and no save stays") << false << true << yes << false;
        QTest::newRow("close box, nothing unsaved, no question") << false << false << -1 << true;
        QTest::newRow("Exit, unsaved, Cancel stays") << true << true << cancel << false;
        QTest::newRow("Exit, unsaved, No ends") << true << true << no << true;
        QTest::newRow("Exit, nothing unsaved, no question") << true << false << -1 << true;
    }

    void closeCheck() {
        QFETCH(bool, throughExit);
        QFETCH(bool, unsaved);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        Simulator sim;
        MainFixture f;
        startWithMachine(f, sim);
        Main& main = *f.main;
        if (unsaved)
            main.EnableDataCommands();
        if (answer >= 0)
            f.dialogs.answers.append(static_cast<Dialogs::Answer>(answer));
        bool closingDuringQuestion = false;
        bool readRefusedDuringQuestion = false;
        f.dialogs.onMessage = [&](const QString&) {
            closingDuringQuestion = main.appClosing();
            std::int32_t load = 0;
            std::int32_t disp = 0;
            readRefusedDuringQuestion = !main.deviceInterface().GetVals(load, disp);
        };

        if (throughExit)
            f.item<QAction>("mnuExit").trigger();
        else
            main.close();

        if (unsaved) {
            QCOMPARE(f.dialogs.messages.size(), 1);
            QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Data not saved.  Save?"));
            QCOMPARE(f.dialogs.messages[0].icon, Dialogs::Icon::Question);
            QCOMPARE(f.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
            QVERIFY(closingDuringQuestion);
            QVERIFY(readRefusedDuringQuestion);
        } else {
            QVERIFY(f.dialogs.messages.isEmpty());
        }
        QCOMPARE(main.isVisible(), !closes);
        QCOMPARE(f.mainTimer().isActive(), !closes);
        if (closes)
            return;
        // Carried on as before: not closing, and the machine is read again.
        QVERIFY(!main.appClosing());
        QVERIFY(main.experimentPresent());
        QVERIFY(sim.command(QStringLiteral("hold 32702 1000")));
        QTRY_COMPARE(f.liveLoadPanel().text(), QStringLiteral("2 lbs"));
    }

    void commandLineFileIsOpenedAtStartUp() {
        QTemporaryDir folder;
        // The whole command line is the name, blanks included.
        const QString name = folder.filePath(QStringLiteral("TENSION - Mar 07, 14.05.tdf"));
        Experiment saved;
        saved.SetTestType(kTestTension);
        saved.SetLoadCellRatio(1.0f);
        for (int i = 0; i < 5; ++i)
            saved.AddDataPoint(32768 + 50 * i, 1000 + 100 * i);
        QVERIFY(saved.SaveFile(name.toStdString()));
        MainFixture f;
        f.usePorts(QString());
        f.storeCalibration(QStringLiteral("3.906"), QStringLiteral("0"));

        Main& main = f.start(name);

        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("No Torvik interface found.")});
        QVERIFY(main.experimentPresent());
        QVERIFY(main.dataSaved());
        QCOMPARE(main.currentExperiment().Count(), 5);
        QCOMPARE(main.currentExperiment().TestType(), kTestTension);
        for (const char* item : {"mnuSave", "toolbarSave", "mnuExport", "mnuPrint", "toolbarPrint",
                                 "mnuClose", "mnuAxis"})
            QVERIFY2(f.item<QAction>(item).isEnabled(), item);
    }

    void commandLineFileOfTheWrongKindIsReportedAndStartUpGoesOn() {
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("notes.txt"));
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("shopping list\n");
        file.close();
        MainFixture f;
        f.usePorts(QString());
        f.storeCalibration(QStringLiteral("3.906"), QStringLiteral("0"));

        Main& main = f.start(name);

        QCOMPARE(
            f.dialogs.texts(),
            QStringList({QStringLiteral("No Torvik interface found."),
                         QStringLiteral("File could not be opened.  Not a valid file type.")}));
        QVERIFY(!main.experimentPresent());
        QVERIFY(!f.item<QAction>("mnuSave").isEnabled());
        QVERIFY(!f.item<QAction>("mnuClose").isEnabled());
    }
};

QTEST_MAIN(TestMain)
#include "tst_main.moc"

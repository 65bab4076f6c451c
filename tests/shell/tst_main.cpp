#include "acquisition/runexperiment.h"
#include "mainfixture.h"
#include "model/currentcalibration.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/qteventpump.h"
#include "shell/liveloaddisplay.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolBar>

// The main window on the simulator, and the live load display on its own.
class TestMain : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_shared = std::make_unique<MainFixture>();
        QVERIFY(m_shared->startOnMachine());
    }
    void cleanupTestCase() { m_shared.reset(); }

    void startsWithMachineReadyAndStateSet() {
        const Main& main = *m_shared->main;
        QCOMPARE(main.windowTitle(), QStringLiteral("Torvik"));
        QVERIFY(!main.experimentPresent());
        QCOMPARE(main.helpPath(),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html"));
        QCOMPARE(m_shared->mainTimer().interval(), 100);
    }

    // Read depth first, the menu bar and then the toolbar hold the items of
    // mainmenus.txt in order: name, caption, shortcut, and "off" or "checked"
    // at start-up; a toolbar button adds its key and its name for screen
    // readers.
    void menusAndToolbarHoldTheirItemsAsListed() {
        QFile listing(QFINDTESTDATA("mainmenus.txt"));
        QVERIFY(listing.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList expected =
            QString::fromUtf8(listing.readAll()).split('\n', Qt::SkipEmptyParts);
        const QToolBar& toolbar = m_shared->item<QToolBar>("Toolbar");
        QStringList found;
        std::function<void(const QList<QAction*>&)> read = [&](const QList<QAction*>& actions) {
            for (QAction* item : actions) {
                const QString state =
                    item->isEnabled() ? (item->isChecked() ? "checked" : "") : "off";
                QStringList fields{item->objectName(), item->text(), item->shortcut().toString(),
                                   state};
                if (QWidget* button = toolbar.widgetForAction(item))
                    fields << item->data().toString() << accessibleName(button);
                found.append(item->isSeparator() ? QStringLiteral("-") : fields.join('|'));
                if (item->menu())
                    read(item->menu()->actions());
            }
        };
        read(m_shared->main->menuBar()->actions());
        read(toolbar.actions());
        QCOMPARE(found, expected);
    }

    void toolbarNewPopsUpTheNewMenu() {
        QMenu& menuNew = m_shared->item<QMenu>("mnuNew");
        QAction& button = m_shared->item<QAction>("toolbarNew");
        QTest::mouseClick(m_shared->item<QToolBar>("Toolbar").widgetForAction(&button),
                          Qt::LeftButton);
        QTRY_VERIFY(menuNew.isVisible());
        menuNew.hide();
    }

    void menusAndControlsAreNamedForScreenReaders() {
        Main& main = *m_shared->main;
        QCOMPARE(accessibleName(&main), QStringLiteral("Torvik"));
        QCOMPARE(accessibleName(&m_shared->liveLoadPanel()), QStringLiteral("Live load"));
        QStringList unnamed;
        for (QMenu* menu : main.findChildren<QMenu*>()) {
            if (accessibleName(menu) != menu->title().remove('&'))
                unnamed.append(menu->objectName());
        }
        for (QWidget* control : main.findChildren<QWidget*>()) {
            // A grid's headings are read as part of the grid.
            const bool isControl = qobject_cast<QLineEdit*>(control) ||
                                   qobject_cast<QAbstractButton*>(control) ||
                                   (qobject_cast<QAbstractItemView*>(control) &&
                                    !qobject_cast<QHeaderView*>(control)) ||
                                   control->objectName() == QLatin1String("chart");
            if (isControl && control->isVisibleTo(&main) && accessibleName(control).isEmpty())
                unnamed.append(control->objectName() + '/' + control->metaObject()->className());
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(' ')));
    }

    void liveLoadFollowsTheUnits() {
        QAction& metric = m_shared->item<QAction>("mnuMetric");
        QAction& english = m_shared->item<QAction>("mnuEnglish");
        metric.trigger();
        QVERIFY(metric.isChecked() && !english.isChecked());
        QTRY_COMPARE(m_shared->liveLoadPanel().text(), QStringLiteral("4 N"));
        english.trigger();
        QVERIFY(english.isChecked() && !metric.isChecked());
        QTRY_COMPARE(m_shared->liveLoadPanel().text(), QStringLiteral("1 lbs"));
    }

    // The offset is read though no sensitivity is stored; with no ratio every load is 0.
    void withoutStoredCalibrationTheDialogComesBeforeTheMainWindow_data() {
        QTest::addColumn<bool>("machine");
        QTest::newRow("no machine: one message, reading commands off") << false;
        QTest::newRow("machine") << true;
    }
    void withoutStoredCalibrationTheDialogComesBeforeTheMainWindow() {
        QFETCH(bool, machine);
        MainFixture f;
        if (machine)
            f.sim = std::make_unique<Simulator>();
        f.configure(machine ? f.sim->path() : QString(), QString(), QStringLiteral("-12"));
        SetCurrentLoadCellRatio(0.0f);
        const QStringList messages =
            machine ? QStringList() : QStringList{QStringLiteral("No Torvik interface found.")};
        QStringList messagesAtDialog{QStringLiteral("no dialog")};
        bool mainShown = true;
        bool pollingStopped = false;
        const ModalWatcher watcher(QStringLiteral("Calibration"), [&](QWidget& dialog) {
            messagesAtDialog = f.dialogs.texts();
            mainShown = f.main->isVisible();
            pollingStopped = !f.mainTimer().isActive();
            dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
            return true;
        });
        f.start().show();
        QCOMPARE(messagesAtDialog, messages);
        QVERIFY(!mainShown && pollingStopped);
        QCOMPARE(f.dialogs.texts(), messages);
        QCOMPARE(CurrentLoadCellOffset(), -12.0f);
        // The test items themselves: a disabled submenu's items could still
        // be triggered through the accessibility interface.
        for (const char* item : {"mnuNew", "mnuHardness", "mnuTension", "mnuCompression",
                                 "mnuShear", "mnuStructures", "toolbarNew", "mnutest"})
            QVERIFY2(f.item<QAction>(item).isEnabled() == machine, item);
        QVERIFY(f.item<QAction>("mnuCalibration").isEnabled());
        QVERIFY(f.item<QAction>("mnuOpen").isEnabled());
        if (machine) {
            QTRY_COMPARE(f.liveLoadPanel().text(), QStringLiteral("0 lbs"));
            return;
        }
        QVERIFY(!f.mainTimer().isActive());
        // Should the pause wait after all, the slowed clock lets it end.
        bool busy = false;
        f.clockDriver.setInterval(200);
        f.clockDriver.mayAdvance = [&] {
            busy |= QGuiApplication::overrideCursor() != nullptr;
            return true;
        };
        const qint64 before = f.clock.wholeSeconds();
        f.main->PauseLiveLoad();
        QCOMPARE(f.clock.wholeSeconds(), before);
        QVERIFY(!busy && !QGuiApplication::overrideCursor());
    }

    // Plugged in again on the same path: a new simulator behind the port's link.
    void lostMachineGoesStaleAndIsReadAgainOnceBack() {
        QTemporaryDir folder;
        const QString port = folder.filePath(QStringLiteral("ttyTorvik"));
        MainFixture f;
        QVERIFY(f.startOnMachine(port));
        QLabel& panel = f.liveLoadPanel();
        f.sim.reset();
        QTRY_VERIFY(!panel.isEnabled());
        QCOMPARE(panel.text(), QStringLiteral("1 lbs"));
        QVERIFY2(QRegularExpression(QStringLiteral("^No reading since \\d\\d:\\d\\d:\\d\\d$"))
                     .match(panel.accessibleDescription())
                     .hasMatch(),
                 qPrintable(panel.accessibleDescription()));
        f.sim = std::make_unique<Simulator>();
        QVERIFY(f.sim->command(QStringLiteral("hold 32702 1000")));
        QVERIFY(QFile::remove(port) && QFile::link(f.sim->path(), port));
        QTRY_COMPARE_WITH_TIMEOUT(panel.accessibleDescription(), QStringLiteral("2 lbs"), 10000);
        QVERIFY(panel.isEnabled() && panel.text() == QLatin1String("2 lbs"));
    }

    // After a test during which the machine was lost, or never answered, the
    // live load shows the same stale cue as after any failed read, not an
    // empty panel.
    void liveLoadIsStaleAfterATestWithoutTheMachine_data() {
        QTest::addColumn<bool>("lostMidTest");
        QTest::newRow("machine lost during the test") << true;
        QTest::newRow("machine silent throughout") << false;
    }
    void liveLoadIsStaleAfterATestWithoutTheMachine() {
        QFETCH(bool, lostMidTest);
        MainFixture f;
        QVERIFY(f.startOnMachine());
        QVERIFY(lostMidTest || f.sim->command(QStringLiteral("silent")));
        const ModalWatcher watcher(QStringLiteral("RunExperiment"), [&](QWidget& window) {
            window.findChild<QAbstractButton*>("buttonStart")->click(); // once: then disabled
            if (f.sim && !window.findChild<QLineEdit*>("textLoad")->text().isEmpty())
                f.sim.reset(); // the line closes after the first point
            if (window.findChild<QLabel*>("statusPanel")->text() !=
                RunExperiment::kStoppedAnsweringText)
                return false;
            window.findChild<QAbstractButton*>("buttonStop")->click();
            return true;
        });
        f.item<QAction>("mnuCompression").trigger();

        QCOMPARE(f.dialogs.texts(), QStringList{lostMidTest ? QStringLiteral("Test complete.")
                                                            : RunExperiment::kNoReadingMessage});
        QLabel& panel = f.liveLoadPanel();
        QTRY_VERIFY(!panel.isEnabled());
        const QRegularExpression cue(QStringLiteral("^No reading since \\d\\d:\\d\\d:\\d\\d$"));
        QVERIFY2(cue.match(panel.text()).hasMatch() &&
                     panel.accessibleDescription() == panel.text(),
                 qPrintable(panel.text()));
    }

    void closeCheck_data() {
        QTest::addColumn<bool>("throughExit");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<bool>("closes");
        using enum Dialogs::Answer;
        QTest::newRow("close box, unsaved, No ends") << false << true << No << true;
        QTest::newRow("close box, unsaved, Yes and no save stays") << false << true << Yes << false;
        QTest::newRow("Exit, unsaved, Cancel stays") << true << true << Cancel << false;
        QTest::newRow("Exit, nothing unsaved, no question") << true << false << Cancel << true;
    }
    void closeCheck() {
        QFETCH(bool, throughExit);
        QFETCH(bool, unsaved);
        QFETCH(Dialogs::Answer, answer);
        QFETCH(bool, closes);
        MainFixture f;
        QVERIFY(f.startOnMachine());
        Main& main = *f.main;
        if (unsaved)
            main.EnableDataCommands();
        f.dialogs.answers.append(answer);
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

        QCOMPARE(f.dialogs.texts(),
                 unsaved ? QStringList{QStringLiteral("Data not saved.  Save?")} : QStringList());
        if (unsaved) {
            QCOMPARE(f.dialogs.messages[0].icon, Dialogs::Icon::Question);
            QCOMPARE(f.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
            QVERIFY(closingDuringQuestion && readRefusedDuringQuestion);
        }
        QCOMPARE(main.isVisible(), !closes);
        QCOMPARE(f.mainTimer().isActive(), !closes);
        if (closes)
            return;
        QVERIFY(!main.appClosing() && main.experimentPresent());
        QVERIFY(f.sim->command(QStringLiteral("hold 32702 1000")));
        QTRY_COMPARE(f.liveLoadPanel().text(), QStringLiteral("2 lbs"));
    }

    // The whole command line is the file's name, blanks included; a file of
    // the wrong kind is reported and start-up goes on.
    void commandLineFileIsOpenedAtStartUp_data() {
        QTest::addColumn<bool>("valid");
        QTest::newRow("data file") << true;
        QTest::newRow("file of the wrong kind") << false;
    }
    void commandLineFileIsOpenedAtStartUp() {
        QFETCH(bool, valid);
        QTemporaryDir folder;
        QString name = folder.filePath(QStringLiteral("TENSION - Mar 07, 14.05.tdf"));
        QStringList messages{QStringLiteral("No Torvik interface found.")};
        if (valid) {
            Experiment saved;
            saved.SetTestType(kTestTension);
            saved.SetLoadCellRatio(1.0f);
            for (int i = 0; i < 5; ++i)
                saved.AddDataPoint(32768 + 50 * i, 1000 + 100 * i);
            QVERIFY(saved.SaveFile(name.toStdString()));
        } else {
            name = folder.filePath(QStringLiteral("notes.txt"));
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("shopping list\n") > 0);
            messages.append(QStringLiteral("File could not be opened.  Not a valid file type."));
        }
        MainFixture f;
        f.configure(QString());
        Main& main = f.start(name);
        QCOMPARE(f.dialogs.texts(), messages);
        QCOMPARE(main.experimentPresent(), valid);
        QCOMPARE(main.dataSaved(), valid);
        QCOMPARE(main.currentExperiment().Count(), valid ? 5 : 0);
        for (const char* item : {"mnuSave", "toolbarSave", "mnuExport", "mnuPrint", "toolbarPrint",
                                 "mnuClose", "mnuAxis"})
            QVERIFY2(f.item<QAction>(item).isEnabled() == valid, item);
    }

    // Tension shows negative tenths; whole loads in both units show in the window.
    void liveLoadText() {
        SetCurrentLoadCellRatio(1.0f);
        SetCurrentLoadCellOffset(0);
        QCOMPARE(LiveLoadText(33174, kUnitsEnglish), QStringLiteral("-12.4 lbs"));
        SetCurrentLoadCellOffset(100); // the offset in force counts
        QCOMPARE(LiveLoadText(33274, kUnitsEnglish), QStringLiteral("-12.4 lbs"));
    }

    // Polling ticks only once enabled and given an interval (start-up enables
    // it early). A pause stops it, empties the panel and waits two clock
    // seconds under the busy pointer.
    void pollingNeedsAnIntervalAndPauseWaitsTwoSecondsUnderTheBusyPointer() {
        QLabel panel(QStringLiteral("12.4 lbs"));
        ManualClock clock;
        QtEventPump pump(clock);
        LiveLoadDisplay display(panel, pump, [] { return 1; });
        display.resume();
        QVERIFY(!timer(display).isActive());
        display.setInterval(100);
        QVERIFY(timer(display).isActive());
        const qint64 start = clock.wholeSeconds();
        bool busy = true;
        bool emptyAndStopped = true;
        ClockDriver driver(clock, 10);
        driver.mayAdvance = [&] {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            busy &= cursor && cursor->shape() == Qt::WaitCursor;
            emptyAndStopped &= panel.text().isEmpty() && !timer(display).isActive();
            return true;
        };
        display.pause();
        driver.stop();
        QCOMPARE(clock.wholeSeconds() - start, 2);
        QVERIFY(busy && emptyAndStopped && !QGuiApplication::overrideCursor());
        display.resume();
        QVERIFY(timer(display).isActive());
    }

private:
    static QString accessibleName(QObject* object) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
        return face ? face->text(QAccessible::Name) : QString();
    }

    static QTimer& timer(LiveLoadDisplay& display) {
        return *display.findChild<QTimer*>(QStringLiteral("mainTimer"));
    }

    std::unique_ptr<MainFixture> m_shared;
};

QTEST_MAIN(TestMain)
#include "tst_main.moc"

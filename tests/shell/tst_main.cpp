#include "mainfixture.h"
#include "model/currentcalibration.h"
#include "model/experiment.h"
#include "model/gfunctions.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>

namespace {
struct MenuItem {
    const char* name; // "-": a separator
    const char* caption = "";
    QKeySequence shortcut = {};
    bool enabled = true;
    bool checked = false;
};
const QKeySequence kNone;
const MenuItem kMenuItems[] = {
    {"mnuFile", "&File"},
    {"mnuNew", "&New"},
    {"mnuHardness", "Hardness"},
    {"mnuTension", "Tension"},
    {"mnuCompression", "Compression"},
    {"mnuShear", "Shear"},
    {"mnuStructures", "Structures"},
    {"mnuOpen", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O)},
    {"mnuSave", "&Save...", QKeySequence(Qt::CTRL | Qt::Key_S), false},
    {"mnuExport", "&Export...", kNone, false},
    {"mnuClose", "&Close", QKeySequence(Qt::CTRL | Qt::Key_W), false},
    {"mnuPrint", "&Print", QKeySequence(Qt::CTRL | Qt::Key_P), false},
    {"mnuCompare", "Co&mpare..."},
    {"-"},
    {"mnuExit", "E&xit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
    {"mnuView", "&View"},
    {"mnuUnits", "&Units"},
    {"mnuEnglish", "English", QKeySequence(Qt::CTRL | Qt::Key_E), true, true},
    {"mnuMetric", "Metric", QKeySequence(Qt::CTRL | Qt::Key_M)},
    {"mnuAxis", "&Axis", kNone, false},
    {"mnuLoadDisp", "Load vs. Displacement", kNone, true, true},
    {"mnuStressStrain", "Stress vs. Strain"},
    {"mnuProperties", "Test &Properties...", kNone, false},
    {"mnuOptions", "&Options"},
    {"mnuCalibration", "&Calibration"},
    {"mnutest", "Wa&tch Sensors", QKeySequence(Qt::CTRL | Qt::Key_T)},
    {"mnuHelp", "&Help"},
    {"mnuHelpHelp", "&Help...", QKeySequence(Qt::Key_F1)},
    {"-"},
    {"mnuHelpAbout", "&About Torvik..."},
};
} // namespace

// Start-up, the first state of menus and toolbar, what screen readers find,
// the live load and the close check of the main window on the simulator.
class TestMain : public QObject {
    Q_OBJECT

private slots:
    // One window on the machine for the tests that only look at it.
    void initTestCase() {
        UseOwnSettingsFolder();
        m_shared = std::make_unique<MainFixture>();
        QVERIFY(m_shared->startOnMachine());
    }
    void cleanupTestCase() { m_shared.reset(); }

    void startsWithMachineReadyAndStateSet() {
        const Main& main = *m_shared->main;
        QCOMPARE(main.windowTitle(), QStringLiteral("Torvik"));
        QCOMPARE(main.units(), 1);
        QVERIFY(!main.experimentPresent());
        QCOMPARE(CurrentLoadCellRatio(), 1.0f);
        QCOMPARE(main.helpPath(),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html"));
        QCOMPARE(m_shared->mainTimer().interval(), 100);
        QVERIFY(m_shared->mainTimer().isActive());
    }

    void menuItemStartsAsTabled_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("checked");
        for (const MenuItem& item : kMenuItems) {
            if (item.name[0] != '-')
                QTest::newRow(item.name) << QString::fromLatin1(item.caption) << item.shortcut
                                         << item.enabled << item.checked;
        }
    }
    void menuItemStartsAsTabled() {
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        QFETCH(bool, enabled);
        QFETCH(bool, checked);
        const QAction& item = m_shared->item<QAction>(QTest::currentDataTag());
        QCOMPARE(item.text(), caption);
        QCOMPARE(item.shortcut(), shortcut);
        QCOMPARE(item.isEnabled(), enabled);
        QCOMPARE(item.isChecked(), checked);
    }

    // Read depth first, the menu bar holds the items in the table's order.
    void menusHoldTheirItemsInOrder() {
        QStringList expected;
        for (const MenuItem& item : kMenuItems)
            expected.append(QString::fromLatin1(item.name));
        QStringList found;
        std::function<void(const QList<QAction*>&)> read = [&](const QList<QAction*>& actions) {
            for (const QAction* action : actions) {
                found.append(action->isSeparator() ? QStringLiteral("-") : action->objectName());
                if (action->menu())
                    read(action->menu()->actions());
            }
        };
        read(m_shared->main->menuBar()->actions());
        QCOMPARE(found, expected);
    }

    void toolbarHasKeyedButtonsWithSaveAndPrintDisabled() {
        QStringList buttons;
        for (const QAction* button : m_shared->item<QToolBar>("Toolbar").actions())
            buttons.append(button->isSeparator()
                               ? QStringLiteral("-")
                               : button->data().toString() + (button->isEnabled() ? "" : " off"));
        QCOMPARE(buttons, QStringList({"New", "Open", "Save off", "-", "Print off"}));
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
        QStringList buttons;
        QToolBar& toolbar = m_shared->item<QToolBar>("Toolbar");
        for (QAction* button : toolbar.actions()) {
            if (!button->isSeparator())
                buttons.append(accessibleName(toolbar.widgetForAction(button)));
        }
        QCOMPARE(buttons, QStringList({"New", "Open", "Save", "Print"}));
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

    // The stored calibration is read even so; a pause neither waits nor
    // shows the busy pointer.
    void startsWithoutMachineWithOneMessageAndReadingCommandsOff() {
        MainFixture f;
        f.configure(QString(), QStringLiteral("3.5 mV/V"), QStringLiteral("-12"));
        f.start().show();
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("No Torvik interface found.")});
        QCOMPARE(f.dialogs.messages.constFirst().icon, Dialogs::Icon::Information);
        QVERIFY(!f.item<QAction>("mnuNew").isEnabled());
        QVERIFY(!f.item<QAction>("toolbarNew").isEnabled());
        QVERIFY(!f.item<QAction>("mnutest").isEnabled());
        QVERIFY(f.item<QAction>("mnuCalibration").isEnabled());
        QVERIFY(f.item<QAction>("mnuOpen").isEnabled());
        QCOMPARE(CurrentLoadCellRatio(), static_cast<float>(3.906 / 3.5));
        QCOMPARE(CurrentLoadCellOffset(), -12.0f);
        QVERIFY(!f.mainTimer().isActive());
        QTest::qWait(300);
        QVERIFY(f.liveLoadPanel().text().isEmpty());

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

    void withoutStoredCalibrationTheDialogComesBeforeTheMainWindow() {
        MainFixture f;
        f.sim = std::make_unique<Simulator>();
        f.configure(f.sim->path(), QString());
        SetCurrentLoadCellRatio(0.0f);
        bool mainShown = true;
        bool pollingStopped = false;
        const ModalWatcher watcher(QStringLiteral("Calibration"), [&](QWidget& dialog) {
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

    void liveLoadFollowsTheUnits() {
        MainFixture f;
        QVERIFY(f.startOnMachine());
        QAction& metric = f.item<QAction>("mnuMetric");
        QAction& english = f.item<QAction>("mnuEnglish");
        metric.trigger();
        QCOMPARE(f.main->units(), 2);
        QVERIFY(metric.isChecked() && !english.isChecked());
        QTRY_COMPARE(f.liveLoadPanel().text(), QStringLiteral("4 N"));
        english.trigger();
        QCOMPARE(f.main->units(), 1);
        QVERIFY(english.isChecked() && !metric.isChecked());
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
        QTest::newRow("Exit, unsaved, Cancel stays") << true << true << cancel << false;
        QTest::newRow("Exit, unsaved, No ends") << true << true << no << true;
        QTest::newRow("Exit, nothing unsaved, no question") << true << false << -1 << true;
    }
    void closeCheck() {
        QFETCH(bool, throughExit);
        QFETCH(bool, unsaved);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        MainFixture f;
        QVERIFY(f.startOnMachine());
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
            QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("Data not saved.  Save?")});
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
        if (valid) {
            QCOMPARE(main.currentExperiment().Count(), 5);
            QCOMPARE(main.currentExperiment().TestType(), kTestTension);
        }
        for (const char* item : {"mnuSave", "toolbarSave", "mnuExport", "mnuPrint", "toolbarPrint",
                                 "mnuClose", "mnuAxis"})
            QVERIFY2(f.item<QAction>(item).isEnabled() == valid, item);
    }

private:
    static QString accessibleName(QObject* object) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
        return face ? face->text(QAccessible::Name) : QString();
    }

    std::unique_ptr<MainFixture> m_shared;
};

QTEST_MAIN(TestMain)
#include "tst_main.moc"

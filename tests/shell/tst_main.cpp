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
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolBar>

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

    // Read depth first, the menu bar holds the items of mainmenus.txt in
    // order: name, caption, shortcut, and "off" or "checked" at start-up.
    void menusHoldTheirItemsAsListed() {
        QFile listing(QFINDTESTDATA("mainmenus.txt"));
        QVERIFY(listing.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList expected =
            QString::fromUtf8(listing.readAll()).split('\n', Qt::SkipEmptyParts);
        QStringList found;
        std::function<void(const QList<QAction*>&)> read = [&](const QList<QAction*>& actions) {
            for (const QAction* item : actions) {
                const QString state =
                    item->isEnabled() ? (item->isChecked() ? "checked" : "") : "off";
                found.append(item->isSeparator() ? QStringLiteral("-")
                                                 : QStringList{item->objectName(), item->text(),
                                                               item->shortcut().toString(), state}
                                                       .join('|'));
                if (item->menu())
                    read(item->menu()->actions());
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

    // The message, then the calibration dialog as none is stored; the stored
    // offset is read even so, and a pause neither waits nor shows the busy
    // pointer.
    void startsWithoutMachineWithOneMessageAndReadingCommandsOff() {
        MainFixture f;
        f.configure(QString(), QString(), QStringLiteral("-12"));
        const QStringList noMachine{QStringLiteral("No Torvik interface found.")};
        QStringList messagesAtDialog;
        const ModalWatcher watcher(QStringLiteral("Calibration"), [&](QWidget& dialog) {
            messagesAtDialog = f.dialogs.texts();
            dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
            return true;
        });
        f.start().show();
        QCOMPARE(messagesAtDialog, noMachine);
        QCOMPARE(f.dialogs.texts(), noMachine);
        QVERIFY(!f.item<QAction>("mnuNew").isEnabled());
        QVERIFY(!f.item<QAction>("toolbarNew").isEnabled());
        QVERIFY(!f.item<QAction>("mnutest").isEnabled());
        QVERIFY(f.item<QAction>("mnuCalibration").isEnabled());
        QVERIFY(f.item<QAction>("mnuOpen").isEnabled());
        QCOMPARE(CurrentLoadCellOffset(), -12.0f);
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

    // Unplugged, the value stays but greyed, and screen readers hear since
    // when there has been no reading; plugged in again on the same path (a
    // new simulator behind the port's link), live readings come back.
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

    void closeCheck_data() {
        QTest::addColumn<bool>("throughExit");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        const int cancel = static_cast<int>(Dialogs::Answer::Cancel);
        const int no = static_cast<int>(Dialogs::Answer::No);
        const int yes = static_cast<int>(Dialogs::Answer::Yes);
        QTest::newRow("close box, unsaved, No ends") << false << true << no << true;
        QTest::newRow("close box, unsaved, Yes and no save stays") << false << true << yes << false;
        QTest::newRow("Exit, unsaved, Cancel stays") << true << true << cancel << false;
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

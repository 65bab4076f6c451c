#include "auxiliary/helpwindow.h"
#include "device/interface.h"
#include "mainfixture.h"
#include "modalwatcher.h"
#include "results/resultsview.h"
#include "simulator.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <cmath>

// The main window's own commands and windows: Calibration, Watch Sensors,
// About and Help, the toolbar's New, the window's geometry and what screen
// readers find in it.
class TestMainCommands : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_config;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<MainFixture> m_f;
    // Calls of a watcher's action before a test gives up on a window (about
    // five seconds).
    static constexpr int kPatienceCalls = 500;

    Main& main() { return *m_f->main; }

    // A window is placed before it is first shown, when its frame is not yet
    // known: a few pixels of frame may lie on one side.
    static constexpr int kFrameSlackPixels = 3;

    static bool centredOver(const QWidget& window, const QWidget& owner) {
        const QPoint offset = window.frameGeometry().center() - owner.frameGeometry().center();
        return std::abs(offset.x()) <= kFrameSlackPixels &&
               std::abs(offset.y()) <= kFrameSlackPixels;
    }

    static QString spoken(QString caption) { return caption.remove(QLatin1Char('&')); }

    static QString accessibleName(QObject* object) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
        return face ? face->text(QAccessible::Name) : QString();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    // A fresh window on the machine for every test: the commands change the
    // polling and the windows they leave behind.
    void init() {
        m_sim = std::make_unique<Simulator>();
        QVERIFY(m_sim->command(QStringLiteral("hold 32735 1000")));
        m_f = std::make_unique<MainFixture>();
        m_f->usePorts(m_sim->portPath());
        m_f->storeCalibration(QStringLiteral("3.906"), QStringLiteral("0"));
        m_f->start();
        main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&main()));
        QVERIFY2(main().deviceInterface().valid(), qPrintable(m_f->dialogs.texts().join('|')));
        QTRY_COMPARE(m_f->liveLoadPanel().text(), QStringLiteral("1 lbs"));
    }

    void cleanup() {
        m_f.reset();
        m_sim.reset();
    }

    void calibrationOpensCentredWithPollingPausedAndResumesAfter() {
        bool centred = false;
        bool paused = false;
        ModalWatcher watcher(QStringLiteral("Calibration"), [&](QWidget& dialog) {
            centred = centredOver(dialog, main());
            paused = m_f->liveLoadPanel().text().isEmpty() && !m_f->mainTimer().isActive();
            dialog.findChild<QAbstractButton*>(QStringLiteral("CancelButton"))->click();
            return true;
        });

        m_f->item<QAction>("mnuCalibration").trigger();

        QVERIFY(watcher.done());
        QVERIFY(centred);
        QVERIFY(paused);
        QVERIFY(m_f->mainTimer().isActive());
        QTRY_COMPARE(m_f->liveLoadPanel().text(), QStringLiteral("1 lbs"));
    }

    void calibrationDialogIsCreatedOnceAndKeepsWhatWasTyped() {
        QWidget* first = nullptr;
        ModalWatcher typing(QStringLiteral("Calibration"), [&](QWidget& dialog) {
            first = &dialog;
            dialog.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("3.7"));
            dialog.findChild<QAbstractButton*>(QStringLiteral("CancelButton"))->click();
            return true;
        });
        m_f->item<QAction>("mnuCalibration").trigger();
        QVERIFY(typing.done());

        QString shown;
        bool sameDialog = false;
        ModalWatcher again(QStringLiteral("Calibration"), [&](QWidget& dialog) {
            sameDialog = &dialog == first;
            shown = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"))->text();
            dialog.findChild<QAbstractButton*>(QStringLiteral("CancelButton"))->click();
            return true;
        });
        m_f->item<QAction>("mnuCalibration").trigger();
        QVERIFY(again.done());
        QVERIFY(sameDialog);
        QCOMPARE(shown, QStringLiteral("3.7"));
    }

    void watchSensorsShowsTheLoadThenClosesAndPollingResumes() {
        bool centred = false;
        bool paused = false;
        int calls = 0;
        QString load;
        ModalWatcher watcher(QStringLiteral("Test"), [&](QWidget& window) {
            if (calls++ == 0) {
                centred = centredOver(window, main());
                paused = m_f->liveLoadPanel().text().isEmpty() && !m_f->mainTimer().isActive();
            }
            load = window.findChild<QLineEdit*>(QStringLiteral("textLoad"))->text();
            if (load != QLatin1String("1 lbs") && calls < kPatienceCalls)
                return false;
            window.findChild<QAbstractButton*>(QStringLiteral("buttonClose"))->click();
            return true;
        });

        m_f->item<QAction>("mnutest").trigger();

        QVERIFY(watcher.done());
        QVERIFY(centred);
        QVERIFY(paused);
        QCOMPARE(load, QStringLiteral("1 lbs"));
        // Each opening builds the window afresh; none is left behind.
        QVERIFY(main().findChild<QWidget*>(QStringLiteral("Test")) == nullptr);
        QTRY_COMPARE(m_f->liveLoadPanel().text(), QStringLiteral("1 lbs"));
    }

    void watchSensorsClosedFromItsFrameEndsAndPollingResumes() {
        int calls = 0;
        ModalWatcher watcher(QStringLiteral("Test"), [&](QWidget& window) {
            const QString load = window.findChild<QLineEdit*>(QStringLiteral("textLoad"))->text();
            if (load.isEmpty() && ++calls < kPatienceCalls)
                return false;
            window.close();
            return true;
        });

        m_f->item<QAction>("mnutest").trigger();

        QVERIFY(watcher.done());
        QTRY_COMPARE(m_f->liveLoadPanel().text(), QStringLiteral("1 lbs"));
    }

    void aboutOpensCentredWhileTheLiveLoadKeepsUpdating() {
        bool centred = false;
        int calls = 0;
        bool updated = false;
        ModalWatcher watcher(QStringLiteral("About"), [&](QWidget& window) {
            if (calls++ == 0) {
                centred = centredOver(window, main());
                m_f->liveLoadPanel().clear();
                return false;
            }
            updated = m_f->liveLoadPanel().text() == QLatin1String("1 lbs");
            if (!updated && calls < kPatienceCalls)
                return false;
            window.findChild<QAbstractButton*>(QStringLiteral("OKButton"))->click();
            return true;
        });

        m_f->item<QAction>("mnuHelpAbout").trigger();

        QVERIFY(watcher.done());
        QVERIFY(centred);
        QVERIFY(updated);
    }

    void f1OpensTheHelpAtItsStartPageAndClosingTheProgramClosesIt() {
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        QTest::keyClick(&main(), Qt::Key_F1);

        auto* help = main().findChild<HelpWindow*>();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->isWindow());
        QCOMPARE(help->findChild<QTextBrowser*>()->source(),
                 QUrl::fromLocalFile(main().helpPath()));

        QVERIFY(main().close());
        QVERIFY(!help->isVisible());
    }

    void toolbarNewPopsUpTheNewMenu() {
        QMenu& menuNew = m_f->item<QMenu>("mnuNew");
        QVERIFY(!menuNew.isVisible());
        QAction& button = m_f->item<QAction>("toolbarNew");
        QTest::mouseClick(m_f->item<QToolBar>("Toolbar").widgetForAction(&button), Qt::LeftButton);
        QTRY_VERIFY(menuNew.isVisible());
        menuNew.hide();
    }

    // 9900 x 6405 twips of client area are 660 x 427 pixels.
    void opensCentredWithTheDesignClientAreaAndStretchesTheResults() {
        const QWidget& client = *main().centralWidget();
        const int statusHeight = main().statusBar()->height();
        QCOMPARE(client.width(), 660);
        QCOMPARE(client.height() + statusHeight, 427);
        const QRect screen = main().screen()->geometry();
        const QPoint offset = main().frameGeometry().center() - screen.center();
        QVERIFY(std::abs(offset.x()) <= kFrameSlackPixels &&
                std::abs(offset.y()) <= kFrameSlackPixels);

        auto& frame = m_f->item<ResultsView>("Frame");
        auto& chart = m_f->item<QWidget>("chart");
        auto& grid = m_f->item<QWidget>("grid");
        const int frameHeight =
            static_cast<int>(std::lround((427 * 15 - 360 - statusHeight * 15 - 20) / 15.0));
        QCOMPARE(frame.geometry(), QRect(1, 24, 657, frameHeight));
        const QSize chartBefore = chart.size();
        const QSize gridBefore = grid.size();

        main().resize(main().width() + 100, main().height() + 100);
        QTRY_COMPARE(client.width(), 760);

        QCOMPARE(frame.width(), 757);
        QCOMPARE(frame.height(), frameHeight + 100);
        QCOMPARE(chart.size(), chartBefore + QSize(100, 100));
        QCOMPARE(grid.size(), gridBefore + QSize(0, 100));
        QCOMPARE(frame.pos(), QPoint(1, 24));
    }

    void menuItemsAreNamedByTheirCaptionsForScreenReaders() {
        QCOMPARE(accessibleName(&main()), QStringLiteral("Torvik"));
        QStringList unnamed;
        for (QMenu* menu : main().findChildren<QMenu*>()) {
            if (accessibleName(menu) != spoken(menu->title()))
                unnamed.append(menu->objectName());
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(menu);
            const QList<QAction*> items = menu->actions();
            QCOMPARE(face->childCount(), items.size());
            for (int i = 0; i < items.size(); ++i) {
                if (!items[i]->isSeparator() &&
                    face->child(i)->text(QAccessible::Name) != spoken(items[i]->text()))
                    unnamed.append(items[i]->objectName());
            }
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char(' '))));
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(main().menuBar());
        QCOMPARE(bar->child(0)->text(QAccessible::Name), QStringLiteral("File"));
        QCOMPARE(bar->child(3)->text(QAccessible::Name), QStringLiteral("Help"));
    }

    void everyControlOfTheWindowHasAnAccessibleName() {
        QCOMPARE(accessibleName(&m_f->liveLoadPanel()), QStringLiteral("Live load"));
        QStringList buttons;
        for (QAction* button : m_f->item<QToolBar>("Toolbar").actions()) {
            if (!button->isSeparator())
                buttons.append(
                    accessibleName(m_f->item<QToolBar>("Toolbar").widgetForAction(button)));
        }
        QCOMPARE(buttons, QStringList({"New", "Open", "Save", "Print"}));

        QStringList unnamed;
        for (QWidget* control : main().findChildren<QWidget*>()) {
            // A grid's headings are read as part of the grid.
            const bool isControl = qobject_cast<QLineEdit*>(control) ||
                                   qobject_cast<QAbstractButton*>(control) ||
                                   (qobject_cast<QAbstractItemView*>(control) &&
                                    !qobject_cast<QHeaderView*>(control)) ||
                                   control->objectName() == QLatin1String("chart");
            if (isControl && control->isVisibleTo(&main()) && accessibleName(control).isEmpty())
                unnamed.append(control->objectName() + QLatin1Char('/') +
                               QString::fromLatin1(control->metaObject()->className()));
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char(' '))));
    }
};

QTEST_MAIN(TestMainCommands)
#include "tst_maincommands.moc"

#include "auxiliary/helpwindow.h"
#include "mainfixture.h"
#include "results/resultsview.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>

// The main window's own commands and windows (Calibration, Watch Sensors,
// About, Help), its geometry, and the gate that lets a command chosen while
// a tick of the live load waits for its reply read the interface itself.
class TestMainCommands : public QObject {
    Q_OBJECT

private slots:
    // A fresh window for every test: the commands change the polling and
    // leave windows behind.
    void init() {
        m_f = std::make_unique<MainFixture>();
        QVERIFY(m_f->startOnMachine());
    }
    void cleanup() { m_f.reset(); }

    // Zero measures ten readings of 32770 there: an offset of 2.
    void calibrationOpensCentredWithPollingPausedAndKeepsWhatWasTyped() {
        QWidget* first = nullptr;
        bool centred = false;
        bool paused = false;
        const ModalWatcher typing(QStringLiteral("Calibration"), [&](QWidget& dialog) {
            first = &dialog;
            centred = centredOver(dialog, *m_f->main);
            paused = m_f->liveLoadPanel().text().isEmpty() && !m_f->mainTimer().isActive();
            dialog.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("3.7"));
            dialog.findChild<QAbstractButton*>(QStringLiteral("Command1"))->click();
            dialog.findChild<QAbstractButton*>(QStringLiteral("CancelButton"))->click();
            return true;
        });
        m_f->dialogs.answers = {Dialogs::Answer::Ok}; // store the offset offered
        chooseDuringATickRead([this] { m_f->item<QAction>("mnuCalibration").trigger(); });
        QTRY_VERIFY_WITH_TIMEOUT(typing.done(), 20000);
        QVERIFY(m_nestedReadRefused && centred && paused);
        QCOMPARE(m_f->dialogs.texts(),
                 QStringList{"The load cell reads 2 counts from zero at rest, "
                             "a load of 0 lbs.  Press OK to store this as its "
                             "zero offset."});
        QCOMPARE(
            m_f->settings.read(QStringLiteral("Calibration"), QStringLiteral("Load Cell Offset")),
            QStringLiteral("2"));
        QTRY_COMPARE(m_f->liveLoadPanel().text(), QStringLiteral("0 lbs"));
        QVERIFY(m_f->mainTimer().isActive());

        QString shown;
        const ModalWatcher again(QStringLiteral("Calibration"), [&](QWidget& dialog) {
            shown = &dialog == first ? dialog.findChild<QLineEdit*>("Text1")->text() : "new";
            dialog.findChild<QAbstractButton*>(QStringLiteral("CancelButton"))->click();
            return true;
        });
        m_f->item<QAction>("mnuCalibration").trigger();
        QCOMPARE(shown, QStringLiteral("3.7"));
    }

    void watchSensorsShowsTheLoadThenClosesAndPollingResumes() {
        bool centred = false;
        bool paused = false;
        QString load;
        int calls = 0;
        const ModalWatcher watcher(QStringLiteral("Test"), [&](QWidget& window) {
            if (load.isNull()) {
                centred = centredOver(window, *m_f->main);
                paused = m_f->liveLoadPanel().text().isEmpty() && !m_f->mainTimer().isActive();
            }
            load = window.findChild<QLineEdit*>(QStringLiteral("textLoad"))->text();
            if (load != QLatin1String("1 lbs") && ++calls < kPatienceCalls)
                return false;
            window.findChild<QAbstractButton*>(QStringLiteral("buttonClose"))->click();
            return true;
        });
        m_f->item<QAction>("mnutest").trigger();
        QVERIFY(watcher.done() && centred && paused);
        QCOMPARE(load, QStringLiteral("1 lbs"));
        QVERIFY(!m_f->main->findChild<QWidget*>(QStringLiteral("Test")));
        QTRY_COMPARE(m_f->liveLoadPanel().text(), QStringLiteral("1 lbs"));
    }

    // Chosen while a tick's read waits, it keeps the live load going too.
    void aboutOpensCentredWhileTheLiveLoadKeepsUpdating() {
        bool centred = false;
        bool cleared = false;
        bool updated = false;
        int calls = 0;
        const ModalWatcher watcher(QStringLiteral("About"), [&](QWidget& window) {
            if (!cleared) {
                centred = centredOver(window, *m_f->main);
                m_f->liveLoadPanel().clear();
                cleared = true;
            }
            updated = m_f->liveLoadPanel().text() == QLatin1String("0 lbs");
            if (!updated && ++calls < kPatienceCalls)
                return false;
            window.findChild<QAbstractButton*>(QStringLiteral("OKButton"))->click();
            return true;
        });
        chooseDuringATickRead([this] { m_f->item<QAction>("mnuHelpAbout").trigger(); });
        QTRY_VERIFY_WITH_TIMEOUT(watcher.done(), 10000);
        QVERIFY(m_nestedReadRefused && centred && updated);
    }

    void f1OpensTheHelpAtItsStartPageAndClosingTheProgramClosesIt() {
        Main& main = *m_f->main;
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(&main, Qt::Key_F1);
        auto* help = main.findChild<HelpWindow*>();
        QVERIFY(help && help->isVisible() && help->isWindow());
        QCOMPARE(help->findChild<QTextBrowser*>()->source(), QUrl::fromLocalFile(main.helpPath()));
        QVERIFY(main.close() && !help->isVisible());
    }

    // 9900 x 6405 twips of client area are 660 x 427 pixels; the results
    // area stretches with the window.
    void opensCentredWithTheDesignClientAreaAndStretchesTheResults() {
        Main& main = *m_f->main;
        QCOMPARE(main.centralWidget()->width(), 660);
        QCOMPARE(main.centralWidget()->height() + main.statusBar()->height(), 427);
        const QPoint offset = main.frameGeometry().center() - main.screen()->geometry().center();
        QVERIFY(offset.manhattanLength() <= 2 * kFrameSlackPixels);
        auto& frame = m_f->item<ResultsView>("Frame");
        const QSize before = frame.size();
        main.resize(main.size() + QSize(100, 100));
        QTRY_COMPARE(frame.size(), before + QSize(100, 100));
    }

    void secondCommandWhileOneIsPendingIsIgnored() {
        int runs = 0;
        chooseDuringATickRead([this, &runs] {
            m_f->main->runDeviceCommand([&runs] { ++runs; });
            m_f->main->runDeviceCommand([&runs] { ++runs; });
        });
        QTRY_COMPARE(runs, 1);
        QTest::qWait(200);
        QCOMPARE(runs, 1);
        m_f->main->runDeviceCommand([&runs] { ++runs; });
        QCOMPARE(runs, 2);
    }

private:
    // A window is placed before it is first shown, when its frame is not yet
    // known: a few pixels of frame may lie on one side.
    static constexpr int kFrameSlackPixels = 3;
    // Calls of a watcher's action before a test gives up on a window (about
    // five seconds).
    static constexpr int kPatienceCalls = 500;

    static bool centredOver(const QWidget& window, const QWidget& owner) {
        const QPoint offset = window.frameGeometry().center() - owner.frameGeometry().center();
        return offset.manhattanLength() <= 2 * kFrameSlackPixels;
    }

    // Runs `choose` once, inside the wait of a live-load read (on the
    // arrival of its reply, so the case is met every time), noting whether a
    // read of the test's own was refused at that moment.
    void chooseDuringATickRead(const std::function<void()>& choose) {
        QVERIFY(m_f->sim->command(QStringLiteral("hold 32770 1000")));
        m_nestedReadRefused = false;
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = connect(&m_f->serialLink, &SerialLink::readyRead, this, [=, this] {
            Interface& device = m_f->main->deviceInterface();
            if (!device.readInProgress())
                return;
            disconnect(*connection);
            std::int32_t load = 0;
            std::int32_t disp = 0;
            m_nestedReadRefused = !device.GetVals(load, disp);
            choose();
        });
    }

    std::unique_ptr<MainFixture> m_f;
    bool m_nestedReadRefused = false;
};

QTEST_MAIN(TestMainCommands)
#include "tst_maincommands.moc"

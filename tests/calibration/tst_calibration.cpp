#include "calibration/calibration.h"
#include "calibration/calibrationcode.h"
#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/settingsstore.h"
#include "support/machinefixture.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryFile>

// The calibration dialog over the simulator, the settings file in a
// temporary folder and the test clock.
class TestCalibration : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseOwnSettingsFolder(); }
    void init() {
        m_settings.remove(kCalibrationSection, kLoadCellKey);
        m_settings.write(kCalibrationSection, kLoadCellOffsetKey, QStringLiteral("7"));
        SetCurrentLoadCellRatio(0.0F);
        SetCurrentLoadCellOffset(0);
        m_f = std::make_unique<MachineFixture>();
        QVERIFY2(m_f->start(), "the simulated machine was not found on port 1");
        QVERIFY(m_f->sim->command(QStringLiteral("hold 32770 1000")));
        m_dialog =
            std::make_unique<Calibration>(m_settings, *m_f->machine, m_f->pump, m_f->dialogs);
    }
    void cleanup() {
        m_dialog.reset();
        m_f.reset();
    }

    void controlsCarryCaptionsNamesAndPlaces() {
        const QString sensitivity = QStringLiteral("Load cell calibration (mV/V)");
        QCOMPARE(LayoutFault(*m_dialog, QStringLiteral("Torvik Calibration"), QSize(6165, 1485),
                             QSize(6120, 1455),
                             {{"Label1", sensitivity, TwipsRect(240, 360, 2655, 255)},
                              {"Text1", sensitivity, TwipsRect(2880, 360, 975, 285)},
                              {"Label2", "Zero load cell", TwipsRect(240, 840, 1215, 255)},
                              {"Command1", "Zero", TwipsRect(2880, 840, 975, 375)},
                              {"OKButton", "OK", TwipsRect(4560, 360, 1215, 375)},
                              {"CancelButton", "Cancel", TwipsRect(4560, 840, 1215, 375)}}),
                 QString());
        QCOMPARE(m_dialog->findChild<QLabel*>(QStringLiteral("Label1"))->buddy(), text());
    }

    // OK is offered once there is text; the field starts with the stored
    // sensitivity as it was typed. Without a machine Zero is never offered.
    void okAndZeroAreOfferedOnlyWhenTheyCanWork() {
        QCOMPARE(text()->text(), QString());
        QVERIFY(!button("OKButton")->isEnabled());
        m_dialog->show();
        QTest::keyClick(text(), Qt::Key_3);
        QVERIFY(button("OKButton")->isEnabled());
        QTest::keyClick(text(), Qt::Key_Backspace);
        QVERIFY(!button("OKButton")->isEnabled());
        m_settings.write(kCalibrationSection, kLoadCellKey, QStringLiteral("3.7 mV/V"));
        m_dialog =
            std::make_unique<Calibration>(m_settings, *m_f->noMachine, m_f->pump, m_f->dialogs);
        QCOMPARE(text()->text(), QStringLiteral("3.7 mV/V"));
        QVERIFY(button("OKButton")->isEnabled());
        QVERIFY(!button("Command1")->isEnabled());
    }

    void okChecksTheSensitivity_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: accepted
        const QString between = QStringLiteral("Value must be between 3 and 4.");
        const QString aboveZero = QStringLiteral("Value must be greater than zero.");
        const QString number = QStringLiteral("Load cell calibration must be a number.");
        QTest::newRow("3 is accepted") << "3" << QString();
        QTest::newRow("4 is accepted") << "4" << QString();
        QTest::newRow("stored as typed") << "3.5 mV/V" << QString();
        QTest::newRow("2.99 is below") << "2.99" << between;
        QTest::newRow("4.01 is above") << "4.01" << between;
        QTest::newRow("0 is not above zero") << "0" << aboveZero;
        QTest::newRow("-3.5 is not above zero") << "-3.5" << aboveZero;
        QTest::newRow("decimal comma") << "3,906" << Calibration::kDecimalCommaMessage;
        QTest::newRow("letters are no number") << "abc" << number;
        QTest::newRow("0.0 is no number") << "0.0" << number;
    }
    void okChecksTheSensitivity() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        m_settings.write(kCalibrationSection, kLoadCellKey, QStringLiteral("3.906"));
        SetCurrentLoadCellRatio(1.0F);
        m_dialog->show();
        text()->setText(typed);
        button("OKButton")->setFocus();
        button("OKButton")->click();
        if (message.isEmpty()) {
            QVERIFY(m_f->dialogs.messages.isEmpty());
            QVERIFY(!m_dialog->isVisible());
            QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellKey), typed);
            const auto sensitivity = static_cast<float>(typed.section(' ', 0, 0).toDouble());
            QCOMPARE(CurrentLoadCellRatio(), static_cast<float>(3.906 / double(sensitivity)));
        } else {
            QCOMPARE(m_f->dialogs.texts(), QStringList{message});
            QCOMPARE(m_f->dialogs.messages.first().icon, Dialogs::Icon::Information);
            QVERIFY(m_dialog->isVisible());
            QCOMPARE(m_dialog->focusWidget(), text());
            QCOMPARE(text()->text(), typed);
            QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellKey), QStringLiteral("3.906"));
            QCOMPARE(CurrentLoadCellRatio(), 1.0F);
        }
    }

    // Zero waits a second before each of ten readings of 32778 and stores
    // their mean, or tells that the machine fell silent and keeps the offset;
    // a second Zero while one runs starts nothing; Cancel keeps the offset.
    void zeroMeasuresOrGivesUpAndTheDialogStaysLive_data() {
        QTest::addColumn<bool>("silent");
        QTest::newRow("answering") << false;
        QTest::newRow("silent") << true;
    }
    void zeroMeasuresOrGivesUpAndTheDialogStaysLive() {
        QFETCH(bool, silent);
        QVERIFY(m_f->sim->command(silent ? QStringLiteral("silent")
                                         : QStringLiteral("hold 32778 1000")));
        if (silent)
            m_f->advanceAlways(); // unanswered reads time out on the test clock
        m_dialog->show();
        bool disabledWhileRunning = false;
        qint64 nestedSeconds = -1;
        const Stepper second = duringZero([&] {
            disabledWhileRunning = !button("Command1")->isEnabled();
            const qint64 before = m_f->clock.wholeSeconds();
            emit button("Command1")->clicked(); // as if a click got through
            nestedSeconds = m_f->clock.wholeSeconds() - before;
        });
        const qint64 start = m_f->clock.wholeSeconds();
        button("Command1")->click();
        QVERIFY(m_f->clock.wholeSeconds() - start >= 10);
        QVERIFY(disabledWhileRunning);
        QCOMPARE(nestedSeconds, 0); // a nested measurement would have waited ten seconds
        const QString offset = silent ? QStringLiteral("7") : QStringLiteral("10");
        QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellOffsetKey), offset);
        QCOMPARE(CurrentLoadCellOffset(), silent ? 0.0F : 10.0F);
        QCOMPARE(m_f->dialogs.texts(),
                 silent ? QStringList{Calibration::kNoAnswerMessage} : QStringList());
        QVERIFY(!silent || m_f->dialogs.messages.first().icon == Dialogs::Icon::Information);
        QVERIFY(!m_f->machine->readInProgress());
        QVERIFY(m_dialog->isVisible());
        QVERIFY(!m_dialog->zeroRunning());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(button("Command1")->isEnabled());
        button("CancelButton")->click();
        QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellOffsetKey), offset);
        QCOMPARE(CurrentLoadCellOffset(), silent ? 0.0F : 10.0F);
    }

    // However the dialog is left, a Zero under way stops and stores
    // nothing; only OK stores the sensitivity, and the typed text stays for
    // the next opening.
    void leavingDuringZeroStoresOnlyWhatOkAccepts_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "Cancel";
        QTest::newRow("frame close") << "frame close";
        QTest::newRow("OK") << "OK";
    }
    void leavingDuringZeroStoresOnlyWhatOkAccepts() {
        QFETCH(QString, how);
        const Stepper leaving = duringZero([&] {
            text()->setText(QStringLiteral("3.5"));
            if (how == QStringLiteral("Cancel"))
                button("CancelButton")->click();
            else if (how == QStringLiteral("OK"))
                button("OKButton")->click();
            else
                m_dialog->close();
        });
        QTimer::singleShot(0, button("Command1"), &QPushButton::click);
        const bool ok = how == QStringLiteral("OK");
        QCOMPARE(m_dialog->exec(), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
        // exec() has returned: any measurement is over and stored nothing.
        QVERIFY(!m_dialog->isVisible());
        QVERIFY(!m_dialog->zeroRunning());
        QVERIFY(!m_f->machine->readInProgress());
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellOffsetKey), QStringLiteral("7"));
        QCOMPARE(CurrentLoadCellOffset(), 0.0F);
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellKey),
                 ok ? QStringLiteral("3.5") : QString());
        QCOMPARE(CurrentLoadCellRatio(), ok ? static_cast<float>(3.906 / 3.5) : 0.0F);
        QCOMPARE(text()->text(), QStringLiteral("3.5"));
    }

    // A file stands where the settings folder should be, so nothing can be
    // stored: OK and Zero say so, and their values serve for this run.
    void unwritableStoreIsReportedAndTheValuesServeThisRun() {
        QTemporaryFile notAFolder;
        QVERIFY(notAFolder.open());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, notAFolder.fileName());
        const auto restore = qScopeGuard([] {
            QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                               qEnvironmentVariable("XDG_CONFIG_HOME"));
        });
        m_dialog->show();
        button("Command1")->click();
        text()->setText(QStringLiteral("3.5"));
        button("OKButton")->click();
        const QString told = Calibration::kNotStoredMessage.arg(m_settings.location());
        QVERIFY(told.contains(notAFolder.fileName()));
        QCOMPARE(m_f->dialogs.texts(), (QStringList{told, told}));
        QCOMPARE(CurrentLoadCellOffset(), 2.0F);
        QCOMPARE(CurrentLoadCellRatio(), static_cast<float>(3.906 / 3.5));
        QVERIFY(!m_dialog->isVisible());
    }

private:
    QLineEdit* text() const { return m_dialog->findChild<QLineEdit*>(QStringLiteral("Text1")); }
    QPushButton* button(const char* name) const {
        return m_dialog->findChild<QPushButton*>(QLatin1String(name));
    }
    // Runs `action` once Zero has run for a few clock seconds.
    Stepper duringZero(std::function<void()> action) {
        const qint64 start = m_f->clock.wholeSeconds();
        return Stepper([this, start, action] {
            if (m_f->clock.wholeSeconds() - start < 4 || !m_dialog->zeroRunning())
                return false;
            action();
            return true;
        });
    }

    SettingsStore m_settings;
    std::unique_ptr<MachineFixture> m_f;
    std::unique_ptr<Calibration> m_dialog;
};

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"

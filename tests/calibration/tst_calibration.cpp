#include "calibration/calibration.h"
#include "calibration/calibrationcode.h"
#include "calibration/zeromeasurement.h"
#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/settingsstore.h"
#include "support/machinefixture.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>

namespace {
QList<QStringList> DataRows(const char* fileName) {
    QFile file(QFINDTESTDATA(QStringLiteral("data/") + QLatin1String(fileName)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read %s", fileName);
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts))
        if (!line.startsWith('#'))
            rows.append(line.split('\t'));
    return rows;
}
// Current values that no stored entry gives: a failed read leaves them alone.
constexpr float kUntouchedRatio = 0.125F;
constexpr float kUntouchedOffset = 777.0F;
} // namespace

// The stored calibration, the zero measurement and the calibration dialog.
class TestCalibration : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_settings.remove(kCalibrationSection, kLoadCellKey);
        m_settings.write(kCalibrationSection, kLoadCellOffsetKey, QStringLiteral("7"));
        SetCurrentLoadCellRatio(0.0F);
        SetCurrentLoadCellOffset(0);
        if (QTest::currentTestFunction() == QLatin1String("storedEntryIsRead"))
            return; // needs no machine
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

    void storedEntryIsRead_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored"); // "absent": no entry
        QTest::addColumn<QString>("current");
        for (const QStringList& row : DataRows("storedentries.tsv"))
            QTest::newRow(qPrintable(row[0])) << row[1] << row[2] << row[3];
    }
    void storedEntryIsRead() {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, current);
        m_settings.remove(QStringLiteral("Calibration"), key);
        if (stored != QStringLiteral("absent"))
            m_settings.write(QStringLiteral("Calibration"), key, stored);
        SetCurrentLoadCellRatio(kUntouchedRatio);
        SetCurrentLoadCellOffset(static_cast<std::int32_t>(kUntouchedOffset));
        const bool sensitivity = key == QStringLiteral("Load Cell");
        const bool untouched = current == QStringLiteral("untouched");
        const float expected = untouched ? (sensitivity ? kUntouchedRatio : kUntouchedOffset)
                               : current.startsWith(QStringLiteral("3.906/"))
                                   ? static_cast<float>(3.906 / double(current.mid(6).toFloat()))
                                   : current.toFloat();
        QCOMPARE(sensitivity ? ReadLoadCellRatio(m_settings) : ReadLoadCellOffset(m_settings),
                 !untouched);
        // Exactly: a fuzzy comparison would miss a division in the wrong precision.
        const float actual = sensitivity ? CurrentLoadCellRatio() : CurrentLoadCellOffset();
        QVERIFY2(actual == expected, qPrintable(QString::number(actual, 'g', 9)));
    }

    // The mean of ten readings, a second apart, rounded half to even.
    void tenGoodReadingsMakeTheOffset_data() {
        QTest::addColumn<QList<int>>("loads");
        QTest::addColumn<int>("offset");
        QTest::newRow("sum 25 rounds to even 2") << (QList<int>(9, 32770) << 32775) << 2;
        QTest::newRow("sum 35 rounds to even 4") << (QList<int>(9, 32771) << 32776) << 4;
        QTest::newRow("sum -26 rounds away") << (QList<int>(9, 32766) << 32760) << -3;
        QTest::newRow("lowest") << QList<int>(10, 0) << -32768;
        QTest::newRow("sixteen counts apart is steady")
            << (QList<int>(5, 32760) + QList<int>(5, 32776)) << 0;
        QTest::newRow("eleventh reading is not taken") << (QList<int>(10, 32768) << 40000) << 0;
    }
    void tenGoodReadingsMakeTheOffset() {
        QFETCH(QList<int>, loads);
        QFETCH(int, offset);
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("zero-script.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (const int load : loads)
            file.write(QByteArray::number(load) + " 1000\n");
        file.close();
        QVERIFY(m_f->sim->command(QStringLiteral("script ") + file.fileName()));
        ZeroMeasurement zero(*m_f->machine, m_f->pump);
        const qint64 start = m_f->clock.wholeSeconds();
        QCOMPARE(zero.run(), ZeroMeasurement::Outcome::Measured);
        QCOMPARE(zero.offset(), offset);
        QVERIFY(m_f->clock.wholeSeconds() - start >= 10 && !zero.running());
    }

    // The limit counts from the last answer, which came before the silence.
    void machineFallingSilentIsGivenUpWithinTheLimitOfItsLastAnswer() {
        ZeroMeasurement zero(*m_f->machine, m_f->pump);
        const qint64 start = m_f->clock.wholeSeconds();
        qint64 silentFrom = -1;
        const Stepper silence([&] {
            if (m_f->clock.wholeSeconds() - start < 8)
                return false;
            silentFrom = m_f->clock.wholeSeconds();
            m_f->sim->command(QStringLiteral("silent"));
            m_f->advanceAlways();
            return true;
        });
        QCOMPARE(zero.run(), ZeroMeasurement::Outcome::NoAnswer);
        const qint64 elapsed = m_f->clock.wholeSeconds() - silentFrom;
        QVERIFY2(silentFrom > 0 && elapsed >= 25 &&
                     elapsed <= ZeroMeasurement::kNoAnswerLimitSeconds,
                 qPrintable(QString::number(elapsed)));
    }

    // The read waits for a reply that never comes (the test clock stands
    // still while it waits); abort must not leave it waiting.
    void abortEndsAWaitingReadAtOnce() {
        QVERIFY(m_f->sim->command(QStringLiteral("silent")));
        ZeroMeasurement zero(*m_f->machine, m_f->pump);
        const Stepper abort([&] {
            if (!m_f->machine->readInProgress())
                return false;
            zero.abort();
            return true;
        });
        QCOMPARE(zero.run(), ZeroMeasurement::Outcome::Aborted);
        QVERIFY(abort.done() && !zero.running() && !m_f->machine->readInProgress());
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

    // The field starts with the stored sensitivity as it was typed.
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
        QVERIFY(button("OKButton")->isEnabled() && !button("Command1")->isEnabled());
    }

    void okChecksTheSensitivity_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: accepted
        for (const QStringList& row : DataRows("sensitivity.tsv"))
            QTest::newRow(qPrintable(row[0])) << row[1] << row.value(2);
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
            QVERIFY(m_f->dialogs.messages.isEmpty() && !m_dialog->isVisible());
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

    // Ten readings of 32778 make an offset of 10.
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
        m_f->dialogs.answers = {Dialogs::Answer::Ok};
        button("Command1")->click();
        QVERIFY(m_f->clock.wholeSeconds() - start >= 10 && disabledWhileRunning);
        QCOMPARE(nestedSeconds, 0); // a nested measurement would have waited ten seconds
        const QString offset = silent ? QStringLiteral("7") : QStringLiteral("10");
        QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellOffsetKey), offset);
        QCOMPARE(CurrentLoadCellOffset(), silent ? 0.0F : 10.0F);
        QCOMPARE(m_f->dialogs.texts(),
                 QStringList{silent ? Calibration::kNoAnswerMessage
                                    : Calibration::kStoreOffsetQuestion.arg(10).arg("0 lbs")});
        QVERIFY(!silent || m_f->dialogs.messages.first().icon == Dialogs::Icon::Information);
        QVERIFY(!m_f->machine->readInProgress() && !m_dialog->zeroRunning());
        QVERIFY(m_dialog->isVisible() && button("Command1")->isEnabled() &&
                !QGuiApplication::overrideCursor());
        button("CancelButton")->click();
        QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellOffsetKey), offset);
        QCOMPARE(CurrentLoadCellOffset(), silent ? 0.0F : 10.0F);
    }

    // On the real simulator: at rest its readings spread over 4 counts, and
    // the offset is offered as a force in the units on show and stored only
    // on OK; a load that moves (the cycle's loading) is refused.
    void zeroStoresOnlyASteadyLoadOfferedAsAForce_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("units");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::newRow("settled, OK") << "idle" << int(kUnitsEnglish) << Dialogs::Answer::Ok;
        QTest::newRow("settled, Cancel, metric")
            << "idle" << int(kUnitsMetric) << Dialogs::Answer::Cancel;
        QTest::newRow("cycling, loading") << "load" << int(kUnitsEnglish) << Dialogs::Answer::Ok;
    }
    void zeroStoresOnlyASteadyLoadOfferedAsAForce() {
        QFETCH(QString, state);
        QFETCH(int, units);
        QFETCH(Dialogs::Answer, answer);
        QVERIFY(m_f->sim->command(QStringLiteral("cycle")) && m_f->sim->command(state));
        m_f->clockDriver.setInterval(50); // the load moves in real time
        m_f->dialogs.answers = {answer};
        SetCurrentLoadCellRatio(1.0F);
        Calibration dialog(m_settings, *m_f->machine, m_f->pump, m_f->dialogs, nullptr,
                           [units] { return units; });
        dialog.show();
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        const QStringList texts = m_f->dialogs.texts();
        QCOMPARE(texts.size(), 1);
        const bool stored = state == QStringLiteral("idle") && answer == Dialogs::Answer::Ok;
        QString offset = QStringLiteral("7"); // as stored before
        if (state == QStringLiteral("idle")) {
            // At most 2 counts from zero: well under 1 lbf, 4 N, either way.
            const QRegularExpression offered(
                QStringLiteral("^The load cell reads (-?[0-2]) counts from zero at rest, a load "
                               "of -?0 %1\\.")
                    .arg(units == kUnitsMetric ? "N" : "lbs"));
            const QRegularExpressionMatch match = offered.match(texts[0]);
            QVERIFY2(match.hasMatch(), qPrintable(texts[0]));
            if (stored)
                offset = match.captured(1);
        } else {
            QVERIFY2(texts[0].startsWith(QStringLiteral("The load was not steady while zeroing")),
                     qPrintable(texts[0]));
        }
        QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellOffsetKey), offset);
        QCOMPARE(CurrentLoadCellOffset(), stored ? offset.toFloat() : 0.0F);
    }

    // The typed text stays for the next opening.
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
        QVERIFY(!m_dialog->isVisible() && !m_dialog->zeroRunning() &&
                !m_f->machine->readInProgress() && !QGuiApplication::overrideCursor());
        QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellOffsetKey), QStringLiteral("7"));
        QCOMPARE(CurrentLoadCellOffset(), 0.0F);
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QCOMPARE(m_settings.read(kCalibrationSection, kLoadCellKey),
                 ok ? QStringLiteral("3.5") : QString());
        QCOMPARE(CurrentLoadCellRatio(), ok ? static_cast<float>(3.906 / 3.5) : 0.0F);
        QCOMPARE(text()->text(), QStringLiteral("3.5"));
    }

    // A file where the settings folder should be: nothing can be stored, OK
    // and Zero say so, and their values serve for this run. Garbage in the
    // file is no failure: the values reach it, and nothing is said.
    void storeFailureIsReportedOnlyWhenTheValueDidNotReachTheFile_data() {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::newRow("folder is a file") << true;
        QTest::newRow("20 KB of garbage in the file") << false;
    }
    void storeFailureIsReportedOnlyWhenTheValueDidNotReachTheFile() {
        QFETCH(bool, folderIsAFile);
        QTemporaryFile notAFolder;
        QVERIFY(notAFolder.open());
        if (folderIsAFile)
            QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, notAFolder.fileName());
        const auto restore = qScopeGuard([] {
            QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                               qEnvironmentVariable("XDG_CONFIG_HOME"));
        });
        QFile ini(m_settings.location());
        QByteArray garbage(20 * 1024, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = static_cast<char>((i * 7919) % 251);
        QVERIFY(folderIsAFile || (ini.open(QIODevice::Append) && ini.write(garbage) > 0));
        ini.close();
        m_dialog->show();
        m_f->dialogs.answers = {Dialogs::Answer::Ok};
        button("Command1")->click();
        text()->setText(QStringLiteral("3.5"));
        button("OKButton")->click();
        const QString told = Calibration::kNotStoredMessage.arg(m_settings.location());
        QCOMPARE(m_f->dialogs.texts().filter(QStringLiteral("could not be saved")),
                 folderIsAFile ? (QStringList{told, told}) : QStringList());
        QCOMPARE(CurrentLoadCellOffset(), 2.0F);
        QCOMPARE(CurrentLoadCellRatio(), static_cast<float>(3.906 / 3.5));
        QVERIFY(!m_dialog->isVisible());
        if (!folderIsAFile) {
            QVERIFY(ini.open(QIODevice::ReadOnly));
            const QByteArray bytes = ini.readAll();
            QVERIFY(bytes.contains("Load%20Cell=3.5") && bytes.contains("Load%20Cell%20Offset=2"));
        }
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

#include "calibration/calibration.h"
#include "calibration/machinefixture.h"
#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/clock.h"
#include "platform/geometry.h"
#include "platform/qteventpump.h"
#include "platform/settingsstore.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace {
const QString kSection = QStringLiteral("Calibration");
const QString kSensitivityKey = QStringLiteral("Load Cell");
const QString kOffsetKey = QStringLiteral("Load Cell Offset");
} // namespace

class TestCalibration : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void controlsCarryCaptionsNamesAndPlaces_data();
    void controlsCarryCaptionsNamesAndPlaces();
    void creationFillsTheFieldFromTheStore();
    void emptyFieldDisablesOk();
    void zeroIsUnavailableWithoutMachine();

    void okChecksTheSensitivity_data();
    void okChecksTheSensitivity();
    void cancelStoresNothingAndKeepsTheTypedText();
    void frameCloseAndEscapeActAsCancel_data();
    void frameCloseAndEscapeActAsCancel();

    void zeroAveragesTenReadingsIntoTheOffset_data();
    void zeroAveragesTenReadingsIntoTheOffset();
    void cancelAfterZeroKeepsTheNewOffset();
    void zeroGivesUpWhenTheMachineStopsAnswering();
    void leavingTheDialogDuringZeroStopsTheMeasurement_data();
    void leavingTheDialogDuringZeroStopsTheMeasurement();
    void secondZeroWhileOneRunsStartsNothing();

private:
    std::unique_ptr<Calibration> makeDialog(Interface& device);
    void writeScript(const QList<int>& loads);
    // Runs `action` from the dialog's event loop once Zero has run for a few
    // clock seconds.
    void duringZero(Calibration& dialog, const std::function<void()>& action);

    QTemporaryDir m_configHome;
    SettingsStore m_settings;
    MachineFixture m_fixture;
    ManualClock& m_clock = m_fixture.clock;
    ScriptedDialogs& m_dialogs = m_fixture.dialogs;
    QtEventPump m_pump{m_fixture.clock};
};

void TestCalibration::initTestCase() {
    QVERIFY(m_configHome.isValid());
    qputenv("XDG_CONFIG_HOME", m_configHome.path().toLocal8Bit());
    QVERIFY2(m_fixture.start(), "the simulated machine was not found on port 1");
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("No Torvik interface found.")});
}

void TestCalibration::init() {
    m_settings.remove(kSection, kSensitivityKey);
    m_settings.remove(kSection, kOffsetKey);
    SetCurrentLoadCellRatio(0.0F);
    SetCurrentLoadCellOffset(0);
    m_dialogs.messages.clear();
    QVERIFY(m_fixture.sim->command(QStringLiteral("answer")));
    QVERIFY(m_fixture.sim->command(QStringLiteral("hold 32768 1000")));
    m_fixture.advanceOnlyBetweenReads();
}

void TestCalibration::cleanupTestCase() {
    m_fixture.stop();
}

std::unique_ptr<Calibration> TestCalibration::makeDialog(Interface& device) {
    return std::make_unique<Calibration>(m_settings, device, m_pump, m_dialogs);
}

void TestCalibration::writeScript(const QList<int>& loads) {
    const QString path = m_configHome.filePath(QStringLiteral("zero-script.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const int load : loads)
        file.write(QByteArray::number(load) + " 1000\n");
    file.close();
    QVERIFY(m_fixture.sim->command(QStringLiteral("script ") + path));
}

void TestCalibration::duringZero(Calibration& dialog, const std::function<void()>& action) {
    const qint64 start = m_clock.wholeSeconds();
    auto* watcher = new QTimer(&dialog);
    connect(watcher, &QTimer::timeout, &dialog, [&dialog, watcher, start, action, this] {
        if (m_clock.wholeSeconds() - start < 4 || !dialog.zeroRunning())
            return;
        watcher->stop();
        action();
    });
    watcher->start(2);
}

void TestCalibration::controlsCarryCaptionsNamesAndPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("place");
    QTest::newRow("Label1") << "Label1"
                            << "Load cell calibration (mV/V)" << TwipsRect(240, 360, 2655, 255);
    QTest::newRow("Text1") << "Text1"
                           << "Load cell calibration (mV/V)" << TwipsRect(2880, 360, 975, 285);
    QTest::newRow("Label2") << "Label2"
                            << "Zero load cell" << TwipsRect(240, 840, 1215, 255);
    QTest::newRow("Command1") << "Command1"
                              << "Zero" << TwipsRect(2880, 840, 975, 375);
    QTest::newRow("OKButton") << "OKButton"
                              << "OK" << TwipsRect(4560, 360, 1215, 375);
    QTest::newRow("CancelButton") << "CancelButton"
                                  << "Cancel" << TwipsRect(4560, 840, 1215, 375);
}

void TestCalibration::controlsCarryCaptionsNamesAndPlaces() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, place);
    const auto dialog = makeDialog(*m_fixture.machine);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Torvik Calibration"));
    QCOMPARE(dialog->accessibleName(), QStringLiteral("Torvik Calibration"));
    QCOMPARE(dialog->size(), QSize(TwipsToPixels(6165), TwipsToPixels(1485)));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    auto* frame = dialog->findChild<QFrame*>(QStringLiteral("Frame1"));
    QVERIFY(frame);
    QCOMPARE(frame->geometry(), TwipsRect(20, 0, 6120, 1455));

    auto* control = frame->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), frame);
    QCOMPARE(control->accessibleName(), caption);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
        // A caption keeps its place and may only grow towards the control it
        // names, so that it is read in full in a larger font.
        QCOMPARE(label->pos(), place.topLeft());
        QCOMPARE(label->height(), place.height());
        QVERIFY(label->width() >= place.width());
        if (label->width() > place.width())
            QVERIFY(label->geometry().right() < label->buddy()->x());
        QVERIFY(label->sizeHint().width() <= label->width());
    } else {
        QCOMPARE(control->geometry(), place);
    }
    if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), caption);
    if (name == QStringLiteral("Label1"))
        QCOMPARE(qobject_cast<QLabel*>(control)->buddy(),
                 frame->findChild<QLineEdit*>(QStringLiteral("Text1")));
}

void TestCalibration::creationFillsTheFieldFromTheStore() {
    m_settings.write(kSection, kSensitivityKey, QStringLiteral("3.7 mV/V"));
    const auto dialog = makeDialog(*m_fixture.machine);
    QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(),
             QStringLiteral("3.7 mV/V"));
    QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("OKButton"))->isEnabled());
    QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
}

void TestCalibration::emptyFieldDisablesOk() {
    const auto dialog = makeDialog(*m_fixture.machine);
    auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("OKButton"));
    QCOMPARE(text->text(), QString());
    QVERIFY(!ok->isEnabled());
    dialog->show();
    QTest::keyClick(text, Qt::Key_3);
    QVERIFY(ok->isEnabled());
    QTest::keyClick(text, Qt::Key_Backspace);
    QVERIFY(!ok->isEnabled());
}

void TestCalibration::zeroIsUnavailableWithoutMachine() {
    const auto dialog = makeDialog(*m_fixture.noMachine);
    QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
    // The sensitivity can still be set.
    dialog->show();
    dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("3.906"));
    dialog->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    QCOMPARE(m_settings.read(kSection, kSensitivityKey), QStringLiteral("3.906"));
    QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
}

void TestCalibration::okChecksTheSensitivity_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message"); // empty: accepted
    const QString between = QStringLiteral("Value must be between 3 and 4.");
    const QString aboveZero = QStringLiteral("Value must be greater than zero.");
    const QString number = QStringLiteral("Load cell calibration must be a number.");
    QTest::newRow("3 is accepted") << "3" << QString();
    QTest::newRow("4 is accepted") << "4" << QString();
    QTest::newRow("3.906 is accepted") << "3.906" << QString();
    QTest::newRow("unit behind the number is accepted") << "3.5 mV/V" << QString();
    QTest::newRow("2.99 is below") << "2.99" << between;
    QTest::newRow("4.01 is above") << "4.01" << between;
    QTest::newRow("0 is not above zero") << "0" << aboveZero;
    QTest::newRow("-3.5 is not above zero") << "-3.5" << aboveZero;
    QTest::newRow("letters are no number") << "abc" << number;
    QTest::newRow("0.0 is no number") << "0.0" << number;
    QTest::newRow("00 is no number") << "00" << number;
}

void TestCalibration::okChecksTheSensitivity() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    m_settings.write(kSection, kSensitivityKey, QStringLiteral("3.906"));
    SetCurrentLoadCellRatio(1.0F);
    const auto dialog = makeDialog(*m_fixture.machine);
    auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("OKButton"));
    dialog->show();
    text->setText(typed);
    ok->setFocus();
    ok->click();

    if (message.isEmpty()) {
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(m_settings.read(kSection, kSensitivityKey), typed);
        const auto sensitivity = static_cast<float>(LeadingNumber(typed.toStdString()));
        QCOMPARE(CurrentLoadCellRatio(), static_cast<float>(3.906 / double(sensitivity)));
    } else {
        QCOMPARE(m_dialogs.texts(), QStringList{message});
        QCOMPARE(m_dialogs.messages.first().icon, Dialogs::Icon::Information);
        QCOMPARE(m_dialogs.messages.first().buttons, Dialogs::Buttons::Ok);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->focusWidget(), text);
        QCOMPARE(text->text(), typed);
        QCOMPARE(m_settings.read(kSection, kSensitivityKey), QStringLiteral("3.906"));
        QCOMPARE(CurrentLoadCellRatio(), 1.0F);
    }
}

void TestCalibration::cancelStoresNothingAndKeepsTheTypedText() {
    m_settings.write(kSection, kSensitivityKey, QStringLiteral("3.906"));
    const auto dialog = makeDialog(*m_fixture.machine);
    auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
    dialog->show();
    text->setText(QStringLiteral("3.2"));
    dialog->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(m_settings.read(kSection, kSensitivityKey), QStringLiteral("3.906"));
    QCOMPARE(CurrentLoadCellRatio(), 0.0F);
    // Shown again, the dialog has what was typed, not the stored value.
    dialog->show();
    QCOMPARE(text->text(), QStringLiteral("3.2"));
}

void TestCalibration::frameCloseAndEscapeActAsCancel_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("frame close") << false;
    QTest::newRow("Escape") << true;
}

void TestCalibration::frameCloseAndEscapeActAsCancel() {
    QFETCH(bool, escape);
    const auto dialog = makeDialog(*m_fixture.machine);
    auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
    QTimer::singleShot(0, dialog.get(), [&] {
        text->setText(QStringLiteral("3.3"));
        if (escape)
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else
            dialog->close();
    });
    QCOMPARE(dialog->exec(), int(QDialog::Rejected));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(m_settings.read(kSection, kSensitivityKey), QString());
    QCOMPARE(text->text(), QStringLiteral("3.3"));
    QVERIFY(m_dialogs.messages.isEmpty());
}

void TestCalibration::zeroAveragesTenReadingsIntoTheOffset_data() {
    QTest::addColumn<QList<int>>("loads");
    QTest::addColumn<QString>("offset");
    QTest::newRow("ten of 32770 give 2") << QList<int>(10, 32770) << "2";
    // Differences from 32768 summing to 35: 3.5 rounds to the even 4.
    QTest::newRow("sum 35 gives 4") << (QList<int>(5, 32771) + QList<int>(5, 32772)) << "4";
    QTest::newRow("sum -25 gives -2") << (QList<int>(9, 32766) << 32761) << "-2";
}

void TestCalibration::zeroAveragesTenReadingsIntoTheOffset() {
    QFETCH(QList<int>, loads);
    QFETCH(QString, offset);
    writeScript(loads);
    const auto dialog = makeDialog(*m_fixture.machine);
    dialog->show();
    const qint64 start = m_clock.wholeSeconds();
    dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click();

    QVERIFY(m_clock.wholeSeconds() - start >= 10); // ten one-second waits
    QCOMPARE(m_settings.read(kSection, kOffsetKey), offset);
    QCOMPARE(CurrentLoadCellOffset(), offset.toFloat());
    QVERIFY(m_dialogs.messages.isEmpty());
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->zeroRunning());
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
}

void TestCalibration::cancelAfterZeroKeepsTheNewOffset() {
    QVERIFY(m_fixture.sim->command(QStringLiteral("hold 32778 1000")));
    const auto dialog = makeDialog(*m_fixture.machine);
    dialog->show();
    dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    dialog->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(m_settings.read(kSection, kOffsetKey), QStringLiteral("10"));
    QCOMPARE(CurrentLoadCellOffset(), 10.0F);
}

void TestCalibration::zeroGivesUpWhenTheMachineStopsAnswering() {
    m_settings.write(kSection, kOffsetKey, QStringLiteral("5"));
    SetCurrentLoadCellOffset(5);
    QVERIFY(m_fixture.sim->command(QStringLiteral("silent")));
    m_fixture.advanceAlways(); // unanswered reads time out on the test clock
    const auto dialog = makeDialog(*m_fixture.machine);
    dialog->show();
    const qint64 start = m_clock.wholeSeconds();
    dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    const qint64 elapsed = m_clock.wholeSeconds() - start;

    QCOMPARE(m_dialogs.texts(), QStringList{Calibration::kNoAnswerMessage});
    QCOMPARE(m_dialogs.messages.first().icon, Dialogs::Icon::Information);
    QVERIFY2(elapsed >= 20 && elapsed <= 30, qPrintable(QString::number(elapsed)));
    QCOMPARE(m_settings.read(kSection, kOffsetKey), QStringLiteral("5"));
    QCOMPARE(CurrentLoadCellOffset(), 5.0F);
    QVERIFY(dialog->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
}

void TestCalibration::leavingTheDialogDuringZeroStopsTheMeasurement_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("frame close") << "frame close";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("accepted OK") << "OK";
}

void TestCalibration::leavingTheDialogDuringZeroStopsTheMeasurement() {
    QFETCH(QString, how);
    m_settings.write(kSection, kOffsetKey, QStringLiteral("7"));
    QVERIFY(m_fixture.sim->command(QStringLiteral("hold 32770 1000")));
    const auto dialog = makeDialog(*m_fixture.machine);
    auto* zero = dialog->findChild<QPushButton*>(QStringLiteral("Command1"));
    QTimer::singleShot(0, zero, &QPushButton::click);
    bool left = false;
    duringZero(*dialog, [&] {
        left = true;
        if (how == QStringLiteral("Cancel")) {
            dialog->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
        } else if (how == QStringLiteral("frame close")) {
            dialog->close();
        } else if (how == QStringLiteral("Escape")) {
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        } else {
            dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("3.5"));
            dialog->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
        }
    });
    dialog->exec();

    // exec() has returned: the measurement is over and stored nothing.
    QVERIFY(left);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!dialog->zeroRunning());
    QVERIFY(!m_fixture.machine->readInProgress());
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(m_settings.read(kSection, kOffsetKey), QStringLiteral("7"));
    QCOMPARE(CurrentLoadCellOffset(), 0.0F);
    QVERIFY(m_dialogs.messages.isEmpty());
    QCOMPARE(m_settings.read(kSection, kSensitivityKey),
             how == QStringLiteral("OK") ? QStringLiteral("3.5") : QString());
}

void TestCalibration::secondZeroWhileOneRunsStartsNothing() {
    QVERIFY(m_fixture.sim->command(QStringLiteral("hold 32770 1000")));
    const auto dialog = makeDialog(*m_fixture.machine);
    auto* zero = dialog->findChild<QPushButton*>(QStringLiteral("Command1"));
    dialog->show();
    bool disabledWhileRunning = false;
    qint64 nestedSeconds = -1;
    duringZero(*dialog, [&] {
        disabledWhileRunning = !zero->isEnabled();
        const qint64 before = m_clock.wholeSeconds();
        emit zero->clicked(); // as if a click got through
        nestedSeconds = m_clock.wholeSeconds() - before;
    });
    zero->click();

    QVERIFY(disabledWhileRunning);
    QCOMPARE(nestedSeconds, 0); // a nested measurement would have waited ten seconds
    QCOMPARE(m_settings.read(kSection, kOffsetKey), QStringLiteral("2"));
    QVERIFY(zero->isEnabled());
}

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"

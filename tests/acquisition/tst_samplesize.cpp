#include "acquisition/samplesize.h"
#include "model/experiment.h"
#include "model/modelfakes.h"
#include "support/scripteddialogs.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The "Sample Size" dialog: what it shows, when OK is allowed, the order of
// its messages, and that only an accepted OK touches the experiment.
class TestSampleSize : public QObject {
    Q_OBJECT

private slots:
    // OK stays disabled while any entry is empty.
    void opensWithThePositiveDimensionsOnlyAndFocusOnThickness() {
        Experiment experiment; // thickness 0, width 0, length 1
        ScriptedDialogs dialogs;
        SampleSize dialog(experiment, dialogs);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Sample Size"));
        QCOMPARE(texts(dialog), QStringList({"", "", "1"}));
        QVERIFY(!okButton(dialog).isEnabled());
        QCOMPARE(QApplication::focusWidget(), &edit(dialog, "editThickness"));
        for (const char* name : {"editThickness", "editWidth", "editLength"}) {
            QCOMPARE(
                QAccessible::queryAccessibleInterface(&edit(dialog, name))->text(QAccessible::Name),
                QStringLiteral("Sample ") + QString::fromLatin1(name + 4));
        }
    }

    // Each press reports the first row at fault, and nothing is stored.
    void messagesFollowTheRowsTopToBottom_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("message");
        for (const QByteArrayList& row : dataRows("../../acquisition/data/samplesize.tsv"))
            QTest::newRow(row[0]) << QStringList{row[1], row[2], row[3]} << QString(row[4]);
    }
    void messagesFollowTheRowsTopToBottom() {
        QFETCH(QStringList, entries);
        QFETCH(QString, message);
        Experiment experiment;
        ScriptedDialogs dialogs;
        SampleSize dialog(experiment, dialogs);
        dialog.show();
        type(dialog, entries);
        okButton(dialog).click();
        QCOMPARE(dialogs.texts(), QStringList{message});
        QCOMPARE(dialogs.messages.constFirst().icon, Dialogs::Icon::Information);
        QVERIFY(dialog.isVisible() && !dialog.OKclicked());
        QCOMPARE(texts(dialog), entries);
        QCOMPARE(experiment.SampleLength(), 1.0f);
        QCOMPARE(experiment.SampleArea(), 1.0f);
    }

    // Only OK stores the leading numbers; its texts stay for the next opening.
    void onlyOkStoresTheLeadingNumbers_data() {
        QTest::addColumn<QString>("button"); // none: the frame's close box
        QTest::addColumn<bool>("stored");
        QTest::newRow("OK") << "OKButton" << true;
        QTest::newRow("Cancel") << "CancelButton" << false;
        QTest::newRow("close box") << QString() << false;
    }
    void onlyOkStoresTheLeadingNumbers() {
        QFETCH(QString, button);
        QFETCH(bool, stored);
        Experiment experiment;
        ScriptedDialogs dialogs;
        SampleSize dialog(experiment, dialogs);
        dialog.show();
        type(dialog, {"1", "2", "3"});
        okButton(dialog).click();
        dialog.show();
        type(dialog, {"2.5 in", "4", "1e-3"});
        if (button.isEmpty())
            QVERIFY(dialog.close());
        else
            dialog.findChild<QPushButton*>(button)->click();
        QVERIFY(dialogs.messages.isEmpty() && !dialog.isVisible());
        QCOMPARE(dialog.OKclicked(), stored);
        QCOMPARE(experiment.SampleThickness(), stored ? 2.5f : 1.0f);
        QCOMPARE(experiment.SampleArea(), stored ? 10.0f : 2.0f);
        QCOMPARE(experiment.SampleLength(), stored ? 0.001f : 3.0f);
        experiment.Clear();
        dialog.show();
        QVERIFY(!stored || texts(dialog) == QStringList({"2.5 in", "4", "1e-3"}));
    }

    // A number ending in "mm" is millimetres, stored in inches; a record
    // given other dimensions elsewhere (a file opened) shows those next time.
    void millimetresAreTakenAndOtherDimensionsShown() {
        Experiment experiment;
        ScriptedDialogs dialogs;
        SampleSize dialog(experiment, dialogs);
        dialog.show();
        type(dialog, {"3.175 mm", "12.7MM", "2"});
        okButton(dialog).click();
        QVERIFY(dialogs.messages.isEmpty() && dialog.OKclicked());
        QCOMPARE(experiment.SampleThickness(), 0.125f);
        QCOMPARE(experiment.SampleWidth(), 0.5f);
        QCOMPARE(experiment.SampleLength(), 2.0f);
        dialog.show();
        QCOMPARE(texts(dialog), QStringList({"3.175 mm", "12.7MM", "2"}));
        dialog.reject();
        SpecimenRecord opened;
        opened.thickness = 0.25f;
        opened.width = 1.0f;
        opened.length = 8.0f;
        experiment.SetSpecimen(opened);
        dialog.show();
        QCOMPARE(texts(dialog), QStringList({"0.25", "1", "8"}));
    }

private:
    static QLineEdit& edit(const SampleSize& dialog, const char* name) {
        return *dialog.findChild<QLineEdit*>(QLatin1String(name));
    }
    static QPushButton& okButton(const SampleSize& dialog) {
        return *dialog.findChild<QPushButton*>(QStringLiteral("OKButton"));
    }
    static QStringList texts(const SampleSize& dialog) {
        return {edit(dialog, "editThickness").text(), edit(dialog, "editWidth").text(),
                edit(dialog, "editLength").text()};
    }
    static void type(const SampleSize& dialog, const QStringList& entries) {
        edit(dialog, "editThickness").setText(entries[0]);
        edit(dialog, "editWidth").setText(entries[1]);
        edit(dialog, "editLength").setText(entries[2]);
    }
};

QTEST_MAIN(TestSampleSize)
#include "tst_samplesize.moc"

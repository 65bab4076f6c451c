#include "model/experiment.h"
#include "model/gfunctions.h"
#include "shell/mainfixture.h"
#include "specimen/specimendialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>

// The Specimen dialog on its own, and File, Specimen... through the main
// window: the record edited, kept through Save and Open.
class TestSpecimenDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }

    // Every length is labelled in inches; "mm" is taken in millimetres; a
    // length that is not one is refused and nothing is stored; only the
    // dimensions of the chosen shape are taken.
    void lengthsInInchesOrMillimetresAndOnlyOkStores() {
        SpecimenRecord given;
        given.name = "S-1";
        given.width = 0.75f;
        given.beganSeconds = 1'796'000'000;
        ScriptedDialogs dialogs;
        SpecimenDialog dialog(given, dialogs);
        dialog.show();
        const QList<QLabel*> units = dialog.findChildren<QLabel*>(QRegularExpression("^unit"));
        QCOMPARE(units.size(), 13);
        for (const QLabel* unit : units)
            QCOMPARE(unit->text(), QStringLiteral("in."));
        QCOMPARE(edit(dialog, "Width").text(), QStringLiteral("0.75"));
        QCOMPARE(edit(dialog, "Width").accessibleName(), QStringLiteral("Width in inches"));

        edit(dialog, "Thickness").setText("abc");
        edit(dialog, "Width").setText("12.7 mm");
        edit(dialog, "Length").setText("2");
        ok(dialog);
        QCOMPARE(dialogs.texts(),
                 QStringList{"Thickness must be a number greater than zero, in inches or with mm "
                             "after it."});
        QVERIFY(dialog.isVisible() && dialog.specimen() == given);

        edit(dialog, "Thickness").setText("0.125");
        edit(dialog, "FinalDiameter").setText("1");
        dialog.findChild<QLineEdit*>("textMaterial")->setText("steel");
        ok(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        SpecimenRecord expected = given;
        expected.material = "steel";
        expected.thickness = 0.125f;
        expected.width = 0.5f;
        expected.length = 2.0f;
        QVERIFY(dialog.specimen() == expected);

        SpecimenDialog round(expected, dialogs);
        round.findChild<QComboBox*>("comboShape")->setCurrentIndex(1);
        QVERIFY(!edit(round, "Thickness").isEnabled() && edit(round, "Diameter").isEnabled());
        edit(round, "Diameter").setText("6.35mm");
        ok(round);
        expected.shape = SpecimenShape::Round;
        expected.diameter = 0.25f;
        QVERIFY(round.specimen() == expected);
    }

    // File, Specimen... on an opened test: the record changes, the test is
    // unsaved and shown as stress against strain; Save and Open keep it.
    void editedRecordSurvivesSaveAndOpen() {
        QTemporaryDir folder;
        MainFixture f;
        f.configure(QString());
        f.start().show();
        f.dialogs.messages.clear();
        QVERIFY(f.main->LoadFile(TORVIK_TEST_DATA "view/tension.tdf"));
        QVERIFY(f.item<QAction>("mnuSpecimen").isEnabled());
        ModalWatcher watcher("Specimen", [](QWidget& window) {
            window.findChild<QLineEdit*>("textSpecimen")->setText("T-9");
            window.findChild<QPlainTextEdit*>("textNotes")->setPlainText("two\nlines");
            for (const char* name : {"editThickness", "editWidth", "editLength"})
                window.findChild<QLineEdit*>(name)->setText("25.4 mm");
            window.findChild<QLineEdit*>("editFinalLength")->setText("1.2");
            window.findChild<QComboBox*>("comboStructure")->setCurrentIndex(2);
            window.findChild<QLineEdit*>("editShearPlanes")->setText("2");
            window.findChild<QLineEdit*>("editProofOffset")->setText("0.5");
            window.findChild<QAbstractButton*>("buttonOK")->click();
            return true;
        });
        f.item<QAction>("mnuSpecimen").trigger();
        QVERIFY(QTest::qWaitFor([&] { return watcher.done(); }));
        const SpecimenRecord edited = f.main->currentExperiment().specimen();
        QCOMPARE(edited.name, std::string("T-9"));
        QCOMPARE(edited.thickness, 1.0f);
        QVERIFY(edited.structure == StructureKind::FourPoint && edited.shearPlanes == 2 &&
                edited.proofOffset == 0.5f);
        QVERIFY(!f.main->dataSaved());

        const QString saved = folder.filePath("t.tdf");
        f.dialogs.fileNames = {saved};
        f.item<QAction>("mnuSave").trigger();
        QVERIFY(f.main->dataSaved());
        f.item<QAction>("mnuClose").trigger();
        QVERIFY(f.main->currentExperiment().specimen().Empty());
        QVERIFY(f.main->LoadFile(saved));
        QVERIFY(f.main->currentExperiment().specimen() == edited);
        QVERIFY(f.dialogs.texts().isEmpty());
    }

private:
    static QLineEdit& edit(const QWidget& dialog, const char* row) {
        return *dialog.findChild<QLineEdit*>(QStringLiteral("edit") + QLatin1String(row));
    }
    static void ok(QWidget& dialog) { dialog.findChild<QAbstractButton*>("buttonOK")->click(); }
};

QTEST_MAIN(TestSpecimenDialog)
#include "tst_specimendialog.moc"

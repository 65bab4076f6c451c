// The main window's specimen commands: the Specimen dialog for the test in
// the record, the option that asks for it before a new test, and keeping the
// record journalled and marked unsaved when it changes.

#include "acquisition/testjournal.h"
#include "mainwindow.h"
#include "model/experiment.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "platform/settingsstore.h"
#include "specimen/specimendialog.h"

namespace {
const QString kSection = QStringLiteral("Specimen");
const QString kAskKey = QStringLiteral("Ask Before Test");
} // namespace

void Main::handleSpecimen() {
    runDeviceCommand([this] {
        SpecimenDialog dialog(currentExperiment().specimen(), m_dialogs, this);
        CenterOver(dialog, *this);
        if (dialog.exec() == QDialog::Accepted)
            specimenEdited(dialog.specimen());
    });
}

// The check mark is the option; the settings keep it for the next run.
void Main::handleAskSpecimen() {
    m_settings.write(kSection, kAskKey,
                     m_menus.mnuAskSpecimen->isChecked() ? QStringLiteral("1")
                                                         : QStringLiteral("0"));
}

void Main::specimenEdited(const SpecimenRecord& specimen) {
    Experiment& experiment = currentExperiment();
    if (experiment.specimen() == specimen)
        return;
    experiment.SetSpecimen(specimen);
    // The record differs from its file now; a recovered test keeps it.
    m_dataSaved = false;
    m_journal->noteSpecimen(specimen);
    ShowResults();
}

// The record was cleared for the new test: what is typed here is its own.
void Main::askSpecimenBeforeTest() {
    if (!m_menus.mnuAskSpecimen->isChecked())
        return;
    SpecimenDialog dialog(currentExperiment().specimen(), m_dialogs, this);
    CenterOver(dialog, *this);
    if (dialog.exec() == QDialog::Accepted)
        currentExperiment().SetSpecimen(dialog.specimen());
}

void Main::keepNewTestSpecimen() {
    Experiment& experiment = currentExperiment();
    if (!m_experimentPresent || experiment.Count() == 0)
        return;
    SpecimenRecord specimen = experiment.specimen();
    if (!specimen.beganSeconds)
        specimen.beganSeconds = m_journal->startedSeconds();
    experiment.SetSpecimen(specimen);
    m_journal->noteSpecimen(specimen);
}

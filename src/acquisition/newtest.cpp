#include "newtest.h"

#include "acquisition/runexperiment.h"
#include "acquisition/testjournal.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"

const QString kNoJournalMessage =
    QStringLiteral("Torvik cannot keep this test on the disk in %1 while it runs, so a crash "
                   "would lose it.  Save the test as soon as it is done.");

void RunNewTest(NewTestHost& host, std::int32_t testType) {
    if (!host.QuerySaveData())
        return;
    host.PauseLiveLoad();
    Experiment& experiment = host.currentExperiment();
    experiment.Clear();
    host.ClearResults();
    // The ratio as the data file will hold it, so the live test, its
    // journal, its file and its export all convert alike. The offset is
    // handed out as a whole number in single precision.
    experiment.SetLoadCellRatio(FileLoadCellRatio(CurrentLoadCellRatio()));
    experiment.SetLoadCellOffset(RoundToInt32(CurrentLoadCellOffset()).value_or(0));

    // The window is built for this one test.
    RunExperiment window(
        host.deviceInterface(), experiment, host.dialogs(), [&host] { return host.units(); },
        &host.window());
    window.SetTestType(testType);
    host.UpdateAxisMenu();
    host.beforeGathering();
    TestJournal& journal = host.journal();
    // Said before the window opens, not while a specimen is being loaded.
    if (!journal.canWrite())
        host.dialogs().message(kNoJournalMessage.arg(journal.folder()), Dialogs::Icon::Exclamation);
    window.setJournal(&journal);
    CenterOver(window, host.window());
    window.exec();

    host.ResumeLiveLoad();
    if (!window.TestDone())
        return;
    host.EnableDataCommands();
    host.ShowResults();
}

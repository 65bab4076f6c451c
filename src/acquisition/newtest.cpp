#include "newtest.h"

#include "acquisition/runexperiment.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/geometry.h"

void RunNewTest(NewTestHost& host, std::int32_t testType) {
    if (!host.QuerySaveData())
        return;
    host.PauseLiveLoad();
    Experiment& experiment = host.currentExperiment();
    experiment.Clear();
    host.ClearResults();
    // The offset is handed out as a whole number in single precision.
    experiment.SetLoadCellRatio(CurrentLoadCellRatio());
    experiment.SetLoadCellOffset(RoundToInt32(CurrentLoadCellOffset()).value_or(0));

    // The window is built for this one test.
    RunExperiment window(
        host.deviceInterface(), experiment, host.dialogs(), [&host] { return host.units(); },
        &host.window());
    window.SetTestType(testType);
    host.UpdateAxisMenu();
    CenterOver(window, host.window());
    window.exec();

    host.ResumeLiveLoad();
    if (!window.TestDone())
        return;
    host.EnableDataCommands();
    host.ShowResults();
}

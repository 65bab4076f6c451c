#pragma once

#include "acquisition/newtest.h"

class Main;

// The main window as the new-test routine sees it: each call goes to the
// main window's routine of the same name. Lives for one command.
class MainTestHost : public NewTestHost {
public:
    MainTestHost(Main& main, Dialogs& dialogs) : m_main(main), m_dialogs(dialogs) {}

    bool QuerySaveData() override;
    void PauseLiveLoad() override;
    void ResumeLiveLoad() override;
    void ClearResults() override;
    void UpdateAxisMenu() override;
    void EnableDataCommands() override;
    void ShowResults() override;
    Experiment& currentExperiment() override;
    Interface& deviceInterface() override;
    Dialogs& dialogs() override { return m_dialogs; }
    TestJournal& journal() override;
    void beforeGathering() override;
    std::int32_t units() const override;
    QWidget& window() override;

private:
    Main& m_main;
    Dialogs& m_dialogs;
};

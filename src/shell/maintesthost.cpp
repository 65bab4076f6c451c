#include "maintesthost.h"

#include "shell/mainwindow.h"

bool MainTestHost::QuerySaveData() {
    return m_main.QuerySaveData();
}

void MainTestHost::PauseLiveLoad() {
    m_main.PauseLiveLoad();
}

void MainTestHost::ResumeLiveLoad() {
    m_main.ResumeLiveLoad();
}

void MainTestHost::ClearResults() {
    m_main.ClearResults();
}

void MainTestHost::UpdateAxisMenu() {
    m_main.UpdateAxisMenu();
}

void MainTestHost::EnableDataCommands() {
    m_main.EnableDataCommands();
}

void MainTestHost::ShowResults() {
    m_main.ShowResults();
}

Experiment& MainTestHost::currentExperiment() {
    return m_main.currentExperiment();
}

Interface& MainTestHost::deviceInterface() {
    return m_main.deviceInterface();
}

std::int32_t MainTestHost::units() const {
    return m_main.units();
}

QWidget& MainTestHost::window() {
    return m_main;
}

TestJournal& MainTestHost::journal() {
    return m_main.journal();
}

void MainTestHost::beforeGathering() {
    m_main.askSpecimenBeforeTest();
}

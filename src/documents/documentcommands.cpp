#include "documentcommands.h"

#include "documents/chartprint.h"
#include "documents/defaultname.h"
#include "documents/documenthost.h"
#include "documents/writefailure.h"
#include "model/experiment.h"
#include "model/unconverted.h"
#include "platform/clock.h"
#include "platform/dialogmessages.h"
#include "platform/dialogs.h"

#include <QObject>
#include <exception>

namespace {
const QString kInvalidFile = QStringLiteral("File could not be opened.  Not a valid file type.");
}

DocumentCommands::DocumentCommands(DocumentHost& host, Dialogs& dialogs, Clock& clock)
    : m_host(host), m_dialogs(dialogs), m_clock(clock), m_chooser(dialogs) {}

bool DocumentCommands::QuerySaveData() {
    if (!m_host.experimentPresent() || m_host.dataSaved())
        return true;
    switch (m_dialogs.message(QObject::tr("Data not saved.  Save?"), Dialogs::Icon::Question,
                              Dialogs::Buttons::YesNoCancel)) {
    case Dialogs::Answer::Yes:
        return SaveData();
    case Dialogs::Answer::No:
        // The journal goes only when the record is actually replaced or
        // cleared: a cancelled Open leaves the test on screen.
        return true;
    default:
        return false;
    }
}

QString DocumentCommands::defaultName(const QString& extension) {
    return DefaultFileName(QString::fromStdString(m_host.currentExperiment().TestString()),
                           m_clock.wholeSeconds(), extension);
}

bool DocumentCommands::SaveData() {
    const QString name =
        m_chooser.chooseSave(FileChooser::Kind::DataFile, defaultName(QStringLiteral("tdf")));
    if (name.isEmpty())
        return false;
    const Experiment& record = m_host.currentExperiment();
    if (!write([&] { return record.SaveFile(name.toStdString()); }, name, QObject::tr("saved")))
        return false;
    m_host.setDataSaved(true);
    m_host.setDataFile(name, false);
    m_host.dropJournal();
    return true;
}

void DocumentCommands::Export() {
    const QString name = m_chooser.chooseSave(
        FileChooser::Kind::TextFile, defaultName(QStringLiteral("txt")), {m_host.dataFile()});
    if (name.isEmpty())
        return;
    const Experiment& record = m_host.currentExperiment();
    const std::int32_t units = m_host.units();
    write([&] { return record.Export(name.toStdString(), units); }, name, QObject::tr("exported"));
}

bool DocumentCommands::write(const std::function<bool()>& writeFile,
                             const QString& fileName,
                             const QString& what) {
    const bool existed = FileExists(fileName);
    bool kept = true;
    try {
        if (writeFile())
            return true;
        m_dialogs.message(QObject::tr("The test has no points: nothing was %1.").arg(what),
                          Dialogs::Icon::Exclamation);
        return false;
    } catch (const FileWriteError& error) {
        kept = error.OldFileKept();
    } catch (const ConversionError& error) {
        m_dialogs.message(ConversionFailureText(fileName, what, error.what()),
                          Dialogs::Icon::Exclamation);
        return false;
    } catch (const std::exception&) {
    }
    m_dialogs.message(WriteFailureText(fileName, what, existed, kept), Dialogs::Icon::Exclamation);
    return false;
}

bool DocumentCommands::LoadFile(const QString& fileName) {
    Experiment loaded;
    DialogMessages messages(m_dialogs);
    try {
        if (!loaded.LoadFile(fileName.toStdString(), messages))
            return false;
    } catch (const std::exception&) {
        messages.Inform(kInvalidFile.toStdString());
        return false;
    }
    m_host.currentExperiment() = std::move(loaded);
    m_host.dropJournal();
    m_host.ClearResults();
    m_host.setDataSaved(true);
    m_host.EnableDataCommands();
    m_host.UpdateAxisMenu();
    m_host.setDataFile(fileName, true);
    m_host.showCurrentExperiment();
    tellUnconvertedPoints();
    return true;
}

void DocumentCommands::tellUnconvertedPoints() {
    const Experiment& record = m_host.currentExperiment();
    const std::string text =
        UnconvertedPointsText(FindUnconvertedPoints(record, m_host.units()), record.Count());
    if (!text.empty())
        m_dialogs.message(QString::fromStdString(text), Dialogs::Icon::Exclamation);
}

void DocumentCommands::Open() {
    if (!QuerySaveData())
        return;
    const QString name = m_chooser.chooseOpen();
    if (!name.isEmpty())
        LoadFile(name);
}

void DocumentCommands::Close() {
    if (!QuerySaveData())
        return;
    m_host.dropJournal();
    m_host.DisableDataCommands();
    m_host.currentExperiment().Clear();
    m_host.ClearResults();
}

void DocumentCommands::Print() {
    if (QChartView* chart = m_host.chartForPrint())
        PrintChart(*chart, m_dialogs);
}

#include "filechooser.h"

#include "model/experiment.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>

namespace {
Dialogs::FileRequest request(FileChooser::Kind kind, const QString& name, const QString& folder) {
    Dialogs::FileRequest r;
    r.fileName = name;
    r.folder = folder;
    if (kind == FileChooser::Kind::DataFile) {
        r.filter = QStringLiteral("Torvik Data File (*.tdf);;All Files (*)");
        r.defaultSuffix = QStringLiteral("tdf");
    } else if (kind == FileChooser::Kind::Report) {
        r.filter = QStringLiteral("PDF Document (*.pdf);;All Files (*)");
        r.defaultSuffix = QStringLiteral("pdf");
    } else {
        r.filter = QStringLiteral("Comma Delimated Text File (*.txt);;All Files (*)");
        r.defaultSuffix = QStringLiteral("txt");
    }
    return r;
}
} // namespace

QString
FileChooser::chooseSave(Kind kind, const QString& proposedName, const QStringList& sources) {
    QString folder = m_folder;
    for (;;) {
        const QString chosen = m_dialogs.saveFileName(request(kind, proposedName, folder));
        const QString refused = kind == Kind::DataFile ? QString() : refusal(chosen, sources);
        if (chosen.isEmpty() || refused.isEmpty())
            return remember(chosen);
        m_dialogs.message(refused, Dialogs::Icon::Exclamation);
        folder = QFileInfo(chosen).absolutePath();
    }
}

QString FileChooser::refusal(const QString& name, const QStringList& sources) {
    std::vector<std::string> sourceNames;
    for (const QString& source : sources)
        sourceNames.push_back(source.toStdString());
    const QString shown = QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath());
    switch (RefusedOutput(name.toStdString(), sourceNames)) {
    case OutputRefusal::Source:
        return QObject::tr("%1 holds the test's own readings.  It is not written over; choose "
                           "another name.")
            .arg(shown);
    case OutputRefusal::DataFile:
        return QObject::tr("%1 is a data file.  It is not written over; choose another name.")
            .arg(shown);
    case OutputRefusal::None:
        break;
    }
    return {};
}

QString FileChooser::chooseOpen() {
    return remember(m_dialogs.openFileName(request(Kind::DataFile, QString(), m_folder)));
}

QString FileChooser::remember(const QString& chosen) {
    if (!chosen.isEmpty())
        m_folder = QFileInfo(chosen).absolutePath();
    return chosen;
}

#include "filechooser.h"

#include "platform/dialogs.h"

#include <QFileInfo>

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

QString FileChooser::chooseSave(Kind kind, const QString& proposedName) {
    return remember(m_dialogs.saveFileName(request(kind, proposedName, m_folder)));
}

QString FileChooser::chooseOpen() {
    return remember(m_dialogs.openFileName(request(Kind::DataFile, QString(), m_folder)));
}

QString FileChooser::remember(const QString& chosen) {
    if (!chosen.isEmpty())
        m_folder = QFileInfo(chosen).absolutePath();
    return chosen;
}

#include "platform/helplocation.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString kBesideProgram = QStringLiteral("help/index.html");
const QString kUnderPrefix = QStringLiteral("../share/torvik/help/index.html");
} // namespace

QString HelpStartPage(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(kBesideProgram);
    const QString installed = QDir::cleanPath(folder.filePath(kUnderPrefix));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return installed;
    return beside;
}

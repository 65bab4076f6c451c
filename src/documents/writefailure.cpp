#include "writefailure.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>

bool FileExists(const QString& fileName) {
    return QFileInfo::exists(fileName);
}

namespace {
// The likeliest cause, from what the file system shows after the failure.
QString reason(const QFileInfo& file) {
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QObject::tr("The folder %1 does not exist.")
            .arg(QDir::toNativeSeparators(folder.filePath()));
    if (!folder.isWritable())
        return QObject::tr("The folder %1 cannot be written to.")
            .arg(QDir::toNativeSeparators(folder.filePath()));
    if (file.isDir())
        return QObject::tr("A folder of that name is in the way.");
    if (file.isSymLink() && !file.exists())
        return QObject::tr("That name is a link to %1, which does not exist; nothing is written "
                           "through it.")
            .arg(QDir::toNativeSeparators(file.symLinkTarget()));
    if (file.exists() && !file.isFile())
        return QObject::tr("That name belongs to a pipe or a device, not a file; it is not "
                           "written over.");
    return QObject::tr("The disk may be full, or the file could not be written.");
}
} // namespace

QString
WriteFailureText(const QString& fileName, const QString& what, bool existed, bool oldFileKept) {
    const QFileInfo file(fileName);
    QString text = QObject::tr("The data could not be %1 to %2.")
                       .arg(what, QDir::toNativeSeparators(file.absoluteFilePath()));
    text += QStringLiteral("\n\n") + reason(file);
    if (existed && !file.isDir())
        text += QStringLiteral("  ") +
                (oldFileKept ? QObject::tr("The file that was there is unchanged.")
                             : QObject::tr("The file that was there could not be kept as it "
                                           "was and may be damaged."));
    return text;
}

QString ConversionFailureText(const QString& fileName, const QString& what, const QString& reason) {
    QString because = reason;
    if (!because.isEmpty())
        because[0] = because[0].toUpper();
    return QObject::tr("The data could not be %1 to %2.")
               .arg(what, QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath())) +
           QStringLiteral("\n\n") + because + QStringLiteral(".  ") +
           QObject::tr("Nothing was written.");
}

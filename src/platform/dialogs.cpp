#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
const QString kTitle = QStringLiteral("Torvik");

QMessageBox::Icon toQtIcon(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Information:
        break;
    }
    return QMessageBox::Information;
}
} // namespace

Dialogs::Answer QtDialogs::message(const QString& text, Icon icon, Buttons buttons) {
    QMessageBox box(toQtIcon(icon), kTitle, text, QMessageBox::NoButton, m_parent);
    box.setAccessibleName(kTitle);
    if (buttons == Buttons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

namespace {
// The chooser lists `filter`'s entries as name filters, starts in the
// request's folder and offers no read-only choice.
void prepare(QFileDialog& chooser, const Dialogs::FileRequest& request, const QString& caption) {
    chooser.setObjectName(QStringLiteral("fileChooser"));
    chooser.setWindowTitle(caption);
    chooser.setAccessibleName(caption);
    chooser.setNameFilters(request.filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts));
    if (!request.folder.isEmpty())
        chooser.setDirectory(request.folder);
    chooser.setDefaultSuffix(request.defaultSuffix);
}
} // namespace

QString QtDialogs::openFileName(const FileRequest& request) {
    QFileDialog chooser(m_parent);
    prepare(chooser, request, QObject::tr("Open"));
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    // Only an existing file in an existing folder is accepted.
    chooser.setFileMode(QFileDialog::ExistingFile);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return {};
    return chooser.selectedFiles().constFirst();
}

QStringList Dialogs::openFileNames(const FileRequest& request) {
    const QString fileName = openFileName(request);
    return fileName.isEmpty() ? QStringList() : QStringList{fileName};
}

QStringList QtDialogs::openFileNames(const FileRequest& request) {
    QFileDialog chooser(m_parent);
    prepare(chooser, request, QObject::tr("Open"));
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFiles);
    if (chooser.exec() != QDialog::Accepted)
        return {};
    return chooser.selectedFiles();
}

QString QtDialogs::saveFileName(const FileRequest& request) {
    QFileDialog chooser(m_parent);
    prepare(chooser, request, QObject::tr("Save As"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    // Any name in an existing folder; an existing file only after a yes.
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setOption(QFileDialog::DontConfirmOverwrite, false);
    chooser.selectFile(request.fileName);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return {};
    return chooser.selectedFiles().constFirst();
}

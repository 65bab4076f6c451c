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
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::Ok;
    }
}

QString QtDialogs::openFileName(const FileRequest& request) {
    QFileDialog chooser(m_parent, QString(), request.folder, request.filter);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setDefaultSuffix(request.defaultSuffix);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return {};
    return chooser.selectedFiles().constFirst();
}

QString QtDialogs::saveFileName(const FileRequest& request) {
    QFileDialog chooser(m_parent, QString(), request.folder, request.filter);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setDefaultSuffix(request.defaultSuffix);
    chooser.selectFile(request.fileName);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return {};
    return chooser.selectedFiles().constFirst();
}

#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Message boxes and file choosers, the program's only modal questions to the
// operator. Windows and commands ask through this interface so that tests can
// script the answers and assert every text without a modal box on screen.
class Dialogs {
public:
    enum class Icon { Information, Question, Exclamation, Critical };
    enum class Buttons { Ok, OkCancel, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    struct FileRequest {
        QString fileName;      // proposed name (save) or empty (open)
        QString folder;        // initial folder; empty: the last one used
        QString filter;        // name filters, entries separated by ";;"
        QString defaultSuffix; // added to a name typed without one
    };

    virtual ~Dialogs() = default;
    // A modal box titled "Torvik".
    virtual Answer
    message(const QString& text, Icon icon = Icon::Information, Buttons buttons = Buttons::Ok) = 0;
    // An existing file, or empty when the operator cancelled.
    virtual QString openFileName(const FileRequest& request) = 0;
    // Existing files, one or several chosen at once; empty when the operator
    // cancelled. By default the one of openFileName.
    virtual QStringList openFileNames(const FileRequest& request);
    // A name in an existing folder, asking before an existing file is
    // overwritten; empty when the operator cancelled.
    virtual QString saveFileName(const FileRequest& request) = 0;
};

// The real boxes and choosers, parented to the given window when there is one.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    Answer message(const QString& text, Icon icon, Buttons buttons) override;
    QString openFileName(const FileRequest& request) override;
    QStringList openFileNames(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;

private:
    QWidget* m_parent;
};

#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QStringList>
#include <functional>

// Dialogs for tests: records every message and file request and answers from
// queues the test fills beforehand. An unscripted question is answered with
// Cancel (or OK for a plain message) and an unscripted chooser is cancelled,
// so a test never blocks on a modal box.
class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        Icon icon;
        Buttons buttons;
    };

    Answer message(const QString& text, Icon icon, Buttons buttons) override {
        messages.append({text, icon, buttons});
        if (onMessage)
            onMessage(text);
        if (!answers.isEmpty())
            return answers.takeFirst();
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    QString openFileName(const FileRequest& request) override {
        openRequests.append(request);
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    // The next list of fileNameLists, or else the next single name.
    QStringList openFileNames(const FileRequest& request) override {
        if (fileNameLists.isEmpty())
            return Dialogs::openFileNames(request);
        openRequests.append(request);
        return fileNameLists.takeFirst();
    }
    QString saveFileName(const FileRequest& request) override {
        saveRequests.append(request);
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }

    QStringList texts() const {
        QStringList result;
        for (const Message& m : messages)
            result.append(m.text);
        return result;
    }

    QList<Message> messages;
    QList<Answer> answers;
    QStringList fileNames;
    QList<QStringList> fileNameLists;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    std::function<void(const QString&)> onMessage; // runs while the "box" is up
};

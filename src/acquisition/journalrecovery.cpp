#include "acquisition/journalrecovery.h"

#include "acquisition/journalfile.h"
#include "acquisition/testjournal.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/journalformat.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <cerrno>
#include <cstring>

namespace {
const QString kSetAsideMark = QStringLiteral("-set-aside-");
const QString kDateFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QString kSetAsideSuffix = QStringLiteral(".old");

QString dateText(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds).toString(kDateFormat);
}

// English month names whatever the desktop's language, as in the file names.
QString begunText(qint64 seconds) {
    return QLocale::c().toString(QDateTime::fromSecsSinceEpoch(seconds),
                                 QStringLiteral("MMM dd yyyy, HH:mm:ss"));
}

QString question(const JournalContents& contents) {
    QString text = QStringLiteral("A test that was not saved was found: %1, begun %2, %3 points.  "
                                  "Recover it?")
                       .arg(QString::fromStdString(TestTypeNames(contents.header.testType)),
                            begunText(contents.header.startedSeconds))
                       .arg(contents.loads.size());
    if (contents.damaged)
        text += QStringLiteral("  %1 points could be read; the rest of the journal is damaged.")
                    .arg(contents.loads.size());
    return text;
}
} // namespace

JournalRecovery::JournalRecovery(TestJournal& journal, Dialogs& dialogs, const Clock& clock)
    : m_journal(journal), m_dialogs(dialogs), m_clock(clock) {}

QString JournalRecovery::setAsideName(const QString& path) const {
    QString base = path;
    base.chop(QStringLiteral(".journal").size());
    return base + kSetAsideMark + dateText(m_clock.wholeSeconds()) + kSetAsideSuffix;
}

QString JournalRecovery::setAside(JournalFile& file) const {
    if (file.rename(setAsideName(file.path())))
        return QString();
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool JournalRecovery::offer(Experiment& experiment) {
    const QDir folder(m_journal.folder());
    const QStringList names =
        folder.entryList({QStringLiteral("*.journal")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        JournalFile file = JournalFile::openUnheld(folder.filePath(name));
        if (!file.isOpen())
            continue; // held by a running Torvik, or not ours to open
        const QByteArray bytes = file.readAll(MostJournalBytes());
        const auto contents = ParseJournal(std::string_view(bytes.constData(), bytes.size()));
        if (!contents) {
            const QString failure = setAside(file);
            m_dialogs.message(
                QStringLiteral("A test journal could not be read.  ") +
                    (failure.isEmpty()
                         ? QStringLiteral("It was set aside as %1.").arg(file.path())
                         : QStringLiteral("It could not be set aside either (%1) and stays as %2.")
                               .arg(failure, file.path())),
                Dialogs::Icon::Exclamation);
            continue;
        }
        if (contents->loads.empty()) {
            file.remove(); // a test that ended before its first reading
            continue;
        }
        switch (m_dialogs.message(question(*contents), Dialogs::Icon::Question,
                                  Dialogs::Buttons::YesNoCancel)) {
        case Dialogs::Answer::Yes:
            FillExperiment(*contents, experiment);
            m_journal.adopt(std::move(file), contents->header.startedSeconds);
            return true;
        case Dialogs::Answer::No:
            if (const QString failure = setAside(file); !failure.isEmpty())
                m_dialogs.message(
                    QStringLiteral("The test journal %1 could not be set aside (%2).  "
                                   "It will be offered again at the next start.")
                        .arg(file.path(), failure),
                    Dialogs::Icon::Exclamation);
            break;
        default:
            return false; // asked again at the next start
        }
    }
    return false;
}

void JournalRecovery::pruneSetAside() {
    QDir folder(m_journal.folder());
    const qint64 now = m_clock.wholeSeconds();
    const QStringList names =
        folder.entryList({QLatin1Char('*') + kSetAsideSuffix}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const qsizetype mark = name.lastIndexOf(kSetAsideMark);
        if (mark < 0)
            continue;
        const QString date = name.mid(mark + kSetAsideMark.size(), kDateFormat.size());
        const QDateTime setAside = QDateTime::fromString(date, kDateFormat);
        if (setAside.isValid() && now - setAside.toSecsSinceEpoch() > kSetAsideKeptSeconds)
            folder.remove(name);
    }
}

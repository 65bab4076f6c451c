#include "acquisition/testjournal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <cstring>

namespace {
constexpr char kJournalSuffix[] = ".journal";
} // namespace

QString JournalFolder() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/Torvik");
}

TestJournal::TestJournal(QString folder, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)) {
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &TestJournal::flush);
}

TestJournal::~TestJournal() {
    // An unsaved test keeps its journal for the next start.
    flush();
}

bool TestJournal::begin(const JournalHeader& header) {
    discard();
    m_startedSeconds = header.startedSeconds;
    // The process number keeps two programs started in the same second apart.
    const QString name = QStringLiteral("test-%1-%2%3")
                             .arg(QDateTime::fromSecsSinceEpoch(header.startedSeconds)
                                      .toString(QStringLiteral("yyyyMMdd-HHmmss")))
                             .arg(QCoreApplication::applicationPid())
                             .arg(QLatin1String(kJournalSuffix));
    if (QDir().mkpath(m_folder))
        m_file = JournalFile::create(QDir(m_folder).filePath(name));
    m_writing = m_file.isOpen() && m_file.appendSynced(JournalHeaderText(header));
    if (!m_writing) {
        m_file.remove();
        emit failed();
    }
    return m_writing;
}

bool TestJournal::canWrite() const {
    if (!QDir().mkpath(m_folder))
        return false;
    const QString probe = QDir(m_folder).filePath(
        QStringLiteral(".probe-%1").arg(QCoreApplication::applicationPid()));
    JournalFile file = JournalFile::create(probe);
    const bool written = file.isOpen() && file.appendSynced("probe");
    file.remove();
    return written;
}

void TestJournal::flush() {
    m_flushTimer.stop();
    if (m_pending.empty())
        return;
    // A disk that fails during a test must not stop the test; the journal
    // stops growing and the operator is told.
    const bool written = m_file.appendSynced(m_pending);
    m_pending.clear();
    if (!written) {
        m_writing = false;
        emit failed();
    }
}

QString TestJournal::discard() {
    m_flushTimer.stop();
    m_pending.clear();
    m_writing = false;
    return m_file.remove() ? QString() : QString::fromLocal8Bit(std::strerror(errno));
}

void TestJournal::adopt(JournalFile file, std::int64_t startedSeconds) {
    discard();
    m_startedSeconds = startedSeconds;
    m_file = std::move(file);
    m_writing = m_file.isOpen();
}

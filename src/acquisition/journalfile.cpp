#include "acquisition/journalfile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// The journal needs what Qt's files do not offer: a lock that the system
// releases when the process dies, and a sync to the disk. Hence plain POSIX.

namespace {
int lockedOrClosed(int fd) {
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
} // namespace

JournalFile::~JournalFile() {
    close();
}

JournalFile::JournalFile(JournalFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)) {}

JournalFile& JournalFile::operator=(JournalFile&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

JournalFile JournalFile::create(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    return JournalFile(lockedOrClosed(fd), path);
}

JournalFile JournalFile::openUnheld(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    // A journal that can only be read (a file system mounted read-only after
    // a power cut, a file without write permission) still holds its test.
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    return JournalFile(lockedOrClosed(fd), path);
}

bool JournalFile::appendSynced(std::string_view bytes) {
    if (m_fd < 0)
        return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return ::fdatasync(m_fd) == 0;
}

QByteArray JournalFile::readAll(std::size_t mostBytes) const {
    QByteArray bytes;
    if (m_fd < 0)
        return bytes;
    char piece[65536];
    off_t offset = 0;
    for (;;) {
        const std::size_t wanted =
            std::min(sizeof piece, mostBytes - static_cast<std::size_t>(bytes.size()));
        if (wanted == 0)
            return bytes;
        const ssize_t got = ::pread(m_fd, piece, wanted, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return bytes;
        bytes.append(piece, got);
        offset += got;
    }
}

bool JournalFile::rename(const QString& newPath) {
    if (m_fd < 0 || ::rename(QFile::encodeName(m_path).constData(),
                             QFile::encodeName(newPath).constData()) != 0)
        return false;
    m_path = newPath;
    return true;
}

bool JournalFile::remove() {
    const bool removed =
        m_fd < 0 || ::unlink(QFile::encodeName(m_path).constData()) == 0 || errno == ENOENT;
    const int cause = errno;
    close();
    errno = cause;
    return removed;
}

void JournalFile::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

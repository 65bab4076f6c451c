#include "model/replacingfile.h"

#include "model/experiment.h"

#include <cerrno>
#include <optional>
#include <random>
#include <system_error>

// POSIX calls: the owner and group of the file being replaced, whether the
// operator may write it, what kind of file it is, reserving room on the disk
// and syncing to it cannot be reached through the standard library.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Written out in pieces of about this size.
constexpr std::size_t kFlushBytes = 1 << 20;
constexpr int kNameAttempts = 100;
// Enough of the target's name to recognise a leftover, short enough that the
// temporary name stays within the file system's name length.
constexpr std::size_t kNameStemChars = 64;
constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kNewFileMode = 0666; // less the operator's umask

std::filesystem::path ResolvedTarget(const std::string& fileName) {
    std::filesystem::path target(fileName);
    std::error_code error;
    // Replace the file a link points to, not the link itself.
    if (std::filesystem::is_symlink(target, error)) {
        const auto resolved = std::filesystem::weakly_canonical(target, error);
        if (!error) {
            target = resolved;
        }
    }
    return target;
}

std::optional<struct stat> ExistingFile(const std::filesystem::path& target) {
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return status;
}

// The failure of a file the system refused, named by the reason it gave.
FileWriteError AccessError(const std::string& fileName) {
    const bool denied = errno == EACCES || errno == EPERM;
    return FileWriteError((denied ? "Permission denied: " : "Path/File access error: ") + fileName);
}

// Gives a new file the owner, group and mode of the one it is to replace;
// false when the operator may not hand it to that owner or group.
bool TakeOver(int descriptor, const struct stat& replaced) {
    return ::fchown(descriptor, replaced.st_uid, replaced.st_gid) == 0 &&
           ::fchmod(descriptor, replaced.st_mode & kPermissionBits) == 0;
}

bool WriteAt(int descriptor, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(descriptor, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

// The whole content of an open file; nullopt when it cannot be read.
std::optional<std::string> ContentOf(int descriptor) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t got = ::pread(descriptor, content.data() + done, content.size() - done,
                                    static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return std::nullopt;
        }
        done += static_cast<std::size_t>(got);
    }
    return content;
}

// Exactly `content` in the file, on the disk.
bool Rewrite(int descriptor, std::string_view content) {
    const auto length = static_cast<off_t>(content.size());
    return WriteAt(descriptor, content, 0) && ::ftruncate(descriptor, length) == 0 &&
           ::fsync(descriptor) == 0;
}

// Makes a rename in `folder` survive a power cut. A folder the operator may
// not read, or a file system that cannot sync folders, is left as it is.
bool SyncFolder(const std::filesystem::path& folder) {
    const int descriptor =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return errno == EACCES;
    }
    const bool synced = ::fsync(descriptor) == 0 || errno == EINVAL;
    ::close(descriptor);
    return synced;
}

} // namespace

ReplacingFile::ReplacingFile(const std::string& fileName) : m_target(ResolvedTarget(fileName)) {
    if (fileName.empty() || !m_target.has_filename()) {
        throw FileWriteError("Bad file name or number: " + fileName);
    }
    // A link to nothing is refused: renaming over it would put a plain file
    // in its place, and creating what it points to would write wherever the
    // link was made to point, perhaps by someone else.
    std::error_code error;
    if (std::filesystem::is_symlink(m_target, error) && !std::filesystem::exists(m_target, error)) {
        throw FileWriteError("Path/File access error: " + fileName +
                             " is a link to a file that does not exist");
    }
    const auto existing = ExistingFile(m_target);
    // A pipe or a device is never opened for writing: it could block for
    // good, and renaming over it would put a file in its place.
    if (existing && !S_ISREG(existing->st_mode)) {
        throw FileWriteError("Path/File access error: " + fileName);
    }
    if (existing && ::faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0) {
        throw AccessError(fileName);
    }
    if (OpenTemporary() && existing && !TakeOver(m_descriptor, *existing)) {
        Discard();
    }
    if (m_descriptor < 0 && existing) {
        OpenInPlace();
    }
    if (m_descriptor < 0) {
        throw AccessError(fileName);
    }
}

bool ReplacingFile::OpenTemporary() {
    std::random_device entropy;
    std::mt19937_64 random(entropy());
    for (int attempt = 0; attempt < kNameAttempts && m_descriptor < 0; ++attempt) {
        m_temporary = m_target;
        m_temporary.replace_filename("." + m_target.filename().string().substr(0, kNameStemChars) +
                                     ".tmp" + std::to_string(random() % 1000000000u));
        // Created exclusively: never reuse someone else's file.
        m_descriptor =
            ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (m_descriptor < 0 && errno != EEXIST) {
            break;
        }
    }
    return m_descriptor >= 0;
}

// Opened without truncating, and readable so that the old content can be put
// back. Not blocking, and checked again once open, in case a pipe took the
// file's place meanwhile.
void ReplacingFile::OpenInPlace() {
    m_temporary.clear();
    m_inPlace = true;
    m_descriptor = ::open(m_target.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status {};
    if (m_descriptor >= 0 && (::fstat(m_descriptor, &status) != 0 || !S_ISREG(status.st_mode))) {
        ::close(m_descriptor);
        m_descriptor = -1;
        errno = EINVAL;
    }
}

ReplacingFile::~ReplacingFile() {
    if (!m_committed) {
        Discard();
    }
}

void ReplacingFile::Write(std::string_view bytes) {
    m_buffer.append(bytes);
    // A file written in place is touched only once all of it is known.
    if (!m_inPlace && m_buffer.size() >= kFlushBytes) {
        Flush();
    }
}

void ReplacingFile::Flush() {
    if (!WriteAt(m_descriptor, m_buffer, static_cast<off_t>(m_written))) {
        throw FileWriteError("Device I/O error: " + m_target.string());
    }
    m_written += m_buffer.size();
    m_buffer.clear();
}

void ReplacingFile::Commit() {
    if (m_inPlace) {
        CommitInPlace();
    } else {
        CommitTemporary();
    }
    m_committed = true;
}

// On the disk before it takes the target's name, so that a power cut leaves
// the old file or the new one, whole.
void ReplacingFile::CommitTemporary() {
    Flush();
    const bool synced = ::fsync(m_descriptor) == 0;
    const bool closed = ::close(m_descriptor) == 0;
    m_descriptor = -1;
    if (!synced || !closed) {
        throw FileWriteError("Device I/O error: " + m_target.string());
    }
    std::error_code error;
    std::filesystem::rename(m_temporary, m_target, error);
    if (error) {
        throw FileWriteError("Path/File access error: " + m_target.string());
    }
    m_temporary.clear();
    if (!SyncFolder(m_target.parent_path())) {
        throw FileWriteError("Device I/O error: " + m_target.string(), false);
    }
}

// Room for the new content is reserved before a byte of the old is
// overwritten, so that a full disk fails before the file is touched; any
// failure after that puts the old content back.
void ReplacingFile::CommitInPlace() {
    const auto old = ContentOf(m_descriptor);
    if (!old) {
        throw FileWriteError("Device I/O error: " + m_target.string());
    }
    const int reserved = ::posix_fallocate(m_descriptor, 0, static_cast<off_t>(m_buffer.size()));
    // A file system that cannot reserve room is written without.
    const bool written = (reserved == 0 || reserved == EOPNOTSUPP || reserved == EINVAL) &&
                         Rewrite(m_descriptor, m_buffer);
    const bool restored = written || Rewrite(m_descriptor, *old);
    ::close(m_descriptor);
    m_descriptor = -1;
    if (!written) {
        throw FileWriteError("Device I/O error: " + m_target.string(), restored);
    }
}

// A file written in place is as it was; only a temporary goes.
void ReplacingFile::Discard() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
        m_descriptor = -1;
    }
    if (!m_temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_temporary, ignored);
    }
}

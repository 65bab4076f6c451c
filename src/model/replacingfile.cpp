#include "model/replacingfile.h"

#include "model/experiment.h"

#include <cerrno>
#include <optional>
#include <random>
#include <system_error>

// POSIX calls: the owner and group of the file being replaced, and whether the
// operator may write it, cannot be read or kept through the standard library.
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
bool TakeOver(std::FILE* file, const struct stat& replaced) {
    const int descriptor = ::fileno(file);
    return ::fchown(descriptor, replaced.st_uid, replaced.st_gid) == 0 &&
           ::fchmod(descriptor, replaced.st_mode & kPermissionBits) == 0;
}

} // namespace

ReplacingFile::ReplacingFile(const std::string& fileName) : m_target(ResolvedTarget(fileName)) {
    if (fileName.empty() || !m_target.has_filename()) {
        throw FileWriteError("Bad file name or number: " + fileName);
    }
    const auto existing = ExistingFile(m_target);
    if (existing && ::faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0) {
        throw AccessError(fileName);
    }
    if (OpenTemporary() && existing && !TakeOver(m_file, *existing)) {
        Discard();
    }
    if (m_file == nullptr && existing) {
        m_temporary.clear();
        m_file = std::fopen(m_target.c_str(), "wb");
    }
    if (m_file == nullptr) {
        throw AccessError(fileName);
    }
}

bool ReplacingFile::OpenTemporary() {
    std::random_device entropy;
    std::mt19937_64 random(entropy());
    for (int attempt = 0; attempt < kNameAttempts && m_file == nullptr; ++attempt) {
        m_temporary = m_target;
        m_temporary.replace_filename("." + m_target.filename().string().substr(0, kNameStemChars) +
                                     ".tmp" + std::to_string(random() % 1000000000u));
        // "x": create exclusively, never reuse someone else's file.
        m_file = std::fopen(m_temporary.c_str(), "wbx");
        if (m_file == nullptr && errno != EEXIST) {
            break;
        }
    }
    return m_file != nullptr;
}

ReplacingFile::~ReplacingFile() {
    if (!m_committed) {
        Discard();
    }
}

void ReplacingFile::Write(std::string_view bytes) {
    m_buffer.append(bytes);
    if (m_buffer.size() >= kFlushBytes) {
        Flush();
    }
}

void ReplacingFile::Flush() {
    if (!m_buffer.empty() &&
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) {
        throw FileWriteError("Device I/O error: " + m_target.string());
    }
    m_buffer.clear();
}

void ReplacingFile::Commit() {
    Flush();
    std::FILE* file = m_file;
    m_file = nullptr;
    if (std::fclose(file) != 0) {
        throw FileWriteError("Device I/O error: " + m_target.string());
    }
    if (!m_temporary.empty()) {
        std::error_code error;
        std::filesystem::rename(m_temporary, m_target, error);
        if (error) {
            throw FileWriteError("Path/File access error: " + m_target.string());
        }
    }
    m_committed = true;
}

// A file written in place stays as far as it got; only a temporary goes.
void ReplacingFile::Discard() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_temporary, ignored);
    }
}

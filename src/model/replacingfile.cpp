#include "model/replacingfile.h"

#include "model/experiment.h"

#include <cerrno>
#include <random>
#include <system_error>

namespace {

// Written out in pieces of about this size.
constexpr std::size_t kFlushBytes = 1 << 20;
constexpr int kNameAttempts = 100;
// Enough of the target's name to recognise a leftover, short enough that the
// temporary name stays within the file system's name length.
constexpr std::size_t kNameStemChars = 64;

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

} // namespace

ReplacingFile::ReplacingFile(const std::string& fileName) : m_target(ResolvedTarget(fileName)) {
    if (fileName.empty() || !m_target.has_filename()) {
        throw FileWriteError("Bad file name or number: " + fileName);
    }
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
    if (m_file == nullptr) {
        throw FileWriteError("Path/File access error: " + fileName);
    }
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
    std::error_code error;
    const auto status = std::filesystem::status(m_target, error);
    if (!error && std::filesystem::exists(status)) {
        // Keep the permissions of the file being replaced.
        std::filesystem::permissions(m_temporary, status.permissions(), error);
    }
    std::filesystem::rename(m_temporary, m_target, error);
    if (error) {
        throw FileWriteError("Path/File access error: " + m_target.string());
    }
    m_committed = true;
}

void ReplacingFile::Discard() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    std::error_code ignored;
    std::filesystem::remove(m_temporary, ignored);
}

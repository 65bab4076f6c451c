#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// A file written under a temporary name in its target's folder and renamed
// over the target only when every byte was written, so that a failed save or
// export leaves an existing file as it was. Failures throw FileWriteError.
// Window thread only.
class ReplacingFile {
public:
    explicit ReplacingFile(const std::string& fileName);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    void Write(std::string_view bytes);
    // Finishes the temporary file and puts it in the target's place.
    void Commit();

private:
    void Flush();
    void Discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::FILE* m_file = nullptr;
    std::string m_buffer;
    bool m_committed = false;
};

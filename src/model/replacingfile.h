#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// A file written under a temporary name in its target's folder and renamed
// over the target only when every byte was written, so that a failed save or
// export leaves an existing file as it was. The replacement keeps the owner,
// group and mode of the file it replaces. A target the operator may not write
// is refused as writing it in place would be; where the folder takes no new
// file, or the owner or group could not be kept, a writable target is written
// in place instead. Failures throw FileWriteError. Window thread only.
class ReplacingFile {
public:
    explicit ReplacingFile(const std::string& fileName);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    void Write(std::string_view bytes);
    // Finishes the file and, unless written in place, puts it in the
    // target's place.
    void Commit();

private:
    bool OpenTemporary();
    void Flush();
    void Discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary; // empty when writing in place
    std::FILE* m_file = nullptr;
    std::string m_buffer;
    bool m_committed = false;
};

#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// A file written under a temporary name in its target's folder, synced, and
// renamed over the target only when every byte is on the disk, so that a
// failed save or export, or a power cut, leaves an existing file as it was.
// The replacement keeps the owner, group and mode of the file it replaces.
// A target the operator may not write, or one that is not a plain file (a
// folder, a pipe, a device), is refused before anything is opened for
// writing. Where the folder takes no new file, or the owner or group could
// not be kept, the target is written in place: nothing touches it before
// Commit, which keeps its old content, reserves room for the new one first
// and puts the old content back when the write fails (a target the operator
// may write but not read is refused there, its old content being out of
// reach). Failures throw FileWriteError, which says whether the old file is
// as it was.
// Window thread only.
class ReplacingFile {
public:
    explicit ReplacingFile(const std::string& fileName);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    void Write(std::string_view bytes);
    // Finishes the file, puts it in the target's place unless written in
    // place, and returns once both are on the disk.
    void Commit();

private:
    bool OpenTemporary();
    void OpenInPlace();
    void Flush();
    void CommitTemporary();
    void CommitInPlace();
    void Discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary; // until renamed; empty when writing in place
    int m_descriptor = -1;
    bool m_inPlace = false;
    std::size_t m_written = 0; // bytes of the temporary file written so far
    std::string m_buffer;
    bool m_committed = false;
};

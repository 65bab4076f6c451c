#pragma once

#include <QString>
#include <cstddef>
#include <string_view>

// One journal file held open and locked by this program. The lock (an
// advisory whole-file lock) is what tells a second running Torvik to leave the
// file alone; the system drops it when the holder ends, even when it is
// killed, so a journal left by a crash is free again. Window thread.
class JournalFile {
public:
    JournalFile() = default;
    ~JournalFile();
    JournalFile(JournalFile&& other) noexcept;
    JournalFile& operator=(JournalFile&& other) noexcept;
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // A new file (never an existing one), locked; not open when it cannot be made.
    static JournalFile create(const QString& path);
    // An existing file, locked, for reading and appending, or for reading
    // only when it cannot be written; not open when it cannot be opened or
    // another program holds its lock.
    static JournalFile openUnheld(const QString& path);

    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    // Appends and makes sure the bytes are on the disk; false when that failed.
    bool appendSynced(std::string_view bytes);
    // The file's bytes from its start, at most `mostBytes` of them.
    QByteArray readAll(std::size_t mostBytes) const;
    // Moves the file to another name in the same folder; it stays held.
    bool rename(const QString& newPath);
    // Removes the file and lets it go; false (errno set) when it is still
    // there, on a file system mounted read-only, say.
    bool remove();
    // Lets the file go, leaving it on the disk.
    void close();

private:
    JournalFile(int fd, QString path) : m_fd(fd), m_path(std::move(path)) {}
    int m_fd = -1;
    QString m_path;
};

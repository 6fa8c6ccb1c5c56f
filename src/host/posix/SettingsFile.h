#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

// One settings file on disk, read and replaced so that nothing is ever lost or left behind:
// - only a regular file is read (a FIFO, a device or a folder in its place is refused at
//   once, never waited for), and no copy of it is made;
// - a write follows symbolic links to the real file, takes an exclusive lock beside it,
//   re-reads it under the lock, lets the caller edit the text and, when it changed, writes
//   the new text to an unnamed file in the same folder, flushes it to disk, names it
//   "<file>.saving" and renames it over the file. The new file keeps the old one's mode; a
//   file without a write bit for us (or any write bit at all) is left alone;
// - a writer killed between its write and its rename leaves "<file>.saving", which the next
//   start (or write) removes under the lock.
class SettingsFile {
public:
    explicit SettingsFile(std::string path) : m_Path(std::move(path)) {}

    // Larger files are refused: no settings file is anywhere near this.
    static constexpr std::size_t MaxSize = std::size_t{16} << 20;
    // How long a write waits for another writer's lock.
    static constexpr std::chrono::milliseconds LockWait{3000};

    // The file's text, "" when there is no file. False, with problem set, when it cannot be
    // read or is not a regular file.
    bool Read(std::string& text, std::string& problem) const;

    // Re-reads the file under the lock and, when edit returns true and changed the text,
    // replaces the file with the new text. False, with problem set, when nothing was written
    // (the edit's refusal included) although something should have been.
    bool Update(const std::function<bool(std::string&)>& edit, std::string& problem) const;

    // Removes the "<file>.saving" a killed writer left, unless a writer holds the lock now.
    void RemoveLeftover() const;

    // Test seam: called when the finished new file is about to replace the old one.
    static void SetBeforeReplaceForTest(std::function<void()> hook);

private:
    bool UpdateLocked(const std::string& target, const std::function<bool(std::string&)>& edit,
                      std::string& problem) const;

    std::string m_Path;
};

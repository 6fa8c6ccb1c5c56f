#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <string>

// A file written in full or not at all. The bytes go to a hidden temporary file in the
// target's folder, which Commit flushes to the disk and renames over the target (keeping
// the old file's mode); a failed write, a full disk or an object destroyed before Commit
// leaves any file of that name as it was and no temporary file behind.
//
// The target must be new or name a regular file we may write (a symbolic link counts as
// its target), in a folder that takes new files: FIFOs, devices and folders are refused,
// since they could block or be destroyed.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Checks path as Open would, creating nothing. False with the reason in error.
    static bool CanReplace(const std::string& path, std::string& error);

    // Creates the temporary file for path. False with the reason in error.
    bool Open(const std::string& path, std::string& error);
    // The temporary file, open for writing; null before Open.
    std::FILE* File() const { return m_File; }
    // Flushes, closes and renames the temporary file over the target.
    bool Commit(std::string& error);

private:
    // Where the file really goes and what is there now.
    struct Target {
        std::string path; // a symbolic link resolved to the file it names
        bool exists = false;
        struct stat info {};
    };
    static bool FindTarget(const std::string& path, Target& target, std::string& error);
    bool CreateTemp(std::string& error);

    Target m_Target;
    std::string m_TempPath;
    std::FILE* m_File = nullptr;
};

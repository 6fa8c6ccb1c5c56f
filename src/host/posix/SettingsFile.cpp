#include "host/posix/SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kMaxLinks = 40; // as the kernel allows in one path

std::function<void()>& BeforeReplace() {
    static std::function<void()> hook;
    return hook;
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

std::string Folder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string CannotWriteIn(const std::string& folder, int error) {
    return "cannot write in the folder " + folder + ": " + ErrorText(error);
}

class Fd {
public:
    explicit Fd(int fd = -1) : m_Fd(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_Fd; }
    void Reset(int fd = -1) {
        if (m_Fd >= 0)
            ::close(m_Fd);
        m_Fd = fd;
    }

private:
    int m_Fd;
};

// The file a path names once every symbolic link is followed; the path of a missing file
// (or of a dangling link's target) is where it will be made.
bool Resolve(const std::string& path, std::string& target, std::string& problem) {
    std::string current = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                target = current;
                return true;
            }
            problem = ErrorText(errno);
            return false;
        }
        if (!S_ISLNK(st.st_mode)) {
            target = current;
            return true;
        }
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), buffer, sizeof buffer);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
            problem = length < 0 ? ErrorText(errno) : "the link is too long";
            return false;
        }
        std::string link(buffer, static_cast<std::size_t>(length));
        current = !link.empty() && link[0] == '/' ? link : Folder(current) + "/" + link;
    }
    problem = "a loop of symbolic links";
    return false;
}

// Reads a whole regular file from fd; st receives its status.
bool ReadAll(int fd, std::string& text, struct stat& st, std::string& problem) {
    if (::fstat(fd, &st) != 0) {
        problem = ErrorText(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        problem = S_ISDIR(st.st_mode) ? "a folder, not a file" : "not a regular file";
        return false;
    }
    if (static_cast<std::size_t>(st.st_size) > SettingsFile::MaxSize) {
        problem = "larger than " + std::to_string(SettingsFile::MaxSize >> 20) + " MB";
        return false;
    }
    text.clear();
    text.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            problem = ErrorText(errno);
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > SettingsFile::MaxSize) { // it grew while we read
            problem = "larger than " + std::to_string(SettingsFile::MaxSize >> 20) + " MB";
            return false;
        }
    }
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// An exclusive advisory lock on "<file>.flock", held for the life of the object. The lock
// file stays: removing it would let two writers lock two different files.
class FileLock {
public:
    FileLock(const std::string& file, std::chrono::milliseconds wait) {
        const std::string path = file + ".flock";
        const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
        m_Fd.Reset(::open(path.c_str(), O_RDWR | O_CREAT | flags, 0644));
        const int createError = errno;
        if (m_Fd.Get() < 0) // a lock file we may not write still locks
            m_Fd.Reset(::open(path.c_str(), O_RDONLY | flags));
        if (m_Fd.Get() < 0) {
            // No lock file, and none could be made: the folder is what refuses.
            m_Problem = errno == ENOENT && createError != ENOENT
                            ? CannotWriteIn(Folder(path), createError)
                            : "cannot open the lock file " + path + ": " + ErrorText(errno);
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + wait;
        auto pause = std::chrono::microseconds(500);
        while (::flock(m_Fd.Get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK) {
                m_Problem = "cannot lock " + path + ": " + ErrorText(errno);
                return;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                m_Problem = "another process still holds the settings lock after " +
                            std::to_string(wait.count()) + " ms";
                return;
            }
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::microseconds(20000));
        }
        m_bLocked = true;
    }

    bool IsLocked() const { return m_bLocked; }
    const std::string& Problem() const { return m_Problem; }

private:
    Fd m_Fd; // closing it drops the lock
    bool m_bLocked = false;
    std::string m_Problem;
};

std::string LeftoverPath(const std::string& target) {
    return target + ".saving";
}

// May we replace this file? Not when it has no write bit at all (read-only on purpose, even
// for the superuser), nor when we could not write it ourselves.
bool Writable(const std::string& target, const struct stat& st, std::string& problem) {
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        problem = "the file is read-only";
        return false;
    }
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        problem = ErrorText(errno);
        return false;
    }
    return true;
}

// Gives the new file the old one's mode (and, for the superuser, its owner).
void CopyOwnership(int fd, const struct stat* old) {
    if (old == nullptr)
        return;
    (void)::fchmod(fd, old->st_mode & 07777);
    if (::geteuid() == 0 && (old->st_uid != 0 || old->st_gid != 0)) {
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
            // Kept by root: still readable by root, the only one who wrote it.
        }
    }
}

// Writes text to a new file in target's folder and renames it over target.
bool Replace(const std::string& target, const std::string& text, const struct stat* old,
             std::string& problem) {
    const std::string folder = Folder(target);
    const std::string leftover = LeftoverPath(target);
    ::unlink(leftover.c_str()); // what a killed writer left

    // Unnamed until complete, so that nothing can be left while it is written.
    Fd fd(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    bool named = false;
    if (fd.Get() >= 0) {
        CopyOwnership(fd.Get(), old);
        if (!WriteAll(fd.Get(), text) || ::fsync(fd.Get()) != 0) {
            problem = ErrorText(errno);
            return false;
        }
        char proc[64];
        std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd.Get());
        named = ::linkat(AT_FDCWD, proc, AT_FDCWD, leftover.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }
    if (!named) { // no unnamed files here (or no /proc): write under the leftover's name
        fd.Reset(
            ::open(leftover.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (fd.Get() < 0) {
            problem = CannotWriteIn(folder, errno);
            return false;
        }
        CopyOwnership(fd.Get(), old);
        if (!WriteAll(fd.Get(), text) || ::fsync(fd.Get()) != 0) {
            problem = ErrorText(errno);
            ::unlink(leftover.c_str());
            return false;
        }
    }
    if (BeforeReplace())
        BeforeReplace()();
    if (::rename(leftover.c_str(), target.c_str()) != 0) {
        problem = CannotWriteIn(folder, errno);
        ::unlink(leftover.c_str());
        return false;
    }
    const Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get()); // the rename itself reaches the disk
    return true;
}

} // namespace

bool SettingsFile::Read(std::string& text, std::string& problem) const {
    text.clear();
    // Non-blocking, so that a FIFO in the file's place cannot hold the open.
    const Fd fd(::open(m_Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT)
            return true;
        problem = errno == ELOOP ? "a loop of symbolic links" : ErrorText(errno);
        return false;
    }
    struct stat st {};
    if (ReadAll(fd.Get(), text, st, problem))
        return true;
    text.clear();
    return false;
}

bool SettingsFile::Update(const std::function<bool(std::string&)>& edit,
                          std::string& problem) const {
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string target;
        if (!Resolve(m_Path, target, problem))
            return false;
        const FileLock lock(target, LockWait);
        if (!lock.IsLocked()) {
            problem = lock.Problem();
            return false;
        }
        std::string now;
        if (!Resolve(m_Path, now, problem))
            return false;
        if (now == target) // else a link changed while we waited: lock the new target
            return UpdateLocked(target, edit, problem);
    }
    problem = "its symbolic link keeps changing";
    return false;
}

bool SettingsFile::UpdateLocked(const std::string& target,
                                const std::function<bool(std::string&)>& edit,
                                std::string& problem) const {
    std::string text;
    struct stat st {};
    bool exists = true;
    {
        const Fd fd(::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
        if (fd.Get() < 0) {
            if (errno != ENOENT) {
                problem = ErrorText(errno);
                return false;
            }
            exists = false;
        } else if (!ReadAll(fd.Get(), text, st, problem)) {
            return false;
        }
    }
    if (exists && !Writable(target, st, problem))
        return false;
    std::string edited = text;
    if (!edit(edited)) {
        problem = "the file is damaged where the change would go";
        return false;
    }
    if (exists && edited == text)
        return true;
    return Replace(target, edited, exists ? &st : nullptr, problem);
}

void SettingsFile::RemoveLeftover() const {
    std::string target;
    std::string problem;
    if (!Resolve(m_Path, target, problem))
        return;
    const std::string leftover = LeftoverPath(target);
    struct stat st {};
    if (::lstat(leftover.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    // A writer at work holds the lock; its file is not a leftover.
    const FileLock lock(target, std::chrono::milliseconds(0));
    if (lock.IsLocked())
        ::unlink(leftover.c_str());
}

void SettingsFile::SetBeforeReplaceForTest(std::function<void()> hook) {
    BeforeReplace() = std::move(hook);
}

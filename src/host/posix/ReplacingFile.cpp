#include "host/posix/ReplacingFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

ReplacingFile::~ReplacingFile() {
    if (m_File != nullptr)
        std::fclose(m_File);
    if (!m_TempPath.empty())
        unlink(m_TempPath.c_str());
}

bool ReplacingFile::CanReplace(const std::string& path, std::string& error) {
    Target target;
    return FindTarget(path, target, error);
}

bool ReplacingFile::FindTarget(const std::string& path, Target& target, std::string& error) {
    target = Target{};
    target.path = path;
    struct stat link {};
    if (lstat(path.c_str(), &link) == 0) {
        target.exists = true;
        target.info = link;
        if (S_ISLNK(link.st_mode)) {
            // Write through the link: replacing it would leave its target stale.
            char* real = realpath(path.c_str(), nullptr);
            if (real == nullptr) {
                error = errno == ENOENT ? "a symbolic link to nothing" : std::strerror(errno);
                return false;
            }
            target.path = real;
            std::free(real);
            if (stat(target.path.c_str(), &target.info) != 0) {
                error = std::strerror(errno);
                return false;
            }
        }
        // A FIFO would block the run in open(); a device or folder is no file to replace.
        if (!S_ISREG(target.info.st_mode)) {
            error = "not a regular file";
            return false;
        }
        if (access(target.path.c_str(), W_OK) != 0) {
            error = std::strerror(errno);
            return false;
        }
    } else if (errno != ENOENT) {
        error = std::strerror(errno);
        return false;
    }
    if (access(FolderOf(target.path).c_str(), W_OK | X_OK) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool ReplacingFile::Open(const std::string& path, std::string& error) {
    if (m_File != nullptr) {
        error = "already open";
        return false;
    }
    return FindTarget(path, m_Target, error) && CreateTemp(error);
}

bool ReplacingFile::CreateTemp(std::string& error) {
    // Hidden, and short enough for any file system's name limit.
    const std::string stem = FolderOf(m_Target.path) + "/." + NameOf(m_Target.path).substr(0, 200) +
                             "." + std::to_string(getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = stem + std::to_string(attempt) + ".tmp";
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            error = std::strerror(errno);
            return false;
        }
        m_TempPath = path;
        if (m_Target.exists) {
            // The new file keeps the old one's owner (when we may) and mode.
            [[maybe_unused]] const int owned =
                fchown(fd, m_Target.info.st_uid, m_Target.info.st_gid);
            [[maybe_unused]] const int moded = fchmod(fd, m_Target.info.st_mode & 07777);
        }
        m_File = fdopen(fd, "wb");
        if (m_File == nullptr) {
            error = std::strerror(errno);
            close(fd);
            return false;
        }
        return true;
    }
    error = "no free temporary name";
    return false;
}

bool ReplacingFile::Commit(std::string& error) {
    if (m_File == nullptr) {
        error = "not open";
        return false;
    }
    const bool written = std::fflush(m_File) == 0 && fsync(fileno(m_File)) == 0;
    const int writeError = errno;
    const bool closed = std::fclose(m_File) == 0;
    const int closeError = errno;
    m_File = nullptr;
    if (!written || !closed) {
        error = std::strerror(!written ? writeError : closeError);
        return false;
    }
    if (rename(m_TempPath.c_str(), m_Target.path.c_str()) != 0) {
        error = std::strerror(errno);
        return false;
    }
    m_TempPath.clear();
    // The rename itself reaches the disk with the folder.
    const int folder = open(FolderOf(m_Target.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        [[maybe_unused]] const int synced = fsync(folder);
        close(folder);
    }
    return true;
}

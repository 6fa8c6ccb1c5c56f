#include "host/offscreen/PngWriter.h"

#include <png.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Where the picture really goes and what is there now.
struct Target {
    std::string path; // a symbolic link resolved to the file it names
    bool exists = false;
    struct stat info {};
};

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

bool FindTarget(const std::string& path, Target& target, std::string& error) {
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
        // A FIFO would block the run in open(); a device or folder is no picture.
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

// A new file beside the target, removed unless Commit renamed it over the target.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() {
        if (m_File != nullptr)
            std::fclose(m_File);
        if (!m_Path.empty())
            unlink(m_Path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool Create(const Target& target, std::string& error) {
        // Hidden, and short enough for any file system's name limit.
        const std::string stem = FolderOf(target.path) + "/." + NameOf(target.path).substr(0, 200) +
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
            m_Path = path;
            if (target.exists) {
                // The new picture keeps the old one's owner (when we may) and mode.
                [[maybe_unused]] const int owned =
                    fchown(fd, target.info.st_uid, target.info.st_gid);
                [[maybe_unused]] const int moded = fchmod(fd, target.info.st_mode & 07777);
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

    std::FILE* File() const { return m_File; }

    // Flushes the bytes to the disk, closes the file and renames it over the target.
    bool Commit(const std::string& target, std::string& error) {
        const bool written = std::fflush(m_File) == 0 && fsync(fileno(m_File)) == 0;
        const int writeError = errno;
        const bool closed = std::fclose(m_File) == 0;
        const int closeError = errno;
        m_File = nullptr;
        if (!written || !closed) {
            error = std::strerror(!written ? writeError : closeError);
            return false;
        }
        if (rename(m_Path.c_str(), target.c_str()) != 0) {
            error = std::strerror(errno);
            return false;
        }
        m_Path.clear();
        // The rename itself reaches the disk with the folder.
        const int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            [[maybe_unused]] const int synced = fsync(folder);
            close(folder);
        }
        return true;
    }

private:
    std::string m_Path;
    std::FILE* m_File = nullptr;
};

// What the encoder's callbacks report back.
struct Output {
    std::FILE* file = nullptr;
    int writeError = 0; // errno of a failed write
    std::string message;
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    static_cast<Output*>(png_get_error_ptr(png))->message = message;
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void OnPngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Output*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, out->file) != length) {
        out->writeError = errno != 0 ? errno : EIO;
        png_error(png, "write failed");
    }
}

void OnPngFlush(png_structp) {}

// The libpng write structures, destroyed together.
class PngWrite {
public:
    explicit PngWrite(Output& out) {
        m_Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &out, OnPngError, OnPngWarning);
        if (m_Png != nullptr)
            m_Info = png_create_info_struct(m_Png);
    }
    ~PngWrite() { png_destroy_write_struct(&m_Png, m_Info != nullptr ? &m_Info : nullptr); }
    PngWrite(const PngWrite&) = delete;
    PngWrite& operator=(const PngWrite&) = delete;

    bool IsValid() const { return m_Png != nullptr && m_Info != nullptr; }
    png_structp Png() const { return m_Png; }
    png_infop Info() const { return m_Info; }

private:
    png_structp m_Png = nullptr;
    png_infop m_Info = nullptr;
};

// libpng reports errors by longjmp: this frame holds nothing that needs destroying, so the
// jump skips no destructor.
bool WriteImage(png_structp png, png_infop info, Output& out, int width, int height,
                png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &out, OnPngWrite, OnPngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool CanWritePng(const std::string& path, std::string& error) {
    Target target;
    return FindTarget(path, target, error);
}

bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string& error) {
    const size_t stride = static_cast<size_t>(width) * 3;
    if (width <= 0 || height <= 0 || rgb.size() != stride * static_cast<size_t>(height)) {
        error = "no picture to write";
        return false;
    }
    Target target;
    if (!FindTarget(path, target, error))
        return false;
    TempFile temp;
    if (!temp.Create(target, error))
        return false;
    Output out;
    out.file = temp.File();
    PngWrite writer(out);
    if (!writer.IsValid()) {
        error = "out of memory";
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = const_cast<png_bytep>(rgb.data() + y * stride); // libpng only reads them
    if (!WriteImage(writer.Png(), writer.Info(), out, width, height, rows.data())) {
        error = out.writeError != 0 ? std::strerror(out.writeError) : "PNG encoding failed";
        if (out.writeError == 0 && !out.message.empty())
            error += ": " + out.message;
        return false;
    }
    return temp.Commit(target.path, error);
}

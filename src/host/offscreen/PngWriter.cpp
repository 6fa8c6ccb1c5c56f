#include "host/offscreen/PngWriter.h"

#include "host/posix/ReplacingFile.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

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
    return ReplacingFile::CanReplace(path, error);
}

bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string& error) {
    const size_t stride = static_cast<size_t>(width) * 3;
    if (width <= 0 || height <= 0 || rgb.size() != stride * static_cast<size_t>(height)) {
        error = "no picture to write";
        return false;
    }
    ReplacingFile file;
    if (!file.Open(path, error))
        return false;
    Output out;
    out.file = file.File();
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
    return file.Commit(error);
}

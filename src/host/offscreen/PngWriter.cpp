#include "host/offscreen/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The libpng write structures, destroyed together.
class PngWrite {
public:
    PngWrite() {
        m_Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
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
bool WriteImage(png_structp png, png_infop info, std::FILE* file, int width, int height,
                png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string& error) {
    const size_t stride = static_cast<size_t>(width) * 3;
    if (width <= 0 || height <= 0 || rgb.size() != stride * static_cast<size_t>(height)) {
        error = "no picture to write";
        return false;
    }
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    PngWrite writer;
    if (!writer.IsValid()) {
        error = "out of memory";
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = const_cast<png_bytep>(rgb.data() + y * stride); // libpng only reads them
    if (!WriteImage(writer.Png(), writer.Info(), file.get(), width, height, rows.data())) {
        error = "PNG encoding failed";
        return false;
    }
    if (std::fflush(file.get()) != 0 || std::ferror(file.get()) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (std::fclose(file.release()) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

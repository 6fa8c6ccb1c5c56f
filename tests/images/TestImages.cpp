#include "TestImages.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>
#include <png.h>

namespace testimages {
namespace {

void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// rows: bottom-up, already padded.
Bytes Bmp(int width, int height, int bpp, const std::vector<Rgb>& table, std::uint32_t clrUsed,
          const Bytes& rows, BmpHeader header) {
    const bool core = header == BmpHeader::Core;
    const std::uint32_t infoBytes = core ? 12 : 40;
    const std::uint32_t tableBytes = static_cast<std::uint32_t>(table.size()) * (core ? 3 : 4);
    const std::uint32_t bitsOffset = 14 + infoBytes + tableBytes;
    Bytes b;
    if (header != BmpHeader::NoFile) {
        b = {'B', 'M'};
        Put32(b, bitsOffset + static_cast<std::uint32_t>(rows.size()));
        Put32(b, 0);
        Put32(b, bitsOffset);
    }
    Put32(b, infoBytes);
    if (core) {
        Put16(b, static_cast<unsigned>(width));
        Put16(b, static_cast<unsigned>(height));
        Put16(b, 1);
        Put16(b, static_cast<unsigned>(bpp));
    } else {
        Put32(b, static_cast<std::uint32_t>(width));
        Put32(b, static_cast<std::uint32_t>(height));
        Put16(b, 1);
        Put16(b, static_cast<unsigned>(bpp));
        Put32(b, 0);                                       // compression
        Put32(b, static_cast<std::uint32_t>(rows.size())); // image size
        Put32(b, 2835);
        Put32(b, 2835);
        Put32(b, clrUsed);
        Put32(b, 0);
    }
    for (const Rgb& c : table) {
        b.insert(b.end(), {c.b, c.g, c.r});
        if (!core)
            b.push_back(0);
    }
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

Bytes Rows(int width, int height, int bytesPerPixel,
           const std::function<void(Bytes&, int, int)>& put) {
    const int stride = (width * bytesPerPixel + 3) / 4 * 4;
    Bytes rows;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            put(rows, x, y);
        rows.resize(rows.size() + static_cast<std::size_t>(stride - width * bytesPerPixel), 0);
    }
    return rows;
}

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

} // namespace

Bytes Bmp24(int width, int height, const PixelFn& pixel, BmpHeader header) {
    const Bytes rows = Rows(width, height, 3, [&](Bytes& r, int x, int y) {
        const Rgb c = pixel(x, y);
        r.insert(r.end(), {c.b, c.g, c.r});
    });
    return Bmp(width, height, 24, {}, 0, rows, header);
}

Bytes Bmp8(int width, int height, const std::function<std::uint8_t(int, int)>& index,
           const std::vector<Rgb>& palette, bool writeClrUsed, BmpHeader header) {
    std::vector<Rgb> table = palette;
    if (!writeClrUsed)
        table.resize(256, Rgb{0, 0, 0});
    const Bytes rows =
        Rows(width, height, 1, [&](Bytes& r, int x, int y) { r.push_back(index(x, y)); });
    const auto clrUsed = writeClrUsed ? static_cast<std::uint32_t>(palette.size()) : 0u;
    return Bmp(width, height, 8, table, clrUsed, rows, header);
}

Bytes JpegRows(int width, int height, int components, int inSpace, int storedSpace,
               bool progressive, const RowFn& fill) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = components;
    c.in_color_space = static_cast<J_COLOR_SPACE>(inSpace);
    jpeg_set_defaults(&c);
    if (storedSpace >= 0)
        jpeg_set_colorspace(&c, static_cast<J_COLOR_SPACE>(storedSpace));
    jpeg_set_quality(&c, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    Bytes row(static_cast<std::size_t>(width) * static_cast<std::size_t>(components));
    for (int y = 0; y < height; ++y) {
        fill(row, y);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

Bytes Jpeg(int width, int height, int components, const PixelFn& pixel, bool progressive) {
    return JpegRows(width, height, components, components == 3 ? JCS_RGB : JCS_GRAYSCALE, -1,
                    progressive, [&](Bytes& row, int y) {
                        for (int x = 0; x < width; ++x) {
                            const Rgb p = pixel(x, y);
                            const std::uint8_t rgb[3] = {p.r, p.g, p.b};
                            for (int k = 0; k < components; ++k)
                                row[static_cast<std::size_t>(x * components + k)] = rgb[k];
                        }
                    });
}

Bytes Png(int width, int height, int colourType, int bitDepth, bool interlaced,
          const std::function<Pixel16(int, int)>& pixel) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Bytes out;
    png_set_write_fn(png, &out, AppendToVector, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 bitDepth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < 256; ++i)
            palette[i] = png_color{static_cast<png_byte>(i), 0, 0};
        png_set_PLTE(png, info, palette, 256);
    }
    png_write_info(png, info);
    const int channels = png_get_channels(png, info);
    const int bytes = bitDepth / 8;
    std::vector<Bytes> rows(static_cast<std::size_t>(height));
    std::vector<png_bytep> pointers;
    for (int y = 0; y < height; ++y) {
        Bytes& row = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            const Pixel16 p = pixel(x, y);
            const bool grey = (colourType & PNG_COLOR_MASK_COLOR) == 0;
            for (int k = 0; k < channels; ++k) {
                const int source = grey && k == 1 ? 3 : k; // grey with alpha: alpha second
                if (bytes == 2)
                    row.push_back(static_cast<std::uint8_t>(p[source] >> 8));
                row.push_back(static_cast<std::uint8_t>(p[source]));
            }
        }
        pointers.push_back(row.data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kinetora-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_Path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_Path, ignored);
}

std::string TempDir::Put(const std::string& relative, const Bytes& bytes) const {
    const std::filesystem::path path = m_Path / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteFile(path, bytes);
    return path.string();
}

} // namespace testimages

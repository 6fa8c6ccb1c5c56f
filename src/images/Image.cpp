#include "images/Image.h"

#include "core/StopRequest.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t HeaderBytes = 40;

void PutLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetLE32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// One channel of a bit-field pixel scaled to 0..255.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t max = mask >> shift;
    return static_cast<std::uint32_t>(((pixel & mask) >> shift) * 255 / max);
}

std::uint32_t Opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xFF000000u | r << 16 | g << 8 | b;
}

} // namespace

std::int64_t BytesLeft(std::FILE* file) {
    const long at = std::ftell(file);
    if (at < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, at, SEEK_SET) != 0 || end < at)
        return -1;
    return end - at;
}

bool ReadRest(std::FILE* file, std::int64_t maxBytes, std::vector<std::uint8_t>& bytes) {
    constexpr std::size_t kPiece = 256 * 1024;
    const std::int64_t size = BytesLeft(file);
    if (size < 0 || size > maxBytes)
        return false;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t done = 0; done < bytes.size(); done += kPiece) {
        const std::size_t n = std::min(kPiece, bytes.size() - done);
        if (StopRequest::Poll() || std::fread(bytes.data() + done, 1, n, file) != n)
            return false;
    }
    return true;
}

std::int64_t Image::BytesPerRow(std::int64_t width, int bitsPerPixel) const {
    return ((bitsPerPixel * width + 31) & ~std::int64_t{31}) / 8;
}

const std::uint8_t* Image::Bits() const {
    return m_bValid ? m_Block.get() + m_BitsOffset : nullptr;
}

std::uint8_t* Image::Row(int blockRow) {
    return MutableBits() + static_cast<std::size_t>(blockRow) * static_cast<std::size_t>(Stride());
}

void Image::StoreHeader() {
    std::uint8_t* p = m_Block.get();
    PutLE32(p, m_Header.biSize);
    PutLE32(p + 4, static_cast<std::uint32_t>(m_Header.biWidth));
    PutLE32(p + 8, static_cast<std::uint32_t>(m_Header.biHeight));
    PutLE16(p + 12, m_Header.biPlanes);
    PutLE16(p + 14, m_Header.biBitCount);
    PutLE32(p + 16, m_Header.biCompression);
    PutLE32(p + 20, m_Header.biSizeImage);
    PutLE32(p + 24, static_cast<std::uint32_t>(m_Header.biXPelsPerMeter));
    PutLE32(p + 28, static_cast<std::uint32_t>(m_Header.biYPelsPerMeter));
    PutLE32(p + 32, m_Header.biClrUsed);
    PutLE32(p + 36, m_Header.biClrImportant);
}

void Image::Clear() {
    m_Block.reset();
    m_BlockBytes = 0;
    m_Header = BitmapInfoHeader{};
    m_BitsOffset = 0;
    m_Width = 0;
    m_Height = 0;
    m_SourceWidth = 0;
    m_SourceHeight = 0;
    m_bValid = false;
}

bool Image::AllocateBlock(std::size_t bytes) {
    m_Block.reset(static_cast<std::uint8_t*>(std::calloc(bytes, 1)));
    m_BlockBytes = m_Block ? bytes : 0;
    return m_Block != nullptr;
}

bool Image::Allocate24(int width, int height) {
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > MaxPixels)
        return false;
    const std::int64_t size = BytesPerRow(width, 24) * height;
    if (size + static_cast<std::int64_t>(HeaderBytes) > MaxBlockBytes)
        return false;
    m_Header = BitmapInfoHeader{};
    m_Header.biWidth = width;
    m_Header.biHeight = height;
    m_Header.biBitCount = 24;
    m_Header.biSizeImage = static_cast<std::uint32_t>(size);
    if (!AllocateBlock(HeaderBytes + static_cast<std::size_t>(size)))
        return false;
    StoreHeader();
    m_BitsOffset = HeaderBytes;
    m_Width = width;
    m_Height = height;
    return true;
}

void Image::SwapRedBlue() {
    for (int y = 0; y < m_Height; ++y) {
        std::uint8_t* p = Row(y);
        for (int x = 0; x < m_Width; ++x, p += 3)
            std::swap(p[0], p[2]);
    }
}

std::unique_ptr<RGBImage> Image::ToRGB() const {
    // Only 24-bit rows hold three bytes a pixel; reading any other depth as RGB would run
    // past the bits.
    if (!m_bValid || m_Header.biBitCount != 24 || m_Header.biCompression != CompressRGB)
        return nullptr;
    try {
        auto rgb = std::make_unique<RGBImage>();
        rgb->width = m_Width;
        rgb->height = m_Height;
        const std::size_t rowBytes = static_cast<std::size_t>(m_Width) * 3;
        rgb->bytes.resize(rowBytes * static_cast<std::size_t>(m_Height));
        const std::uint8_t* src = Bits();
        std::uint8_t* dst = rgb->bytes.data();
        const int padding = m_Width % 4;
        if (m_bSwap || padding != 0) {
            const int r = m_bSwap ? 2 : 0;
            const int b = m_bSwap ? 0 : 2;
            for (int y = 0; y < m_Height; ++y) {
                for (int x = 0; x < m_Width; ++x, src += 3, dst += 3) {
                    dst[0] = src[r];
                    dst[1] = src[1];
                    dst[2] = src[b];
                }
                src += padding;
            }
        } else {
            std::memcpy(dst, src, rgb->bytes.size());
        }
        return rgb;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::vector<std::uint32_t> Image::ToDisplayPixels() const {
    std::vector<std::uint32_t> out;
    if (!m_bValid)
        return out;
    std::vector<std::uint8_t> expanded; // one colour index a pixel, for run-length pictures
    try {
        if (m_Header.biCompression == CompressRLE8 || m_Header.biCompression == CompressRLE4)
            expanded = ExpandRunLengths();
        out.resize(static_cast<std::size_t>(m_Width) * static_cast<std::size_t>(m_Height));
    } catch (const std::bad_alloc&) {
        return {};
    }
    std::uint32_t* dst = out.data();
    for (int y = m_Height - 1; y >= 0; --y, dst += m_Width)
        DecodeRow(y, expanded, dst);
    return out;
}

void Image::DecodeRow(int y, const std::vector<std::uint8_t>& expanded, std::uint32_t* dst) const {
    const int bpp = m_Header.biBitCount;
    const std::uint32_t compression = m_Header.biCompression;
    std::uint32_t masks[3] = {m_Masks[0], m_Masks[1], m_Masks[2]};
    if (compression == CompressRGB && bpp == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (compression == CompressRGB && bpp == 32) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
    const std::uint8_t* table = m_Block.get() + HeaderBytes;
    const std::uint32_t colours = bpp <= 8 ? m_Header.biClrUsed : 0;
    // Run-length pictures have no fixed rows: they read the expanded indexes instead.
    const std::uint8_t* row =
        expanded.empty() ? m_Block.get() + m_BitsOffset + y * Stride() : nullptr;
    for (int x = 0; x < m_Width; ++x) {
        std::uint32_t pixel = 0xFF000000u;
        if (bpp <= 8) {
            const int perByte = 8 / bpp;
            const int shift = 8 - bpp * (x % perByte + 1);
            const std::uint32_t index =
                expanded.empty()
                    ? (row[x / perByte] >> shift) & ((1u << bpp) - 1)
                    : expanded[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_Width) +
                               static_cast<std::size_t>(x)];
            if (index < colours) {
                const std::uint8_t* c = table + 4 * index;
                pixel = Opaque(c[2], c[1], c[0]);
            }
        } else if (bpp == 24) {
            const std::uint8_t* c = row + 3 * x;
            pixel = m_bSwap ? Opaque(c[2], c[1], c[0]) : Opaque(c[0], c[1], c[2]);
        } else {
            const std::uint32_t v =
                bpp == 16 ? std::uint32_t{row[2 * x]} | std::uint32_t{row[2 * x + 1]} << 8
                          : GetLE32(row + 4 * x);
            pixel = Opaque(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]));
        }
        dst[x] = pixel;
    }
}

void Image::FlipRows() {
    const std::size_t stride = static_cast<std::size_t>(Stride());
    for (int top = 0, bottom = m_Height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(Row(top), Row(top) + stride, Row(bottom));
}

bool Image::ConvertTo24(bool topDown) {
    if (m_Header.biBitCount == 24 && m_Header.biCompression == CompressRGB) {
        if (topDown)
            FlipRows();
        return true;
    }
    std::vector<std::uint8_t> expanded;
    std::vector<std::uint32_t> line;
    try {
        if (m_Header.biCompression == CompressRLE8 || m_Header.biCompression == CompressRLE4)
            expanded = ExpandRunLengths();
        line.resize(static_cast<std::size_t>(m_Width));
    } catch (const std::bad_alloc&) {
        return false;
    }
    Image out;
    if (!out.Allocate24(m_Width, m_Height))
        return false;
    for (int y = 0; y < m_Height; ++y) {
        DecodeRow(y, expanded, line.data());
        std::uint8_t* p = out.Row(topDown ? m_Height - 1 - y : y);
        for (const std::uint32_t pixel : line) {
            *p++ = static_cast<std::uint8_t>(pixel);
            *p++ = static_cast<std::uint8_t>(pixel >> 8);
            *p++ = static_cast<std::uint8_t>(pixel >> 16);
        }
    }
    TakeBlock(out);
    m_bSwap = true;
    return true;
}

// Where each upright pixel comes from: the stored picture is w x h, top row first; the
// upright one is read row by row, so its source moves by a fixed step along a row and
// from one row to the next.
bool Image::Orient(int orientation) {
    if (orientation < 2 || orientation > 8 || m_Header.biBitCount != 24)
        return true;
    const int w = m_Width, h = m_Height;
    const bool turned = orientation >= 5;
    Image out;
    if (!out.Allocate24(turned ? h : w, turned ? w : h))
        return false;
    // Stored (x, y), y from the top, in bytes from the block's bits.
    const std::int64_t stride = Stride();
    const auto at = [&](std::int64_t x, std::int64_t y) { return (h - 1 - y) * stride + 3 * x; };
    // The stored pixels under upright (0, 0), (1, 0) and (0, 1).
    std::int64_t origin = 0, alongX = 0, alongY = 0;
    const auto map = [&](std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                         std::int64_t x2, std::int64_t y2) {
        origin = at(x0, y0);
        alongX = at(x1, y1) - origin;
        alongY = at(x2, y2) - origin;
    };
    switch (orientation) {
    case 2: // mirrored left to right
        map(w - 1, 0, w - 2, 0, w - 1, 1);
        break;
    case 3: // half a turn
        map(w - 1, h - 1, w - 2, h - 1, w - 1, h - 2);
        break;
    case 4: // mirrored top to bottom
        map(0, h - 1, 1, h - 1, 0, h - 2);
        break;
    case 5: // about the main diagonal
        map(0, 0, 0, 1, 1, 0);
        break;
    case 6: // a quarter turn clockwise
        map(0, h - 1, 0, h - 2, 1, h - 1);
        break;
    case 7: // about the other diagonal
        map(w - 1, h - 1, w - 1, h - 2, w - 2, h - 1);
        break;
    default: // a quarter turn back
        map(w - 1, 0, w - 1, 1, w - 2, 0);
        break;
    }
    const std::uint8_t* bits = MutableBits();
    for (int y = 0; y < out.m_Height; ++y) {
        std::int64_t source = origin + alongY * y;
        std::uint8_t* to = out.Row(out.m_Height - 1 - y);
        for (int x = 0; x < out.m_Width; ++x, to += 3, source += alongX) {
            const std::uint8_t* from = bits + source;
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
    TakeBlock(out);
    return true;
}

void Image::Blend(const std::uint8_t* rgba, std::uint8_t* out, bool swap) {
    const unsigned a = rgba[3];
    const auto mix = [a](unsigned colour, unsigned background) {
        return static_cast<std::uint8_t>((colour * a + background * (255 - a) + 127) / 255);
    };
    const std::uint8_t r = mix(rgba[0], BackgroundRed);
    const std::uint8_t g = mix(rgba[1], BackgroundGreen);
    const std::uint8_t b = mix(rgba[2], BackgroundBlue);
    out[0] = swap ? b : r;
    out[1] = g;
    out[2] = swap ? r : b;
}

void Image::TakeBlock(Image& other) {
    m_Header = other.m_Header;
    m_Block = std::move(other.m_Block);
    m_BlockBytes = other.m_BlockBytes;
    m_BitsOffset = other.m_BitsOffset;
    m_Width = other.m_Width;
    m_Height = other.m_Height;
    m_SourceWidth = other.m_SourceWidth;
    m_SourceHeight = other.m_SourceHeight;
    m_Masks[0] = m_Masks[1] = m_Masks[2] = 0;
    other.Clear();
}

// Run-length coded rows, bottom-up: (count, index) runs, or a 0 byte followed by an escape:
// 0 end of row, 1 end of picture, 2 a jump (dx, dy), n >= 3 n literal indexes padded to a
// 16-bit boundary. Four-bit pictures hold two indexes a byte, high nibble first. Anything
// that would go outside the picture is dropped; pixels never written stay index 0.
std::vector<std::uint8_t> Image::ExpandRunLengths() const {
    const std::size_t width = static_cast<std::size_t>(m_Width);
    const std::size_t height = static_cast<std::size_t>(m_Height);
    std::vector<std::uint8_t> indexes(width * height, 0);
    const bool four = m_Header.biCompression == CompressRLE4;
    const std::uint8_t* p = m_Block.get() + m_BitsOffset; // also before the image is valid
    const std::uint8_t* const end = p + m_Header.biSizeImage;
    std::size_t x = 0, y = 0;
    auto put = [&](std::uint8_t index) {
        if (x < width && y < height)
            indexes[y * width + x] = index;
        ++x;
    };
    auto nibble = [&](std::uint8_t byte, std::size_t i) -> std::uint8_t {
        return four ? (i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte;
    };
    while (end - p >= 2 && y < height) {
        const std::uint8_t count = p[0];
        const std::uint8_t value = p[1];
        p += 2;
        if (count > 0) {
            for (std::size_t i = 0; i < count && x < width; ++i)
                put(nibble(value, i));
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (end - p < 2)
                break;
            x += p[0];
            y += p[1];
            p += 2;
        } else {
            const std::size_t bytes = four ? (value + 1u) / 2 : value;
            const std::size_t padded = bytes + bytes % 2;
            if (static_cast<std::size_t>(end - p) < bytes)
                break;
            for (std::size_t i = 0; i < value; ++i)
                put(nibble(p[four ? i / 2 : i], i));
            p += std::min(padded, static_cast<std::size_t>(end - p));
        }
    }
    return indexes;
}

#include "images/ImageBMP.h"

#include "core/StopRequest.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::size_t HeaderBytes = 40;
constexpr std::uint32_t CoreHeaderBytes = 12;

std::uint16_t LE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t LE32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

bool ReadExactly(std::FILE* file, void* into, std::size_t bytes) {
    return std::fread(into, 1, bytes, file) == bytes;
}

// The red, green and blue bit-field masks: 12 bytes.
bool ReadMasks(std::FILE* file, std::uint32_t (&masks)[3]) {
    std::uint8_t m[12];
    if (!ReadExactly(file, m, sizeof m))
        return false;
    for (int i = 0; i < 3; ++i)
        masks[i] = LE32(m + 4 * i);
    return true;
}

// The bits in pieces, so that an ending run gives a large picture up between two of them.
bool ReadBits(std::FILE* file, std::uint8_t* into, std::size_t bytes) {
    constexpr std::size_t kPiece = 256 * 1024;
    for (std::size_t done = 0; done < bytes; done += kPiece) {
        if (StopRequest::Poll() || !ReadExactly(file, into + done, std::min(kPiece, bytes - done)))
            return false;
    }
    return true;
}

bool ValidDepth(int bpp, std::uint32_t compression) {
    switch (compression) {
    case Image::CompressRGB:
        return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    case Image::CompressRLE8:
        return bpp == 8;
    case Image::CompressRLE4:
        return bpp == 4;
    case Image::CompressBitfields:
        return bpp == 16 || bpp == 32;
    default: // embedded JPEG or PNG, and anything unknown
        return false;
    }
}

// Where the reader stands in the file, relative to where it started, and how much there is.
struct Cursor {
    std::FILE* file;
    long start;
    std::int64_t size;

    std::int64_t Position() const { return std::ftell(file) - start; }
    std::int64_t Left() const { return size - Position(); }
    bool SeekTo(std::int64_t offset) const {
        return offset >= 0 && offset <= size &&
               std::fseek(file, start + static_cast<long>(offset), SEEK_SET) == 0;
    }
};

bool OpenCursor(std::FILE* file, Cursor& cursor) {
    cursor.file = file;
    cursor.start = std::ftell(file);
    if (cursor.start < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return false;
    const long end = std::ftell(file);
    cursor.size = end - cursor.start;
    return end >= cursor.start && cursor.SeekTo(0);
}

} // namespace

ImageBMP::ImageBMP(const std::string& path) {
    const FileHandle file = OpenForReading(path);
    if (file && Read(file.get()))
        m_bValid = true;
    else
        Clear();
}

ImageBMP::ImageBMP(std::FILE* file) {
    if (file && Read(file))
        m_bValid = true;
    else
        Clear();
}

bool ImageBMP::Read(std::FILE* file) {
    Cursor in{};
    if (!OpenCursor(file, in))
        return false;

    // File header: optional; when present it may name where the bits start.
    std::uint8_t fileHeader[14];
    if (!ReadExactly(file, fileHeader, sizeof fileHeader))
        return false;
    std::int64_t bitsOffset = 0;
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M')
        bitsOffset = LE32(fileHeader + 10);
    else if (!in.SeekTo(0))
        return false;

    // Information header, or the OS/2 core header with 16-bit fields.
    std::uint8_t h[HeaderBytes] = {};
    const std::int64_t headerStart = in.Position();
    if (!ReadExactly(file, h, 4))
        return false;
    const std::uint32_t headerSize = LE32(h);
    const bool core = headerSize == CoreHeaderBytes;
    BitmapInfoHeader header;
    std::uint32_t masks[3] = {0, 0, 0};
    bool masksRead = false;
    if (core) {
        if (!ReadExactly(file, h + 4, 8))
            return false;
        header.biWidth = LE16(h + 4);
        header.biHeight = LE16(h + 6);
        header.biPlanes = LE16(h + 8);
        header.biBitCount = LE16(h + 10);
    } else {
        if (headerSize < HeaderBytes || headerSize - 4 > in.Left() ||
            !ReadExactly(file, h + 4, HeaderBytes - 4))
            return false;
        header.biWidth = static_cast<std::int32_t>(LE32(h + 4));
        header.biHeight = static_cast<std::int32_t>(LE32(h + 8));
        header.biPlanes = LE16(h + 12);
        header.biBitCount = LE16(h + 14);
        header.biCompression = LE32(h + 16);
        header.biSizeImage = LE32(h + 20);
        header.biXPelsPerMeter = static_cast<std::int32_t>(LE32(h + 24));
        header.biYPelsPerMeter = static_cast<std::int32_t>(LE32(h + 28));
        header.biClrUsed = LE32(h + 32);
        header.biClrImportant = LE32(h + 36);
        // Longer headers carry the bit-field masks in their next 12 bytes.
        if (headerSize >= HeaderBytes + 12) {
            if (!ReadMasks(file, masks))
                return false;
            masksRead = true;
        }
        if (!in.SeekTo(headerStart + headerSize))
            return false;
    }
    header.biSize = HeaderBytes;

    const int bpp = header.biBitCount;
    const std::uint32_t compression = header.biCompression;
    // A negative height stores the top row first; run-length pictures cannot.
    const bool topDown = header.biHeight < 0;
    if (topDown && (header.biHeight == INT32_MIN || core || compression == CompressRLE8 ||
                    compression == CompressRLE4))
        return false;
    if (topDown)
        header.biHeight = -header.biHeight;
    if (header.biWidth <= 0 || header.biHeight <= 0 || !ValidDepth(bpp, compression) ||
        std::int64_t{header.biWidth} * header.biHeight > MaxPixels)
        return false;
    if (compression == CompressBitfields && !masksRead && !ReadMasks(file, masks))
        return false;

    // Colour table: as many entries as the header says, or a full table for 8 bits and
    // fewer; it must be in the file.
    std::int64_t colours = header.biClrUsed;
    if (colours == 0 && bpp <= 8)
        colours = std::int64_t{1} << bpp;
    const std::int64_t entryBytes = core ? 3 : 4;
    if (colours * entryBytes > in.Left())
        return false;
    const std::int64_t tableStart = in.Position();

    // Bits: an uncompressed picture needs exactly its rows, whatever biSizeImage claims.
    const std::int64_t bitsStart = bitsOffset != 0 ? bitsOffset : tableStart + colours * entryBytes;
    std::int64_t bitsBytes = header.biSizeImage;
    if (compression == CompressRGB || compression == CompressBitfields)
        bitsBytes = BytesPerRow(header.biWidth, bpp) * header.biHeight;
    if (bitsBytes <= 0 || bitsStart > in.size || bitsBytes > in.size - bitsStart)
        return false;
    if ((compression == CompressRLE8 || compression == CompressRLE4) &&
        std::int64_t{header.biWidth} * header.biHeight > MaxRunPixelsPerByte * bitsBytes)
        return false;
    const std::int64_t maskBytes = compression == CompressBitfields ? 12 : 0;
    const std::int64_t blockBytes =
        static_cast<std::int64_t>(HeaderBytes) + maskBytes + 4 * colours + bitsBytes;
    if (blockBytes > MaxBlockBytes)
        return false;

    header.biClrUsed = static_cast<std::uint32_t>(colours);
    header.biSizeImage = static_cast<std::uint32_t>(bitsBytes);
    if (!AllocateBlock(static_cast<std::size_t>(blockBytes)))
        return false;
    m_Header = header;
    StoreHeader();
    std::uint8_t* p = MutableBlock() + HeaderBytes;
    for (int i = 0; i < 3 && maskBytes != 0; ++i, p += 4) {
        m_Masks[i] = masks[i];
        for (int b = 0; b < 4; ++b)
            p[b] = static_cast<std::uint8_t>(masks[i] >> (8 * b));
    }

    // A core table has 3-byte entries: read them packed, then widen in place from the end.
    const std::size_t tableBytes = static_cast<std::size_t>(colours * entryBytes);
    if (!in.SeekTo(tableStart) || !ReadExactly(file, p, tableBytes))
        return false;
    if (core) {
        for (std::int64_t i = colours - 1; i >= 0; --i) {
            const std::uint8_t* from = p + 3 * i;
            std::uint8_t* to = p + 4 * i;
            const std::uint8_t b = from[0], g = from[1], r = from[2];
            to[0] = b;
            to[1] = g;
            to[2] = r;
            to[3] = 0;
        }
    }

    m_BitsOffset = HeaderBytes + static_cast<std::size_t>(maskBytes + 4 * colours);
    if (!in.SeekTo(bitsStart) ||
        !ReadBits(file, MutableBlock() + m_BitsOffset, static_cast<std::size_t>(bitsBytes)))
        return false;
    m_Width = header.biWidth;
    m_Height = header.biHeight;
    m_bSwap = true;
    return ConvertTo24(topDown);
}

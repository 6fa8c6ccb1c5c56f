#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The 40-byte header at the start of a device-independent bitmap (all fields little-endian
// in a file; held here in host order).
struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens only a regular file (a link counts as its target): a FIFO put in a picture's
// place would block the open until a writer came, and a folder or device is no picture.
inline FileHandle OpenForReading(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return nullptr;
    return FileHandle(std::fopen(path.c_str(), "rb"));
}

// Bytes from the current position of a file to its end, the position unchanged; -1 when
// the file cannot seek.
std::int64_t BytesLeft(std::FILE* file);

// The rest of a file from its current position, read in pieces so that an ending run gives
// it up between two of them; false when it is longer than maxBytes, cannot be read, or a
// stop is requested.
bool ReadRest(std::FILE* file, std::int64_t maxBytes, std::vector<std::uint8_t>& bytes);

// The unpadded copy a texture takes: width x height x 3 bytes, red, green, blue, rows
// bottom-up.
struct RGBImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;
};

// A decoded picture held as one device-independent bitmap: header, colour table, then the
// pixel rows bottom-up, each padded to a multiple of 4 bytes. The decoders fill it at
// construction and never throw: any failure leaves IsValid() false.
//
// Files are untrusted. No decoder allocates more than the limits below, whatever the file
// claims: a picture of more than MaxPixels pixels (after any scaling) is refused before its
// pixels are allocated or decompressed. Nor does a small file cost much work: each
// compressed format refuses a picture that claims far more pixels than its bytes could code.
//
// The fuzzing build lowers the pixel limit (KINETORA_MAX_PIXELS), so that every input it
// tries decodes quickly; the code paths are the same.
#ifndef KINETORA_MAX_PIXELS
#define KINETORA_MAX_PIXELS 64'000'000
#endif
class Image {
public:
    static constexpr std::int64_t MaxPixels = KINETORA_MAX_PIXELS;
    static constexpr std::int64_t MaxBlockBytes = 256LL * 1024 * 1024;

    // Compression values of the header.
    static constexpr std::uint32_t CompressRGB = 0;
    static constexpr std::uint32_t CompressRLE8 = 1;
    static constexpr std::uint32_t CompressRLE4 = 2;
    static constexpr std::uint32_t CompressBitfields = 3;

    // Transparent and partly transparent pixels of every format are blended over this
    // light blue.
    static constexpr int BackgroundRed = 31;
    static constexpr int BackgroundGreen = 127;
    static constexpr int BackgroundBlue = 255;

    Image() = default;
    virtual ~Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Padding bytes after each row; only the JPEG decoder reports it.
    virtual int RowPadding() const { return 0; }
    // Bytes of one row of `width` pixels of `bitsPerPixel`, rounded up to 4 bytes.
    virtual std::int64_t BytesPerRow(std::int64_t width, int bitsPerPixel) const;

    bool IsValid() const { return m_bValid; }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    // The file's own picture, upright, before any scaled decoding (a decoder that does not
    // scale gives the decoded size); 0 x 0 when not valid.
    int SourceWidth() const { return m_bValid ? (m_SourceWidth > 0 ? m_SourceWidth : m_Width) : 0; }
    int SourceHeight() const {
        return m_bValid ? (m_SourceHeight > 0 ? m_SourceHeight : m_Height) : 0;
    }
    int BitCount() const { return m_bValid ? m_Header.biBitCount : 0; }
    // True when 24-bit pixels are held blue, green, red (the bitmap convention).
    bool IsSwapped() const { return m_bSwap; }

    // The bitmap as a drawing call takes it: header, then colour table (or the three
    // masks of a bit-field bitmap), then bits. Empty when not valid.
    const BitmapInfoHeader& Header() const { return m_Header; }
    std::span<const std::uint8_t> Block() const { return {m_Block.get(), m_BlockBytes}; }
    const std::uint8_t* Bits() const;
    std::int64_t ImageSize() const { return m_Header.biSizeImage; }

    // The RGB copy for a texture; null unless the image is valid, 24 bits per pixel and
    // uncompressed, or when memory runs out.
    std::unique_ptr<RGBImage> ToRGB() const;

    // The picture for a display: width x height pixels 0xFFRRGGBB, rows top-down, for every
    // depth and compression a bitmap may have. Empty when not valid or memory runs out.
    std::vector<std::uint32_t> ToDisplayPixels() const;

protected:
    // Lays out an empty block for a 24-bit picture of width x height (zero-filled bits);
    // false when the picture is too large or memory runs out.
    bool Allocate24(int width, int height);
    // Exchanges the first and third byte of every 24-bit pixel, skipping row padding.
    void SwapRedBlue();
    // Reverses the order of the rows, for decoders that write the top row first.
    void FlipRows();
    // Turns or mirrors a 24-bit picture by an Exif orientation (1..8; anything else leaves
    // it as it is) so that it stands upright; 5 to 8 exchange width and height. False when
    // memory runs out.
    bool Orient(int orientation);
    // Replaces a picture of any depth or compression by its 24-bit form, blue, green, red.
    // A top-down picture (`topDown`, rows stored top row first) comes out bottom-up.
    // False when memory runs out.
    bool ConvertTo24(bool topDown);
    // One pixel of premultiplied-free RGBA blended over the background, into 3 bytes in
    // the picture's order (blue first when `swap`).
    static void Blend(const std::uint8_t* rgba, std::uint8_t* out, bool swap);
    // A zero-filled block of `bytes`; false when memory runs out. The pages of a large
    // block are only touched when written, so a file that claims a big picture and then
    // runs out of data costs little.
    bool AllocateBlock(std::size_t bytes);
    std::uint8_t* MutableBlock() { return m_Block.get(); }
    std::uint8_t* MutableBits() { return m_Block.get() + m_BitsOffset; }
    std::uint8_t* Row(int blockRow);
    std::int64_t Stride() const { return BytesPerRow(m_Width, m_Header.biBitCount); }
    void StoreHeader();
    std::vector<std::uint8_t> ExpandRunLengths() const;
    // Block row `blockRow` (0 the bottom of a bottom-up picture) as 0xFFRRGGBB pixels;
    // `expanded` holds the colour indexes of a run-length picture, else it is empty.
    void DecodeRow(int blockRow, const std::vector<std::uint8_t>& expanded,
                   std::uint32_t* out) const;
    // For a decoder that scales: the upright size of the picture before scaling. Set last,
    // after any orientation or conversion (TakeBlock carries the other image's).
    void SetSourceSize(int width, int height) {
        m_SourceWidth = width;
        m_SourceHeight = height;
    }
    // Drops whatever a failed decoder left: the image is empty and not valid.
    void Clear();
    // Takes over another image's block and sizes (not its flags); the other is left empty.
    void TakeBlock(Image& other);

    BitmapInfoHeader m_Header;
    struct FreeBlock {
        void operator()(std::uint8_t* block) const { std::free(block); }
    };
    std::unique_ptr<std::uint8_t, FreeBlock> m_Block;
    std::size_t m_BlockBytes = 0;
    std::size_t m_BitsOffset = 0;
    std::uint32_t m_Masks[3] = {0, 0, 0}; // red, green, blue masks of 16/32-bit pictures
    int m_Width = 0;
    int m_Height = 0;
    int m_SourceWidth = 0; // 0: as decoded
    int m_SourceHeight = 0;
    bool m_bValid = false;
    bool m_bSwap = true;
};

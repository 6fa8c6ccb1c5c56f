#include "images/ImageBMP.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace testimages;

namespace {

Rgb Pattern(int x, int y) {
    return Rgb{static_cast<std::uint8_t>(10 * x + 1), static_cast<std::uint8_t>(40 * y + 2),
               static_cast<std::uint8_t>(7 * x * y + 3)};
}

const std::vector<Rgb> Palette = {{255, 0, 0}, {0, 255, 0}, {12, 34, 56}};

std::uint8_t Index(int x, int y) {
    return static_cast<std::uint8_t>((x + y) % 3);
}

// Decodes from memory (fmemopen cannot open an empty buffer: that file is missing instead).
std::unique_ptr<ImageBMP> Decode(const Bytes& bytes) {
    if (bytes.empty())
        return std::make_unique<ImageBMP>(std::string("/nonexistent/picture.bmp"));
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    auto image = std::make_unique<ImageBMP>(file);
    std::fclose(file);
    return image;
}

// Expected pixels, independent of the decoder: display order top-down 0xFFRRGGBB and the
// texture copy bottom-up R, G, B.
std::vector<std::uint32_t> Display(int w, int h, const PixelFn& pixel) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = pixel(x, y);
            out.push_back(0xFF000000u | c.r << 16 | c.g << 8 | c.b);
        }
    return out;
}

Bytes Texture(int w, int h, const PixelFn& pixel) {
    Bytes out;
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = pixel(x, y);
            out.insert(out.end(), {c.r, c.g, c.b});
        }
    return out;
}

void Patch32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

TEST(ImageBMP, TwentyFourBitWithAndWithoutFileHeaderAndPadding) {
    for (const BmpHeader header : {BmpHeader::File, BmpHeader::NoFile, BmpHeader::Core}) {
        for (const auto& [w, h] : {std::pair{3, 2}, std::pair{5, 3}, std::pair{4, 1}}) {
            SCOPED_TRACE(testing::Message() << w << "x" << h << " header " << int(header));
            const auto image = Decode(Bmp24(w, h, Pattern, header));
            ASSERT_TRUE(image->IsValid());
            EXPECT_EQ(w, image->Width());
            EXPECT_EQ(h, image->Height());
            EXPECT_EQ(24, image->BitCount());
            const auto rgb = image->ToRGB();
            ASSERT_TRUE(rgb);
            EXPECT_EQ(Texture(w, h, Pattern), rgb->bytes);
            EXPECT_EQ(Display(w, h, Pattern), image->ToDisplayPixels());
        }
    }
}

TEST(ImageBMP, EightBitPalettes) {
    const PixelFn expected = [](int x, int y) { return Palette[Index(x, y)]; };
    for (const BmpHeader header : {BmpHeader::File, BmpHeader::NoFile, BmpHeader::Core}) {
        for (const bool clrUsed : {true, false}) {
            if (header == BmpHeader::Core && clrUsed)
                continue; // a core header has no colour count
            SCOPED_TRACE(testing::Message() << "header " << int(header) << " clrUsed " << clrUsed);
            const auto image = Decode(Bmp8(5, 3, Index, Palette, clrUsed, header));
            ASSERT_TRUE(image->IsValid());
            // Held as 24 bits, the colours looked up in the table (3- or 4-byte entries).
            EXPECT_EQ(24, image->BitCount());
            EXPECT_EQ(0u, image->Header().biClrUsed);
            const auto rgb = image->ToRGB();
            ASSERT_TRUE(rgb);
            EXPECT_EQ(Texture(5, 3, expected), rgb->bytes);
            EXPECT_EQ(Display(5, 3, expected), image->ToDisplayPixels());
        }
    }
}

TEST(ImageBMP, FromPathAndMissingFile) {
    TempDir dir;
    const std::string path = dir.Put("a.bmp", Bmp24(2, 2, Pattern));
    EXPECT_TRUE(ImageBMP(path).IsValid());
    EXPECT_FALSE(ImageBMP(dir.Path().string() + "/missing.bmp").IsValid());
}

TEST(ImageBMP, EveryTruncationIsInvalid) {
    for (const Bytes& whole : {Bmp24(3, 2, Pattern), Bmp8(5, 3, Index, Palette, true),
                               Bmp8(2, 2, Index, Palette, false, BmpHeader::Core),
                               Bmp24(3, 2, Pattern, BmpHeader::NoFile)}) {
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_FALSE(Decode(cut)->IsValid()) << "cut at " << n << " of " << whole.size();
        }
    }
}

TEST(ImageBMP, LyingHeaderFieldsAreRefused) {
    // Field offsets in a file with a file header: header size 14, width 18, height 22,
    // bit count 28, compression 30, image size 34, colours used 46, bits offset 10.
    struct Lie {
        std::size_t at;
        std::uint32_t value;
        bool sixteen;
    };
    const Lie lies[] = {
        {18, 0, false},          {18, 0xFFFFFFFD, false}, {22, 0, false},
        {22, 0xFFFFFFFD, false}, {18, 0x7FFFFFFF, false}, {22, 0x7FFFFFFF, false},
        {22, 0x80000000, false}, {18, 8000, false},       {28, 7, true},
        {28, 0, true},           {30, 4, false},          {30, 1, false},
        {46, 0xFFFFFFFF, false}, {46, 0x40000000, false}, {10, 0xFFFFFFF0, false},
        {10, 60, false},         {14, 20, false},         {14, 0xFFFFFFFF, false},
        {14, 0, false},
    };
    const Bytes good = Bmp24(3, 2, Pattern);
    for (const Lie& lie : lies) {
        Bytes b = good;
        if (lie.sixteen) {
            b[lie.at] = static_cast<std::uint8_t>(lie.value);
            b[lie.at + 1] = static_cast<std::uint8_t>(lie.value >> 8);
        } else {
            Patch32(b, lie.at, lie.value);
        }
        EXPECT_FALSE(Decode(b)->IsValid()) << "field at " << lie.at << " = " << lie.value;
    }
    // An image size that disagrees with the rows of an uncompressed picture is not trusted.
    Bytes b = good;
    Patch32(b, 34, 0xFFFFFFFF);
    const auto image = Decode(b);
    ASSERT_TRUE(image->IsValid());
    EXPECT_EQ(Display(3, 2, Pattern), image->ToDisplayPixels());
}

TEST(ImageBMP, GarbageIsInvalid) {
    std::mt19937 gen(1234);
    for (int i = 0; i < 300; ++i) {
        Bytes b(gen() % 200);
        for (auto& byte : b)
            byte = static_cast<std::uint8_t>(gen());
        if (i % 2 == 0 && b.size() >= 2) {
            b[0] = 'B';
            b[1] = 'M';
        }
        EXPECT_FALSE(Decode(b)->IsValid());
    }
}

// Run-length pictures made from an 8-bit file with 3 colours: the bits (from byte 66) are
// replaced by the runs and the header patched.
TEST(ImageBMP, RunLengthPicturesExpandForDisplay) {
    auto make = [](int w, int h, int bpp, const Bytes& runs) {
        Bytes b = Bmp8(w, h, Index, Palette, true);
        b.resize(66);
        b.insert(b.end(), runs.begin(), runs.end());
        b[28] = static_cast<std::uint8_t>(bpp);
        Patch32(b, 30, bpp == 8 ? 1 : 2);
        Patch32(b, 34, static_cast<std::uint32_t>(runs.size()));
        return b;
    };
    auto colours = [](std::initializer_list<int> indexes) {
        std::vector<std::uint32_t> out;
        for (const int i : indexes) {
            const Rgb c = Palette[static_cast<std::size_t>(i)];
            out.push_back(0xFF000000u | c.r << 16 | c.g << 8 | c.b);
        }
        return out;
    };
    // Bottom row: three 1s and a 2; top row: literal 0, 1, 2 (padded), last pixel unwritten.
    const auto rle8 = Decode(make(4, 2, 8, {3, 1, 1, 2, 0, 0, 0, 3, 0, 1, 2, 0, 0, 1}));
    ASSERT_TRUE(rle8->IsValid());
    ASSERT_TRUE(rle8->ToRGB());
    EXPECT_EQ(24, rle8->BitCount());
    EXPECT_EQ(colours({0, 1, 2, 0, 1, 1, 1, 2}), rle8->ToDisplayPixels());
    // Four bits: a run alternates the two nibbles; a jump of (1, 0) skips a pixel.
    const auto rle4 = Decode(make(7, 1, 4, {5, 0x12, 0, 2, 1, 0, 1, 0x20, 0, 1}));
    ASSERT_TRUE(rle4->IsValid());
    EXPECT_EQ(colours({1, 2, 1, 2, 1, 0, 2}), rle4->ToDisplayPixels());
    // Runs, jumps and literals that point outside the picture are dropped.
    const auto wild = Decode(make(2, 2, 8, {200, 1, 0, 2, 255, 255, 0, 250, 1, 0, 9, 2, 0, 5}));
    ASSERT_TRUE(wild->IsValid());
    EXPECT_EQ(colours({0, 0, 1, 1}), wild->ToDisplayPixels());
}

// The way an encoder codes a run-length picture: every row as runs of at most 255 pixels
// and an end of row; the bottom half index 1, the top half index 2, at the highest density
// runs allow. Then the same size claimed over a lone end of picture.
TEST(ImageBMP, RunLengthPictureMayNotClaimMorePixelsThanItsBytesCode) {
    auto make = [](int w, int h, int bpp, const Bytes& runs) {
        Bytes b = Bmp8(1, 1, Index, Palette, true);
        b.resize(66);
        b.insert(b.end(), runs.begin(), runs.end());
        Patch32(b, 18, static_cast<std::uint32_t>(w));
        Patch32(b, 22, static_cast<std::uint32_t>(h));
        b[28] = static_cast<std::uint8_t>(bpp);
        Patch32(b, 30, bpp == 8 ? 1 : 2);
        Patch32(b, 34, static_cast<std::uint32_t>(runs.size()));
        return b;
    };
    const int w = 2040, h = 1000; // 8 runs of 255 a row
    Bytes runs;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; x += 255)
            runs.insert(runs.end(), {255, static_cast<std::uint8_t>(y < h / 2 ? 1 : 2)});
        runs.insert(runs.end(), {0, 0});
    }
    runs.insert(runs.end(), {0, 1});
    const auto dense = Decode(make(w, h, 8, runs));
    ASSERT_TRUE(dense->IsValid());
    const auto pixels = dense->ToDisplayPixels();
    ASSERT_EQ(std::size_t{w} * h, pixels.size());
    const Rgb top = Palette[2], bottom = Palette[1];
    EXPECT_EQ(0xFF000000u | top.r << 16 | top.g << 8 | top.b, pixels[w + 7]);
    EXPECT_EQ(0xFF000000u | bottom.r << 16 | bottom.g << 8 | bottom.b, pixels.back());

    for (const int bpp : {8, 4}) {
        EXPECT_FALSE(Decode(make(4000, 4000, bpp, {0, 1}))->IsValid()) << bpp;
        // The limit is a ratio: the same two bytes serve a small picture.
        const int rows = static_cast<int>(2 * ImageBMP::MaxRunPixelsPerByte / 16);
        EXPECT_TRUE(Decode(make(16, rows, bpp, {0, 1}))->IsValid()) << bpp;
        EXPECT_FALSE(Decode(make(16, rows + 1, bpp, {0, 1}))->IsValid()) << bpp;
    }
}

// Sixteen bits: 5-5-5 without masks; 5-6-5 with masks after a 40-byte header or inside a
// 56-byte one. Two pixels, channels scaled to 0..255.
TEST(ImageBMP, SixteenBitPixelsWithAndWithoutMasks) {
    auto make = [](std::uint32_t compression, std::uint32_t headerSize, bool masksAfter,
                   std::uint16_t p0, std::uint16_t p1) {
        Bytes b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        b.resize(14 + headerSize, 0);
        Patch32(b, 14, headerSize);
        Patch32(b, 18, 2);
        Patch32(b, 22, 1);
        b[26] = 1;
        b[28] = 16;
        Patch32(b, 30, compression);
        const std::uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
        if (headerSize >= 52)
            for (int i = 0; i < 3; ++i)
                Patch32(b, 54 + 4 * static_cast<std::size_t>(i), masks[i]);
        if (masksAfter)
            for (const std::uint32_t m : masks)
                b.insert(b.end(),
                         {static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(m >> 8), 0, 0});
        Patch32(b, 10, static_cast<std::uint32_t>(b.size()));
        b.insert(b.end(), {static_cast<std::uint8_t>(p0), static_cast<std::uint8_t>(p0 >> 8),
                           static_cast<std::uint8_t>(p1), static_cast<std::uint8_t>(p1 >> 8)});
        return b;
    };
    const auto rgb555 = Decode(make(0, 40, false, 0x7C00, 0x03FF));
    ASSERT_TRUE(rgb555->IsValid());
    EXPECT_EQ((std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FFFF}), rgb555->ToDisplayPixels());
    for (const auto& [size, after] : {std::pair{40u, true}, std::pair{56u, false}}) {
        const auto rgb565 = Decode(make(3, size, after, 0x07E0, 0x8410));
        ASSERT_TRUE(rgb565->IsValid()) << size;
        // 0x8410: red 16 of 31, green 32 of 63, blue 16 of 31.
        EXPECT_EQ((std::vector<std::uint32_t>{0xFF00FF00, 0xFF838183}), rgb565->ToDisplayPixels());
    }
}

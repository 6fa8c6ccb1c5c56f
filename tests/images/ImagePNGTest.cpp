#include "images/ImagePNG.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <png.h>
#include <zlib.h>

using namespace testimages;

namespace {

std::unique_ptr<ImagePNG> Decode(const Bytes& bytes) {
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    auto image = std::make_unique<ImagePNG>(file);
    std::fclose(file);
    return image;
}

Pixel16 Pattern8(int x, int y) {
    return {static_cast<std::uint16_t>(25 * x + 3), static_cast<std::uint16_t>(30 * y + 1),
            static_cast<std::uint16_t>((x * 7 + y * 11) % 256), 255};
}

// Texture copy pixel at picture position (x, y); rows are bottom-up.
Rgb At(const RGBImage& rgb, int x, int y) {
    const std::size_t at = 3 * (static_cast<std::size_t>(rgb.height - 1 - y) * rgb.width + x);
    return {rgb.bytes[at], rgb.bytes[at + 1], rgb.bytes[at + 2]};
}

} // namespace

TEST(ImagePNG, ColourPicturesPlainAndInterlaced) {
    for (const bool interlaced : {false, true}) {
        for (const int type : {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA}) {
            SCOPED_TRACE(testing::Message() << "interlaced " << interlaced << " type " << type);
            const auto image = Decode(Png(9, 7, type, 8, interlaced, Pattern8));
            ASSERT_TRUE(image->IsValid());
            EXPECT_EQ(9, image->Width());
            EXPECT_EQ(7, image->Height());
            EXPECT_EQ(24, image->BitCount());
            EXPECT_TRUE(image->IsSwapped());
            const auto rgb = image->ToRGB();
            ASSERT_TRUE(rgb);
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 9; ++x) {
                    const Pixel16 p = Pattern8(x, y);
                    const Rgb want{static_cast<std::uint8_t>(p[0]), static_cast<std::uint8_t>(p[1]),
                                   static_cast<std::uint8_t>(p[2])};
                    ASSERT_EQ(want, At(*rgb, x, y)) << x << "," << y;
                }
        }
    }
}

// Blending in 16 bits over the background widened to 16 bits (31 * 257 ...), then the
// high byte: computed here by hand, allowing one step of rounding.
TEST(ImagePNG, SixteenBitAlphaBlendsOverLightBlue) {
    const Pixel16 pixels[] = {{0x1234, 0xABCD, 0xFFFF, 65535},
                              {0xFFFF, 0xFFFF, 0x0000, 0},
                              {0xFFFF, 0x0000, 0x0000, 32768},
                              {0x8000, 0x4000, 0x2000, 16384}};
    for (const bool interlaced : {false, true}) {
        const auto image = Decode(Png(4, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, interlaced,
                                      [&](int x, int) { return pixels[x]; }));
        ASSERT_TRUE(image->IsValid());
        const auto rgb = image->ToRGB();
        ASSERT_TRUE(rgb);
        const int background[3] = {31, 127, 255};
        for (int x = 0; x < 4; ++x) {
            const Rgb got = At(*rgb, x, 0);
            const int gotChannels[3] = {got.r, got.g, got.b};
            for (int k = 0; k < 3; ++k) {
                // 64 bits: the products pass 2^31, and long has 32 bits on Windows.
                const std::int64_t a = pixels[x][3];
                const std::int64_t mixed =
                    (pixels[x][k] * a + background[k] * std::int64_t{257} * (65535 - a)) / 65535;
                EXPECT_NEAR(mixed >> 8, gotChannels[k], 1) << "pixel " << x << " channel " << k;
            }
        }
    }
}

TEST(ImagePNG, MissingAndBrokenFilesAreInvalid) {
    EXPECT_FALSE(ImagePNG("/nonexistent/a.png").IsValid());

    const Bytes whole = Png(6, 5, PNG_COLOR_TYPE_RGB, 8, true, Pattern8);
    for (std::size_t n = 1; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(Decode(cut)->IsValid()) << "cut at " << n;
    }
}

// A header with a correct checksum claiming a huge size: refused before the pixels are
// allocated.
TEST(ImagePNG, HugeClaimedSizeIsRefused) {
    for (const auto& [w, h] : {std::pair{64250u, 64250u}, std::pair{1000000u, 100u}}) {
        Bytes b = Png(4, 4, PNG_COLOR_TYPE_RGB, 8, false, Pattern8);
        for (int i = 0; i < 4; ++i) {
            b[16 + i] = static_cast<std::uint8_t>(w >> (24 - 8 * i));
            b[20 + i] = static_cast<std::uint8_t>(h >> (24 - 8 * i));
        }
        const uLong crc = crc32(0, b.data() + 12, 17); // "IHDR" and its 13 bytes
        for (int i = 0; i < 4; ++i)
            b[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        EXPECT_FALSE(Decode(b)->IsValid()) << w << "x" << h;
    }
}

// A flat picture is the densest a PNG gets (deflate codes at most 1032 bytes in one): a big
// one still decodes. A few bytes that claim a picture within the pixel limit, with a correct
// checksum, are refused before any row is read.
TEST(ImagePNG, FileMayNotClaimMorePixelsThanItsBytesCode) {
    const Bytes flat = Png(2000, 2000, PNG_COLOR_TYPE_RGB, 8, false, [](int, int) {
        return Pixel16{200, 100, 50, 255};
    });
    const auto image = Decode(flat);
    ASSERT_TRUE(image->IsValid());
    const auto rgb = image->ToRGB();
    ASSERT_TRUE(rgb);
    EXPECT_EQ((Rgb{200, 100, 50}), At(*rgb, 1999, 1999));

    Bytes b = Png(4, 4, PNG_COLOR_TYPE_RGB, 8, true, Pattern8);
    const std::uint32_t side = 4000;
    ASSERT_LE(std::int64_t{side} * side, Image::MaxPixels);
    ASSERT_GT(std::int64_t{side} * side * 3, ImagePNG::MaxBytesPerByte * std::ssize(b));
    for (int i = 0; i < 4; ++i) {
        b[16 + i] = static_cast<std::uint8_t>(side >> (24 - 8 * i));
        b[20 + i] = static_cast<std::uint8_t>(side >> (24 - 8 * i));
    }
    const uLong crc = crc32(0, b.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        b[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    EXPECT_FALSE(Decode(b)->IsValid());
}

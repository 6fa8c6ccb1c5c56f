#include "images/ImageJPEG.h"
#include "images/ScaleDenominator.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testimages;

namespace {

// Four flat quarters, so lossy coding keeps the colours near their values.
Rgb Quarters(int x, int y, int w, int h) {
    const bool right = x >= w / 2;
    const bool bottom = y >= h / 2;
    if (!bottom)
        return right ? Rgb{20, 200, 40} : Rgb{220, 30, 30};
    return right ? Rgb{240, 240, 240} : Rgb{30, 40, 210};
}

std::unique_ptr<ImageJPEG> Decode(const Bytes& bytes, int divisor, bool swap, int sceneWidth) {
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    auto image = std::make_unique<ImageJPEG>(file, divisor, swap, sceneWidth);
    std::fclose(file);
    return image;
}

// The texture copy holds rows bottom-up: picture row y is copy row h - 1 - y.
void ExpectNear(const RGBImage& rgb, int x, int y, Rgb want) {
    const std::size_t at = 3 * (static_cast<std::size_t>(rgb.height - 1 - y) * rgb.width + x);
    EXPECT_NEAR(want.r, rgb.bytes[at], 8) << x << "," << y;
    EXPECT_NEAR(want.g, rgb.bytes[at + 1], 8) << x << "," << y;
    EXPECT_NEAR(want.b, rgb.bytes[at + 2], 8) << x << "," << y;
}

void ExpectQuarters(const Image& image) {
    const auto rgb = image.ToRGB();
    ASSERT_TRUE(rgb);
    const int w = rgb->width, h = rgb->height;
    ExpectNear(*rgb, w / 4, h / 4, {220, 30, 30});
    ExpectNear(*rgb, 3 * w / 4, h / 4, {20, 200, 40});
    ExpectNear(*rgb, w / 4, 3 * h / 4, {30, 40, 210});
    ExpectNear(*rgb, 3 * w / 4, 3 * h / 4, {240, 240, 240});
}

// Where each marker after the start of image begins; a scan's segment runs on over its
// coded data to the next marker. The last entry is the end of image.
std::vector<std::size_t> Segments(const Bytes& b) {
    std::vector<std::size_t> at;
    std::size_t i = 2;
    while (i + 4 <= b.size() && b[i] == 0xFF) {
        at.push_back(i);
        const std::uint8_t marker = b[i + 1];
        if (marker == 0xD9)
            break;
        i += 2 + static_cast<std::size_t>(b[i + 2] << 8 | b[i + 3]);
        if (marker == 0xDA) // stuffed zero bytes and restart markers belong to the data
            while (i + 1 < b.size() &&
                   !(b[i] == 0xFF && b[i + 1] != 0 && (b[i + 1] < 0xD0 || b[i + 1] > 0xD7)))
                ++i;
    }
    return at;
}

// A flat grey progressive photograph: the densest coding a real picture can have.
Bytes Flat(int size) {
    return Jpeg(
        size, size, 3,
        [](int, int) {
            return Rgb{90, 90, 90};
        },
        true);
}

} // namespace

TEST(ImageJPEG, LargePhotoScalesToTheSceneWidth) {
    const Bytes photo =
        Jpeg(3000, 2000, 3, [](int x, int y) { return Quarters(x, y, 3000, 2000); });
    struct Case {
        int sceneWidth, divisor, width, height;
    };
    // 3000 / 4 = 750 is the first width within 800; 1600 / 2 is the same limit; without a
    // scene window the photo keeps its size; at most 1/8.
    for (const Case c : {Case{800, 1, 750, 500}, Case{1600, 1, 1500, 1000}, Case{1600, 2, 750, 500},
                         Case{0, 1, 3000, 2000}, Case{100, 1, 375, 250}, Case{800, 0, 750, 500}}) {
        SCOPED_TRACE(testing::Message() << "scene " << c.sceneWidth << " / " << c.divisor);
        const auto image = Decode(photo, c.divisor, false, c.sceneWidth);
        ASSERT_TRUE(image->IsValid());
        EXPECT_EQ(c.width, image->Width());
        EXPECT_EQ(c.height, image->Height());
        ExpectQuarters(*image);
    }
}

TEST(ImageJPEG, SwapHoldsBlueGreenRedAndOddWidthsArePadded) {
    const PixelFn pixel = [](int x, int y) { return Quarters(x, y, 13, 10); };
    for (const bool progressive : {false, true}) {
        const Bytes photo = Jpeg(13, 10, 3, pixel, progressive);
        const auto rgbOrder = Decode(photo, 1, false, 0);
        const auto bgrOrder = Decode(photo, 1, true, 0);
        ASSERT_TRUE(rgbOrder->IsValid() && bgrOrder->IsValid());
        EXPECT_EQ(1, bgrOrder->RowPadding());
        EXPECT_EQ(std::int64_t{(13 * 3 + 1) * 10}, bgrOrder->ImageSize());
        // First pixel of the block is the bottom-left one: blue, green, red when swapped.
        const std::uint8_t* bits = bgrOrder->Bits();
        EXPECT_NEAR(30, bits[2], 8);
        EXPECT_NEAR(210, bits[0], 8);
        EXPECT_EQ(0, bits[39]) << "padding stays zero";
        ExpectQuarters(*rgbOrder);
        ExpectQuarters(*bgrOrder);
        EXPECT_EQ(rgbOrder->ToDisplayPixels(), bgrOrder->ToDisplayPixels());
    }
}

TEST(ImageJPEG, MissingAndBrokenFilesAreInvalid) {
    const PixelFn pixel = [](int x, int y) { return Quarters(x, y, 16, 16); };
    EXPECT_FALSE(ImageJPEG("/nonexistent/a.jpg", 1, false, 0).IsValid());

    const Bytes whole = Jpeg(40, 24, 3, pixel);
    for (std::size_t n = 1; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(Decode(cut, 1, false, 0)->IsValid()) << "cut at " << n;
    }
}

// A header that claims a huge size over a few bytes of data: refused before any pixel is
// allocated (64250 x 64250 is over the pixel limit even at 1/8), or, within the limit,
// failing for want of data or of decoder memory, never exhausting memory.
TEST(ImageJPEG, HugeClaimedSizeIsRefused) {
    for (const bool progressive : {false, true}) {
        for (const auto& [w, h] : {std::pair{64250, 64250}, std::pair{6000, 3000}}) {
            Bytes photo = Jpeg(
                16, 16, 3, [](int x, int y) { return Quarters(x, y, 16, 16); }, progressive);
            // Patch the start-of-frame marker (baseline C0 or progressive C2): height, width.
            std::size_t sof = 2;
            while (!(photo[sof] == 0xFF && (photo[sof + 1] == 0xC0 || photo[sof + 1] == 0xC2)))
                ++sof;
            photo[sof + 5] = static_cast<std::uint8_t>(h >> 8);
            photo[sof + 6] = static_cast<std::uint8_t>(h);
            photo[sof + 7] = static_cast<std::uint8_t>(w >> 8);
            photo[sof + 8] = static_cast<std::uint8_t>(w);
            for (const int sceneWidth : {0, 800, 8000}) {
                EXPECT_FALSE(Decode(photo, 1, false, sceneWidth)->IsValid())
                    << w << "x" << h << " scene " << sceneWidth << " progressive " << progressive;
            }
        }
    }
}

TEST(ImageJPEG, ScaleDenominatorUsesWholeDivisions) {
    EXPECT_EQ(1, ScaleDenominator(800, 600, 1, 800));
    EXPECT_EQ(2, ScaleDenominator(801, 600, 1, 800));
    EXPECT_EQ(2, ScaleDenominator(600, 1601, 1, 800)); // 1601 / 2 = 800
    EXPECT_EQ(8, ScaleDenominator(100000, 10, 1, 800));
    EXPECT_EQ(8, ScaleDenominator(10, 10, 100, 50)); // limit 0
}

// Without its first (DC) scans a progressive file still decodes, to a flat picture built
// from nothing: its few bytes may then claim only a small size. The same flat picture with
// all its scans decodes at a size four times over.
TEST(ImageJPEG, FileMayNotClaimMorePixelsThanItsBytesCode) {
    auto withoutDcScans = [](const Bytes& b) {
        const auto at = Segments(b);
        Bytes out(b.begin(), b.begin() + 2);
        for (std::size_t i = 0; i + 1 < at.size(); ++i) {
            const std::size_t from = at[i], to = at[i + 1];
            const bool dcScan = b[from + 1] == 0xDA && b[from + 5 + 2 * b[from + 4]] == 0;
            if (!dcScan)
                out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(from),
                           b.begin() + static_cast<std::ptrdiff_t>(to));
        }
        out.insert(out.end(), {0xFF, 0xD9});
        return out;
    };
    const Bytes small = withoutDcScans(Flat(256));
    ASSERT_LT(std::int64_t{256} * 256, ImageJPEG::MaxPixelsPerByte * std::ssize(small));
    EXPECT_TRUE(Decode(small, 1, false, 0)->IsValid()) << "a file that decodes";

    const Bytes big = Flat(2048);
    const Bytes hollow = withoutDcScans(big);
    ASSERT_GT(std::int64_t{2048} * 2048, ImageJPEG::MaxPixelsPerByte * std::ssize(hollow));
    for (const int sceneWidth : {0, 800})
        EXPECT_FALSE(Decode(hollow, 1, false, sceneWidth)->IsValid()) << sceneWidth;
    const auto real = Decode(big, 1, false, 0);
    ASSERT_TRUE(real->IsValid());
    EXPECT_EQ(2048, real->Width());
    EXPECT_NEAR(90, real->Bits()[3 * 2047], 2);
}

// Repeated scans cost no more bytes than their headers and a few end-of-block runs, but
// each is decoded over the whole picture: the scans' blocks are limited by the file's size.
TEST(ImageJPEG, ScansMayNotDecodeMoreBlocksThanTheFileJustifies) {
    const Bytes photo = Flat(2048);
    auto repeatLastScan = [&photo](int times) {
        const auto at = Segments(photo);
        std::size_t last = at.size() - 2; // the last scan, with the table defined for it
        if (last > 0 && photo[at[last - 1] + 1] == 0xC4)
            --last;
        Bytes out(photo.begin(), photo.end() - 2);
        for (int i = 0; i < times; ++i)
            out.insert(out.end(), photo.begin() + static_cast<std::ptrdiff_t>(at[last]),
                       photo.end() - 2);
        out.insert(out.end(), {0xFF, 0xD9});
        return out;
    };
    // Each repeat adds its 256 x 256 luminance blocks and lets in MaxScanBlocksPerByte a byte.
    const Bytes few = repeatLastScan(4);
    const Bytes many = repeatLastScan(200);
    const std::int64_t blocks = 256 * 256;
    ASSERT_GT(blocks * 200, ImageJPEG::MaxScanBlocksPerByte * std::ssize(many));
    EXPECT_TRUE(Decode(few, 1, false, 800)->IsValid());
    EXPECT_FALSE(Decode(many, 1, false, 800)->IsValid());
    EXPECT_LT(200 + 10, ImageJPEG::MaxScans) << "refused for its blocks, not its scan count";
}

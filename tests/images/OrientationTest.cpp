// Pictures stand upright whatever orientation their file gives: one hand-made picture with
// four flat quarters of known colour, stored turned or mirrored as each of the eight Exif
// orientations says, decodes to the same upright corners in every format.
#include "images/ExifOrientation.h"
#include "images/ImageFile.h"
#include "images/ImageHEIF.h"
#include "images/ImageJPEG.h"
#include "images/ImageWebP.h"

#include "PixelChecks.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

using namespace testimages;

namespace {

constexpr int W = 32, H = 16; // upright
const Rgb kTopLeft{220, 30, 30}, kTopRight{20, 200, 40}, kBottomLeft{30, 40, 210},
    kBottomRight{240, 240, 240};

Rgb Upright(int x, int y) {
    if (y < H / 2)
        return x < W / 2 ? kTopLeft : kTopRight;
    return x < W / 2 ? kBottomLeft : kBottomRight;
}

// The stored picture for an orientation, from the Exif table of where the stored row 0 and
// column 0 appear: 1 top/left, 2 top/right, 3 bottom/right, 4 bottom/left, 5 left/top,
// 6 right/top, 7 right/bottom, 8 left/bottom.
struct Stored {
    int width, height;
    PixelFn pixel;
};

Stored StoredFor(int orientation) {
    static const struct {
        bool rowsAcross;    // stored rows run down the upright picture's columns
        bool rowZeroFar;    // row 0 at the bottom (or right)
        bool columnZeroFar; // column 0 at the right (or bottom)
    } kWhere[9] = {{},
                   {false, false, false},
                   {false, false, true},
                   {false, true, true},
                   {false, true, false},
                   {true, false, false},
                   {true, true, false},
                   {true, true, true},
                   {true, false, true}};
    const auto where = kWhere[orientation];
    const int sw = where.rowsAcross ? H : W, sh = where.rowsAcross ? W : H;
    return {sw, sh, [=](int c, int r) {
                const int along = where.columnZeroFar ? sw - 1 - c : c;
                const int across = where.rowZeroFar ? sh - 1 - r : r;
                return where.rowsAcross ? Upright(across, along) : Upright(along, across);
            }};
}

// Decodes from memory through a temporary file named for the format.
std::unique_ptr<Image> DecodeAs(const std::string& name, const Bytes& bytes, int sceneWidth = 0) {
    TempDir dir;
    return DecodeImageFile(dir.Put(name, bytes), false, sceneWidth);
}

// The four corners, a few pixels in, within the codec's tolerance.
void ExpectUpright(const Image& image, int tolerance) {
    ASSERT_TRUE(image.IsValid());
    ASSERT_EQ(W, image.Width());
    ASSERT_EQ(H, image.Height());
    const auto rgb = image.ToRGB();
    ASSERT_TRUE(rgb);
    const struct {
        int x, y;
        Rgb want;
    } corners[] = {{3, 3, kTopLeft},
                   {W - 4, 3, kTopRight},
                   {3, H - 4, kBottomLeft},
                   {W - 4, H - 4, kBottomRight}};
    for (const auto& c : corners) {
        const Rgb got = PixelAt(*rgb, c.x, c.y);
        EXPECT_NEAR(c.want.r, got.r, tolerance) << c.x << "," << c.y;
        EXPECT_NEAR(c.want.g, got.g, tolerance) << c.x << "," << c.y;
        EXPECT_NEAR(c.want.b, got.b, tolerance) << c.x << "," << c.y;
    }
}

} // namespace

TEST(ExifOrientation, ReadsTheTagInBothByteOrdersWithOrWithoutPrefix) {
    for (int o = 1; o <= 8; ++o)
        for (const bool big : {false, true})
            for (const bool prefix : {false, true})
                EXPECT_EQ(o, ExifOrientation(ExifBlock(o, big, prefix))) << o << big << prefix;
    EXPECT_EQ(1, ExifOrientation(ExifBlock(0, false, true)));
    EXPECT_EQ(1, ExifOrientation(ExifBlock(9, true, false)));
    EXPECT_EQ(1, ExifOrientation({}));
}

TEST(ExifOrientation, MalformedBlocksGiveUpright) {
    const Bytes whole = ExifBlock(6, true, false);
    // Cut anywhere before the end of the value: no tag; the value is bytes 30 and 31.
    for (std::size_t n = 0; n < 32; ++n)
        EXPECT_EQ(1, ExifOrientation({whole.data(), n})) << n;
    Bytes b = whole;
    b[3] = 0; // not 42
    EXPECT_EQ(1, ExifOrientation(b));
    b = whole;
    b[25] = 4; // a long, not a short
    EXPECT_EQ(1, ExifOrientation(b));
    b = whole;
    b[7] = 0xF0; // IFD0 past the end
    EXPECT_EQ(1, ExifOrientation(b));
    b = whole;
    b[9] = 0xFF; // more entries than the block holds: the ones there are still read
    EXPECT_EQ(6, ExifOrientation(b));
}

TEST(Orientation, JpegWithEachOrientationDecodesUpright) {
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        const Stored s = StoredFor(o);
        const Bytes jpeg =
            WithApp1(Jpeg(s.width, s.height, 3, s.pixel), ExifBlock(o, o % 2 == 0, true));
        ExpectUpright(*DecodeAs("a.jpg", jpeg), 10);
        // The same with the bitmap's byte order, as the preview has it.
        TempDir dir;
        ExpectUpright(ImageJPEG(dir.Put("b.jpg", jpeg), 1, true, 0), 10);
    }
}

#ifndef KINETORA_NO_WEBP
TEST(Orientation, WebPWithEachOrientationDecodesUpright) {
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        const Stored s = StoredFor(o);
        const Bytes exif = ExifBlock(o, o > 4, false);
        ExpectUpright(*DecodeAs("a.webp", WebP(s.width, s.height, s.pixel, true, exif)), 0);
        ExpectUpright(*DecodeAs("a.webp", WebP(s.width, s.height, s.pixel, false, exif)), 12);
    }
}
#endif

#ifndef KINETORA_NO_HEIF
// The container's rotation is the library's to apply; an Exif orientation in the same file
// describes the stored pixels too and must not turn them a second time.
TEST(Orientation, HeicAndAvifApplyTheContainerRotationOnce) {
    for (const bool avif : {false, true}) {
        SCOPED_TRACE(avif ? "avif" : "heic");
        const char* name = avif ? "a.avif" : "a.heic";
        const Bytes plain = Heif(W, H, Upright, avif, ExifBlock(6, false, true));
        ExpectUpright(*DecodeAs(name, plain), 14);
        // Stored as orientation 8 says (a quarter turn anticlockwise to stand up), with that
        // turn in the container and in the Exif block.
        const Stored s = StoredFor(8);
        Bytes turned = Heif(s.width, s.height, s.pixel, avif, ExifBlock(8, true, true));
        ASSERT_TRUE(ReplacePixi(turned, "irot", 1));
        ExpectUpright(*DecodeAs(name, turned), 14);
    }
}
#endif

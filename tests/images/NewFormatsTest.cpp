// WebP, HEIC and AVIF through our code: sizes scaled to the scene, transparency over the
// background, animated files, and the limits that tie the work to the file's size.
#include "images/ImageHEIF.h"
#include "images/ImageWebP.h"

#include "PixelChecks.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using namespace testimages;

namespace {

template <typename T> std::unique_ptr<T> Decode(const Bytes& bytes, bool swap, int sceneWidth) {
    return DecodeBytes<T>(bytes, 1, swap, sceneWidth);
}

// Left half red, right half blue; the top rows half transparent when alpha is asked for.
Rgb Halves(int x, int) {
    return x < 32 ? Rgb{250, 10, 10} : Rgb{10, 10, 250};
}
std::uint8_t TopHalfClear(int, int y) {
    return y < 16 ? 0 : 255;
}

// What a clear pixel shows, and an opaque one.
const Rgb kBackground{31, 127, 255};

template <typename T> void CheckScaledAndBlended(const Bytes& opaque, const Bytes& clear, int tol) {
    // Larger than a 16-pixel scene on both sides: 1/4 (64 x 32 -> 16 x 8).
    const auto small = Decode<T>(opaque, false, 16);
    ASSERT_TRUE(small->IsValid());
    EXPECT_EQ(16, small->Width());
    EXPECT_EQ(8, small->Height());
    const auto rgb = small->ToRGB();
    ASSERT_TRUE(rgb);
    ExpectNearRgb(Halves(0, 0), PixelAt(*rgb, 2, 4), tol);
    ExpectNearRgb(Halves(63, 0), PixelAt(*rgb, 13, 4), tol);
    // Full size with the bitmap's order: the display reads it back the same.
    const auto full = Decode<T>(opaque, true, 0);
    ASSERT_TRUE(full->IsValid());
    EXPECT_EQ(64, full->Width());
    const std::uint32_t right = full->ToDisplayPixels()[10 * 64 + 60];
    ExpectNearRgb(Halves(63, 0),
                  Rgb{std::uint8_t(right >> 16), std::uint8_t(right >> 8), std::uint8_t(right)},
                  tol);

    const auto blended = Decode<T>(clear, false, 0);
    ASSERT_TRUE(blended->IsValid());
    const auto b = blended->ToRGB();
    ASSERT_TRUE(b);
    ExpectNearRgb(kBackground, PixelAt(*b, 5, 5), tol);
    ExpectNearRgb(Halves(5, 0), PixelAt(*b, 5, 25), tol);
}

} // namespace

#ifndef KINETORA_NO_WEBP
TEST(ImageWebP, ScaledToTheSceneAndBlendedOverTheBackground) {
    CheckScaledAndBlended<ImageWebP>(WebP(64, 32, Halves, false),
                                     WebP(64, 32, Halves, true, {}, TopHalfClear), 12);
}

TEST(ImageWebP, AnimatedFileShowsItsFirstFrame) {
    const auto image = Decode<ImageWebP>(WebPAnimated(
                                             8, 8,
                                             [](int, int) {
                                                 return Rgb{200, 0, 0};
                                             },
                                             [](int, int) {
                                                 return Rgb{0, 0, 200};
                                             }),
                                         false, 0);
    ASSERT_TRUE(image->IsValid());
    const auto rgb = image->ToRGB();
    ASSERT_TRUE(rgb);
    EXPECT_EQ((Rgb{200, 0, 0}), PixelAt(*rgb, 4, 4));
}

TEST(ImageWebP, BrokenAndOverclaimingFilesAreInvalid) {
    const Bytes whole = WebP(20, 12, Halves, false);
    for (std::size_t n = 1; n < whole.size(); n += 3) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(Decode<ImageWebP>(cut, false, 0)->IsValid()) << "cut at " << n;
    }
    // One colour, lossless: a few hundred bytes code a large picture. Within the ratio it
    // decodes; the same picture claimed over a file too small for it does not.
    const Bytes flat = WebP(
        1024, 1024,
        [](int, int) {
            return Rgb{9, 99, 199};
        },
        true);
    ASSERT_GT(1024 * 1024, ImageWebP::MaxPixelsPerByte * std::ssize(flat));
    EXPECT_FALSE(Decode<ImageWebP>(flat, false, 0)->IsValid());
    const Bytes fits = WebP(
        128, 128,
        [](int, int) {
            return Rgb{9, 99, 199};
        },
        true);
    ASSERT_LE(128 * 128, ImageWebP::MaxPixelsPerByte * std::ssize(fits));
    EXPECT_TRUE(Decode<ImageWebP>(fits, false, 0)->IsValid());
}
#endif

#ifndef KINETORA_NO_HEIF
TEST(ImageHEIF, HeicAndAvifScaledToTheSceneAndBlendedOverTheBackground) {
    for (const bool avif : {false, true}) {
        SCOPED_TRACE(avif ? "avif" : "heic");
        CheckScaledAndBlended<ImageHEIF>(Heif(64, 32, Halves, avif),
                                         Heif(64, 32, Halves, avif, {}, TopHalfClear), 16);
    }
}

TEST(ImageHEIF, BrokenFilesAreInvalid) {
    const Bytes whole = Heif(16, 16, Halves, false);
    for (std::size_t n = 1; n < whole.size(); n += 7) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(Decode<ImageHEIF>(cut, false, 0)->IsValid()) << "cut at " << n;
    }
    EXPECT_FALSE(ImageHEIF("/nonexistent/a.heic", 1, false, 0).IsValid());
}

namespace {
int gAsked = 0;
HeifDecodeFunction NoDecoder() {
    ++gAsked;
    return nullptr;
}
HeifDecodeFunction CountedDecoder() {
    ++gAsked;
    return kinetora_heif_decode;
}
struct LinkedAgain {
    ~LinkedAgain() {
        ImageHEIF::SetDecoderSource([] { return &kinetora_heif_decode; });
    }
};
} // namespace

// The program's source loads a module and reports a failure: it must be asked once only,
// and a missing decoder leaves the pictures invalid.
TEST(ImageHEIF, DecoderSourceIsAskedOnceAndWithoutADecoderPicturesAreInvalid) {
    const LinkedAgain restore;
    const Bytes heic = Heif(16, 16, Halves, false);
    for (const auto source : {NoDecoder, CountedDecoder}) {
        gAsked = 0;
        ImageHEIF::SetDecoderSource(source);
        const bool found = source == CountedDecoder;
        EXPECT_EQ(Decode<ImageHEIF>(heic, false, 0)->IsValid(), found);
        EXPECT_EQ(Decode<ImageHEIF>(heic, true, 0)->IsValid(), found);
        EXPECT_EQ(gAsked, 1);
    }
}
#endif

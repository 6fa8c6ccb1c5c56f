// An ending run gives a picture up inside the decode loops: the image is left not valid,
// and the same file decodes in full once no stop is pending.
#include "TestImages.h"
#include "core/StopRequest.h"
#include "images/ImageBMP.h"
#include "images/ImageHEIF.h"
#include "images/ImageJPEG.h"
#include "images/ImagePNG.h"
#include "images/ImageWebP.h"

#include "TestPictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace testimages;

Rgb Gradient(int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 40};
}

class ImageStopTest : public ::testing::Test {
protected:
    void TearDown() override {
        StopRequest::SetInputCheck(nullptr);
        StopRequest::Clear();
    }

    // Valid without a stop, not valid with one.
    template <typename Decode> void Check(const Decode& decode) {
        EXPECT_TRUE(decode()->IsValid());
        StopRequest::Raise();
        EXPECT_FALSE(decode()->IsValid());
        StopRequest::Clear();
        EXPECT_TRUE(decode()->IsValid());
    }

    TempDir dir;
};

TEST_F(ImageStopTest, BitmapGivesUpBetweenPiecesOfItsBits) {
    const std::string path = dir.Put("a.bmp", Bmp24(300, 300, Gradient));
    Check([&] { return std::make_unique<ImageBMP>(path); });
}

TEST_F(ImageStopTest, JpegGivesUpBetweenScanlinesAndScans) {
    const std::string plain = dir.Put("a.jpg", Jpeg(64, 48, 3, Gradient));
    Check([&] { return std::make_unique<ImageJPEG>(plain, 1, false, 0); });
    // A progressive picture decodes all its scans inside the start of decompression.
    const std::string progressive = dir.Put("p.jpg", Jpeg(64, 48, 3, Gradient, true));
    Check([&] { return std::make_unique<ImageJPEG>(progressive, 1, false, 0); });
}

TEST_F(ImageStopTest, PngGivesUpBetweenRows) {
    const std::string path = dir.Put(
        "a.png", Png(40, 30, 2, 8, false, [](int x, int y) {
            return Pixel16{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), 9, 255};
        }));
    Check([&] { return std::make_unique<ImagePNG>(path); });
}

#ifndef KINETORA_NO_WEBP
TEST_F(ImageStopTest, WebPGivesUpBetweenPieces) {
    const std::string path = dir.Put("a.webp", WebP(64, 48, Gradient, false));
    Check([&] { return std::make_unique<ImageWebP>(path, 1, false, 0); });
}
#endif

#ifndef KINETORA_NO_HEIF
int g_Calls = 0;
// Says no the first time (the file is read), yes from then on (the decode is under way).
bool KeyAfterTheRead() {
    return ++g_Calls > 1;
}

// The library cannot be interrupted: a key leaves its worker to finish alone, and the
// worker frees what it made.
TEST_F(ImageStopTest, HeifLeavesItsWorkerOnAKeyAndTheWorkerEnds) {
    const std::string path = dir.Put("a.heic", Heif(1280, 960, Gradient, false));
    Check([&] { return std::make_unique<ImageHEIF>(path, 1, false, 0); });

    g_Calls = 0;
    StopRequest::SetInputCheck(&KeyAfterTheRead);
    EXPECT_FALSE(ImageHEIF(path, 1, false, 0).IsValid());
    EXPECT_TRUE(StopRequest::Raised());
    EXPECT_GE(g_Calls, 2) << "given up while the worker decodes";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ImageHEIF::AbandonedWorkers() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(0, ImageHEIF::AbandonedWorkers());
}
#endif

int g_Asked = 0;
bool KeyWaiting() {
    ++g_Asked;
    return true;
}

// A key waiting in a full-screen run ends a decode as a signal does, but only the thread that
// owns the window's connection may look for it.
TEST_F(ImageStopTest, InputThatEndsTheRunIsAskedForOnItsOwnThreadOnly) {
    const std::string path = dir.Put("a.jpg", Jpeg(64, 48, 3, Gradient));
    const auto decode = [&] { return std::make_unique<ImageJPEG>(path, 1, false, 0); };
    g_Asked = 0;
    StopRequest::SetInputCheck(&KeyWaiting);
    bool validElsewhere = false;
    std::thread([&] { validElsewhere = decode()->IsValid(); }).join();
    EXPECT_TRUE(validElsewhere);
    EXPECT_EQ(g_Asked, 0);
    EXPECT_FALSE(StopRequest::Raised());

    EXPECT_FALSE(decode()->IsValid());
    EXPECT_EQ(g_Asked, 1);
    EXPECT_TRUE(StopRequest::Raised());
}

} // namespace

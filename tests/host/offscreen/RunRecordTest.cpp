#include "host/offscreen/RunRecord.h"

#include "RecordedStore.h"
#include "host/offscreen/OffscreenHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <png.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <future>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace {

RecordOptions Options(const std::string& path, int frames, int width, int height, long seed) {
    RecordOptions options;
    options.path = path;
    options.frames = frames;
    options.width = width;
    options.height = height;
    options.seed = seed;
    return options;
}

std::size_t FrameBytes(int width, int height) {
    return 6 + static_cast<std::size_t>(width) * height * 3 / 2;
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// The run's one line on standard error, and its status.
struct Outcome {
    int status;
    std::string message;
};

Outcome Record(const RecordOptions& options) {
    testing::internal::CaptureStderr();
    const int status = RunRecord(options, RecordedStore());
    return {status, testing::internal::GetCapturedStderr()};
}

bool OneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

// The textbook BT.601 conversions for 8-bit limited range (Rec. ITU-R BT.601, the
// coefficients as usually printed), kept apart from the program's integer code.
double ReferenceLuma(double r, double g, double b) {
    return 16.0 + (65.481 * r + 128.553 * g + 24.966 * b) / 255.0;
}

void ReferenceToRgb(double y, double cb, double cr, double rgb[3]) {
    rgb[0] = 1.164383 * (y - 16.0) + 1.596027 * (cr - 128.0);
    rgb[1] = 1.164383 * (y - 16.0) - 0.391762 * (cb - 128.0) - 0.812968 * (cr - 128.0);
    rgb[2] = 1.164383 * (y - 16.0) + 2.017232 * (cb - 128.0);
}

std::vector<unsigned char> ReadPngRgb(const std::string& path, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return {};
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return rgb;
}

// Bytes waiting in a pipe.
int Queued(int fd) {
    int bytes = 0;
    return ioctl(fd, FIONREAD, &bytes) == 0 ? bytes : -1;
}

} // namespace

TEST(RunRecord, WritesTheHeaderAndEveryFrameAndReplaysItsSeed) {
    const TempDir dir;
    const int frames = 4;
    ASSERT_EQ(RunRecord(Options(dir / "a.y4m", frames, 40, 30, 1234), RecordedStore()), 0);
    ASSERT_EQ(RunRecord(Options(dir / "b.y4m", frames, 40, 30, 1234), RecordedStore()), 0);
    const std::string a = ReadWholeFile(dir / "a.y4m");
    EXPECT_EQ(a, ReadWholeFile(dir / "b.y4m"));

    const std::size_t headerEnd = a.find('\n') + 1;
    const std::string header = a.substr(0, headerEnd);
    EXPECT_EQ(header.rfind("YUV4MPEG2 W40 H30 F25:1 ", 0), 0u) << header;
    EXPECT_NE(header.find(" C420jpeg"), std::string::npos) << header;
    ASSERT_EQ(a.size(), headerEnd + frames * FrameBytes(40, 30));
    for (int frame = 0; frame < frames; ++frame) {
        const std::size_t at = headerEnd + frame * FrameBytes(40, 30);
        EXPECT_EQ(a.substr(at, 6), "FRAME\n") << "frame " << frame;
        // Limited range: luma 16..235, chroma 16..240.
        for (std::size_t i = at + 6; i < at + FrameBytes(40, 30); ++i) {
            const int v = static_cast<unsigned char>(a[i]);
            const bool luma = i < at + 6 + 40 * 30;
            ASSERT_TRUE(v >= 16 && v <= (luma ? 235 : 240)) << "byte " << i - at << ": " << v;
        }
    }
    EXPECT_EQ(Entries(dir.Path()).size(), 2u); // no temporary file left
}

TEST(RunRecord, ItsLastFrameIsTheRenderedPictureOfTheSameSeed) {
    const TempDir dir;
    const int width = 64;
    const int height = 48;
    const int frames = 30;
    ASSERT_EQ(RunRecord(Options(dir / "v.y4m", frames, width, height, 77), RecordedStore()), 0);
    RenderOptions render;
    render.path = dir / "p.png";
    render.frames = frames;
    render.width = width;
    render.height = height;
    render.seed = 77;
    ASSERT_EQ(RunRender(render, RecordedStore()), 0);

    int pngWidth = 0;
    int pngHeight = 0;
    const std::vector<unsigned char> rgb = ReadPngRgb(dir / "p.png", pngWidth, pngHeight);
    ASSERT_EQ(pngWidth, width);
    ASSERT_EQ(pngHeight, height);
    const std::string video = ReadWholeFile(dir / "v.y4m");
    ASSERT_EQ(video.size(), video.find('\n') + 1 + frames * FrameBytes(width, height));
    const auto* y = reinterpret_cast<const unsigned char*>(video.data()) + video.size() -
                    FrameBytes(width, height) + 6;
    const unsigned char* cb = y + width * height;
    const unsigned char* cr = cb + width * height / 4;

    std::set<int> colours; // a scene, not a blank picture
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgb[(row * width + x) * 3];
            colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
            ASSERT_NEAR(y[row * width + x], ReferenceLuma(p[0], p[1], p[2]), 0.51)
                << "pixel " << x << "," << row;
        }
    }
    EXPECT_GT(colours.size(), 20u);
    // Back to RGB: a 2x2 block's mean colour from its four luma samples and its chroma.
    for (int row = 0; row < height; row += 2) {
        for (int x = 0; x < width; x += 2) {
            double meanY = 0;
            double meanRgb[3] = {0, 0, 0};
            for (const int at : {row * width + x, row * width + x + 1, (row + 1) * width + x,
                                 (row + 1) * width + x + 1}) {
                meanY += y[at] / 4.0;
                for (int c = 0; c < 3; ++c)
                    meanRgb[c] += rgb[at * 3 + c] / 4.0;
            }
            double back[3];
            const int block = row / 2 * (width / 2) + x / 2;
            ReferenceToRgb(meanY, cb[block], cr[block], back);
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(back[c], meanRgb[c], 2.0) << "block " << x << "," << row << " " << c;
        }
    }
}

TEST(RunRecord, AReaderThatGoesAwayOrAFullDiskEndsTheRunWithOneLine) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::thread reader([fd = fds[0]] {
        char bytes[20000];
        for (std::size_t got = 0; got < sizeof bytes;) {
            const ssize_t n = read(fd, bytes, sizeof bytes - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        close(fd);
    });
    RecordOptions options = Options("-", 100000, 64, 48, 5);
    options.outputFd = fds[1];
    const Outcome gone = Record(options);
    reader.join();
    close(fds[1]);
    EXPECT_EQ(gone.status, 1);
    EXPECT_TRUE(OneLine(gone.message)) << gone.message;
    EXPECT_NE(gone.message.find("standard output"), std::string::npos) << gone.message;
    EXPECT_NE(gone.message.find(std::strerror(EPIPE)), std::string::npos) << gone.message;

    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    options.outputFd = full;
    const Outcome noRoom = Record(options);
    close(full);
    EXPECT_EQ(noRoom.status, 1);
    EXPECT_TRUE(OneLine(noRoom.message)) << noRoom.message;
    EXPECT_NE(noRoom.message.find(std::strerror(ENOSPC)), std::string::npos) << noRoom.message;
}

TEST(RunRecord, AFileIsWrittenInFullOrNotAtAll) {
    const TempDir dir;
    // A file size limit stands in for a full disk.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = 20000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const Outcome tooBig = Record(Options(dir / "v.y4m", 50, 64, 48, 5));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(tooBig.status, 1);
    EXPECT_TRUE(OneLine(tooBig.message)) << tooBig.message;
    EXPECT_TRUE(Entries(dir.Path()).empty());

    for (const std::string& path : {dir / "missing/v.y4m", std::string("/dev/full"), dir.Path()}) {
        const Outcome refused = Record(Options(path, 2, 16, 16, 5));
        EXPECT_EQ(refused.status, 1) << path;
        EXPECT_TRUE(OneLine(refused.message)) << refused.message;
    }
    EXPECT_TRUE(Entries(dir.Path()).empty());
    // Odd sides have no 4:2:0 chroma plane.
    EXPECT_EQ(Record(Options(dir / "v.y4m", 2, 15, 16, 5)).status, 1);
    EXPECT_TRUE(Entries(dir.Path()).empty());
}

// A recording to a file ended by a signal leaves nothing; one to a reader that stopped
// reading still ends at once.
TEST(RunRecord, SigtermEndsTheRunWithinAFrameAndLeavesNoPartialFile) {
    const TempDir dir;
    std::future<Outcome> toFile = std::async(
        std::launch::async, [&] { return Record(Options(dir / "v.y4m", 1000000, 32, 32, 9)); });
    // Once frames reach the temporary file.
    for (int wait = 0; wait < 1000; ++wait) {
        const std::vector<std::string> names = Entries(dir.Path());
        if (!names.empty() && fs::file_size(dir / names.front()) > 20000)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(Entries(dir.Path()).size(), 1u);
    kill(getpid(), SIGTERM);
    ASSERT_EQ(toFile.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    const Outcome stopped = toFile.get();
    EXPECT_EQ(stopped.status, 128 + SIGTERM);
    EXPECT_TRUE(OneLine(stopped.message)) << stopped.message;
    EXPECT_TRUE(Entries(dir.Path()).empty());

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::future<Outcome> toPipe = std::async(std::launch::async, [&] {
        RecordOptions options = Options("-", 1000000, 64, 48, 9);
        options.outputFd = fds[1];
        return Record(options);
    });
    // The pipe fills up and nobody reads it: what waits there stops growing.
    for (int wait = 0, before = -1; wait < 100; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const int queued = Queued(fds[0]);
        if (queued > 0 && queued == before)
            break;
        before = queued;
    }
    kill(getpid(), SIGTERM);
    const bool ended = toPipe.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!ended) { // free it, so the test fails instead of hanging
        close(fds[0]);
        toPipe.wait();
    }
    EXPECT_TRUE(ended) << "the run waited for its reader after SIGTERM";
    EXPECT_EQ(toPipe.get().status, 128 + SIGTERM);
    if (ended)
        close(fds[0]);
    close(fds[1]);
}

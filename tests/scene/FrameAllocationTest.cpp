#include "scene/SaverShapes.h"

#include "core/MemoryProfileStore.h"
#include "host/offscreen/OffscreenHost.h"
#include "host/offscreen/RecordOutput.h"
#include "host/offscreen/Y4mEncoder.h"
#include "scene/SceneWnd.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <new>
#include <string_view>
#include <unistd.h>

// Every allocation of the test binary passes here. Only those made while counting count,
// and only those of this executable's code (the engine is linked in statically): not the
// GL driver's, which allocates when it compiles state it has not seen before. Calls from
// the executable's copies of library templates are traced back to tell the two apart.
namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
int gMarker = 0;

bool InExecutable(const void* address) {
    Dl_info ours{};
    Dl_info info{};
    return dladdr(&gMarker, &ours) != 0 && dladdr(address, &info) != 0 &&
           info.dli_fbase == ours.dli_fbase;
}

bool FromDriver() {
    std::array<void*, 64> frames{};
    const int count = backtrace(frames.data(), static_cast<int>(frames.size()));
    for (int i = 0; i < count; ++i) {
        Dl_info info{};
        if (dladdr(frames[static_cast<std::size_t>(i)], &info) == 0 || info.dli_fname == nullptr)
            continue;
        const std::string_view name = info.dli_fname;
        for (const std::string_view driver : {"dri", "LLVM", "libGL", "libEGL", "glapi", "gallium"})
            if (name.find(driver) != std::string_view::npos)
                return true;
    }
    return false;
}

bool Counts(const void* caller) {
    return gCounting.load(std::memory_order_relaxed) && InExecutable(caller) && !FromDriver();
}
} // namespace

void* operator new(std::size_t size) {
    if (Counts(__builtin_return_address(0)))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

// Bursts of frames of scenes as the saver composes them allocate nothing once the first
// frames have compiled their display lists.
TEST(FrameAllocationTest, FrameLoopAllocatesNothing) {
    for (const long seed : {14L, 323846L}) {
        TestApp::Options options;
        options.seed = seed;
        options.frameLimit = 0;
        options.configure = [](MemoryProfileStore& store) { store.SetRaw("Polygons", "300"); };
        TestApp app(options);
        ASSERT_TRUE(app.HasGL());
        OffscreenHost& host = app.Host();
        host.SetReadBack(false);
        host.SetFrameLimit(10);
        app.Wnd().OnPaint(); // composes, then the first frames build the lists
        ASSERT_NE(app.Wnd().Scene(), nullptr);
        host.SetFrameLimit(host.FramesSwapped() + 20);
        gAllocations = 0;
        FromDriver(); // loads what backtrace needs before counting starts
        gCounting = true;
        app.Wnd().Scene()->Frame();
        gCounting = false;
        EXPECT_EQ(gAllocations.load(), 0) << "seed " << seed;
        EXPECT_GT(app.Wnd().Scene()->frameNumber(), 10);
    }
}

// A recording reads every frame back, converts it and writes it out, all into buffers
// that the first frames sized.
TEST(FrameAllocationTest, RecordedFramesAllocateNothing) {
    TestApp::Options options;
    options.seed = 14;
    options.frameLimit = 0;
    options.configure = [](MemoryProfileStore& store) { store.SetRaw("Polygons", "300"); };
    TestApp app(options);
    ASSERT_TRUE(app.HasGL());
    OffscreenHost& host = app.Host();
    const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(sink, 0);
    RecordOutput output("-", sink, -1);
    Y4mEncoder encoder(options.width, options.height);
    std::string error;
    int written = 0;
    host.SetFrameSink([&](const std::vector<unsigned char>& rgb) {
        const std::vector<unsigned char>& frame = encoder.Encode(rgb);
        written += output.Write(frame.data(), frame.size(), error) ? 1 : 0;
    });
    host.SetFrameLimit(10);
    app.Wnd().OnPaint();
    ASSERT_NE(app.Wnd().Scene(), nullptr);
    host.SetFrameLimit(host.FramesSwapped() + 20);
    gAllocations = 0;
    FromDriver();
    gCounting = true;
    app.Wnd().Scene()->Frame();
    gCounting = false;
    close(sink);
    EXPECT_EQ(gAllocations.load(), 0);
    EXPECT_EQ(written, 30); // every frame up to the limit, once
}

} // namespace

// The Wayland host's output logic against a real headless compositor (run inside
// with-compositor.sh): outputs that ask for no frames, and outputs that go away.
#include "host/wayland/WaylandHost.h"
#include "app/RunSession.h"
#include "app/ScreenWnd.h"
#include "core/MemoryProfileStore.h"
#include "host/posix/SignalPipe.h"
#include "host/wayland/WaylandClient.h"
#include "host/wayland/WaylandEgl.h"
#include "host/wayland/WaylandSession.h"
#include "scene/SceneWnd.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The one colour an output shows all over (as "r,g,b"), or "" when it shows several.
std::string SoleColour(const std::string& output) {
    const std::string command = "grim -t ppm -o " + output + " -";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
    if (!pipe)
        return "";
    std::string data;
    char buffer[65536];
    for (size_t got = 0; (got = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        data.append(buffer, got);
    // "P6 width height 255" and one whitespace byte before the pixels.
    size_t pos = 0;
    for (int field = 0; field < 4; ++field) {
        pos = data.find_first_not_of(" \t\r\n", pos);
        pos = data.find_first_of(" \t\r\n", pos);
        if (pos == std::string::npos)
            return "";
    }
    const std::string pixels = data.substr(pos + 1);
    if (pixels.size() < 3)
        return "";
    for (size_t i = 3; i + 2 < pixels.size(); i += 3) {
        if (pixels.compare(i, 3, pixels, 0, 3) != 0)
            return "";
    }
    const auto* rgb = reinterpret_cast<const unsigned char*>(pixels.data());
    return std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) + "," + std::to_string(rgb[2]);
}

class WaylandHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("WAYLAND_DISPLAY") == nullptr || std::getenv("SWAYSOCK") == nullptr)
            GTEST_SKIP() << "needs the headless compositor of with-compositor.sh";
        ASSERT_TRUE(m_Client.Connect(m_Error)) << m_Error;
        ASSERT_TRUE(m_Egl.Open(m_Client.Display(), m_Error)) << m_Error;
        ASSERT_GE(m_Client.Outputs().size(), 2u);
    }

    // Lets the compositor show what was committed.
    void Settle() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        while (std::chrono::steady_clock::now() < end)
            m_Client.Wait(50);
        wl_display_roundtrip(m_Client.Display());
    }

    SignalPipe m_Signals;
    WaylandClient m_Client{m_Signals};
    WaylandEgl m_Egl;
    std::string m_Error;
};

// Frame callbacks queued where nobody dispatches them stand for an output that is off or
// hidden: its surface gets its first frame and no other, and waiting costs no processor
// time, while the other output's frames go on.
TEST_F(WaylandHostTest, AnOutputThatAsksForNoFramesGetsNone) {
    wl_event_queue* withheld = wl_display_create_queue(m_Client.Display());
    ASSERT_NE(withheld, nullptr);
    {
        WaylandHost::Options options;
        options.kind = WaylandHost::Kind::Layer;
        options.output = m_Client.Outputs()[0].get();
        WaylandHost shown(m_Client, m_Egl, options);
        options.output = m_Client.Outputs()[1].get();
        options.frameQueue = withheld;
        WaylandHost hidden(m_Client, m_Egl, options);
        ASSERT_TRUE(shown.Create(m_Error)) << m_Error;
        ASSERT_TRUE(hidden.Create(m_Error)) << m_Error;
        ASSERT_EQ(shown.CreateGLContext(), SceneHost::GLSetup::Ok);
        ASSERT_EQ(hidden.CreateGLContext(), SceneHost::GLSetup::Ok);

        const double cpuStart = CpuSeconds();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            for (WaylandHost* host : {&shown, &hidden}) {
                if (host->FramePending())
                    continue;
                host->MakeCurrent();
                glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
                glClear(GL_COLOR_BUFFER_BIT);
                host->SwapBuffers();
            }
            m_Client.Wait(100);
        }
        const double cpu = CpuSeconds() - cpuStart;
        EXPECT_EQ(hidden.Swaps(), 1);
        EXPECT_GT(shown.Swaps(), 20); // the headless outputs ask for 60 a second
        EXPECT_LT(cpu, 1.0) << "the wait spun";
    }
    wl_event_queue_destroy(withheld);
}

// A scale of 2 on the output doubles the buffer in both directions at the same logical size,
// so the picture stays sharp instead of being stretched by the compositor.
TEST_F(WaylandHostTest, TheBufferFollowsTheOutputScale) {
    WaylandHost::Options options;
    options.kind = WaylandHost::Kind::Layer;
    options.output = m_Client.Outputs()[0].get();
    WaylandHost host(m_Client, m_Egl, options);
    ASSERT_TRUE(host.Create(m_Error)) << m_Error;
    ASSERT_EQ(host.CreateGLContext(), SceneHost::GLSetup::Ok);
    const int width = host.Width();
    const int height = host.Height();
    const std::string output = m_Client.Outputs()[0]->Name();
    ASSERT_EQ(std::system(("swaymsg -q output " + output + " scale 2").c_str()), 0);
    for (int i = 0; i < 40 && host.LogicalWidth() == width; ++i) {
        m_Client.Wait(50);
        host.RefreshScale();
    }
    EXPECT_EQ(host.LogicalWidth(), width / 2);
    EXPECT_EQ(host.Width(), width) << "the logical size halves, the buffer stays";
    EXPECT_EQ(host.Height(), height);
    std::system(("swaymsg -q output " + output + " scale 1").c_str());
}

// While the first output's scene waits between two of its frames, the second output's scene
// draws its own, one frame a turn at its own pace: never more than one frame per period.
TEST_F(WaylandHostTest, TheOtherOutputsDrawAtTheirOwnPaceInTheFirstOnesWait) {
    WaylandSession session(m_Client, m_Egl, true);
    ASSERT_TRUE(session.Create(0, 0, m_Error)) << m_Error;
    RunSession run(ModeSaver, 3, std::make_unique<MemoryProfileStore>());
    WaylandHost& first = session.Surface(0);
    ASSERT_TRUE(run.Open(std::make_unique<CScreenWnd>(first), first.Width(), first.Height(), true));
    session.Attach(run, run.Wnd());
    ASSERT_EQ(run.WindowCount(), 2u);
    constexpr int kWaitMs = 2000;
    session.WaitFor(first, kWaitMs);
    const int swaps = session.Surface(1).Swaps();
    EXPECT_EQ(first.Swaps(), 0) << "the waiting surface drew";
    EXPECT_GE(swaps, 10);
    EXPECT_LE(swaps, kWaitMs / 40 + 2) << "more than one frame a period";
}

// The compositor's word that an output went away, fed to the session: at the loop's next
// chance between paints the output's scene window goes with its scene and context, and the
// desktop shows there again, while the other output keeps its own; losing every output ends
// the run.
TEST_F(WaylandHostTest, ARemovedOutputFreesItsScene) {
    WaylandSession session(m_Client, m_Egl, true);
    ASSERT_TRUE(session.Create(0, 0, m_Error)) << m_Error;
    ASSERT_EQ(session.SurfaceCount(), 2u);
    RunSession run(ModeSaver, 7, std::make_unique<MemoryProfileStore>());
    WaylandHost& first = session.Surface(0);
    ASSERT_TRUE(run.Open(std::make_unique<CScreenWnd>(first), first.Width(), first.Height(), true));
    session.Attach(run, run.Wnd());
    ASSERT_EQ(run.WindowCount(), 2u);
    // One frame of the second output's scene, as a turn inside the first one's wait.
    WaylandHost& second = session.Surface(1);
    second.SetGuest(true);
    run.Wnd(1).OnPaint();
    second.SetGuest(false);
    ASSERT_GE(second.Swaps(), 1);
    Settle();
    EXPECT_EQ(SoleColour("HEADLESS-2"), "") << "no scene on the second output";

    session.OutputRemoved(*m_Client.Outputs()[1]);
    EXPECT_EQ(run.WindowCount(), 2u) << "freed in the middle of a paint";
    session.FreeRemoved();
    EXPECT_EQ(session.SurfaceCount(), 1u);
    EXPECT_EQ(run.WindowCount(), 1u);
    EXPECT_EQ(&run.Wnd(), &run.Wnd(0));
    EXPECT_FALSE(session.Finished());
    Settle();
    const std::string uncovered = SoleColour("HEADLESS-2");
    EXPECT_NE(uncovered, "") << "something still draws there";
    EXPECT_NE(uncovered, "0,0,0");

    session.OutputRemoved(*m_Client.Outputs()[0]);
    session.FreeRemoved();
    EXPECT_EQ(run.WindowCount(), 0u);
    EXPECT_TRUE(session.Finished());
}

} // namespace

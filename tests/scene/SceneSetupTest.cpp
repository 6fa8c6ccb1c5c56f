#include "scene/SceneSetup.h"

#include "colour/ColourTable.h"
#include "host/offscreen/OffscreenHost.h"
#include "scene/GLContext.h"
#include "scene/SaverShapes.h"
#include "scene/SceneView.h"
#include "scene/SceneWnd.h"
#include "support/TestApp.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// A view that is no window: it lets a fixed number of frames through, never paces, and
// swaps the surface's buffers itself.
class FrameCountView : public SceneView {
public:
    FrameCountView(SceneHost& surface, int frames) : m_Surface(surface), m_Left(frames) {}
    bool CanDraw() override { return m_Left > 0; }
    bool IsStopped() const override { return false; }
    bool HasShownFrame() const override { return m_bShown; }
    bool PacesFrames() const override { return false; }
    void WaitForInput(int) override {}
    void SwapBuffers() override {
        m_Surface.SwapBuffers();
        m_bShown = true;
        --m_Left;
    }

private:
    SceneHost& m_Surface;
    int m_Left;
    bool m_bShown = false;
};

struct Played {
    int frames = 0;
    std::vector<float> positions;
    std::vector<unsigned char> pixels;
};

Played Play(SaverShapes& scene, int width, int height) {
    scene.Frame();
    Played played;
    played.frames = scene.frameNumber();
    for (const auto& shape : scene.Shapes())
        played.positions.insert(played.positions.end(), {shape->X(), shape->Y(), shape->Z()});
    played.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, played.pixels.data());
    return played;
}

// Everything a scene reads comes with its setup: composed from a setup put together by hand,
// with a copy of the colours, and played in a view that is no window, it draws what it
// draws in its window.
TEST(SceneSetupTest, ASceneFromAHandMadeSetupInAPlainViewPlaysAsInItsWindow) {
    TestApp::Options options;
    options.frameLimit = 7;
    TestApp app(options);
    ASSERT_TRUE(app.HasGL());
    CSceneWnd& wnd = app.Wnd();
    const SceneSetup fromWindow = wnd.NextScene();
    ColourTable colours = wnd.Colours();

    FrameCountView view(app.Host(), 7);
    SceneSetup byHand;
    byHand.seed = fromWindow.seed;
    byHand.settings = &app.Settings();
    byHand.colours = &colours;
    byHand.kinds = &wnd.ShapeKinds();
    byHand.width = wnd.Width();
    byHand.height = wnd.Height();
    byHand.gl = wnd.GL();
    byHand.view = &view;

    // The lights come from the context's own generator: both scenes start it alike.
    Played inWindow;
    {
        wnd.GL()->Rand().setSeed(99);
        SaverShapes scene(fromWindow);
        inWindow = Play(scene, wnd.Width(), wnd.Height());
    }
    wnd.GL()->Rand().setSeed(99);
    SaverShapes scene(byHand);
    const Played inView = Play(scene, wnd.Width(), wnd.Height());

    EXPECT_EQ(inWindow.frames, 7);
    EXPECT_EQ(inView.frames, inWindow.frames);
    EXPECT_EQ(inView.positions, inWindow.positions);
    EXPECT_TRUE(inView.pixels == inWindow.pixels) << "the last frames differ";
}

} // namespace

#include "scene/GLContext.h"

#include "app/SaverApp.h"
#include "core/RegSettings.h"
#include "core/tvLibrary.h"
#include "scene/SceneHost.h"
#include "scene/SceneWnd.h"
#include "support/TestApp.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

using Vec4 = std::array<float, 4>;

Vec4 LightValue(int light, GLenum name) {
    Vec4 v{};
    glGetLightfv(static_cast<GLenum>(GL_LIGHT0 + light), name, v.data());
    return v;
}

float LightScalar(int light, GLenum name) {
    return LightValue(light, name)[0];
}

void ExpectNear(const Vec4& actual, const Vec4& expected) {
    for (size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "component " << i;
}

int EnabledLights() {
    int count = 0;
    for (int i = 0; i < 8; ++i)
        count += glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + i)) ? 1 : 0;
    return count;
}

// Performance() = (fps * polygons / 2500) / 25.
void SetPerformance(int fps, int polygons) {
    gApp.pSettings()->SetFramesPerSecond(fps);
    gApp.pSettings()->SetPolygons(polygons);
}

// Runs SetupLights from a known generator state, positions taken as given (identity
// model-view, so OpenGL stores them untransformed).
void SetupLightsFrom(GLContext& gl, int seed) {
    gl.Rand().setSeed(seed);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gl.SetupLights(gApp.pSettings()->Performance(), gApp.pSceneWnd()->Colours());
}

} // namespace

// Expected values below come from an independent implementation of the generator and of
// the light set-up's draw order (a Python script).
TEST(GLContext, LightsOfAFastMachineFollowTheDrawOrder) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    SetPerformance(25, 25000); // performance 10
    GLContext& gl = *app.Wnd().GL();
    while (glGetError() != GL_NO_ERROR) {
    }
    SetupLightsFrom(gl, 4);

    // The second count draw gives 20 here: seven extra lights at most, none beyond
    // GL_LIGHT7, and no draws for lights that do not exist.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(gl.Rand().next(), 623814839);
    EXPECT_EQ(EnabledLights(), 8);
    EXPECT_FALSE(gl.IsEmissive());
    GLint localViewer = 0;
    glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &localViewer);
    EXPECT_EQ(localViewer, GL_TRUE);

    ExpectNear(LightValue(0, GL_AMBIENT), {0.8914503f, 0.8914503f, 0.8914503f, 1});
    ExpectNear(LightValue(0, GL_DIFFUSE), {0.9643862f, 0.9643862f, 0.9643862f, 1});
    ExpectNear(LightValue(0, GL_SPECULAR), {0.1197959f, 0.1197959f, 0.1197959f, 1});
    ExpectNear(LightValue(0, GL_POSITION), {3.542132f, 2.306440f, 7.312829f, 1});
    EXPECT_FLOAT_EQ(LightScalar(0, GL_SPOT_EXPONENT), 1.0f);
    EXPECT_NEAR(LightScalar(0, GL_SPOT_CUTOFF), 63.177689f, 1e-4f);
    EXPECT_NEAR(LightScalar(0, GL_LINEAR_ATTENUATION), 0.0480649f, 1e-6f);

    ExpectNear(LightValue(2, GL_DIFFUSE), {0.8654592f, 0.2292114f, 0.3353971f, 1});
    EXPECT_FLOAT_EQ(LightScalar(2, GL_SPOT_EXPONENT), 16.0f);
    ExpectNear(LightValue(7, GL_AMBIENT), {0, 0, 0, 1});
    ExpectNear(LightValue(7, GL_SPECULAR), {0, 0, 0, 1});
    ExpectNear(LightValue(7, GL_DIFFUSE), {0.4999180f, 0.1201885f, 0.9670759f, 1});
    ExpectNear(LightValue(7, GL_POSITION), {-3.944989f, -3.723841f, 0.689352f, 1});
    EXPECT_FLOAT_EQ(LightScalar(7, GL_SPOT_EXPONENT), 4.0f);
    EXPECT_NEAR(LightScalar(7, GL_SPOT_CUTOFF), 75.299821f, 1e-4f);
    EXPECT_NEAR(LightScalar(7, GL_LINEAR_ATTENUATION), 0.0155441f, 1e-6f);
}

TEST(GLContext, LightsOfAnAverageAndASlowMachine) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    GLContext& gl = *app.Wnd().GL();

    SetPerformance(25, 2500); // performance 1
    SetupLightsFrom(gl, 16);
    EXPECT_EQ(EnabledLights(), 5);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT5));
    ExpectNear(LightValue(0, GL_POSITION), {-5.751129f, -3.920660f, 5.811867f, 0});
    EXPECT_FLOAT_EQ(LightScalar(0, GL_SPOT_CUTOFF), 180.0f);
    EXPECT_FLOAT_EQ(LightScalar(0, GL_LINEAR_ATTENUATION), 0.0f);
    ExpectNear(LightValue(4, GL_DIFFUSE), {0.3449995f, 0.5325126f, 0.8580009f, 1});
    ExpectNear(LightValue(4, GL_POSITION), {-0.535929f, -4.518872f, -0.369432f, 1});

    SetPerformance(1, 1); // performance 0: no extra light, no local viewer
    SetupLightsFrom(gl, 10);
    EXPECT_EQ(EnabledLights(), 1);
    GLint localViewer = 1;
    glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &localViewer);
    EXPECT_EQ(localViewer, GL_FALSE);
    EXPECT_TRUE(gl.IsEmissive());
    Vec4 emission{};
    glGetMaterialfv(GL_FRONT, GL_EMISSION, emission.data());
    const Color& expected = app.Wnd().Colours().TableColor(109);
    ExpectNear(emission, {expected.r, expected.g, expected.b, expected.a});
}

TEST(GLContext, ResizeIgnoresEmptySizes) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    GLContext& gl = *app.Wnd().GL();
    std::array<GLfloat, 16> before{};
    std::array<GLint, 4> viewportBefore{};
    glGetFloatv(GL_PROJECTION_MATRIX, before.data());
    glGetIntegerv(GL_VIEWPORT, viewportBefore.data());
    const float aspect = gl.Aspect();
    EXPECT_FLOAT_EQ(aspect, 64.0f / 48.0f);

    app.Wnd().OnSize(0, 30);
    app.Wnd().OnSize(30, 0);
    std::array<GLfloat, 16> after{};
    std::array<GLint, 4> viewportAfter{};
    glGetFloatv(GL_PROJECTION_MATRIX, after.data());
    glGetIntegerv(GL_VIEWPORT, viewportAfter.data());
    EXPECT_EQ(after, before);
    EXPECT_EQ(viewportAfter, viewportBefore);
    EXPECT_EQ(gl.Aspect(), aspect);

    app.Wnd().OnSize(30, 60);
    glGetIntegerv(GL_VIEWPORT, viewportAfter.data());
    EXPECT_EQ(viewportAfter, (std::array<GLint, 4>{0, 0, 30, 60}));
    EXPECT_FLOAT_EQ(gl.Aspect(), 0.5f);
    EXPECT_GE(gl.FieldOfView(), 40.0f);
    EXPECT_LE(gl.FieldOfView(), 119.0f);
}

TEST(GLContext, TriangleNormal) {
    const float a[3] = {0, 0, 0};
    const float b[3] = {2, 0, 0};
    const float c[3] = {2, 3, 0};
    float out[3];
    // (a - b) x (b - c) = (-2, 0, 0) x (0, -3, 0) = (0, 0, 6), normalised.
    GLContext::TriangleNormal(a, b, c, out);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[1], 0.0f);
    EXPECT_FLOAT_EQ(out[2], 1.0f);
    const float d[3] = {4, 0, 0}; // a, b, d on one line
    GLContext::TriangleNormal(a, b, d, out);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_EQ(out[2], 0.0f);
}

namespace {

class FailingHost : public SceneHost {
public:
    explicit FailingHost(GLSetup result) : m_Result(result) {}
    GLSetup CreateGLContext() override { return m_Result; }
    void ReleaseGLContext() override { ++released; }
    bool InputPending() override { return false; }
    void WaitForInput(int) override {}
    void SwapBuffers() override {}
    void RequestClose() override { ++closes; }

    int released = 0;
    int closes = 0;

private:
    GLSetup m_Result;
};

} // namespace

TEST(GLContext, EachSetUpFailureIsShownAndClosesTheWindow) {
    using Setup = SceneHost::GLSetup;
    const std::pair<Setup, const char*> cases[] = {
        {Setup::ChoosePixelFormatFailed,
         "ChoosePixelFormat failed. Perhaps OpenGL is not installed."},
        {Setup::SetPixelFormatFailed, "SetPixelFormat failed. Perhaps OpenGL is not installed."},
        {Setup::CreateContextFailed, "wglCreateContext failed"},
        {Setup::MakeCurrentFailed, nullptr}, // silent: the first paint closes
    };
    for (const auto& [setup, text] : cases) {
        std::vector<std::string> shown;
        auto previous = tvLibrary::SetMessageSink(
            [&](tvLibrary::MessageKind, const std::string& caption, const std::string& message) {
                shown.push_back(caption + ": " + message);
            });
        FailingHost host(setup);
        {
            CSceneWnd wnd(host);
            wnd.OnCreate();
            EXPECT_FALSE(wnd.GL()->IsOk());
            wnd.OnPaint();
            EXPECT_EQ(host.closes, 1);
        }
        tvLibrary::SetMessageSink(previous);
        EXPECT_EQ(host.released, 1);
        if (text == nullptr)
            EXPECT_TRUE(shown.empty());
        else
            EXPECT_EQ(shown, std::vector<std::string>{std::string("Error: ") + text});
    }
}

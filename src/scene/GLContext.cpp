#include "scene/GLContext.h"

#include "core/Color.h"
#include "core/Maths.h"
#include "scene/SceneHost.h"
#include "scene/SceneWnd.h"

#include "core/RegSettings.h"
#include "core/Trace.h"
#include "core/tvLibrary.h"
#include "scene/Saver.h"
#include "shapes/Primitives.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFarPlane = 21.213203435596427; // 15 * sqrt(2), the scene box's diagonal
constexpr int kMaxExtraLights = 7;

GLenum Light(int i) {
    return static_cast<GLenum>(GL_LIGHT0 + i);
}

} // namespace

GLContext::GLContext(CSceneWnd* wnd) : m_Rand(wnd->RunRand().next()), m_pWnd(wnd) {
    CreateContext();
    if (!m_bOk)
        return;
    glEnable(GL_LINE_SMOOTH);
    glShadeModel(GL_SMOOTH);
    glHint(GL_FOG_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
}

GLContext::~GLContext() {
    FreeCachedLists();
    m_pWnd->Host().ReleaseGLContext();
    m_pWnd = nullptr;
}

void GLContext::CreateContext() {
    switch (m_pWnd->Host().CreateGLContext()) {
    case SceneHost::GLSetup::Ok:
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClearDepth(1.0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glFlush();
        return;
    case SceneHost::GLSetup::ChoosePixelFormatFailed:
        tvLibrary::Error("ChoosePixelFormat failed. Perhaps OpenGL is not installed.");
        break;
    case SceneHost::GLSetup::SetPixelFormatFailed:
        tvLibrary::Error("SetPixelFormat failed. Perhaps OpenGL is not installed.");
        break;
    case SceneHost::GLSetup::CreateContextFailed:
        tvLibrary::Error("wglCreateContext failed");
        break;
    case SceneHost::GLSetup::MakeCurrentFailed:
        break; // no message: the first paint closes the window
    }
    m_bOk = false;
}

void GLContext::Resize(int w, int h) {
    if (w <= 0 || h <= 0)
        return;
    glViewport(0, 0, w, h);
    m_Aspect = static_cast<float>(w) / static_cast<float>(h);
    SetProjection();
    SetModelView();
}

void GLContext::SetProjection() {
    m_FieldOfView = static_cast<float>(m_Rand.skewed(80, 2) + 40);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(m_FieldOfView, m_Aspect, 1.0, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
}

void GLContext::SetModelView() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -4.5f);
}

void GLContext::LookAtOrigin() {
    SetModelView();
    gluLookAt(0.0, 0.0, 1.5, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

void GLContext::BeginScene() {
    if (!m_pWnd->Scene() || m_pWnd->IsStopped())
        return;
    if (m_pWnd->IsTracing() && m_pWnd->OverallCount() > 1) {
        const CSceneWnd* wnd = m_pWnd;
        TraceLine("3d", 456, "gApp.m_Rand.seed()", m_pWnd->RunRand().seed());
        TraceLine("3d", 457, "gApp.pSceneWnd()->OverallCount()",
                  static_cast<int>(wnd->OverallCount()));
        TraceLine("3d", 458, "gApp.pSceneWnd()->MinutesRunning()", wnd->MinutesRunning());
    }
    SetProjection();
    SetModelView();
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();
}

void GLContext::SetBlend(bool on) {
    if (on) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
    m_bBlend = on;
}

void GLContext::FreeCachedLists() {
    m_Solids.FreeCachedLists();
}

namespace {

double Performance(const RegSettings* settings) {
    return settings ? settings->Performance() : 1.0;
}

void SetLight(GLenum light, GLenum name, float x, float y, float z, float w) {
    const GLfloat v[4] = {x, y, z, w};
    glLightfv(light, name, v);
}

} // namespace

// Every draw below comes from m_Rand in the order written: a seed must replay its lights.
void GLContext::SetupLights() {
    const double perf = Performance(m_pWnd->Settings());
    const double perf1 = std::min(perf, 1.0);

    for (int i = 0; i <= kMaxExtraLights; ++i)
        glDisable(Light(i));
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, perf1 > m_Rand.uniform() ? GL_TRUE : GL_FALSE);
    const GLfloat ambientModel[4] = {0.1f, 0.1f, 0.1f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambientModel);

    const auto ambient = static_cast<float>(m_Rand.uniform());
    const auto diffuse = static_cast<float>(m_Rand.uniform() * 0.5 + 0.5);
    const auto specular = static_cast<float>(m_Rand.uniform());
    const auto z = static_cast<float>(m_Rand.uniform() * 5.5 + 2.0);
    const float w = m_Rand.flip() == 1 ? 1.0f : 0.0f;
    const auto x = static_cast<float>(m_Rand.symmetric() * 7.5);
    const auto y = static_cast<float>(m_Rand.symmetric() * 7.5);
    bool frontLit = z > 2.0f;
    glEnable(GL_LIGHT0);
    SetLight(GL_LIGHT0, GL_AMBIENT, ambient, ambient, ambient, 1.0f);
    SetLight(GL_LIGHT0, GL_POSITION, x, y, z, w);
    SetLight(GL_LIGHT0, GL_DIFFUSE, diffuse, diffuse, diffuse, 1.0f);
    SetLight(GL_LIGHT0, GL_SPECULAR, specular, specular, specular, 1.0f);

    Color emission{0.0f, 0.0f, 0.0f, 1.0f};
    if (m_Rand.uniform() >= 0.05) {
        m_bEmissive = false;
    } else {
        m_bEmissive = true;
        emission.RandomColor(m_Rand, m_pWnd->Colours().Colors());
    }
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission.Data());

    // The number of extra lights grows with the machine's speed. A fast machine's second
    // draw can pass 7 as well, and OpenGL has only lights 1..7 to spare: it is capped too.
    const int range = static_cast<int>(perf * kMaxExtraLights);
    int n = m_Rand.skewed(range, 3);
    if (n > kMaxExtraLights)
        n = kMaxExtraLights;
    else
        n = std::min(m_Rand.skewed(range, 3), kMaxExtraLights);

    const bool spot = w == 1.0f && perf * 0.5 * n / kMaxExtraLights > m_Rand.uniform();
    SetupSpot(0, spot);
    const bool atten = perf * 0.1 > m_Rand.uniform();
    SetupAttenuation(0, atten);

    for (int i = 1; i <= n; ++i)
        SetupExtraLight(i, spot, atten, frontLit);
}

void GLContext::SetupExtraLight(int index, bool spot, bool atten, bool& frontLit) {
    const GLenum light = Light(index);
    const auto red = static_cast<float>(m_Rand.uniform());
    const auto green = static_cast<float>(m_Rand.uniform());
    const auto blue = static_cast<float>(m_Rand.uniform());
    auto z = static_cast<float>(m_Rand.uniform() * 14.25 - 6.75);
    frontLit = frontLit || z > 2.0f;
    // The last light makes sure something lights the shapes from the front.
    if (index == kMaxExtraLights && !frontLit)
        z = 7.5f;
    const auto x = static_cast<float>(m_Rand.symmetric() * 7.5);
    const auto y = static_cast<float>(m_Rand.symmetric() * 7.5);
    glEnable(light);
    SetLight(light, GL_AMBIENT, 0.0f, 0.0f, 0.0f, 1.0f);
    SetLight(light, GL_POSITION, x, y, z, 1.0f);
    SetLight(light, GL_DIFFUSE, red, green, blue, 1.0f);
    SetLight(light, GL_SPECULAR, 0.0f, 0.0f, 0.0f, 1.0f);
    SetupSpot(index, spot);
    SetupAttenuation(index, atten);
}

void GLContext::SetupSpot(int index, bool spot) {
    const GLenum light = Light(index);
    if (!spot) {
        glLightf(light, GL_SPOT_EXPONENT, 0.0f);
        glLightf(light, GL_SPOT_CUTOFF, 180.0f);
        return;
    }
    const auto dx = static_cast<float>(0.1 * m_Rand.symmetric());
    const auto dy = static_cast<float>(0.1 * m_Rand.symmetric());
    const auto dz = static_cast<float>(-m_Rand.uniform());
    const GLfloat direction[3] = {dx, dy, dz};
    glLightfv(light, GL_SPOT_DIRECTION, direction);
    glLightf(light, GL_SPOT_EXPONENT, maths::Pow(2.0f, static_cast<float>(m_Rand.skewed(6, 3))));
    glLightf(light, GL_SPOT_CUTOFF, static_cast<float>(m_Rand.uniform() * 45.0 + 45.0));
}

void GLContext::SetupAttenuation(int index, bool atten) {
    const GLenum light = Light(index);
    glLightf(light, GL_CONSTANT_ATTENUATION, 1.0f);
    glLightf(light, GL_LINEAR_ATTENUATION,
             atten ? static_cast<float>(m_Rand.uniform() * 0.05) : 0.0f);
    glLightf(light, GL_QUADRATIC_ATTENUATION, 0.0f);
}

void GLContext::TriangleNormal(const float a[3], const float b[3], const float c[3], float out[3]) {
    const float u[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    const float v[3] = {b[0] - c[0], b[1] - c[1], b[2] - c[2]};
    out[0] = u[1] * v[2] - u[2] * v[1];
    out[1] = u[2] * v[0] - u[0] * v[2];
    out[2] = u[0] * v[1] - u[1] * v[0];
    const float length = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    if (length != 0.0f) {
        out[0] /= length;
        out[1] /= length;
        out[2] /= length;
    }
}

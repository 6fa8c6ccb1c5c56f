#include "scene/SceneWnd.h"

#include "scene/GLContext.h"
#include "scene/SceneHost.h"

#include "core/RegSettings.h"
#include "core/Trace.h"
#include "images/ImageList.h"
#include "scene/Saver.h"
#include "scene/SaverShapes.h"
#include "shapes/Primitives.h"
#include "shapes/Shape.h"

#include <GL/gl.h>

CSceneWnd::CSceneWnd(SceneHost& host)
    : m_Host(host), m_StartTime(std::chrono::steady_clock::now()) {}

void CSceneWnd::AttachRun(const SceneRun& run) {
    m_Run = run;
    if (run.rand == nullptr)
        m_OwnRand.setSeed(run.ownSeed);
}

SceneSetup CSceneWnd::NextScene() {
    SceneSetup setup;
    setup.seed = RunRand().next();
    setup.settings = m_Run.settings;
    setup.colours = &m_Colors;
    setup.kinds = &m_ShapeKinds;
    if (HasImages())
        setup.nextImagePath = [this] { return NextImagePath(); };
    setup.width = m_Width;
    setup.height = m_Height;
    setup.gl = m_pGL.get();
    setup.view = this;
    return setup;
}

CSceneWnd::~CSceneWnd() {
    // The scene draws into the GL context: it must go while the context exists.
    m_Host.MakeCurrent();
    m_pScene.reset();
    m_pGL.reset();
}

void CSceneWnd::FreeScene() {
    m_Host.MakeCurrent();
    m_pScene.reset();
}

int CSceneWnd::OnCreate() {
    m_PaletteSize = ColourTable::kDefaultSize; // true colour: no reserved entries
    m_Colors.BuildColourTable(m_PaletteSize, RunRand());
    m_pGL = std::make_unique<GLContext>(m_Host, RunRand().next());
    Primitives::SetMessageBoxes(false);
    if (RegSettings* settings = m_Run.settings)
        m_ShapeKinds.setWeights(Shape::KindWeights(*settings), true);
    return 0;
}

void CSceneWnd::OnSize(int cx, int cy) {
    m_Width = cx;
    m_Height = cy;
    if (m_pGL) {
        m_Host.MakeCurrent();
        m_pGL->Resize(cx, cy);
    }
}

void CSceneWnd::OnDestroy() {
    m_bStopped = true;
}

bool CSceneWnd::CanDraw() {
    return !m_bStopped && !m_Host.InputPending();
}

bool CSceneWnd::PacesFrames() const {
    return m_Host.PacesFrames();
}

void CSceneWnd::WaitForInput(int ms) {
    m_Host.WaitForInput(ms);
}

void CSceneWnd::SwapBuffers() {
    m_Host.SwapBuffers();
    const bool first = !m_bFrameShown;
    m_bFrameShown = true;
    if (first && m_OnFirstFrame)
        m_OnFirstFrame();
}

int CSceneWnd::MinutesRunning() const {
    using namespace std::chrono;
    return static_cast<int>(duration_cast<minutes>(steady_clock::now() - m_StartTime).count());
}

std::string CSceneWnd::NextImagePath() {
    if (RegSettings* settings = m_Run.settings)
        return ImageList::NextImagePath(RunRand(), *settings, m_Images);
    return {};
}

void CSceneWnd::OnPaint() {
    m_bInvalid = false;
    // Without a usable context nothing may be drawn: close as soon as the host can.
    if (!m_pGL || !m_pGL->IsOk()) {
        m_Host.RequestClose();
        return;
    }
    // Other windows of the process may have drawn since.
    m_Host.MakeCurrent();
    bool newScene = false;
    if (!m_pScene) {
        StartFirstScene();
        newScene = true;
    }
    if (BlankIfDue())
        return;
    if (m_bStopped)
        return;
    ReplaceFinishedScene(newScene);
    if (newScene)
        ChooseSceneColours();
    if (!m_bStopped)
        m_pScene->Frame();
    if (!m_bStopped)
        Invalidate();
}

void CSceneWnd::StartFirstScene() {
    // A darker table colour; the first scene's clear colour is set with the scene's own.
    m_ClearColor.RandomColor(RunRand(), m_Colors.Colors());
    m_ClearColor.Scale(static_cast<float>(RunRand().uniform()));
    ListImages();
    m_pScene = std::make_unique<SaverShapes>(NextScene());
    if (!m_bStopped) {
        TraceSceneStart();
        m_pGL->BeginScene();
    }
    ++m_OverallCount;
    if (m_OverallCount > 60 && m_OverallCount % 60 == 1)
        m_pGL->FreeCachedLists();
}

void CSceneWnd::TraceSceneStart() const {
    if (!IsTracing() || m_OverallCount <= 1)
        return;
    TraceLine("3d", 456, "gApp.m_Rand.seed()", m_Run.rand ? m_Run.rand->seed() : m_OwnRand.seed());
    TraceLine("3d", 457, "gApp.pSceneWnd()->OverallCount()", static_cast<int>(m_OverallCount));
    TraceLine("3d", 458, "gApp.pSceneWnd()->MinutesRunning()", MinutesRunning());
}

void CSceneWnd::ReplaceFinishedScene(bool& newScene) {
    if (!m_pScene->IsDone())
        return;
    m_pScene.reset();
    ++m_OverallCount;
    m_pScene = std::make_unique<SaverShapes>(NextScene());
    newScene = true;
}

void CSceneWnd::ChooseSceneColours() {
    Random& rng = m_pScene->Rand();
    bool rebuilt = false;
    if (m_OverallCount > 1 && rng.uniform() < 0.5) {
        m_Colors.BuildColourTable(m_PaletteSize, RunRand());
        rebuilt = true;
    }
    if (m_OverallCount > 1 && rebuilt && rng.uniform() >= 0.33)
        return; // keep the clear colour
    m_ClearColor.RandomColor(rng, m_Colors.Colors());
    m_ClearColor.Scale(static_cast<float>(rng.uniform()));
    glClearColor(m_ClearColor.r, m_ClearColor.g, m_ClearColor.b, m_ClearColor.a);
}

bool CSceneWnd::BlankIfDue() {
    const RegSettings* settings = m_Run.settings;
    if (settings == nullptr || !settings->BlankScreen() ||
        MinutesRunning() < settings->BlankMinutes())
        return false;
    Blank();
    m_pGL->FreeCachedLists();
    m_pScene.reset();
    m_bBlanked = true;
    return true;
}

void CSceneWnd::Blank() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    m_Host.SwapBuffers();
    glClearColor(m_ClearColor.r, m_ClearColor.g, m_ClearColor.b, m_ClearColor.a);
}

void CSceneWnd::ListImages() {
    if (const RegSettings* settings = m_Run.settings)
        m_Images = ImageList::List(settings->Folders());
}

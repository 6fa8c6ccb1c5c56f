#pragma once

#include "colour/ColourTable.h"
#include "core/Color.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "scene/SceneSetup.h"
#include "scene/SceneView.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class GLContext;
class RegSettings;
class Saver;
class SceneHost;

// What a scene window reads from the run that hosts it: the process generator (scene seeds,
// colour tables, clear colours), the settings, and whether trace lines are written. The
// application fills it in when it installs the window, before OnCreate.
struct SceneRun {
    // Null: the window draws from a generator of its own, seeded with ownSeed.
    Random* rand = nullptr;
    RegSettings* settings = nullptr;
    bool tracing = false;
    int ownSeed = 1;
};

// The window that shows the animation, free of any window system: the host forwards its
// create, size, paint and destroy events and provides the GL context, the input test and
// the buffer swap through SceneHost. Every paint runs one burst of frames of the window's
// current scene, creating or replacing the scene as needed.
class CSceneWnd : public SceneView {
public:
    explicit CSceneWnd(SceneHost& host);
    virtual ~CSceneWnd();
    CSceneWnd(const CSceneWnd&) = delete;
    CSceneWnd& operator=(const CSceneWnd&) = delete;

    // Joins the window to a run. A window never attached has no settings and draws from a
    // generator of its own (seed 1).
    void AttachRun(const SceneRun& run);
    Random& RunRand() { return m_Run.rand ? *m_Run.rand : m_OwnRand; }
    RegSettings* Settings() const { return m_Run.settings; }
    bool IsTracing() const { return m_Run.tracing; }
    // What the next scene is composed from; draws its seed from the run's generator.
    SceneSetup NextScene();

    // Colour table, GL context, choice tables. Returns 0, or -1 when the window cannot be
    // used. A failed GL set-up is not a failure here: the first paint asks to close.
    int OnCreate();
    // A zero width or height is stored but leaves viewport and projection alone.
    void OnSize(int cx, int cy);
    // One step of the animation: creates, advances or replaces the scene and runs a burst
    // of frames until input arrives or the scene ends. Afterwards NeedsPaint() says whether
    // the host should paint again (false once the screen has been blanked or drawing stops).
    void OnPaint();
    // Stops drawing; a burst still running ends at its next CanDraw check.
    virtual void OnDestroy();

    // No input waiting and drawing not stopped. The scene driver asks between frames.
    bool CanDraw() override;
    bool IsStopped() const override { return m_bStopped; }
    void SetStopped(bool stopped) { m_bStopped = stopped; }
    // Marks the window for another paint (after an expose, or to restart drawing).
    void Invalidate() { m_bInvalid = true; }
    bool NeedsPaint() const { return m_bInvalid; }
    bool IsBlanked() const { return m_bBlanked; }

    bool PacesFrames() const override;
    void WaitForInput(int ms) override;
    void SwapBuffers() override;
    bool HasShownFrame() const override { return m_bFrameShown; }
    // Called once, when the window's first frame has gone up (a first run then times the
    // machine: there is a picture to look at).
    void SetFirstFrameCallback(std::function<void()> callback) {
        m_OnFirstFrame = std::move(callback);
    }

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    GLContext* GL() const { return m_pGL.get(); }
    // The scene the paint loop is playing, or null (before the first paint, after blanking).
    Saver* Scene() const { return m_pScene.get(); }
    // Deletes the current scene (in this window's context); the next paint starts a first
    // one again.
    void FreeScene();
    SceneHost& Host() const { return m_Host; }
    // The shape factory's kind choice, weighted at OnCreate by the run's performance.
    const WeightedChoice& ShapeKinds() const { return m_ShapeKinds; }
    ColourTable& Colours() { return m_Colors; }
    const ColourTable& Colours() const { return m_Colors; }
    const Color& ClearColor() const { return m_ClearColor; }
    int PaletteSize() const { return m_PaletteSize; }

    unsigned OverallCount() const { return m_OverallCount; }
    // Whole minutes since the window was created.
    int MinutesRunning() const;

    bool HasImages() const { return !m_Images.empty(); }
    const std::vector<std::string>& Images() const { return m_Images; }
    // The next photograph to show, chosen by the settings' order; empty when none.
    std::string NextImagePath();

protected:
    SceneHost& m_Host;

private:
    void StartFirstScene();
    void TraceSceneStart() const;
    bool BlankIfDue();
    void ReplaceFinishedScene(bool& newScene);
    void ChooseSceneColours();
    void Blank();
    void ListImages();

    int m_PaletteSize = ColourTable::kDefaultSize;
    unsigned m_OverallCount = 0;
    int m_Width = 800;
    int m_Height = 600;
    std::chrono::steady_clock::time_point m_StartTime;
    Color m_ClearColor;
    ColourTable m_Colors;
    WeightedChoice m_ShapeKinds;
    bool m_bStopped = false;
    bool m_bInvalid = true;
    bool m_bBlanked = false;
    bool m_bFrameShown = false;
    std::function<void()> m_OnFirstFrame;
    std::unique_ptr<GLContext> m_pGL;
    // Declared after the context: a scene draws into it and goes first.
    std::unique_ptr<Saver> m_pScene;
    std::vector<std::string> m_Images;
    SceneRun m_Run;
    Random m_OwnRand{1};
};

#pragma once

#include "app/SaverApp.h"

#include <cstddef>
#include <memory>
#include <optional>

class CSceneWnd;
class CScreenWnd;
class ProfileStore;

// One drawing run, set up and torn down in the same order by every host: the application
// initialised on the store (seed, settings, run mode), the scene window installed (a
// CScreenWnd as the full-screen window), joined to the run, created and sized; at the end
// the window told to stop, then the scene, the window and the settings (which write their
// frame-rate record in saver mode) deleted, while the host's GL context still exists. Only
// one session lives at a time (it drives gApp).
//
// A session may hold several scene windows, each on a host (and GL context) of its own: the
// first one opened draws exactly what a run with one window draws; Add opens further ones
// (at the start or later), Close frees one while the others go on, and PaintAll paints each
// window in turn, so one loop plays them all interleaved.
class RunSession {
public:
    RunSession(RunMode mode, std::optional<long> seed, std::unique_ptr<ProfileStore> store);
    ~RunSession();
    RunSession(const RunSession&) = delete;
    RunSession& operator=(const RunSession&) = delete;

    // Installs wnd and calls OnCreate, then OnSize(width, height) when it succeeded. False
    // when OnCreate fails, or with needGL when the GL context is not usable (then the window
    // is not sized). Without needGL a failed context is left to the first paint, which asks
    // the host to close.
    bool Open(std::unique_ptr<CSceneWnd> wnd, int width, int height, bool needGL);
    bool Open(std::unique_ptr<CScreenWnd> wnd, int width, int height, bool needGL);
    bool GLReady() const;

    // A further window, created and sized as Open does; null when OnCreate fails or, with
    // needGL, its context is not usable (the window is deleted again then).
    CSceneWnd* Add(std::unique_ptr<CSceneWnd> wnd, int width, int height, bool needGL);
    // Stops the window and deletes it with its scene and context; the others go on. Closing
    // the first window makes the next one first.
    void Close(CSceneWnd& wnd);
    // One paint of every window that asks for one, in the order they were opened. Returns
    // whether any window still asks to be painted.
    bool PaintAll();

    // The first window.
    CSceneWnd& Wnd() const { return *m_pWnd; }
    std::size_t WindowCount() const;
    CSceneWnd& Wnd(std::size_t index) const;
    RegSettings& Settings() const { return *gApp.pSettings(); }

    // The largest side of an off-screen picture, in pixels.
    static constexpr int MaxSize = 16384;
    static bool SizeAllowed(int width, int height) {
        return width >= 1 && height >= 1 && width <= MaxSize && height <= MaxSize;
    }

private:
    bool Create(int width, int height, bool needGL);
    static bool Create(CSceneWnd& wnd, int width, int height, bool needGL);

    CSceneWnd* m_pWnd = nullptr; // owned by gApp
};

#pragma once

#include "scene/SceneHost.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ProfileStore;

// A scene host with no window system: an EGL pbuffer of the requested size (colour and
// depth) on Mesa's surfaceless platform, with a desktop GL compatibility context. No
// pacing: WaitForInput returns at once. "Input" turns up once the frame limit was swapped
// (or a close was asked for, or an ending signal arrived), so a burst of frames ends there.
// Every swap first reads the frame back, or at least waits until it is drawn, so that no
// more than one frame is ever queued in the driver.
class OffscreenHost : public SceneHost {
public:
    // frameLimit 0: no limit (input never arrives).
    OffscreenHost(int width, int height, int frameLimit = 0);
    ~OffscreenHost() override;
    OffscreenHost(const OffscreenHost&) = delete;
    OffscreenHost& operator=(const OffscreenHost&) = delete;

    GLSetup CreateGLContext() override;
    void ReleaseGLContext() override;
    void MakeCurrent() override;
    bool InputPending() override;
    void WaitForInput(int ms) override;
    // Nobody watches: frames follow one another as fast as they can be drawn.
    bool PacesFrames() const override { return false; }
    void SwapBuffers() override;
    void RequestClose() override { m_bCloseRequested = true; }

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    int FramesSwapped() const { return m_FramesSwapped; }
    void SetFrameLimit(int frames) { m_FrameLimit = frames; }
    // Reading every frame back costs time; a timed run turns it off.
    void SetReadBack(bool readBack) { m_bReadBack = readBack; }
    bool CloseRequested() const { return m_bCloseRequested; }
    // The last swapped frame: Width() * Height() RGB pixels, top row first; empty before
    // the first swap.
    const std::vector<unsigned char>& LastFrame() const { return m_LastFrame; }
    // Reads the current back buffer now (top row first).
    std::vector<unsigned char> ReadFrame() const;
    // Called with each frame as it is swapped, up to the frame limit (a burst cut short by
    // the limit may swap once more, and that repeat is not passed on). Needs the read-back.
    using FrameSink = std::function<void(const std::vector<unsigned char>& rgb)>;
    void SetFrameSink(FrameSink sink) { m_FrameSink = std::move(sink); }
    // Why the last CreateGLContext failed, for messages.
    const std::string& FailureDetail() const { return m_FailureDetail; }

private:
    void ReadFrameInto(std::vector<unsigned char>& bottomUp,
                       std::vector<unsigned char>& topDown) const;

    struct Egl;
    std::unique_ptr<Egl> m_pEgl;
    int m_Width;
    int m_Height;
    int m_FrameLimit;
    int m_FramesSwapped = 0;
    bool m_bCloseRequested = false;
    bool m_bReadBack = true;
    std::vector<unsigned char> m_LastFrame;
    std::vector<unsigned char> m_BottomUp; // the read-back, kept from frame to frame
    FrameSink m_FrameSink;
    std::string m_FailureDetail;
};

// kinetora --render FILE.png [--frames K] [--size WxH] [--seed N]
struct RenderOptions {
    std::string path;
    int frames = 1;
    int width = 800;
    int height = 600;
    std::optional<long> seed;
};

// Draws options.frames frames of the normal scene code off screen and writes the last one
// to options.path as PNG. The settings come from store and are never written back; without
// a frame-rate record, 25 frames per second at 2500 polygons stand in for one, so a seed
// always gives the same picture. Returns the process exit status: 0 on success, else 1
// with a message on standard error; SIGTERM, SIGINT or SIGHUP stop the run within a frame,
// write no picture and give 128 + the signal, as the shell reports a killed program.
int RunRender(const RenderOptions& options, std::unique_ptr<ProfileStore> store);

class CSceneWnd;
// Paints until the host has swapped the frames asked for, a close was asked for, a signal
// ended the run, or paints stop drawing (a blanked window).
void PaintFrames(CSceneWnd& wnd, OffscreenHost& host, int frames);

#pragma once

#include "host/wayland/WaylandPtr.h"
#include "host/wayland/protocols/Protocols.h"
#include "scene/SceneHost.h"

#include <EGL/egl.h>
#include <wayland-egl.h>

#include <string>

class WaylandClient;
class WaylandEgl;
class WaylandOutput;

// A scene host on one Wayland surface with an EGL window surface and a GL context of its
// own: an overlay layer covering one output, a fullscreen toplevel on one output (where
// the compositor has no layer shell), or a normal window. A frame is committed only after
// the compositor's frame callback for the previous one arrived.
class WaylandHost : public SceneHost {
public:
    enum class Kind {
        Layer,      // above everything on the output, keyboard taken
        FullScreen, // the same without the layer shell; the desktop may stay above it
        TopLevel,   // resizable, decorated by the compositor where it offers that
    };

    struct Options {
        Kind kind = Kind::TopLevel;
        const WaylandOutput* output = nullptr; // Layer and FullScreen
        int width = 800;                       // TopLevel only
        int height = 600;
        // Where the frame callbacks are queued; null: the connection's own queue. One that
        // nobody dispatches stands for an output that never asks for a frame.
        wl_event_queue* frameQueue = nullptr;
    };

    // A session with several surfaces lets the others draw while one of them waits.
    class Turns {
    public:
        // Waits until input arrives and ms pass (-1: until the waiting surface's last frame
        // was taken), drawing the other surfaces that are due meanwhile.
        virtual void WaitFor(WaylandHost& waiting, int ms) = 0;
        // Surfaces came or went: the burst under way ends, so the loop can follow.
        virtual bool SurfacesChanged() const = 0;

    protected:
        ~Turns() = default;
    };

    WaylandHost(WaylandClient& client, const WaylandEgl& egl, const Options& options);
    ~WaylandHost() override;
    WaylandHost(const WaylandHost&) = delete;
    WaylandHost& operator=(const WaylandHost&) = delete;

    // Makes the surface and waits for its first size. False with a one-line reason.
    bool Create(std::string& error);

    GLSetup CreateGLContext() override;
    void ReleaseGLContext() override;
    bool InputPending() override;
    void WaitForInput(int ms) override;
    void SwapBuffers() override;
    void RequestClose() override { m_bCloseRequested = true; }

    const WaylandOutput* Output() const { return m_Options.output; }
    Kind GetKind() const { return m_Options.kind; }
    // The size of the picture in buffer pixels (the logical size times the scale).
    int Width() const { return m_BufferWidth; }
    int Height() const { return m_BufferHeight; }
    // The size the compositor gave the surface, in the desktop's logical pixels.
    int LogicalWidth() const { return m_LogicalWidth; }
    // Follows the output's integer scale when it changed (the compositor may say so after
    // the surface's new size).
    void RefreshScale();
    // True once after the size (or scale) changed; applies it to the EGL window.
    bool TakeResize();
    // The last frame is still on its way: drawing another now would not be shown.
    bool FramePending() const { return static_cast<bool>(m_Frame); }
    int Swaps() const { return m_Swaps; }
    bool CloseRequested() const { return m_bCloseRequested; }
    // The compositor closed the surface (a window's close button, a layer surface whose
    // output went away).
    bool Closed() const { return m_bClosed; }
    bool GLFailed() const { return m_GLSetup != GLSetup::Ok; }

    // The output is going away: a window no longer takes its scale from it.
    void ForgetOutput(const WaylandOutput* output) {
        if (m_pEntered == output)
            m_pEntered = nullptr;
        if (m_Options.output == output)
            m_Options.output = nullptr;
    }

    void SetTurns(Turns* turns) { m_pTurns = turns; }
    // A turn inside another surface's wait: the burst gives way at its first pause, so its
    // frame goes up at once and the waiting surface goes on.
    void SetGuest(bool guest) {
        m_bGuest = guest;
        m_bGivingWay = false;
        m_bTurnSwapped = false;
    }
    // The compositor took the output away: the surface is freed at the next chance.
    void MarkRemoved() {
        m_bClosed = true;
        m_Options.output = nullptr;
    }

    void MakeCurrent() override;
    // An output with no scene of its own shows black.
    void ShowBlack();
    // Takes the surface off the screen (and so gives the keyboard back) at once; nothing is
    // drawn on it any more.
    void Withdraw();

private:
    bool CreateLayer(std::string& error);
    bool CreateToplevel(std::string& error);
    void ApplyScale();
    void SetLogicalSize(int width, int height);
    void OnConfigured();

    static void OnLayerConfigure(void* data, zwlr_layer_surface_v1* surface, uint32_t serial,
                                 uint32_t width, uint32_t height);
    static void OnLayerClosed(void* data, zwlr_layer_surface_v1*);
    static void OnXdgConfigure(void* data, xdg_surface* surface, uint32_t serial);
    static void OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height,
                                    wl_array*);
    static void OnToplevelClose(void* data, xdg_toplevel*);
    static void OnPreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale);
    static void OnFrameDone(void* data, wl_callback*, uint32_t);
    static void OnSurfaceEnter(void* data, wl_surface*, wl_output* output);
    static void OnSurfaceLeave(void*, wl_surface*, wl_output*) {}
    // The output whose integer scale sizes the buffer: a window's is the one it entered.
    const WaylandOutput* ScaleOutput() const;

    WaylandClient& m_Client;
    const WaylandEgl& m_Egl;
    Options m_Options;
    const WaylandOutput* m_pEntered = nullptr;

    // Destroyed in reverse order: the roles before their surface.
    WaylandPtr<wl_surface> m_Surface;
    WaylandPtr<wl_callback> m_Frame;
    WaylandPtr<zwlr_layer_surface_v1> m_Layer;
    WaylandPtr<xdg_surface> m_XdgSurface;
    WaylandPtr<xdg_toplevel> m_Toplevel;
    WaylandPtr<zxdg_toplevel_decoration_v1> m_Decoration;
    WaylandPtr<wp_viewport> m_Viewport;
    WaylandPtr<wp_fractional_scale_v1> m_FractionalScale;
    WaylandPtr<wl_egl_window> m_EglWindow;
    EGLSurface m_EglSurface = EGL_NO_SURFACE;
    EGLContext m_Context = EGL_NO_CONTEXT;
    GLSetup m_GLSetup = GLSetup::Ok;

    int m_LogicalWidth = 0;
    int m_LogicalHeight = 0;
    int m_PendingWidth = 0; // a toplevel's size waits for its surface's configure
    int m_PendingHeight = 0;
    int m_Scale120 = 0;     // the fractional scale in 120ths (0: none offered)
    int m_AppliedScale = 1; // the integer scale the buffer was last sized by
    int m_BufferWidth = 0;
    int m_BufferHeight = 0;
    int m_Swaps = 0;
    bool m_bConfigured = false;
    bool m_bResized = false;
    bool m_bCloseRequested = false;
    bool m_bClosed = false;
    bool m_bWithdrawn = false;
    Turns* m_pTurns = nullptr;
    bool m_bGuest = false;
    bool m_bGivingWay = false;
    bool m_bTurnSwapped = false; // a guest's turn shows one frame: the one it drew
};

#include "host/wayland/WaylandHost.h"

#include "host/posix/SignalPipe.h"
#include "host/wayland/WaylandClient.h"
#include "host/wayland/WaylandEgl.h"
#include "host/wayland/WaylandOutput.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr char kNamespace[] = "kinetora";

// The fractional scale is in 120ths; a buffer side rounds half away from zero.
int Scaled(int side, int scale120) {
    return std::max(1, (side * scale120 + 60) / 120);
}

} // namespace

WaylandHost::WaylandHost(WaylandClient& client, const WaylandEgl& egl, const Options& options)
    : m_Client(client), m_Egl(egl), m_Options(options) {}

WaylandHost::~WaylandHost() {
    ReleaseGLContext();
    if (m_Context != EGL_NO_CONTEXT)
        eglDestroyContext(m_Egl.Display(), m_Context);
    if (m_EglSurface != EGL_NO_SURFACE)
        eglDestroySurface(m_Egl.Display(), m_EglSurface);
    if (m_Surface)
        m_Client.RemoveSurface(m_Surface.get());
    m_EglWindow.reset();
    m_FractionalScale.reset();
    m_Viewport.reset();
    m_Decoration.reset();
    m_Toplevel.reset();
    m_XdgSurface.reset();
    m_Layer.reset();
    m_Frame.reset();
    m_Surface.reset();
    m_Client.Flush();
}

bool WaylandHost::Create(std::string& error) {
    m_Surface.reset(wl_compositor_create_surface(m_Client.Compositor()));
    if (!m_Surface) {
        error = "cannot create a Wayland surface";
        return false;
    }
    m_Client.AddSurface(m_Surface.get(),
                        m_Options.kind == Kind::TopLevel ? nullptr : m_Options.output);
    static const wl_surface_listener surfaceListener = {.enter = &OnSurfaceEnter,
                                                        .leave = &OnSurfaceLeave};
    wl_surface_add_listener(m_Surface.get(), &surfaceListener, this);
    if (m_Client.Viewporter() != nullptr && m_Client.FractionalScale() != nullptr) {
        static const wp_fractional_scale_v1_listener listener = {.preferred_scale =
                                                                     &OnPreferredScale};
        m_Viewport.reset(wp_viewporter_get_viewport(m_Client.Viewporter(), m_Surface.get()));
        m_FractionalScale.reset(wp_fractional_scale_manager_v1_get_fractional_scale(
            m_Client.FractionalScale(), m_Surface.get()));
        wp_fractional_scale_v1_add_listener(m_FractionalScale.get(), &listener, this);
    }
    const bool made = m_Options.kind == Kind::Layer ? CreateLayer(error) : CreateToplevel(error);
    if (!made)
        return false;
    wl_surface_commit(m_Surface.get());
    // The compositor answers the first commit with the surface's size.
    while (!m_bConfigured && !m_bClosed && !m_Client.Gone() && !SignalPipe::Terminated())
        m_Client.Wait(-1);
    if (m_Client.Gone()) {
        error = WaylandClient::Why("lost the connection to the Wayland compositor");
        return false;
    }
    if (m_bClosed) {
        error = "the Wayland compositor closed the surface before it was shown";
        return false;
    }
    return true;
}

bool WaylandHost::CreateLayer(std::string& error) {
    zwlr_layer_surface_v1* layer = zwlr_layer_shell_v1_get_layer_surface(
        m_Client.LayerShell(), m_Surface.get(),
        m_Options.output != nullptr ? m_Options.output->Handle() : nullptr,
        ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, kNamespace);
    if (layer == nullptr) {
        error = "cannot create a layer surface";
        return false;
    }
    m_Layer.reset(layer);
    static const zwlr_layer_surface_v1_listener listener = {.configure = &OnLayerConfigure,
                                                            .closed = &OnLayerClosed};
    zwlr_layer_surface_v1_add_listener(layer, &listener, this);
    zwlr_layer_surface_v1_set_anchor(
        layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                   ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(layer, 0, 0);
    // Over the panels too, not beside them.
    zwlr_layer_surface_v1_set_exclusive_zone(layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(layer, 1);
    return true;
}

bool WaylandHost::CreateToplevel(std::string& error) {
    if (m_Client.WmBase() == nullptr) {
        error = "the Wayland compositor offers no xdg-shell for a window";
        return false;
    }
    m_XdgSurface.reset(xdg_wm_base_get_xdg_surface(m_Client.WmBase(), m_Surface.get()));
    if (m_XdgSurface)
        m_Toplevel.reset(xdg_surface_get_toplevel(m_XdgSurface.get()));
    if (!m_Toplevel) {
        error = "cannot create an xdg-shell window";
        return false;
    }
    static const xdg_surface_listener surfaceListener = {.configure = &OnXdgConfigure};
    static const xdg_toplevel_listener toplevelListener = {
        .configure = &OnToplevelConfigure,
        .close = &OnToplevelClose,
        .configure_bounds = nullptr,
        .wm_capabilities = nullptr,
    };
    xdg_surface_add_listener(m_XdgSurface.get(), &surfaceListener, this);
    xdg_toplevel_add_listener(m_Toplevel.get(), &toplevelListener, this);
    xdg_toplevel_set_title(m_Toplevel.get(), "Kinetora");
    xdg_toplevel_set_app_id(m_Toplevel.get(), kNamespace);
    if (m_Options.kind == Kind::FullScreen) {
        xdg_toplevel_set_fullscreen(
            m_Toplevel.get(), m_Options.output != nullptr ? m_Options.output->Handle() : nullptr);
    } else if (m_Client.Decorations() != nullptr) {
        m_Decoration.reset(zxdg_decoration_manager_v1_get_toplevel_decoration(
            m_Client.Decorations(), m_Toplevel.get()));
        zxdg_toplevel_decoration_v1_set_mode(m_Decoration.get(),
                                             ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
    }
    m_PendingWidth = m_Options.width;
    m_PendingHeight = m_Options.height;
    return true;
}

void WaylandHost::OnLayerConfigure(void* data, zwlr_layer_surface_v1* surface, uint32_t serial,
                                   uint32_t width, uint32_t height) {
    auto* self = static_cast<WaylandHost*>(data);
    zwlr_layer_surface_v1_ack_configure(surface, serial);
    self->SetLogicalSize(static_cast<int>(width), static_cast<int>(height));
    self->OnConfigured();
}

void WaylandHost::OnLayerClosed(void* data, zwlr_layer_surface_v1*) {
    static_cast<WaylandHost*>(data)->m_bClosed = true;
}

void WaylandHost::OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height,
                                      wl_array*) {
    auto* self = static_cast<WaylandHost*>(data);
    // Zero leaves the size to us: keep the one we have.
    if (width > 0 && height > 0) {
        self->m_PendingWidth = width;
        self->m_PendingHeight = height;
    }
}

void WaylandHost::OnXdgConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    auto* self = static_cast<WaylandHost*>(data);
    xdg_surface_ack_configure(surface, serial);
    self->SetLogicalSize(self->m_PendingWidth, self->m_PendingHeight);
    self->OnConfigured();
}

void WaylandHost::OnToplevelClose(void* data, xdg_toplevel*) {
    static_cast<WaylandHost*>(data)->m_bClosed = true;
}

void WaylandHost::OnPreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale) {
    auto* self = static_cast<WaylandHost*>(data);
    if (static_cast<int>(scale) == self->m_Scale120)
        return;
    self->m_Scale120 = static_cast<int>(scale);
    self->ApplyScale();
}

void WaylandHost::SetLogicalSize(int width, int height) {
    m_LogicalWidth = std::max(width, 1);
    m_LogicalHeight = std::max(height, 1);
    ApplyScale();
}

void WaylandHost::OnConfigured() {
    m_bConfigured = true;
}

// A fractional scale draws the buffer at the exact pixel size and lets the viewport map it
// back; otherwise the output's integer scale sets the buffer's.
void WaylandHost::ApplyScale() {
    int width = m_LogicalWidth;
    int height = m_LogicalHeight;
    if (m_Viewport && m_Scale120 > 0) {
        width = Scaled(width, m_Scale120);
        height = Scaled(height, m_Scale120);
        wp_viewport_set_destination(m_Viewport.get(), m_LogicalWidth, m_LogicalHeight);
    } else {
        const WaylandOutput* output = ScaleOutput();
        const int scale = output != nullptr ? output->Scale() : 1;
        width *= scale;
        height *= scale;
        wl_surface_set_buffer_scale(m_Surface.get(), scale);
        m_AppliedScale = scale;
    }
    if (width != m_BufferWidth || height != m_BufferHeight) {
        m_BufferWidth = width;
        m_BufferHeight = height;
        m_bResized = true;
    }
}

void WaylandHost::RefreshScale() {
    const WaylandOutput* output = ScaleOutput();
    if ((m_Viewport && m_Scale120 > 0) || output == nullptr || !m_bConfigured)
        return;
    if (output->Scale() != m_AppliedScale)
        ApplyScale();
}

bool WaylandHost::TakeResize() {
    if (!m_bResized)
        return false;
    m_bResized = false;
    if (m_EglWindow)
        wl_egl_window_resize(m_EglWindow.get(), m_BufferWidth, m_BufferHeight, 0, 0);
    return true;
}

SceneHost::GLSetup WaylandHost::CreateGLContext() {
    if (!m_Egl.IsOpen()) {
        m_GLSetup = GLSetup::ChoosePixelFormatFailed;
        return m_GLSetup;
    }
    m_EglWindow.reset(wl_egl_window_create(m_Surface.get(), m_BufferWidth, m_BufferHeight));
    if (m_EglWindow)
        m_EglSurface = eglCreateWindowSurface(
            m_Egl.Display(), m_Egl.Config(),
            reinterpret_cast<EGLNativeWindowType>(m_EglWindow.get()), nullptr);
    if (m_EglSurface == EGL_NO_SURFACE) {
        m_GLSetup = GLSetup::SetPixelFormatFailed;
        return m_GLSetup;
    }
    m_bResized = false; // the window has the size
    m_Context = m_Egl.CreateContext();
    if (m_Context == EGL_NO_CONTEXT) {
        m_GLSetup = GLSetup::CreateContextFailed;
        return m_GLSetup;
    }
    if (!eglMakeCurrent(m_Egl.Display(), m_EglSurface, m_EglSurface, m_Context)) {
        m_GLSetup = GLSetup::MakeCurrentFailed;
        return m_GLSetup;
    }
    // The frame callbacks pace the swaps, not the driver: it must never block on its own.
    eglSwapInterval(m_Egl.Display(), 0);
    return GLSetup::Ok;
}

void WaylandHost::ReleaseGLContext() {
    if (m_Context != EGL_NO_CONTEXT)
        eglMakeCurrent(m_Egl.Display(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void WaylandHost::MakeCurrent() {
    // Painted in turn with others, a window asks at every paint: most times it is current.
    if (m_Context != EGL_NO_CONTEXT && eglGetCurrentContext() != m_Context)
        eglMakeCurrent(m_Egl.Display(), m_EglSurface, m_EglSurface, m_Context);
}

bool WaylandHost::InputPending() {
    m_Client.Dispatch();
    return m_bCloseRequested || m_bClosed || m_bResized || m_bGivingWay || m_Client.InputQueued() ||
           m_Client.Gone() || SignalPipe::Terminated() ||
           (m_pTurns != nullptr && m_pTurns->SurfacesChanged());
}

void WaylandHost::WaitForInput(int ms) {
    if (m_bGuest) {
        m_bGivingWay = true;
        return;
    }
    if (m_pTurns != nullptr) {
        m_pTurns->WaitFor(*this, std::max(ms, 0));
        return;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (!InputPending()) {
        const std::chrono::duration<double, std::milli> left = deadline - Clock::now();
        if (left.count() <= 0)
            return;
        m_Client.Wait(static_cast<int>(std::ceil(left.count())));
    }
}

void WaylandHost::SwapBuffers() {
    // A burst that gives way after one frame swaps once more to keep its last frame up (a
    // double-buffered window's rule); here that would put the frame before it back.
    if (m_EglSurface == EGL_NO_SURFACE || m_bWithdrawn || m_Client.Gone() ||
        (m_bGuest && m_bTurnSwapped))
        return;
    // The previous frame must have been taken first; a hidden output never takes it, and
    // then nothing more is committed until input ends the wait.
    while (m_Frame && !InputPending()) {
        if (m_pTurns != nullptr)
            m_pTurns->WaitFor(*this, -1);
        else
            m_Client.Wait(-1);
    }
    if (m_Frame)
        return;
    static const wl_callback_listener listener = {.done = &OnFrameDone};
    m_Frame.reset(wl_surface_frame(m_Surface.get()));
    if (m_Options.frameQueue != nullptr)
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(m_Frame.get()), m_Options.frameQueue);
    wl_callback_add_listener(m_Frame.get(), &listener, this);
    eglSwapBuffers(m_Egl.Display(), m_EglSurface);
    ++m_Swaps;
    m_bTurnSwapped = true;
    m_Client.Flush();
}

void WaylandHost::OnSurfaceEnter(void* data, wl_surface*, wl_output* output) {
    auto* self = static_cast<WaylandHost*>(data);
    self->m_pEntered = self->m_Client.FindOutput(output);
}

const WaylandOutput* WaylandHost::ScaleOutput() const {
    return m_Options.output != nullptr ? m_Options.output : m_pEntered;
}

void WaylandHost::OnFrameDone(void* data, wl_callback*, uint32_t) {
    static_cast<WaylandHost*>(data)->m_Frame.reset();
}

void WaylandHost::ShowBlack() {
    if (m_Context == EGL_NO_CONTEXT || m_bWithdrawn)
        return;
    MakeCurrent();
    glViewport(0, 0, m_BufferWidth, m_BufferHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    m_Frame.reset(); // no wait: one frame, not a stream
    eglSwapBuffers(m_Egl.Display(), m_EglSurface);
    ++m_Swaps;
}

void WaylandHost::Withdraw() {
    if (m_bWithdrawn || !m_Surface)
        return;
    m_bWithdrawn = true;
    // No buffer unmaps the surface; an exclusive keyboard goes back with it.
    wl_surface_attach(m_Surface.get(), nullptr, 0, 0);
    wl_surface_commit(m_Surface.get());
    m_Client.Flush();
}

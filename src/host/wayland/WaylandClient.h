#pragma once

#include "host/wayland/WaylandOutput.h"
#include "host/wayland/WaylandPtr.h"
#include "host/wayland/protocols/Protocols.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;
class SignalPipe;

// The connection to the compositor: its globals, its outputs, the seat's keyboard and
// pointer. Input is queued, not acted on, so that a burst of frames sees it through
// InputPending and the session handles it between bursts.
class WaylandClient {
public:
    struct Input {
        enum class Kind { Key, Button, Motion };
        Kind kind = Kind::Key;
        int x = 0; // Motion: in the desktop's logical space
        int y = 0;
        uint32_t keysym = 0; // Key: the symbol in the keyboard's layout
    };

    // Told when outputs come and go after the first round trip.
    class OutputWatcher {
    public:
        virtual void OutputAdded(WaylandOutput& output) = 0;
        // The output is destroyed when this returns.
        virtual void OutputRemoved(WaylandOutput& output) = 0;

    protected:
        ~OutputWatcher() = default;
    };

    explicit WaylandClient(const SignalPipe& signals);
    ~WaylandClient();
    WaylandClient(const WaylandClient&) = delete;
    WaylandClient& operator=(const WaylandClient&) = delete;

    // Connects to the compositor WAYLAND_DISPLAY names and learns its globals and outputs.
    bool Connect(std::string& error);
    // what, with the library's last message about the connection when it gave one.
    static std::string Why(const std::string& what);

    wl_display* Display() const { return m_Display.get(); }
    wl_compositor* Compositor() const { return m_Compositor.get(); }
    zwlr_layer_shell_v1* LayerShell() const { return m_LayerShell.get(); }
    xdg_wm_base* WmBase() const { return m_WmBase.get(); }
    wp_viewporter* Viewporter() const { return m_Viewporter.get(); }
    wp_fractional_scale_manager_v1* FractionalScale() const { return m_FractionalScale.get(); }
    zxdg_decoration_manager_v1* Decorations() const { return m_Decorations.get(); }
    const std::vector<std::unique_ptr<WaylandOutput>>& Outputs() const { return m_Outputs; }
    const WaylandOutput* FindOutput(const wl_output* handle) const;
    void SetOutputWatcher(OutputWatcher* watcher) { m_pWatcher = watcher; }

    // A surface of ours on output (null: a window, at the desktop's origin), so that pointer
    // positions on it are placed in the desktop.
    void AddSurface(wl_surface* surface, const WaylandOutput* output);
    void RemoveSurface(wl_surface* surface);

    // Reads and dispatches whatever has arrived, without waiting.
    void Dispatch();
    // Waits until events or an ending signal arrive, or ms pass (-1: no limit), then
    // dispatches them.
    void Wait(int ms);
    // Sends the requests made so far.
    void Flush();

    bool InputQueued() const { return !m_Input.empty(); }
    // A key or a button is queued (what ends a full-screen run whatever it is doing).
    bool KeyOrButtonQueued() const;
    // Moves the queued input into into (which is cleared first); keeps both buffers.
    void TakeInput(std::vector<Input>& into);
    // The connection broke or the compositor reported a protocol error.
    bool Gone() const { return m_bGone; }

private:
    static void OnGlobal(void* data, wl_registry*, uint32_t name, const char* interface,
                         uint32_t version);
    static void OnGlobalRemove(void* data, wl_registry*, uint32_t name);
    static void OnPing(void*, xdg_wm_base* base, uint32_t serial);
    static void OnSeatCapabilities(void* data, wl_seat*, uint32_t capabilities);
    static void OnSeatName(void*, wl_seat*, const char*) {}
    static void OnKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size);
    static void OnKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
    static void OnKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
    static void OnKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state);
    static void OnModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed,
                            uint32_t latched, uint32_t locked, uint32_t group);
    static void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
    static void OnPointerEnter(void* data, wl_pointer*, uint32_t serial, wl_surface* surface,
                               wl_fixed_t x, wl_fixed_t y);
    static void OnPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*);
    static void OnMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y);
    static void OnButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state);
    static void OnAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
    static void OnPointerFrame(void*, wl_pointer*) {}
    static void OnAxisSource(void*, wl_pointer*, uint32_t) {}
    static void OnAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
    static void OnAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}

    void AddOutput(wl_output* handle, uint32_t name);
    void QueueMotion(wl_fixed_t x, wl_fixed_t y);
    void Queue(const Input& input);
    void CheckConnection(int result);

    struct XkbDeleter {
        void operator()(xkb_context* context) const;
        void operator()(xkb_keymap* keymap) const;
        void operator()(xkb_state* state) const;
    };

    const SignalPipe& m_Signals;
    WaylandPtr<wl_display> m_Display;
    WaylandPtr<wl_registry> m_Registry;
    WaylandPtr<wl_compositor> m_Compositor;
    WaylandPtr<zwlr_layer_shell_v1> m_LayerShell;
    WaylandPtr<xdg_wm_base> m_WmBase;
    WaylandPtr<wp_viewporter> m_Viewporter;
    WaylandPtr<wp_fractional_scale_manager_v1> m_FractionalScale;
    WaylandPtr<zxdg_decoration_manager_v1> m_Decorations;
    WaylandPtr<zxdg_output_manager_v1> m_OutputManager;
    WaylandPtr<wl_seat> m_Seat;
    WaylandPtr<wl_keyboard> m_Keyboard;
    WaylandPtr<wl_pointer> m_Pointer;
    std::unique_ptr<xkb_context, XkbDeleter> m_Xkb;
    std::unique_ptr<xkb_keymap, XkbDeleter> m_Keymap;
    std::unique_ptr<xkb_state, XkbDeleter> m_KeyState;
    std::vector<std::unique_ptr<WaylandOutput>> m_Outputs;
    std::vector<std::pair<wl_surface*, const WaylandOutput*>> m_Surfaces;
    const WaylandOutput* m_pPointerOutput = nullptr;
    std::vector<Input> m_Input;
    OutputWatcher* m_pWatcher = nullptr;
    bool m_bConnected = false; // the first round trips are done
    bool m_bGone = false;
};

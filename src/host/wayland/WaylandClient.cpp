#include "host/wayland/WaylandClient.h"

#include "host/posix/SignalPipe.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Room for the input of one burst: taking it never allocates in the frame loop.
constexpr size_t kInputRoom = 256;

template <typename T>
T* Bind(wl_registry* registry, uint32_t name, const wl_interface& interface, uint32_t offered,
        uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

// The library's own messages (a protocol error) would be further lines on standard error:
// the last one is kept, to be said within ours.
std::string& LibraryMessage() {
    static std::string text;
    return text;
}

void KeepLibraryMessage(const char* format, va_list args) {
    char line[512];
    std::vsnprintf(line, sizeof line, format, args);
    std::string& text = LibraryMessage();
    text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
}

} // namespace

std::string WaylandClient::Why(const std::string& what) {
    const std::string& detail = LibraryMessage();
    return detail.empty() ? what : what + " (" + detail + ")";
}

void WaylandClient::XkbDeleter::operator()(xkb_context* context) const {
    xkb_context_unref(context);
}
void WaylandClient::XkbDeleter::operator()(xkb_keymap* keymap) const {
    xkb_keymap_unref(keymap);
}
void WaylandClient::XkbDeleter::operator()(xkb_state* state) const {
    xkb_state_unref(state);
}

WaylandClient::WaylandClient(const SignalPipe& signals) : m_Signals(signals) {
    m_Input.reserve(kInputRoom);
}

WaylandClient::~WaylandClient() {
    // Everything bound goes before the connection does.
    m_Outputs.clear();
    m_Pointer.reset();
    m_Keyboard.reset();
    m_Seat.reset();
    m_OutputManager.reset();
    m_Decorations.reset();
    m_FractionalScale.reset();
    m_Viewporter.reset();
    m_WmBase.reset();
    m_LayerShell.reset();
    m_Compositor.reset();
    m_Registry.reset();
    if (m_Display && !m_bGone)
        wl_display_flush(m_Display.get());
}

bool WaylandClient::Connect(std::string& error) {
    wl_log_set_handler_client(&KeepLibraryMessage);
    m_Display.reset(wl_display_connect(nullptr));
    if (!m_Display) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        error = std::string("cannot connect to the Wayland compositor '") +
                (name != nullptr ? name : "wayland-0") + "'";
        return false;
    }
    m_Xkb.reset(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    static const wl_registry_listener listener = {.global = &OnGlobal,
                                                  .global_remove = &OnGlobalRemove};
    m_Registry.reset(wl_display_get_registry(m_Display.get()));
    if (!m_Registry || wl_registry_add_listener(m_Registry.get(), &listener, this) != 0 ||
        wl_display_roundtrip(m_Display.get()) < 0) {
        error = Why("the Wayland compositor broke the connection");
        return false;
    }
    if (!m_Compositor || (!m_LayerShell && !m_WmBase)) {
        error = "the Wayland compositor offers no way to show a surface (no wl_compositor, "
                "layer shell or xdg-shell)";
        return false;
    }
    for (const auto& output : m_Outputs)
        output->Describe(m_OutputManager.get());
    // Names, places and scales of the outputs, and the seat's devices.
    if (wl_display_roundtrip(m_Display.get()) < 0 || wl_display_roundtrip(m_Display.get()) < 0) {
        error = Why("the Wayland compositor broke the connection");
        return false;
    }
    m_bConnected = true;
    return true;
}

void WaylandClient::OnGlobal(void* data, wl_registry* registry, uint32_t name,
                             const char* interface, uint32_t version) {
    auto* self = static_cast<WaylandClient*>(data);
    const std::string_view which(interface);
    if (which == wl_compositor_interface.name) {
        self->m_Compositor.reset(
            Bind<wl_compositor>(registry, name, wl_compositor_interface, version, 4));
    } else if (which == zwlr_layer_shell_v1_interface.name) {
        self->m_LayerShell.reset(
            Bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface, version, 1));
    } else if (which == xdg_wm_base_interface.name) {
        static const xdg_wm_base_listener listener = {.ping = &OnPing};
        self->m_WmBase.reset(Bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, version, 2));
        xdg_wm_base_add_listener(self->m_WmBase.get(), &listener, self);
    } else if (which == wp_viewporter_interface.name) {
        self->m_Viewporter.reset(
            Bind<wp_viewporter>(registry, name, wp_viewporter_interface, version, 1));
    } else if (which == wp_fractional_scale_manager_v1_interface.name) {
        self->m_FractionalScale.reset(Bind<wp_fractional_scale_manager_v1>(
            registry, name, wp_fractional_scale_manager_v1_interface, version, 1));
    } else if (which == zxdg_decoration_manager_v1_interface.name) {
        self->m_Decorations.reset(Bind<zxdg_decoration_manager_v1>(
            registry, name, zxdg_decoration_manager_v1_interface, version, 1));
    } else if (which == zxdg_output_manager_v1_interface.name) {
        self->m_OutputManager.reset(Bind<zxdg_output_manager_v1>(
            registry, name, zxdg_output_manager_v1_interface, version, 3));
    } else if (which == wl_seat_interface.name && !self->m_Seat) {
        static const wl_seat_listener listener = {.capabilities = &OnSeatCapabilities,
                                                  .name = &OnSeatName};
        self->m_Seat.reset(Bind<wl_seat>(registry, name, wl_seat_interface, version, 5));
        wl_seat_add_listener(self->m_Seat.get(), &listener, self);
    } else if (which == wl_output_interface.name) {
        self->AddOutput(Bind<wl_output>(registry, name, wl_output_interface, version, 4), name);
    }
}

void WaylandClient::AddOutput(wl_output* handle, uint32_t name) {
    if (handle == nullptr)
        return;
    m_Outputs.push_back(std::make_unique<WaylandOutput>(handle, name));
    WaylandOutput& output = *m_Outputs.back();
    if (!m_bConnected)
        return; // the first round trips describe it
    output.Describe(m_OutputManager.get());
    if (m_pWatcher != nullptr)
        m_pWatcher->OutputAdded(output);
}

void WaylandClient::OnGlobalRemove(void* data, wl_registry*, uint32_t name) {
    auto* self = static_cast<WaylandClient*>(data);
    auto& outputs = self->m_Outputs;
    const auto found = std::find_if(outputs.begin(), outputs.end(),
                                    [name](const auto& o) { return o->GlobalName() == name; });
    if (found == outputs.end())
        return;
    if (self->m_pWatcher != nullptr)
        self->m_pWatcher->OutputRemoved(**found);
    for (auto& surface : self->m_Surfaces) {
        if (surface.second == found->get())
            surface.second = nullptr;
    }
    if (self->m_pPointerOutput == found->get())
        self->m_pPointerOutput = nullptr;
    outputs.erase(found);
}

const WaylandOutput* WaylandClient::FindOutput(const wl_output* handle) const {
    for (const auto& output : m_Outputs) {
        if (output->Handle() == handle)
            return output.get();
    }
    return nullptr;
}

void WaylandClient::OnPing(void*, xdg_wm_base* base, uint32_t serial) {
    xdg_wm_base_pong(base, serial);
}

void WaylandClient::OnSeatCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
    auto* self = static_cast<WaylandClient*>(data);
    const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (keyboard && !self->m_Keyboard) {
        static const wl_keyboard_listener listener = {
            .keymap = &OnKeymap,
            .enter = &OnKeyboardEnter,
            .leave = &OnKeyboardLeave,
            .key = &OnKey,
            .modifiers = &OnModifiers,
            .repeat_info = &OnRepeatInfo,
        };
        self->m_Keyboard.reset(wl_seat_get_keyboard(seat));
        wl_keyboard_add_listener(self->m_Keyboard.get(), &listener, self);
    } else if (!keyboard) {
        self->m_Keyboard.reset();
    }
    if (pointer && !self->m_Pointer) {
        static const wl_pointer_listener listener = {
            .enter = &OnPointerEnter,
            .leave = &OnPointerLeave,
            .motion = &OnMotion,
            .button = &OnButton,
            .axis = &OnAxis,
            .frame = &OnPointerFrame,
            .axis_source = &OnAxisSource,
            .axis_stop = &OnAxisStop,
            .axis_discrete = &OnAxisDiscrete,
            .axis_value120 = &OnAxisDiscrete,
        };
        self->m_Pointer.reset(wl_seat_get_pointer(seat));
        wl_pointer_add_listener(self->m_Pointer.get(), &listener, self);
    } else if (!pointer) {
        self->m_Pointer.reset();
    }
}

void WaylandClient::OnKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    auto* self = static_cast<WaylandClient*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && self->m_Xkb) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            self->m_Keymap.reset(
                xkb_keymap_new_from_string(self->m_Xkb.get(), static_cast<const char*>(text),
                                           XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
            munmap(text, size);
            self->m_KeyState.reset(self->m_Keymap ? xkb_state_new(self->m_Keymap.get()) : nullptr);
        }
    }
    close(fd);
}

void WaylandClient::OnKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key,
                          uint32_t state) {
    auto* self = static_cast<WaylandClient*>(data);
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED)
        return;
    Input input;
    input.kind = Input::Kind::Key;
    // Without a keymap the keys of a US layout are the best guess.
    if (self->m_KeyState)
        input.keysym = xkb_state_key_get_one_sym(self->m_KeyState.get(), key + 8);
    else if (key == KEY_ESC)
        input.keysym = XKB_KEY_Escape;
    else if (key == KEY_Q)
        input.keysym = XKB_KEY_q;
    self->Queue(input);
}

void WaylandClient::OnModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed,
                                uint32_t latched, uint32_t locked, uint32_t group) {
    auto* self = static_cast<WaylandClient*>(data);
    if (self->m_KeyState)
        xkb_state_update_mask(self->m_KeyState.get(), depressed, latched, locked, 0, 0, group);
}

void WaylandClient::AddSurface(wl_surface* surface, const WaylandOutput* output) {
    RemoveSurface(surface);
    m_Surfaces.emplace_back(surface, output);
}

void WaylandClient::RemoveSurface(wl_surface* surface) {
    std::erase_if(m_Surfaces, [surface](const auto& entry) { return entry.first == surface; });
}

void WaylandClient::OnPointerEnter(void* data, wl_pointer* pointer, uint32_t serial,
                                   wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
    auto* self = static_cast<WaylandClient*>(data);
    self->m_pPointerOutput = nullptr;
    bool ours = false;
    for (const auto& entry : self->m_Surfaces) {
        if (entry.first == surface) {
            self->m_pPointerOutput = entry.second;
            ours = entry.second != nullptr;
        }
    }
    // Full screen, the pointer is hidden; a window keeps the desktop's.
    if (ours)
        wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    self->QueueMotion(x, y);
}

void WaylandClient::OnPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*) {
    static_cast<WaylandClient*>(data)->m_pPointerOutput = nullptr;
}

void WaylandClient::OnMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    static_cast<WaylandClient*>(data)->QueueMotion(x, y);
}

void WaylandClient::QueueMotion(wl_fixed_t x, wl_fixed_t y) {
    Input input;
    input.kind = Input::Kind::Motion;
    input.x = static_cast<int>(std::lround(wl_fixed_to_double(x)));
    input.y = static_cast<int>(std::lround(wl_fixed_to_double(y)));
    if (m_pPointerOutput != nullptr) {
        input.x += m_pPointerOutput->X();
        input.y += m_pPointerOutput->Y();
    }
    Queue(input);
}

void WaylandClient::OnButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t,
                             uint32_t state) {
    if (state != WL_POINTER_BUTTON_STATE_PRESSED)
        return;
    Input input;
    input.kind = Input::Kind::Button;
    static_cast<WaylandClient*>(data)->Queue(input);
}

void WaylandClient::Queue(const Input& input) {
    // A full queue keeps its last place for the newest motion: enough to end a run.
    if (m_Input.size() < kInputRoom)
        m_Input.push_back(input);
    else
        m_Input.back() = input;
}

bool WaylandClient::KeyOrButtonQueued() const {
    return std::any_of(m_Input.begin(), m_Input.end(),
                       [](const Input& input) { return input.kind != Input::Kind::Motion; });
}

void WaylandClient::TakeInput(std::vector<Input>& into) {
    into.clear();
    into.swap(m_Input);
    if (m_Input.capacity() < kInputRoom)
        m_Input.reserve(kInputRoom);
}

void WaylandClient::CheckConnection(int result) {
    if (result < 0 || wl_display_get_error(m_Display.get()) != 0)
        m_bGone = true;
}

void WaylandClient::Flush() {
    if (m_bGone)
        return;
    // A full socket (EAGAIN) is sent on the next wait.
    if (wl_display_flush(m_Display.get()) < 0 && errno != EAGAIN)
        m_bGone = true;
}

void WaylandClient::Dispatch() {
    Wait(0);
}

void WaylandClient::Wait(int ms) {
    if (m_bGone)
        return;
    wl_display* display = m_Display.get();
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms);
    for (;;) {
        while (wl_display_prepare_read(display) != 0) {
            CheckConnection(wl_display_dispatch_pending(display));
            if (m_bGone)
                return;
        }
        Flush();
        pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {m_Signals.ReadFd(), POLLIN, 0}};
        const nfds_t count = m_Signals.ReadFd() >= 0 ? 2 : 1;
        int timeout = -1;
        if (ms >= 0) {
            const std::chrono::duration<double, std::milli> left = deadline - Clock::now();
            timeout = std::max(0, static_cast<int>(std::ceil(left.count())));
        }
        const int ready = poll(fds, count, timeout);
        if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            CheckConnection(wl_display_read_events(display));
        } else {
            wl_display_cancel_read(display);
        }
        if (m_bGone)
            return;
        const int dispatched = wl_display_dispatch_pending(display);
        CheckConnection(dispatched);
        // Done at anything that came (a frame, input), a signal, or the time limit.
        if (m_bGone || dispatched > 0 || ready != 0 || SignalPipe::Terminated() || timeout == 0)
            return;
        if (ready < 0 && errno != EINTR)
            return;
    }
}

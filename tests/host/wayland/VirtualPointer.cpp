// A pointer for the headless compositor, which has no input devices: the saver's tests
// move it and press its button.
// Usage: kinetora_wl_pointer STEP...  with steps "move DX DY", "button", "wait MS".
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <linux/input-event-codes.h>
#include <string>
#include <thread>

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr)
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

uint32_t Now() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

int main(int argc, char** argv) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fputs("kinetora_wl_pointer: no Wayland compositor\n", stderr);
        return 1;
    }
    Globals globals;
    static const wl_registry_listener listener = {&OnGlobal, &OnGlobalRemove};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, &globals);
    wl_display_roundtrip(display);
    if (globals.manager == nullptr) {
        std::fputs("kinetora_wl_pointer: the compositor has no virtual pointers\n", stderr);
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    // Clients bind the new device before anything moves it.
    wl_display_roundtrip(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        if (step == "move" && i + 2 < argc) {
            zwlr_virtual_pointer_v1_motion(pointer, Now(),
                                           wl_fixed_from_int(std::atoi(argv[i + 1])),
                                           wl_fixed_from_int(std::atoi(argv[i + 2])));
            zwlr_virtual_pointer_v1_frame(pointer);
            i += 2;
        } else if (step == "button") {
            zwlr_virtual_pointer_v1_button(pointer, Now(), BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, Now(), BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (step == "wait" && i + 1 < argc) {
            wl_display_roundtrip(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[i + 1])));
            ++i;
        } else {
            std::fprintf(stderr, "kinetora_wl_pointer: bad step '%s'\n", step.c_str());
            return 2;
        }
    }
    wl_display_roundtrip(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}

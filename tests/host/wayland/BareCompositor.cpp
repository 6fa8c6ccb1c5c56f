// A Wayland server that a real compositor never is: it offers a client nothing to show a
// surface on (no wl_compositor, no shell), or it hangs up on every client at once.
// Usage: kinetora_bare_compositor SOCKET [--hang-up]; prints "ready" once it listens and
// serves until it is killed.
#include <wayland-server-core.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void HangUp(wl_listener*, void* data) {
    // An error on the display object: the client's next round trip fails.
    wl_client_post_no_memory(static_cast<wl_client*>(data));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (argc == 3 && std::strcmp(argv[2], "--hang-up") != 0) || argc > 3) {
        std::fprintf(stderr, "usage: %s SOCKET [--hang-up]\n", argv[0]);
        return 2;
    }
    const std::unique_ptr<wl_display, void (*)(wl_display*)> display(wl_display_create(),
                                                                     &wl_display_destroy);
    if (!display || wl_display_add_socket(display.get(), argv[1]) != 0) {
        std::fprintf(stderr, "%s: cannot listen on %s\n", argv[0], argv[1]);
        return 1;
    }
    wl_listener created{};
    if (argc == 3) {
        created.notify = &HangUp;
        wl_display_add_client_created_listener(display.get(), &created);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    wl_display_run(display.get());
    return 0;
}

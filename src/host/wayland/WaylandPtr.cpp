#include "host/wayland/WaylandPtr.h"

template <> void DestroyWaylandObject(wl_callback* object) {
    wl_callback_destroy(object);
}
template <> void DestroyWaylandObject(wl_compositor* object) {
    wl_compositor_destroy(object);
}
template <> void DestroyWaylandObject(wl_display* object) {
    wl_display_disconnect(object);
}
template <> void DestroyWaylandObject(wl_egl_window* object) {
    wl_egl_window_destroy(object);
}
template <> void DestroyWaylandObject(wl_keyboard* object) {
    wl_keyboard_destroy(object);
}
template <> void DestroyWaylandObject(wl_pointer* object) {
    wl_pointer_destroy(object);
}
template <> void DestroyWaylandObject(wl_registry* object) {
    wl_registry_destroy(object);
}
template <> void DestroyWaylandObject(wl_seat* object) {
    wl_seat_destroy(object);
}
template <> void DestroyWaylandObject(wl_surface* object) {
    wl_surface_destroy(object);
}
template <> void DestroyWaylandObject(wp_fractional_scale_manager_v1* object) {
    wp_fractional_scale_manager_v1_destroy(object);
}
template <> void DestroyWaylandObject(wp_fractional_scale_v1* object) {
    wp_fractional_scale_v1_destroy(object);
}
template <> void DestroyWaylandObject(wp_viewport* object) {
    wp_viewport_destroy(object);
}
template <> void DestroyWaylandObject(wp_viewporter* object) {
    wp_viewporter_destroy(object);
}
template <> void DestroyWaylandObject(xdg_surface* object) {
    xdg_surface_destroy(object);
}
template <> void DestroyWaylandObject(xdg_toplevel* object) {
    xdg_toplevel_destroy(object);
}
template <> void DestroyWaylandObject(xdg_wm_base* object) {
    xdg_wm_base_destroy(object);
}
template <> void DestroyWaylandObject(zwlr_layer_shell_v1* object) {
    zwlr_layer_shell_v1_destroy(object);
}
template <> void DestroyWaylandObject(zwlr_layer_surface_v1* object) {
    zwlr_layer_surface_v1_destroy(object);
}
template <> void DestroyWaylandObject(zxdg_decoration_manager_v1* object) {
    zxdg_decoration_manager_v1_destroy(object);
}
template <> void DestroyWaylandObject(zxdg_output_manager_v1* object) {
    zxdg_output_manager_v1_destroy(object);
}
template <> void DestroyWaylandObject(zxdg_output_v1* object) {
    zxdg_output_v1_destroy(object);
}
template <> void DestroyWaylandObject(zxdg_toplevel_decoration_v1* object) {
    zxdg_toplevel_decoration_v1_destroy(object);
}
// A newer output is released, so the compositor forgets it too.
template <> void DestroyWaylandObject(wl_output* object) {
    if (wl_output_get_version(object) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(object);
    else
        wl_output_destroy(object);
}

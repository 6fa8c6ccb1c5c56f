#pragma once

#include "host/wayland/protocols/Protocols.h"

#include <wayland-egl.h>

#include <memory>

// The destroy (or release) request of each Wayland object type the host keeps.
template <typename T> void DestroyWaylandObject(T* object);
template <> void DestroyWaylandObject(wl_callback* object);
template <> void DestroyWaylandObject(wl_compositor* object);
template <> void DestroyWaylandObject(wl_display* object);
template <> void DestroyWaylandObject(wl_egl_window* object);
template <> void DestroyWaylandObject(wl_keyboard* object);
template <> void DestroyWaylandObject(wl_output* object);
template <> void DestroyWaylandObject(wl_pointer* object);
template <> void DestroyWaylandObject(wl_registry* object);
template <> void DestroyWaylandObject(wl_seat* object);
template <> void DestroyWaylandObject(wl_surface* object);
template <> void DestroyWaylandObject(wp_fractional_scale_manager_v1* object);
template <> void DestroyWaylandObject(wp_fractional_scale_v1* object);
template <> void DestroyWaylandObject(wp_viewport* object);
template <> void DestroyWaylandObject(wp_viewporter* object);
template <> void DestroyWaylandObject(xdg_surface* object);
template <> void DestroyWaylandObject(xdg_toplevel* object);
template <> void DestroyWaylandObject(xdg_wm_base* object);
template <> void DestroyWaylandObject(zwlr_layer_shell_v1* object);
template <> void DestroyWaylandObject(zwlr_layer_surface_v1* object);
template <> void DestroyWaylandObject(zxdg_decoration_manager_v1* object);
template <> void DestroyWaylandObject(zxdg_output_manager_v1* object);
template <> void DestroyWaylandObject(zxdg_output_v1* object);
template <> void DestroyWaylandObject(zxdg_toplevel_decoration_v1* object);

template <typename T> struct WaylandDeleter {
    void operator()(T* object) const {
        if (object != nullptr)
            DestroyWaylandObject(object);
    }
};

// Owns one Wayland object: its destroy request goes out when the pointer lets go.
template <typename T> using WaylandPtr = std::unique_ptr<T, WaylandDeleter<T>>;

#include "host/wayland/WaylandOutput.h"

WaylandOutput::WaylandOutput(wl_output* output, uint32_t globalName)
    : m_Output(output), m_GlobalName(globalName) {
    static const wl_output_listener listener = {
        .geometry = &OnGeometry,
        .mode = &OnMode,
        .done = &OnDone,
        .scale = &OnScale,
        .name = &OnName,
        .description = &OnDescription,
    };
    wl_output_add_listener(output, &listener, this);
}

void WaylandOutput::Describe(zxdg_output_manager_v1* manager) {
    if (manager == nullptr || m_XdgOutput)
        return;
    static const zxdg_output_v1_listener listener = {
        .logical_position = &OnLogicalPosition,
        .logical_size = &OnLogicalSize,
        .done = &OnXdgDone,
        .name = &OnXdgName,
        .description = &OnXdgDescription,
    };
    m_XdgOutput.reset(zxdg_output_manager_v1_get_xdg_output(manager, m_Output.get()));
    if (m_XdgOutput)
        zxdg_output_v1_add_listener(m_XdgOutput.get(), &listener, this);
}

void WaylandOutput::OnDone(void* data, wl_output*) {
    static_cast<WaylandOutput*>(data)->m_bDone = true;
}

void WaylandOutput::OnScale(void* data, wl_output*, int32_t factor) {
    static_cast<WaylandOutput*>(data)->m_Scale = factor > 0 ? factor : 1;
}

void WaylandOutput::OnName(void* data, wl_output*, const char* name) {
    static_cast<WaylandOutput*>(data)->m_Name = name;
}

void WaylandOutput::OnLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
    auto* self = static_cast<WaylandOutput*>(data);
    self->m_X = x;
    self->m_Y = y;
}

void WaylandOutput::OnXdgName(void* data, zxdg_output_v1*, const char* name) {
    auto* self = static_cast<WaylandOutput*>(data);
    if (self->m_Name.empty())
        self->m_Name = name;
}

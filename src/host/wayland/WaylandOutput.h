#pragma once

#include "host/wayland/WaylandPtr.h"
#include "host/wayland/protocols/Protocols.h"

#include <cstdint>
#include <string>

// One monitor the compositor announced: its registry name, its name ("HEADLESS-1"), where
// it sits in the desktop's logical space and its integer scale.
class WaylandOutput {
public:
    WaylandOutput(wl_output* output, uint32_t globalName);
    WaylandOutput(const WaylandOutput&) = delete;
    WaylandOutput& operator=(const WaylandOutput&) = delete;

    // Asks the output manager for the name and logical place (when there is one).
    void Describe(zxdg_output_manager_v1* manager);

    wl_output* Handle() const { return m_Output.get(); }
    uint32_t GlobalName() const { return m_GlobalName; }
    const std::string& Name() const { return m_Name; }
    int X() const { return m_X; }
    int Y() const { return m_Y; }
    int Scale() const { return m_Scale; }
    // Every property has arrived at least once.
    bool Ready() const { return m_bDone; }

private:
    static void OnGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t,
                           const char*, const char*, int32_t) {}
    static void OnMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
    static void OnDone(void* data, wl_output*);
    static void OnScale(void* data, wl_output*, int32_t factor);
    static void OnName(void* data, wl_output*, const char* name);
    static void OnDescription(void*, wl_output*, const char*) {}
    static void OnLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y);
    static void OnLogicalSize(void*, zxdg_output_v1*, int32_t, int32_t) {}
    static void OnXdgDone(void*, zxdg_output_v1*) {}
    static void OnXdgName(void* data, zxdg_output_v1*, const char* name);
    static void OnXdgDescription(void*, zxdg_output_v1*, const char*) {}

    WaylandPtr<wl_output> m_Output;
    WaylandPtr<zxdg_output_v1> m_XdgOutput;
    uint32_t m_GlobalName;
    std::string m_Name;
    int m_X = 0;
    int m_Y = 0;
    int m_Scale = 1;
    bool m_bDone = false;
};

#pragma once

#include <windows.h>

// One tooltip window per page; each control is registered by its handle and subclassed by
// the tooltip, so no mouse messages need relaying.
class ToolTip {
public:
    void Create(HWND page);
    void AddTool(int id, const char* text) const;

private:
    HWND m_Hwnd = nullptr;
    HWND m_Page = nullptr;
};

#include "host/win32/ToolTip.h"

#include <commctrl.h>

void ToolTip::Create(HWND page) {
    m_Hwnd = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    m_Page = page;
    if (m_Hwnd != nullptr)
        SendMessageA(m_Hwnd, TTM_SETMAXTIPWIDTH, 0, 300);
}

void ToolTip::AddTool(int id, const char* text) const {
    if (m_Hwnd == nullptr)
        return;
    TTTOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = m_Page;
    info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(m_Page, id));
    info.lpszText = const_cast<char*>(text);
    SendMessageA(m_Hwnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

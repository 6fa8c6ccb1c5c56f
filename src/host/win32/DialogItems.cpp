#include "host/win32/DialogItems.h"

#include <commctrl.h>

namespace DialogItems {

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(item);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(item, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void SetItemText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

void Enable(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

void Show(HWND dialog, int id, bool shown) {
    ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

void SetupTrackBar(HWND dialog, int id, int low, int high, int tick, int position) {
    HWND bar = GetDlgItem(dialog, id);
    SendMessageA(bar, TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
    SendMessageA(bar, TBM_SETTICFREQ, static_cast<WPARAM>(tick), 0);
    SendMessageA(bar, TBM_SETPOS, TRUE, position);
}

int TrackBarPosition(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0));
}

} // namespace DialogItems

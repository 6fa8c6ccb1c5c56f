#pragma once

#include <windows.h>

// The General page (dialog IDD_GENERAL) over the behaviour of CSettingsPage.
class Win32SettingsPage {
public:
    static INT_PTR CALLBACK Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
};

#pragma once

#include <windows.h>

// The Information page (dialog IDD_INFO): the version and the text of CInfoPage.
class Win32InfoPage {
public:
    static INT_PTR CALLBACK Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
};

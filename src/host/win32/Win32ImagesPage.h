#pragma once

#include <windows.h>

// The Images page (dialog IDD_IMAGES) over the behaviour of CImagesPage.
class Win32ImagesPage {
public:
    static INT_PTR CALLBACK Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
};

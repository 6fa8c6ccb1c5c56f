#pragma once

#include <windows.h>

#include <string>

// The preview of a folder's pictures (dialog IDD_PREVIEW) over the behaviour of
// CPreviewDialog: the file list, the status line and the picture scaled to fit.
class Win32PreviewDialog {
public:
    // Runs modally over owner until closed.
    static void Run(HWND owner, const std::string& folder);

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};

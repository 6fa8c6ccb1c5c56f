#include "host/win32/Win32PreviewDialog.h"

#include "config/PreviewDialog.h"
#include "host/win32/DialogItems.h"
#include "host/win32/ToolTip.h"
#include "host/win32/resource.h"
#include "images/Image.h"

#include <cstdint>
#include <vector>

namespace {

using namespace DialogItems;

struct PreviewState {
    explicit PreviewState(const std::string& folder) : model(folder) {}
    CPreviewDialog model;
    ToolTip tip;
};

CPreviewDialog::Rect WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

// The picture, scaled to fit the area right of the file list: set into a memory bitmap at
// its own size, then stretched onto the dialog.
void PaintPreview(HWND dialog, const CPreviewDialog& model) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    const CPreviewDialog::Rect area = CPreviewDialog::PreviewArea(
        WindowRect(dialog), WindowRect(GetDlgItem(dialog, IDC_PREVIEW_FILES)),
        WindowRect(GetDlgItem(dialog, IDC_STATUS)));
    const RECT fill{area.left, area.top, area.right, area.bottom};
    FillRect(dc, &fill, GetSysColorBrush(COLOR_BTNFACE));
    const Image* image = model.Current();
    if (image != nullptr) {
        const int w = image->Width();
        const int h = image->Height();
        const CPreviewDialog::Size size =
            CPreviewDialog::FitSize(w, h, area.right - area.left, area.bottom - area.top);
        const std::vector<std::uint32_t> pixels = image->ToDisplayPixels();
        if (!pixels.empty() && size.width > 0) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = w;
            info.bmiHeader.biHeight = -h; // rows top-down
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
            const HGDIOBJ old = SelectObject(memory, bitmap);
            SetDIBitsToDevice(memory, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                              static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, area.left, area.top, size.width, size.height, memory, 0, 0, w, h,
                       SRCCOPY);
            SelectObject(memory, old);
            DeleteObject(bitmap);
            DeleteDC(memory);
        }
    }
    EndPaint(dialog, &ps);
}

} // namespace

void Win32PreviewDialog::Run(HWND owner, const std::string& folder) {
    PreviewState state(folder);
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PREVIEW), owner, Proc,
                    reinterpret_cast<LPARAM>(&state));
}

INT_PTR CALLBACK Win32PreviewDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto& state = *reinterpret_cast<PreviewState*>(lParam);
        SetWindowTextA(dialog, CPreviewDialog::Caption);
        SetItemText(dialog, IDOK, CPreviewDialog::CloseLabel);
        SetItemText(dialog, IDC_STATUS, state.model.Status());
        for (const std::string& name : state.model.Files())
            SendDlgItemMessageA(dialog, IDC_PREVIEW_FILES, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(name.c_str()));
        state.tip.Create(dialog);
        return TRUE;
    }
    auto* state = reinterpret_cast<PreviewState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (state == nullptr)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_PREVIEW_FILES && HIWORD(wParam) == LBN_SELCHANGE) {
            state->model.Select(static_cast<int>(
                SendDlgItemMessageA(dialog, IDC_PREVIEW_FILES, LB_GETCURSEL, 0, 0)));
            SetItemText(dialog, IDC_STATUS, state->model.Status());
            InvalidateRect(dialog, nullptr, FALSE);
            return TRUE;
        }
        return FALSE;
    case WM_PAINT:
        PaintPreview(dialog, state->model);
        return TRUE;
    default:
        return FALSE;
    }
}

#include "host/win32/Win32InfoPage.h"

#include "host/win32/DialogItems.h"
#include "host/win32/Sheet.h"
#include "host/win32/VersionResource.h"
#include "host/win32/resource.h"

using namespace DialogItems;

INT_PTR CALLBACK Win32InfoPage::Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        AttachSheet(page, lParam);
        SetItemText(page, IDC_INFO_TITLE, CInfoPage::Title(ModuleProductVersion()));
        SetItemText(page, IDC_INFO_TEXT, CInfoPage::Text());
        SetItemText(page, IDC_HELP_BUTTON, CInfoPage::HelpLabel);
        return TRUE;
    }
    Sheet* sheet = SheetOf(page);
    if (sheet == nullptr)
        return FALSE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_HELP_BUTTON) {
        sheet->services.ShowHelp();
        return TRUE;
    }
    if (message == WM_NOTIFY)
        return OnSheetNotify(page, *sheet, *reinterpret_cast<const NMHDR*>(lParam));
    return FALSE;
}

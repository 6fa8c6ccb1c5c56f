#include "host/win32/Sheet.h"

#include "app/SaverApp.h"
#include "host/win32/Win32PreviewDialog.h"

#include <commctrl.h>

tvFolderBrowser& SheetServices::FolderBrowser() {
    m_Owner = m_Sheet.Window();
    return m_Browser;
}

void SheetServices::ShowHelp() {
    m_Sheet.app.ShowHelp();
}

void SheetServices::Message(const std::string& caption, const std::string& text) {
    MessageBoxA(m_Sheet.Window(), text.c_str(), caption.c_str(), MB_OK);
}

void SheetServices::RunPreview(const std::string& folder) {
    Win32PreviewDialog::Run(m_Sheet.Window(), folder);
}

Sheet* SheetOf(HWND page) {
    return reinterpret_cast<Sheet*>(GetWindowLongPtrA(page, DWLP_USER));
}

Sheet* AttachSheet(HWND page, LPARAM lParam) {
    const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    auto* sheet = reinterpret_cast<Sheet*>(psp->lParam);
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(sheet));
    return sheet;
}

INT_PTR OnSheetNotify(HWND page, Sheet& sheet, const NMHDR& header) {
    LONG_PTR result = PSNRET_NOERROR;
    switch (header.code) {
    case PSN_SETACTIVE:
        sheet.page = page;
        break;
    case PSN_APPLY:
        if (!sheet.finished) {
            CConfigProp::Page bad = CConfigProp::FirstPage();
            const std::string problem = sheet.model.Validate(bad);
            if (!problem.empty()) {
                SendMessageA(GetParent(page), PSM_SETCURSEL, static_cast<WPARAM>(bad), 0);
                MessageBoxA(GetParent(page), problem.c_str(), "Kinetora", MB_OK);
                result = PSNRET_INVALID_NOCHANGEPAGE;
                break;
            }
            const std::string notSaved = sheet.model.OnOK();
            if (!notSaved.empty()) { // open, with the user's values, for another OK or Cancel
                MessageBoxA(GetParent(page), notSaved.c_str(), CConfigProp::NotSavedCaption,
                            MB_OK | MB_ICONERROR);
                result = PSNRET_INVALID_NOCHANGEPAGE;
                break;
            }
            sheet.finished = true;
        }
        break;
    case PSN_RESET:
        if (!sheet.finished) {
            sheet.model.OnCancel();
            sheet.finished = true;
        }
        break;
    default:
        return FALSE;
    }
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

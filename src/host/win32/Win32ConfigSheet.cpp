#include "host/win32/Win32ConfigSheet.h"

#include "app/SaverApp.h"
#include "host/win32/Sheet.h"
#include "host/win32/Win32ImagesPage.h"
#include "host/win32/Win32InfoPage.h"
#include "host/win32/Win32SettingsPage.h"
#include "host/win32/resource.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

namespace {

PROPSHEETPAGEA Page(int templateId, DLGPROC proc, Sheet& sheet) {
    PROPSHEETPAGEA page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(templateId);
    page.pfnDlgProc = proc;
    page.lParam = reinterpret_cast<LPARAM>(&sheet);
    return page;
}

// The shell's folder picker needs COM on this thread.
class ComApartment {
public:
    ComApartment() : m_Result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_Result))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_Result;
};

} // namespace

void RunWin32ConfigSheet(CSaverApp& app) {
    if (app.pSettings() == nullptr || app.pStore() == nullptr)
        return;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    const ComApartment com;

    Sheet sheet(app, *app.pSettings(), *app.pStore());
    PROPSHEETPAGEA pages[] = {
        Page(IDD_GENERAL, Win32SettingsPage::Proc, sheet),
        Page(IDD_IMAGES, Win32ImagesPage::Proc, sheet),
        Page(IDD_INFO, Win32InfoPage::Proc, sheet),
    };
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USEICONID;
    header.hwndParent = GetForegroundWindow();
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszIcon = MAKEINTRESOURCEA(IDI_KINETORA);
    header.pszCaption = CConfigProp::Caption;
    header.nPages = sizeof pages / sizeof pages[0];
    header.nStartPage = CConfigProp::FirstPage();
    header.ppsp = pages;
    PropertySheetA(&header);
    // Closed by the window's close box or Escape without a PSN_RESET: nothing is written.
    if (!sheet.finished)
        sheet.model.OnCancel();
}

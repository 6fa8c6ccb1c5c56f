#include "host/win32/Win32SettingsPage.h"

#include "host/win32/DialogItems.h"
#include "host/win32/Sheet.h"
#include "host/win32/ToolTip.h"
#include "host/win32/resource.h"

#include <commctrl.h>

namespace {

using namespace DialogItems;

void ShowGeneral(HWND page, const CSettingsPage& general) {
    const bool blank = general.Blank();
    CheckDlgButton(page, IDC_BLANK, blank ? BST_CHECKED : BST_UNCHECKED);
    for (const int id : {IDC_MINUTES, IDC_MINUTES_LABEL, IDC_MINUTES_SPIN})
        Enable(page, id, blank);
    SetItemText(page, IDC_FRAME_RATE, general.FrameRateText());
    Show(page, IDC_FRAME_RATE, general.FrameRateShown());
    SetItemText(page, IDC_POLYGONS, general.PolygonsText());
    Show(page, IDC_POLYGONS, general.PolygonsShown());
}

void InitGeneral(HWND page, CSettingsPage& general) {
    SetItemText(page, IDC_SPEED_LABEL, CSettingsPage::SpeedLabel);
    SetItemText(page, IDC_BLANK, CSettingsPage::BlankLabel);
    SetItemText(page, IDC_MINUTES_LABEL, CSettingsPage::MinutesLabel);
    SetItemText(page, IDC_HELP_BUTTON, CSettingsPage::HelpLabel);
    SetupTrackBar(page, IDC_SPEED, CSettingsPage::SpeedMin, CSettingsPage::SpeedMax,
                  CSettingsPage::TickEvery, general.Speed());
    SendDlgItemMessageA(page, IDC_MINUTES_SPIN, UDM_SETRANGE32, CSettingsPage::MinutesArrowMin,
                        CSettingsPage::MinutesMax);
    SetItemText(page, IDC_MINUTES, general.MinutesText());
    ShowGeneral(page, general);
    static ToolTip tip; // one General page per process
    tip.Create(page);
    tip.AddTool(IDC_BLANK, CSettingsPage::BlankTip);
    tip.AddTool(IDC_MINUTES, CSettingsPage::MinutesTip);
    tip.AddTool(IDC_FRAME_RATE, CSettingsPage::FrameRateTip);
    tip.AddTool(IDC_POLYGONS, CSettingsPage::PolygonsTip);
    tip.AddTool(IDC_SPEED, CSettingsPage::SpeedTip);
}

} // namespace

INT_PTR CALLBACK Win32SettingsPage::Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        InitGeneral(page, AttachSheet(page, lParam)->model.General());
        return TRUE;
    }
    Sheet* sheet = SheetOf(page);
    if (sheet == nullptr)
        return FALSE;
    CSettingsPage& general = sheet->model.General();
    switch (message) {
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(page, IDC_SPEED))
            general.SetSpeed(TrackBarPosition(page, IDC_SPEED));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_BLANK:
            general.SetBlank(IsDlgButtonChecked(page, IDC_BLANK) == BST_CHECKED);
            ShowGeneral(page, general);
            return TRUE;
        case IDC_MINUTES:
            if (HIWORD(wParam) == EN_CHANGE)
                general.SetMinutesText(ItemText(page, IDC_MINUTES));
            return TRUE;
        case IDC_FRAME_RATE:
            if (HIWORD(wParam) == STN_CLICKED) {
                general.OnFrameRateClicked();
                ShowGeneral(page, general);
            }
            return TRUE;
        case IDC_HELP_BUTTON:
            sheet->services.ShowHelp();
            return TRUE;
        default:
            return FALSE;
        }
    case WM_NOTIFY:
        return OnSheetNotify(page, *sheet, *reinterpret_cast<const NMHDR*>(lParam));
    default:
        return FALSE;
    }
}

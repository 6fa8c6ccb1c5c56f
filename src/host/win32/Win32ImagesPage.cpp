#include "host/win32/Win32ImagesPage.h"

#include "host/win32/DialogItems.h"
#include "host/win32/Sheet.h"
#include "host/win32/ToolTip.h"
#include "host/win32/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

using namespace DialogItems;

// The folder list keeps a horizontal scroll range as wide as its widest entry.
void FillFolders(HWND page, const CImagesPage& images) {
    HWND list = GetDlgItem(page, IDC_FOLDERS);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(list);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font);
    LONG widest = 0;
    for (const std::string& folder : images.List()) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
        SIZE size{};
        GetTextExtentPoint32A(dc, folder.c_str(), static_cast<int>(folder.size()), &size);
        widest = std::max(widest, size.cx + 6);
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(images.Selection()), 0);
}

void ShowImages(HWND page, const CImagesPage& images) {
    FillFolders(page, images);
    const bool listButtons = images.ListButtonsEnabled();
    for (const int id : {IDC_ADD, IDC_REMOVE, IDC_REMOVE_ALL, IDC_IMAGES})
        Enable(page, id, listButtons);
    SetItemText(page, IDC_SEARCH, images.SearchText());
    SetItemText(page, IDC_STATUS, images.StatusText());
    Show(page, IDC_STATUS, images.StatusShown());
    SendDlgItemMessageA(page, IDC_PROB, TBM_SETPOS, TRUE, images.Prob());
    CheckRadioButton(page, IDC_RANDOM, IDC_ALPHABETICAL,
                     images.Order() == 0 ? IDC_RANDOM : IDC_ALPHABETICAL);
    Enable(page, IDC_START_AT_FIRST, images.StartAtFirstEnabled());
}

void InitImages(HWND page, Sheet& sheet) {
    CImagesPage& images = sheet.model.Images();
    const std::pair<int, const char*> texts[] = {
        {IDC_FOLDERS_LABEL, CImagesPage::FoldersLabel},
        {IDC_ADD, CImagesPage::AddLabel},
        {IDC_REMOVE, CImagesPage::RemoveLabel},
        {IDC_REMOVE_ALL, CImagesPage::RemoveAllLabel},
        {IDC_IMAGES, CImagesPage::ImagesLabel},
        {IDC_PROB_LABEL, CImagesPage::ProbLabel},
        {IDC_MORE_LABEL, CImagesPage::MoreLabel},
        {IDC_ORDER_GROUP, CImagesPage::OrderGroup},
        {IDC_RANDOM, CImagesPage::RandomLabel},
        {IDC_ALPHABETICAL, CImagesPage::AlphabeticalLabel},
        {IDC_START_AT_FIRST, CImagesPage::StartAtFirstLabel},
        {IDC_RESET, CImagesPage::ResetLabel},
        {IDC_HELP_BUTTON, CImagesPage::HelpLabel},
    };
    for (const auto& [id, text] : texts)
        SetItemText(page, id, text);
    SetupTrackBar(page, IDC_PROB, CImagesPage::ProbMin, CImagesPage::ProbMax,
                  CImagesPage::TickEvery, images.Prob());
    static ToolTip tip; // one Images page per process
    tip.Create(page);
    const std::pair<int, const char*> tips[] = {
        {IDC_PROB, CImagesPage::ProbTip},
        {IDC_FOLDERS, CImagesPage::FoldersTip},
        {IDC_ADD, CImagesPage::AddTip},
        {IDC_REMOVE, CImagesPage::RemoveTip},
        {IDC_REMOVE_ALL, CImagesPage::RemoveAllTip},
        {IDC_SEARCH, CImagesPage::SearchTip},
        {IDC_IMAGES, CImagesPage::ImagesTip},
        {IDC_RANDOM, CImagesPage::RandomTip},
        {IDC_ALPHABETICAL, CImagesPage::AlphabeticalTip},
        {IDC_START_AT_FIRST, CImagesPage::StartAtFirstTip},
        {IDC_RESET, CImagesPage::ResetTip},
    };
    for (const auto& [id, text] : tips)
        tip.AddTool(id, text);
    sheet.imagesPage = page;
    // The search worker's results arrive as queued calls; the page then shows them.
    images.SetChangeListener([&sheet] {
        if (sheet.imagesPage != nullptr)
            ShowImages(sheet.imagesPage, sheet.model.Images());
    });
    ShowImages(page, images);
}

bool OnImagesCommand(HWND page, CImagesPage& images, int id, int code) {
    switch (id) {
    case IDC_FOLDERS:
        if (code == LBN_SELCHANGE)
            images.Select(
                static_cast<int>(SendDlgItemMessageA(page, IDC_FOLDERS, LB_GETCURSEL, 0, 0)));
        return true;
    case IDC_ADD:
        images.OnAdd();
        break;
    case IDC_REMOVE:
        images.OnRemove();
        break;
    case IDC_REMOVE_ALL:
        images.OnRemoveAll();
        break;
    case IDC_SEARCH:
        images.OnSearch();
        break;
    case IDC_IMAGES:
        images.OnImages();
        break;
    case IDC_RANDOM:
        images.OnRandom();
        break;
    case IDC_ALPHABETICAL:
        images.OnAlphabetical();
        break;
    case IDC_START_AT_FIRST:
        images.OnStartAtFirst();
        break;
    case IDC_RESET:
        images.OnReset();
        break;
    default:
        return false;
    }
    ShowImages(page, images);
    return true;
}

} // namespace

INT_PTR CALLBACK Win32ImagesPage::Proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        InitImages(page, *AttachSheet(page, lParam));
        return TRUE;
    }
    Sheet* sheet = SheetOf(page);
    if (sheet == nullptr)
        return FALSE;
    CImagesPage& images = sheet->model.Images();
    switch (message) {
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(page, IDC_PROB))
            images.SetProb(TrackBarPosition(page, IDC_PROB));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_HELP_BUTTON) {
            sheet->services.ShowHelp();
            return TRUE;
        }
        return OnImagesCommand(page, images, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY:
        return OnSheetNotify(page, *sheet, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY:
        images.SetChangeListener(nullptr);
        sheet->imagesPage = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

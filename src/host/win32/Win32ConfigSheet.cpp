#include "host/win32/Win32ConfigSheet.h"

#include "app/SaverApp.h"
#include "config/ConfigProp.h"
#include "config/ConfigServices.h"
#include "config/PreviewDialog.h"
#include "config/tvFolderBrowser.h"
#include "core/RegSettings.h"
#include "host/win32/VersionResource.h"
#include "host/win32/resource.h"
#include "images/Image.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(item);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(item, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void SetItemText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

void Enable(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

void Show(HWND dialog, int id, bool shown) {
    ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

void SetupTrackBar(HWND dialog, int id, int low, int high, int tick, int position) {
    HWND bar = GetDlgItem(dialog, id);
    SendMessageA(bar, TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
    SendMessageA(bar, TBM_SETTICFREQ, static_cast<WPARAM>(tick), 0);
    SendMessageA(bar, TBM_SETPOS, TRUE, position);
}

int TrackBarPosition(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0));
}

// One tooltip window per page; each control is registered by its handle and subclassed by
// the tooltip, so no mouse messages need relaying.
class ToolTip {
public:
    void Create(HWND page) {
        m_Hwnd = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        m_Page = page;
        if (m_Hwnd != nullptr)
            SendMessageA(m_Hwnd, TTM_SETMAXTIPWIDTH, 0, 300);
    }
    void AddTool(int id, const char* text) const {
        if (m_Hwnd == nullptr)
            return;
        TTTOOLINFOA info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = m_Page;
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(m_Page, id));
        info.lpszText = const_cast<char*>(text);
        SendMessageA(m_Hwnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }

private:
    HWND m_Hwnd = nullptr;
    HWND m_Page = nullptr;
};

// The shell's folder picker, rooted at the desktop.
class ShellFolderBrowser : public tvFolderBrowser {
public:
    explicit ShellFolderBrowser(const HWND& owner) : m_Owner(owner) {}

protected:
    bool Pick(const std::string& title, std::string& path) override {
        BROWSEINFOA info{};
        info.hwndOwner = m_Owner;
        info.lpszTitle = title.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
        PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&info);
        if (item == nullptr)
            return false;
        char chosen[MAX_PATH] = {};
        const bool ok = SHGetPathFromIDListA(item, chosen) != FALSE;
        CoTaskMemFree(item);
        if (ok)
            path = chosen;
        return ok;
    }

private:
    const HWND& m_Owner;
};

// Runs calls queued from any thread on the sheet's thread, through a message-only window.
class CallQueue {
public:
    CallQueue() {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassExA(&wc); // fails harmlessly when registered before
        m_Hwnd = CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                 nullptr);
    }
    ~CallQueue() {
        // Calls still queued are dropped, as the pages they would reach are gone.
        MSG msg;
        while (PeekMessageA(&msg, m_Hwnd, kRun, kRun, PM_REMOVE))
            std::unique_ptr<Call>(reinterpret_cast<Call*>(msg.lParam));
        DestroyWindow(m_Hwnd);
    }
    CallQueue(const CallQueue&) = delete;
    CallQueue& operator=(const CallQueue&) = delete;

    void Post(std::function<void()> call) const {
        auto owned = std::make_unique<Call>(std::move(call));
        if (m_Hwnd != nullptr &&
            PostMessageA(m_Hwnd, kRun, 0, reinterpret_cast<LPARAM>(owned.get())))
            owned.release(); // the window procedure owns it now
    }

private:
    using Call = std::function<void()>;
    static constexpr UINT kRun = WM_APP + 1;
    static constexpr const char* kClass = "KinetoraCallQueue";

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != kRun)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        const std::unique_ptr<Call> call(reinterpret_cast<Call*>(lParam));
        (*call)();
        return 0;
    }

    HWND m_Hwnd = nullptr;
};

INT_PTR CALLBACK PreviewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

struct Sheet;

class SheetServices : public ConfigServices {
public:
    explicit SheetServices(Sheet& sheet) : m_Sheet(sheet), m_Browser(m_Owner) {}
    tvFolderBrowser& FolderBrowser() override;
    void ShowHelp() override;
    void Message(const std::string& caption, const std::string& text) override;
    void RunPreview(const std::string& folder) override;
    void SetBusy(bool busy) override {
        SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
    }
    void Post(std::function<void()> call) override { m_Queue.Post(std::move(call)); }

private:
    Sheet& m_Sheet;
    HWND m_Owner = nullptr;
    ShellFolderBrowser m_Browser;
    CallQueue m_Queue;
};

struct Sheet {
    Sheet(CSaverApp& application, RegSettings& values, const ProfileStore& store)
        : app(application), settings(values), services(*this), model(values, store, services) {}

    // The sheet's own window (the parent of every page).
    HWND Window() const { return page != nullptr ? GetParent(page) : nullptr; }

    CSaverApp& app;
    RegSettings& settings;
    SheetServices services;
    CConfigProp model;
    HWND page = nullptr; // the page shown last
    HWND imagesPage = nullptr;
    bool finished = false;
};

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

struct PreviewState {
    explicit PreviewState(const std::string& folder) : model(folder) {}
    CPreviewDialog model;
    ToolTip tip;
};

void SheetServices::RunPreview(const std::string& folder) {
    PreviewState state(folder);
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PREVIEW), m_Sheet.Window(),
                    PreviewProc, reinterpret_cast<LPARAM>(&state));
}

Sheet* SheetOf(HWND page) {
    return reinterpret_cast<Sheet*>(GetWindowLongPtrA(page, DWLP_USER));
}

// Stores the sheet given through the page's PROPSHEETPAGE at WM_INITDIALOG.
Sheet* AttachSheet(HWND page, LPARAM lParam) {
    const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    auto* sheet = reinterpret_cast<Sheet*>(psp->lParam);
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(sheet));
    return sheet;
}

// OK and Cancel reach every page that was opened; the first to hear decides for all.
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
            sheet.model.OnOK();
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

INT_PTR CALLBACK GeneralProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
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

INT_PTR CALLBACK ImagesProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
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

INT_PTR CALLBACK InfoProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
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

INT_PTR CALLBACK PreviewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
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
        Page(IDD_GENERAL, GeneralProc, sheet),
        Page(IDD_IMAGES, ImagesProc, sheet),
        Page(IDD_INFO, InfoProc, sheet),
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

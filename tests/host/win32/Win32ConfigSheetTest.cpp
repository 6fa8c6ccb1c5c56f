#include "host/win32/Win32ConfigSheet.h"

#include "app/SaverApp.h"
#include "config/ConfigProp.h"
#include "core/MemoryProfileStore.h"
#include "host/win32/resource.h"
#include "support/RefusingStore.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Plays a user on the modal sheet from a timer of its thread (the sheet's and the message
// box's loops both dispatch it): moves the speed to 80 and presses OK, reads and closes the
// error box, looks whether the sheet is still there with the change, mends the store and
// presses OK again.
struct User {
    RefusingStore* store = nullptr;
    int step = 0;
    int ticks = 0;
    std::string caption;
    std::string text;
    bool openAfterError = false;
    int speedAfterError = -1;
};
User* gUser = nullptr;

HWND SheetWindow() {
    return FindWindowA("#32770", CConfigProp::Caption);
}

std::string Text(HWND hwnd) {
    char buffer[1024] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

// The message box's text is its static control that is not the icon.
BOOL CALLBACK FindText(HWND child, LPARAM out) {
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    const std::string text = Text(child);
    if (std::string(name) == "Static" && !text.empty())
        *reinterpret_cast<std::string*>(out) += text;
    return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    User& user = *gUser;
    const HWND sheet = SheetWindow();
    if (++user.ticks > 100) { // 10 s: let the test fail instead of hanging
        if (const HWND box = FindWindowA("#32770", CConfigProp::NotSavedCaption))
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        if (sheet != nullptr)
            PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return;
    }
    if (sheet == nullptr)
        return;
    const HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    const HWND speed = page != nullptr ? GetDlgItem(page, IDC_SPEED) : nullptr;
    switch (user.step) {
    case 0:
        if (speed == nullptr)
            return;
        SendMessageA(speed, TBM_SETPOS, TRUE, 80);
        SendMessageA(page, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(speed));
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        user.step = 1;
        break;
    case 1:
        if (const HWND box = FindWindowA("#32770", CConfigProp::NotSavedCaption)) {
            user.caption = Text(box);
            EnumChildWindows(box, FindText, reinterpret_cast<LPARAM>(&user.text));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            user.step = 2;
        }
        break;
    case 2:
        if (FindWindowA("#32770", CConfigProp::NotSavedCaption) != nullptr)
            return;
        user.openAfterError = true;
        user.speedAfterError = static_cast<int>(SendMessageA(speed, TBM_GETPOS, 0, 0));
        user.store->refusing = false;
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        user.step = 3;
        break;
    default:
        break;
    }
}

// A save that fails is shown with its reason in an error box, and the sheet stays open with
// the user's change, so that a later OK writes it.
TEST(Win32ConfigSheet, OkThatCannotSaveShowsTheErrorAndStaysOpen) {
    auto owned =
        std::make_unique<RefusingStore>("cannot write in the folder C:\\cfg: Access is denied",
                                        "C:\\cfg\\Kinetora.ini: the file is read-only");
    RefusingStore* store = owned.get();
    store->SetRaw("FramesPerSecond", "21"); // a record: no speed test
    CSaverApp app;
    app.Init(ModeConfigure, 1, std::move(owned));
    // A window of an earlier test may have left its WM_QUIT, which would end the sheet's loop.
    MSG pending;
    while (PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE))
        ;
    User user;
    user.store = store;
    gUser = &user;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, Tick);
    RunWin32ConfigSheet(app);
    KillTimer(nullptr, timer);
    gUser = nullptr;

    EXPECT_EQ(user.caption, "Error");
    EXPECT_EQ(user.text.rfind("The settings were not saved.", 0), 0u) << user.text;
    EXPECT_NE(user.text.find("Access is denied"), std::string::npos) << user.text;
    EXPECT_TRUE(user.openAfterError);
    EXPECT_EQ(user.speedAfterError, 80);
    EXPECT_EQ(store->ReadInt("Speed", -1), 80) << "the second OK writes the kept change";
    EXPECT_LT(user.ticks, 100) << "the sheet did not close on the second OK";
    app.Shutdown();
}

} // namespace

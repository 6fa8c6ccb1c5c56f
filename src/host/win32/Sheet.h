#pragma once

#include "config/ConfigProp.h"
#include "config/ConfigServices.h"
#include "host/win32/CallQueue.h"
#include "host/win32/ShellFolderBrowser.h"

#include <windows.h>

#include <functional>
#include <string>

class CSaverApp;
class ProfileStore;
class RegSettings;
struct Sheet;

// What the pages' behaviour asks of the property sheet: the folder picker, help, messages,
// the preview dialog, the busy cursor and calls run on the sheet's thread.
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

// The state every page of one property sheet shares; each page finds it through its window.
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

// The sheet of a page that was attached; nullptr before WM_INITDIALOG.
Sheet* SheetOf(HWND page);
// Stores the sheet given through the page's PROPSHEETPAGE at WM_INITDIALOG.
Sheet* AttachSheet(HWND page, LPARAM lParam);
// OK and Cancel reach every page that was opened; the first to hear decides for all.
INT_PTR OnSheetNotify(HWND page, Sheet& sheet, const NMHDR& header);

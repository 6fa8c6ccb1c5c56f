#pragma once

#include "config/tvFolderBrowser.h"

#include <windows.h>

#include <string>

// The shell's folder picker, rooted at the desktop, owned by the window owner names when it
// opens (the sheet's window is made after the browser).
class ShellFolderBrowser : public tvFolderBrowser {
public:
    explicit ShellFolderBrowser(const HWND& owner) : m_Owner(owner) {}

protected:
    bool Pick(const std::string& title, std::string& path) override;

private:
    const HWND& m_Owner;
};

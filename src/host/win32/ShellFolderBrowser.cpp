#include "host/win32/ShellFolderBrowser.h"

#include <objbase.h>
#include <shlobj.h>

bool ShellFolderBrowser::Pick(const std::string& title, std::string& path) {
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

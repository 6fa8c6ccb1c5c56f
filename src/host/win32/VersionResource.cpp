#include "host/win32/VersionResource.h"

#include "app/SaverApp.h"

#include <windows.h>

#include <cstring>
#include <vector>

std::string ReadProductVersion(const std::string& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    if (size == 0)
        return std::string();
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, block.data()))
        return std::string();
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\ProductVersion", &value,
                        &length) ||
        value == nullptr || length == 0)
        return std::string();
    // The length counts the closing zero, which a resource compiler may leave out.
    const char* text = static_cast<const char*>(value);
    return std::string(text, strnlen(text, length));
}

std::string ModuleProductVersion() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A path cut at MAX_PATH would name another file.
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    const std::string text = ReadProductVersion(std::string(path, length));
    return text.empty() ? text : CSaverApp::GetProductVersion(text);
}

#include "host/posix/SheetModule.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <vector>

namespace {

// The entry points host/qt/SheetEntry.cpp exports.
constexpr const char* kCanShowSymbol = "kinetora_sheet_can_show";
constexpr const char* kRunSymbol = "kinetora_sheet_run";

std::string SheetModulePath(const std::string& folder) {
    return folder + "/kinetora-sheet.so";
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    const std::string program(path, static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

} // namespace

const SheetModule* LoadSheetModule(std::string& error) {
    static SheetModule module{};
    if (module.run != nullptr)
        return &module;
    // Beside the program first: a build tree's program never takes an installed module.
    std::vector<std::string> candidates;
    const std::string beside = ProgramFolder();
    if (!beside.empty())
        candidates.push_back(SheetModulePath(beside));
    candidates.push_back(SheetModulePath(KINETORA_SHEET_DIR));
    std::string tried;
    for (const std::string& path : candidates) {
        if (access(path.c_str(), F_OK) != 0) {
            tried += (tried.empty() ? "" : ", ") + path;
            continue;
        }
        // Never unloaded: Qt keeps threads and handlers that outlive the sheet.
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = dlerror();
            error = why != nullptr ? why : path + ": cannot be loaded";
            return nullptr;
        }
        auto* canShow = reinterpret_cast<bool (*)()>(dlsym(handle, kCanShowSymbol));
        auto* run = reinterpret_cast<void (*)(CSaverApp&)>(dlsym(handle, kRunSymbol));
        if (canShow == nullptr || run == nullptr) {
            error = path + " is not the settings sheet of this program";
            dlclose(handle);
            return nullptr;
        }
        module.canShow = canShow;
        module.run = run;
        return &module;
    }
    error = "not found (looked for " + tried + ")";
    return nullptr;
}

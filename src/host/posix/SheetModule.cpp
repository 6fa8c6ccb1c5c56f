#include "host/posix/SheetModule.h"

#include "host/posix/ModulePath.h"

#include <dlfcn.h>
#include <unistd.h>

namespace {

// The entry points host/qt/SheetEntry.cpp exports.
constexpr const char* kCanShowSymbol = "kinetora_sheet_can_show";
constexpr const char* kRunSymbol = "kinetora_sheet_run";

} // namespace

const SheetModule* LoadSheetModule(std::string& error) {
    static SheetModule module{};
    if (module.run != nullptr)
        return &module;
    std::string tried;
    for (const std::string& path : ModuleCandidates("kinetora-sheet.so")) {
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

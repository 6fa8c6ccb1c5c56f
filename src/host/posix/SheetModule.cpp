#include "host/posix/SheetModule.h"

#include "host/posix/ModulePath.h"

#include <vector>

namespace {

// The entry points host/qt/SheetEntry.cpp exports.
constexpr const char* kCanShowSymbol = "kinetora_sheet_can_show";
constexpr const char* kRunSymbol = "kinetora_sheet_run";

} // namespace

const SheetModule* LoadSheetModule(std::string& error) {
    static SheetModule module{};
    if (module.run != nullptr)
        return &module;
    // Qt keeps threads and handlers that outlive the sheet: the module stays loaded.
    std::vector<void*> found;
    if (!OpenModule("kinetora-sheet.so", {kCanShowSymbol, kRunSymbol}, "settings sheet", found,
                    error))
        return nullptr;
    module.canShow = reinterpret_cast<bool (*)()>(found[0]);
    module.run = reinterpret_cast<void (*)(CSaverApp&)>(found[1]);
    return &module;
}

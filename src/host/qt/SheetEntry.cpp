// The entry points of the settings-sheet module (host/posix/SheetModule.h loads it).
#include "host/qt/QtConfigSheet.h"

extern "C" {
__attribute__((visibility("default"))) bool kinetora_sheet_can_show();
__attribute__((visibility("default"))) void kinetora_sheet_run(CSaverApp& app);
}

bool kinetora_sheet_can_show() {
    return CanShowConfigSheet();
}

void kinetora_sheet_run(CSaverApp& app) {
    RunConfigSheet(app);
}

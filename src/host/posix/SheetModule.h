#pragma once

#include <string>

class CSaverApp;

// The settings sheet is a module of its own, loaded only by the configure mode, so that
// saver runs never load the GUI toolkit (tens of libraries bound at load time).
struct SheetModule {
    bool (*canShow)();       // a window can be shown (a display is named)
    void (*run)(CSaverApp&); // runs the sheet modally on the application's settings
};

// Finds the module beside the program, else in the installed folder, and loads it once.
// On failure: nullptr, and error says why.
const SheetModule* LoadSheetModule(std::string& error);

#pragma once

#include "config/tvFolderBrowser.h"

#include <functional>
#include <memory>
#include <string>

// What the configuration sheet does with the world outside it. Any hook left empty takes
// the real thing (folder dialog, message boxes, the preview dialog); tests answer them.
struct QtSheetHooks {
    std::unique_ptr<tvFolderBrowser> browser;
    // Every box the sheet shows: its own messages and the errors and notes of the program.
    std::function<void(const std::string& caption, const std::string& text)> message;
    std::function<void(const std::string& folder)> preview;
    std::function<void()> help;
};

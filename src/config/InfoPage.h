#pragma once

#include <string>

// The Information page: the product with its version, a few words about it, and Help.
class CInfoPage {
public:
    static constexpr const char* Caption = "Information";
    static constexpr const char* HelpLabel = "&Help";

    // "Kinetora Screensaver v" followed by version.
    static std::string Title(const std::string& version);
    // The read-only text under the title.
    static std::string Text();
};

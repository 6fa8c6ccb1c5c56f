#include "host/win32/VersionResource.h"

#include "app/SaverApp.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The saver is built beside the test program.
std::string SaverBesideThisProgram() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + "Kinetora.scr";
}

} // namespace

TEST(VersionResource, SaverShowsTheBuildVersionWithItsFourthNumber) {
    const std::string scr = SaverBesideThisProgram();
    ASSERT_NE(GetFileAttributesA(scr.c_str()), INVALID_FILE_ATTRIBUTES) << scr << " not built";
    // The resource writes the project's three numbers and a 0, separated by ", ".
    std::string written;
    for (const char c : std::string(KINETORA_VERSION))
        written += c == '.' ? std::string(", ") : std::string(1, c);
    written += ", 0";
    EXPECT_EQ(ReadProductVersion(scr), written);
    EXPECT_EQ(CSaverApp::GetProductVersion(ReadProductVersion(scr)),
              std::string(KINETORA_VERSION) + ".0");
}

TEST(VersionResource, MissingResourceOrFileGivesNothing) {
    EXPECT_EQ(ModuleProductVersion(), "") << "the test program carries no version resource";
    EXPECT_EQ(ReadProductVersion("C:\\no\\such\\file.scr"), "");
}

#include "host/win32/FolderMarks.h"

#include "support/TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

TEST(FolderMarks, AttributesDecideWhichSubfoldersASearchTakes) {
    TempDir dir;
    const std::pair<const char*, DWORD> folders[] = {
        {"plain", FILE_ATTRIBUTE_NORMAL},
        {"system", FILE_ATTRIBUTE_SYSTEM},
        {"hidden", FILE_ATTRIBUTE_HIDDEN},
        {"both", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN}};
    for (const auto& [name, attributes] : folders) {
        const std::string path = dir / name;
        ASSERT_TRUE(std::filesystem::create_directory(path));
        std::FILE* file = std::fopen((path + "/p.jpg").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
        const DWORD marks = FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN;
        if ((GetFileAttributesA(path.c_str()) & marks) != (attributes & marks))
            GTEST_SKIP() << "this file system keeps no hidden or system attribute on folders";
        const tvFolder::Marks read = ReadFolderMarks(path);
        EXPECT_EQ(read.system, (attributes & FILE_ATTRIBUTE_SYSTEM) != 0) << name;
        EXPECT_EQ(read.hidden, (attributes & FILE_ATTRIBUTE_HIDDEN) != 0) << name;
    }
    EXPECT_FALSE(ReadFolderMarks(dir / "missing").hidden);

    tvFolder::SetMarksReader(&ReadFolderMarks);
    std::vector<std::string> results;
    tvFolder(dir.Path()).SearchTree("*.jpg", results, false, true, false);
    tvFolder all(dir.Path());
    all.AddSubfolders(true, true);
    tvFolder::SetMarksReader(nullptr);
    std::sort(results.begin(), results.end());
    EXPECT_EQ(results, (std::vector<std::string>{dir / "plain", dir / "system"}));
    EXPECT_EQ(all.SubfolderNames().size(), 4u);
    // Attributes off again, so the folder can be removed.
    for (const auto& [name, attributes] : folders)
        SetFileAttributesA((dir / name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

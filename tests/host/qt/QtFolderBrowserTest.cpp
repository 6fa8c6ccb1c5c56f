#include "host/qt/QtFolderBrowser.h"

#include "support/TempDir.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

QString AsTheDialogShows(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

TEST(QtFolderBrowserTest, FoldersNamedInAnotherEncodingAreFoundAgainByTheirBytes) {
    TempDir dir;
    const std::string latin1 = dir / "caf\xe9";
    const std::string deep = latin1 + "/sub\xff\xfe";
    const std::string utf8 = dir / "caf\xc3\xa9";
    std::filesystem::create_directories(deep);
    std::filesystem::create_directory(utf8);

    EXPECT_EQ(QtFolderBrowser::FileSystemPath(AsTheDialogShows(deep)), deep);
    EXPECT_EQ(QtFolderBrowser::FileSystemPath(AsTheDialogShows(utf8)), utf8);

    std::filesystem::remove_all(deep);
    EXPECT_EQ(QtFolderBrowser::FileSystemPath(AsTheDialogShows(deep)), std::nullopt);
    // Another name that reads the same: nothing is picked rather than the wrong folder.
    std::filesystem::create_directory(dir / "caf\xe8");
    EXPECT_EQ(QtFolderBrowser::FileSystemPath(AsTheDialogShows(latin1)), std::nullopt);
}

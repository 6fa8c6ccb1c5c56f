#include "core/tvLibrary.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using Pieces = std::vector<std::string>;

namespace {

Pieces SplitAll(const std::string& text, int expectedCount) {
    Pieces out{"before"};
    EXPECT_EQ(tvLibrary::Split(text, '*', out), expectedCount) << text;
    EXPECT_EQ(out.front(), "before") << "Split appends";
    out.erase(out.begin());
    return out;
}

} // namespace

TEST(tvLibrary, SplitKeepsEmptyInnerPiecesButNoEmptyTail) {
    EXPECT_EQ(SplitAll("a*b*", 2), (Pieces{"a", "b"}));
    EXPECT_EQ(SplitAll("a*b", 2), (Pieces{"a", "b"}));
    EXPECT_EQ(SplitAll("a**b", 3), (Pieces{"a", "", "b"}));
    EXPECT_EQ(SplitAll("a", 1), (Pieces{"a"}));
    EXPECT_EQ(SplitAll("", 0), Pieces{});
    EXPECT_EQ(SplitAll("*", 1), (Pieces{""}));
    EXPECT_EQ(SplitAll("*x", 2), (Pieces{"", "x"}));
}

TEST(tvLibrary, MessagesGoThroughTheSinkWithTheirCaptions) {
    std::vector<std::string> seen;
    auto previous = tvLibrary::SetMessageSink(
        [&seen](tvLibrary::MessageKind kind, const std::string& caption, const std::string& text) {
            seen.push_back((kind == tvLibrary::MessageKind::Error ? "E " : "N ") + caption + "|" +
                           text);
        });
    tvLibrary::Error("no visual");
    tvLibrary::Note("search done");
    tvLibrary::SetMessageSink(std::move(previous));
    EXPECT_EQ(seen, (std::vector<std::string>{"E Error|no visual", "N Note|search done"}));

    testing::internal::CaptureStderr();
    tvLibrary::Error("back to standard error");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: back to standard error\n");
}

TEST(tvLibrary, FileExists) {
    TempDir dir;
    std::ofstream(dir / "present").put('x');
    EXPECT_TRUE(tvLibrary::FileExists(dir / "present"));
    EXPECT_TRUE(tvLibrary::FileExists(dir.Path())); // folders count, as with _access
    EXPECT_FALSE(tvLibrary::FileExists(dir / "absent"));
}

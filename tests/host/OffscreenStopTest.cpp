// The off-screen runs under an ending signal: no X server is needed (DISPLAY is removed).
#include <gtest/gtest.h>

#include "ProgramRun.h"

#include <csignal>
#include <filesystem>

namespace {

constexpr int kStartMs = 20000;
constexpr int kExitMs = 10000;

const std::map<std::string, std::string> kNoDisplay = {{"DISPLAY", ""}};

} // namespace

TEST(OffscreenStop, RenderStoppedBySignalWritesNoPictureAndFails) {
    const TempFolder config;
    const std::string png = config.Path() + "/long.png";
    ProgramRun run({"--render", png, "--frames", "100000", "--size", "64x48", "--seed", "5"},
                   config.Path(), kNoDisplay);
    ASSERT_TRUE(WaitUntil([&] { return run.Catches(SIGTERM) || !run.Running(); }, kStartMs));
    ASSERT_TRUE(run.Running()) << run.Stderr();
    run.Signal(SIGTERM);
    const std::optional<int> status = run.WaitExit(kExitMs);
    ASSERT_TRUE(status.has_value()) << "still running";
    EXPECT_EQ(*status, 128 + SIGTERM);
    EXPECT_FALSE(std::filesystem::exists(png));
    EXPECT_NE(run.Stderr().find("SIGTERM"), std::string::npos) << run.Stderr();
}

TEST(OffscreenStop, BenchStoppedBySignalPrintsItsSummaryAndFails) {
    const TempFolder config;
    ProgramRun run({"--bench", "--seconds", "600", "--size", "64x48", "--seed", "5"}, config.Path(),
                   kNoDisplay);
    // The heading comes after the handlers are installed.
    ASSERT_TRUE(WaitUntil(
        [&] { return run.Stdout().find("polygon budget") != std::string::npos || !run.Running(); },
        kStartMs));
    ASSERT_TRUE(run.Running()) << run.Stderr();
    run.Signal(SIGINT);
    const std::optional<int> status = run.WaitExit(kExitMs);
    ASSERT_TRUE(status.has_value()) << "still running";
    EXPECT_EQ(*status, 128 + SIGINT);
    EXPECT_NE(run.Stdout().find("\nscenes "), std::string::npos) << run.Stdout();
    EXPECT_NE(run.Stderr().find("SIGINT"), std::string::npos) << run.Stderr();
}

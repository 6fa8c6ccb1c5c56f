// A budget stored by a much faster machine (the largest the program writes) must neither
// hang the first frames nor keep an ending signal waiting: the run starts from a budget it
// can trust, and composition and drawing give up as soon as the signal comes.
#include <gtest/gtest.h>

#include "ProgramRun.h"

#include <csignal>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kStartMs = 20000;
// Far above what the latency script measures; before the mend these runs took minutes.
constexpr int kExitMs = 5000;

void StoreHugeBudget(const TempFolder& config) {
    std::filesystem::create_directories(config.Path() + "/Tovenhall");
    std::ofstream(config.Path() + "/Tovenhall/Kinetora.conf")
        << "[Config]\nFramesPerSecond=25\nPolygons=10000000\n";
}

TEST(HugeBudgetStop, BenchEndsPromptlyOnSignalAndKeepsTheStoredBudget) {
    for (const char* seed : {"1", "2", "3"}) {
        const TempFolder config;
        StoreHugeBudget(config);
        ProgramRun run({"--bench", "--seconds", "600", "--size", "640x480", "--seed", seed},
                       config.Path(), {{"DISPLAY", ""}});
        ASSERT_TRUE(WaitUntil(
            [&] {
                return run.Stdout().find("polygon budget") != std::string::npos || !run.Running();
            },
            kStartMs));
        ASSERT_TRUE(run.Running()) << run.Stderr();
        EXPECT_NE(run.Stdout().find("polygon budget 25000,"), std::string::npos) << run.Stdout();
        // Let the first scene get under way, then stop it.
        WaitUntil([] { return false; }, 1500);
        run.Signal(SIGTERM);
        const std::optional<int> status = run.WaitExit(kExitMs);
        ASSERT_TRUE(status.has_value()) << "seed " << seed << " still running";
        EXPECT_EQ(*status, 128 + SIGTERM);
    }
}

} // namespace

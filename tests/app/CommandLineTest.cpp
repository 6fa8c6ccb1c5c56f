#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Mode = CommandLine::Mode;

CommandLine Parse(std::vector<std::string> args, const char* env = nullptr) {
    return ParseCommandLine(args, env);
}

} // namespace

TEST(CommandLine, MatchSwitchSkipsOnePrefixAndComparesTheFirstLetterExactly) {
    EXPECT_TRUE(MatchSwitch("/s", 's'));
    EXPECT_TRUE(MatchSwitch("-s", 's'));
    EXPECT_TRUE(MatchSwitch("s", 's'));
    EXPECT_TRUE(MatchSwitch("/S", 's'));     // whole argument, ignoring case
    EXPECT_FALSE(MatchSwitch("/Sfoo", 's')); // neither rule
    EXPECT_TRUE(MatchSwitch("/sfoo", 's'));  // first character
    EXPECT_TRUE(MatchSwitch("/c:1234", 'c'));
    EXPECT_FALSE(MatchSwitch("//s", 's')); // only one prefix is skipped
    EXPECT_FALSE(MatchSwitch("--s", 's'));
    EXPECT_FALSE(MatchSwitch("/", 's'));
    EXPECT_FALSE(MatchSwitch("", 's'));
}

TEST(CommandLine, FirstArgumentSelectsTheMode) {
    EXPECT_EQ(Parse({}).mode, Mode::Configure);
    EXPECT_EQ(Parse({"/c"}).mode, Mode::Configure);
    EXPECT_EQ(Parse({"/c:1234"}).mode, Mode::Configure);
    EXPECT_EQ(Parse({"/x"}).mode, Mode::Configure);
    EXPECT_EQ(Parse({"/Sfoo"}).mode, Mode::Configure);
    EXPECT_EQ(Parse({"/S"}).mode, Mode::Saver);
    EXPECT_EQ(Parse({"-s"}).mode, Mode::Saver);
    EXPECT_EQ(Parse({"/a", "77"}).mode, Mode::ChangePassword);
    // Only the first argument counts.
    EXPECT_EQ(Parse({"/x", "/s"}).mode, Mode::Configure);
}

TEST(CommandLine, SeedSwitchIsReadInAnyPosition) {
    const CommandLine saver = Parse({"/s", "/r42"});
    EXPECT_EQ(saver.mode, Mode::Saver);
    EXPECT_TRUE(saver.hasSeed);
    EXPECT_EQ(saver.seed, 42);

    // As the first argument it seeds, and the mode falls to configure.
    const CommandLine first = Parse({"/r42", "/s"});
    EXPECT_EQ(first.mode, Mode::Configure);
    EXPECT_EQ(first.seed, 42);

    EXPECT_EQ(Parse({"/s", "-r12345"}).seed, 12345);
    EXPECT_EQ(Parse({"/s", "r7"}).seed, 7);
    EXPECT_EQ(Parse({"/s", "/r-3"}).seed, -3);
    EXPECT_EQ(Parse({"/s", "/r2147483647"}).seed, 2147483647);
    EXPECT_EQ(Parse({"/s", "/r-2147483648"}).seed, -2147483648LL);
    EXPECT_FALSE(Parse({"/s"}).hasSeed);
    EXPECT_EQ(Parse({"/s", "--seed", "-9"}).seed, -9);
}

TEST(CommandLine, SeedSwitchTakesOnlyTheNumbersSeedTakes) {
    for (const char* bad : {"/rabc", "/r12abc", "/r", "/R", "/r99999999999999999999",
                            "/r2147483648", "/r 5", "/r1.5", "rubbish"}) {
        const CommandLine cl = Parse({"/s", bad});
        EXPECT_EQ(cl.mode, Mode::Invalid) << bad;
        EXPECT_NE(cl.error.find(bad), std::string::npos) << cl.error;
        EXPECT_NE(cl.error.find("-2147483648 to 2147483647"), std::string::npos) << cl.error;
        // --seed refuses the same texts.
        const std::string number = std::string(bad).substr(2);
        EXPECT_EQ(Parse({"/s", "--seed", number}).mode, Mode::Invalid) << number;
    }
}

TEST(CommandLine, ALinuxModeTakesTheWholeCommandLine) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"--render", "--size", "320x240", "out.png"},
         "--render needs an output file, not the option '--size'"},
        {{"--render", "a.png", "5", "junk"}, "unexpected argument '5' (try --help)"},
        {{"--bench", "-x"}, "unexpected argument '-x' (try --help)"},
        {{"--render", "a.png", "/s"}, "choose one mode: --render or /s"},
        {{"/p", "5", "--window"}, "choose one mode: --window or /p"},
        {{"-root", "c"}, "choose one mode: -root or c"},
        {{"--render", "a.png", "--bench"}, "choose one mode: --render or --bench"},
        {{"--window", "--window-id", "7"}, "choose one mode: --window or --window-id"},
        {{"--window", "--images", "--fps"}, "--images needs a folder, not the option '--fps'"},
        {{"--window", "--images"}, "--images needs a folder"},
        {{"--bench", "--seconds", "86401"},
         "--seconds needs a number of seconds above 0 and at most 86400"},
    };
    for (const auto& [args, line] : bad) {
        const CommandLine cl = Parse(args);
        EXPECT_EQ(cl.mode, Mode::Invalid) << args[0];
        EXPECT_EQ(cl.error, line);
    }
    // What may stand beside a mode: its options, the r switch, one hosted mode said twice.
    EXPECT_EQ(Parse({"--render", "a.png", "/r42", "--fps"}).seed, 42);
    EXPECT_EQ(Parse({"--root", "--window-id", "9"}).mode, Mode::Hosted);
    EXPECT_EQ(Parse({"--bench", "--seconds", "86400"}).mode, Mode::Bench);
    EXPECT_EQ(Parse({"--render", "./-dash.png"}).outputFile, "./-dash.png");
    EXPECT_EQ(Parse({"--root", "junk", "--help"}).mode, Mode::Help);
    // Without one, the Windows rules stand: the first argument decides, the rest is ignored.
    EXPECT_EQ(Parse({"/s", "junk", "5"}).mode, Mode::Saver);
    EXPECT_EQ(Parse({"--fps", "/p", "12", "x"}).windowId, 12u);
}

TEST(CommandLine, PreviewReadsTheWindowIdFromTheSecondArgument) {
    const CommandLine dec = Parse({"/p", "1234"});
    EXPECT_EQ(dec.mode, Mode::Preview);
    EXPECT_EQ(dec.windowId, 1234u);
    EXPECT_EQ(Parse({"-p", "0x4a0000b"}).windowId, 0x4a0000bu);
    EXPECT_EQ(Parse({"/p", "0XFF"}).windowId, 255u);

    for (const auto& bad : std::vector<std::vector<std::string>>{{"/p"},
                                                                 {"/p", "abc"},
                                                                 {"/p", "12ab"},
                                                                 {"/p", "0x"},
                                                                 {"/p", "0"},
                                                                 {"/p", "-5"},
                                                                 {"/p", "0x1ffffffff"},
                                                                 {"/p", ""},
                                                                 {"/p", " 12"}}) {
        const CommandLine cl = Parse(bad);
        EXPECT_EQ(cl.mode, Mode::Invalid) << bad.size();
        EXPECT_FALSE(cl.error.empty());
        EXPECT_EQ(cl.error.find('\n'), std::string::npos);
    }
}

TEST(CommandLine, LinuxWordsComeBeforeWindowsSwitches) {
    // "-root" starts with r after its dash, but it is not a seed.
    const CommandLine root = Parse({"-root"});
    EXPECT_EQ(root.mode, Mode::Hosted);
    EXPECT_TRUE(root.useRoot);
    EXPECT_FALSE(root.hasSeed);

    EXPECT_EQ(Parse({"--root"}).mode, Mode::Hosted);
    EXPECT_EQ(Parse({"-window"}).mode, Mode::Windowed);
    EXPECT_EQ(Parse({"--window", "--size", "640x480"}).width, 640);

    // A value of a Linux word is not a switch either.
    const CommandLine render = Parse({"--render", "rframe.png", "--frames", "3"});
    EXPECT_EQ(render.mode, Mode::Render);
    EXPECT_EQ(render.outputFile, "rframe.png");
    EXPECT_EQ(render.frames, 3);
    EXPECT_FALSE(render.hasSeed);
}

TEST(CommandLine, HostedWindowIdPrefersTheOptionThenTheEnvironmentThenTheRoot) {
    const CommandLine option = Parse({"--root", "--window-id", "0x2c00007"}, "0x1400003");
    EXPECT_EQ(option.mode, Mode::Hosted);
    EXPECT_EQ(option.windowId, 0x2c00007u);
    EXPECT_FALSE(option.useRoot);

    const CommandLine env = Parse({"-root"}, "0x1400003");
    EXPECT_EQ(env.windowId, 0x1400003u);
    EXPECT_FALSE(env.useRoot);
    EXPECT_EQ(Parse({"-root"}, "20971523").windowId, 20971523u);

    EXPECT_TRUE(Parse({"-root"}, "").useRoot);
    EXPECT_EQ(Parse({"-window-id", "99"}).windowId, 99u); // hosted without --root too

    EXPECT_EQ(Parse({"-root"}, "junk").mode, Mode::Invalid);
    EXPECT_EQ(Parse({"--window-id"}).mode, Mode::Invalid);
    EXPECT_EQ(Parse({"--window-id", "window"}).mode, Mode::Invalid);
    // The variable matters only to a hosted run.
    EXPECT_EQ(Parse({"/s"}, "junk").mode, Mode::Saver);
}

TEST(CommandLine, RenderAndBenchOptions) {
    const CommandLine render =
        Parse({"--render", "out.png", "--size", "320x200", "--seed", "5", "--frames", "10"});
    EXPECT_EQ(render.mode, Mode::Render);
    EXPECT_EQ(render.width, 320);
    EXPECT_EQ(render.height, 200);
    EXPECT_TRUE(render.hasSeed);
    EXPECT_EQ(render.seed, 5);
    EXPECT_EQ(render.frames, 10);

    const CommandLine bench = Parse({"--bench", "--seconds", "2.5", "--fps"});
    EXPECT_EQ(bench.mode, Mode::Bench);
    EXPECT_DOUBLE_EQ(bench.seconds, 2.5);
    EXPECT_TRUE(bench.showFps);
    EXPECT_EQ(bench.scenes, 0);
    EXPECT_EQ(Parse({"--bench", "--scenes", "500", "--frames", "3"}).scenes, 500);

    for (const auto& bad :
         std::vector<std::vector<std::string>>{{"--render"},
                                               {"--render", "a.png", "--frames"},
                                               {"--render", "a.png", "--frames", "0"},
                                               {"--render", "a.png", "--frames", "ten"},
                                               {"--render", "a.png", "--size", "320"},
                                               {"--render", "a.png", "--size", "0x200"},
                                               {"--render", "a.png", "--size", "320x200x3"},
                                               {"--render", "a.png", "--size", "x"},
                                               {"--render", "a.png", "--seed", "1.5"},
                                               {"--bench", "--seconds", "-1"},
                                               {"--bench", "--seconds", "nan"},
                                               {"--bench", "--scenes", "0"},
                                               {"--bench", "--scenes", "-2"},
                                               {"--bench", "--scenes"},
                                               {"--render", "a.png", "--bench"},
                                               {"--wndow"}}) {
        EXPECT_EQ(Parse(bad).mode, Mode::Invalid) << bad.back();
    }
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse) {
    EXPECT_EQ(Parse({"/s", "--help"}).mode, Mode::Help);
    EXPECT_EQ(Parse({"-h"}).mode, Mode::Help);
    EXPECT_EQ(Parse({"--version", "--window"}).mode, Mode::Version);
}

TEST(CommandLine, RunSettingsAreAcceptedAtTheirBoundsAndRefusedOutsideWithTheirRange) {
    const CommandLine low = Parse({"--root", "--speed", "0", "--image-prob", "0", "--polygons", "1",
                                   "--image-order", "random"});
    EXPECT_EQ(low.mode, Mode::Hosted);
    EXPECT_EQ(low.overrides.speed, 0);
    EXPECT_EQ(low.overrides.imageProb, 0);
    EXPECT_EQ(low.overrides.polygons, 1);
    EXPECT_EQ(low.overrides.imageOrder, 0);
    EXPECT_FALSE(low.overrides.folders.has_value());

    const CommandLine high =
        Parse({"-window", "-speed", "100", "-image-prob", "100", "-polygons", "10000000",
               "-image-order", "alphabetical", "-images", "/a", "--images", "b/"});
    EXPECT_EQ(high.mode, Mode::Windowed);
    EXPECT_EQ(high.overrides.speed, 100);
    EXPECT_EQ(high.overrides.imageProb, 100);
    EXPECT_EQ(high.overrides.polygons, 10000000);
    EXPECT_EQ(high.overrides.imageOrder, 1);
    EXPECT_EQ(high.overrides.folders, (std::vector<std::string>{"/a", "b/"}));
    EXPECT_FALSE(Parse({"/s"}).overrides.Any());
    // 0 adapts as without the option, also after a fixed budget.
    EXPECT_FALSE(Parse({"/s", "--polygons", "9", "--polygons", "0"}).overrides.Any());

    const std::string speed = "--speed needs a whole number from 0 to 100";
    const std::string prob = "--image-prob needs a whole number from 0 to 100";
    const std::string polygons = "--polygons needs a whole number from 0 to 10000000";
    const std::string order = "--image-order needs random or alphabetical";
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"--speed", "-1"}, speed},
        {{"--speed", "101"}, speed},
        {{"--speed", "5x"}, speed},
        {{"--speed"}, speed},
        {{"--image-prob", "101"}, prob},
        {{"--image-prob", " 5"}, prob},
        {{"--polygons", "-1"}, polygons},
        {{"--polygons", "10000001"}, polygons},
        {{"--polygons", "99999999999999999999"}, polygons},
        {{"--image-order", "Random"}, order},
        {{"--image-order"}, order},
        {{"--images"}, "--images needs a folder"},
        {{"--images", ""}, "--images needs a folder"},
    };
    for (const auto& [args, line] : bad) {
        std::vector<std::string> full = {"--root"};
        full.insert(full.end(), args.begin(), args.end());
        const CommandLine cl = Parse(full);
        EXPECT_EQ(cl.mode, Mode::Invalid) << args[0];
        EXPECT_EQ(cl.error, line);
    }
}

TEST(CommandLine, RecordTakesAFileOrStandardOutputAndOneLength) {
    const CommandLine piped = Parse({"--record", "-", "--seconds", "20", "--seed", "42"});
    EXPECT_EQ(piped.mode, Mode::Record);
    EXPECT_EQ(piped.outputFile, "-");
    EXPECT_TRUE(piped.hasSeconds);
    EXPECT_DOUBLE_EQ(piped.seconds, 20.0);
    EXPECT_FALSE(piped.hasFrames);
    const CommandLine counted = Parse({"--size", "640x360", "--record", "v.y4m", "--frames", "7"});
    EXPECT_EQ(counted.mode, Mode::Record);
    EXPECT_EQ(counted.outputFile, "v.y4m");
    EXPECT_EQ(counted.frames, 7);
    EXPECT_EQ(counted.width, 640);

    for (const auto& bad :
         std::vector<std::vector<std::string>>{{"--record"},
                                               {"--record", ""},
                                               {"--record", "-", "--frames", "5", "--seconds", "1"},
                                               {"--record", "-", "--fps"},
                                               {"--record", "-", "--render", "a.png"},
                                               {"--record", "-", "--window"}}) {
        EXPECT_EQ(Parse(bad).mode, Mode::Invalid) << bad.back();
    }
}

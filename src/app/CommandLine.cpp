#include "app/CommandLine.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int MaxFrames = 1000000;
constexpr int MaxSide = 16384;
constexpr double MaxSeconds = 86400.0;

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The Linux words are accepted with one or two dashes, exactly as written.
bool IsWord(const std::string& arg, const char* word) {
    return arg == std::string("-") + word || arg == std::string("--") + word;
}

bool ParseInt(const std::string& text, long minimum, long maximum, long& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < minimum || v > maximum)
        return false;
    value = v;
    return true;
}

// The number of an "r" switch starts after the prefix and the letter ("/r42", "-r42", "r42")
// and is all the rest, in the range --seed takes.
bool SeedOfSwitch(const std::string& arg, int& seed) {
    const size_t prefix = (arg[0] == '-' || arg[0] == '/') ? 1 : 0;
    long number = 0;
    if (!ParseInt(arg.substr(prefix + 1), INT_MIN, INT_MAX, number))
        return false;
    seed = static_cast<int>(number);
    return true;
}

std::string SeedRange() {
    return "a whole number from " + std::to_string(INT_MIN) + " to " + std::to_string(INT_MAX);
}

CommandLine Invalid(std::string message) {
    CommandLine cl;
    cl.mode = CommandLine::Mode::Invalid;
    cl.error = std::move(message);
    return cl;
}

// The Linux words given: the modes they choose, in order, with the word as written.
struct Pending {
    std::vector<std::pair<CommandLine::Mode, std::string>> modes;
    bool windowId = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> strays; // Windows-style arguments that are not the r switch
};

// The text value of an option: present, not empty, and not the next option.
bool TextValue(const std::vector<std::string>& args, size_t i, std::string& value) {
    if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1][0] == '-')
        return false;
    value = args[i + 1];
    return true;
}

std::string TextValueError(const std::vector<std::string>& args, size_t i, const char* needs) {
    std::string text = args[i] + " needs " + needs;
    if (i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] == '-')
        text += ", not the option '" + args[i + 1] + "'";
    return text;
}

// A Linux mode takes the whole command line: a second mode, or any other argument than
// options and the r switch, is a mistake rather than something to ignore.
bool CheckOneMode(const Pending& words, std::string& error) {
    const std::string& word = words.modes.front().second;
    for (const auto& [mode, other] : words.modes) {
        if (mode != words.modes.front().first) {
            error = "choose one mode: " + word + " or " + other;
            return false;
        }
    }
    if (words.strays.empty())
        return true;
    const std::string& stray = words.strays.front();
    for (const char letter : {'c', 'a', 'p', 's'}) {
        if (MatchSwitch(stray, letter)) {
            error = "choose one mode: " + word + " or " + stray;
            return false;
        }
    }
    error = "unexpected argument '" + stray + "' (try --help)";
    return false;
}

void SelectWindowsMode(const std::vector<std::string>& rest, CommandLine& cl) {
    cl.mode = CommandLine::Mode::Configure;
    if (rest.empty())
        return;
    const std::string& first = rest[0];
    if (MatchSwitch(first, 'c'))
        return;
    if (MatchSwitch(first, 'a')) {
        cl.mode = CommandLine::Mode::ChangePassword;
    } else if (MatchSwitch(first, 'p')) {
        if (rest.size() < 2) {
            cl = Invalid("the preview switch needs a window id");
            return;
        }
        if (!ParseWindowId(rest[1], cl.windowId)) {
            cl = Invalid("bad window id for the preview: '" + rest[1] + "'");
            return;
        }
        cl.mode = CommandLine::Mode::Preview;
    } else if (MatchSwitch(first, 's')) {
        cl.mode = CommandLine::Mode::Saver;
    }
}

} // namespace

bool MatchSwitch(const std::string& argument, char letter) {
    std::string rest = argument;
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '/'))
        rest.erase(0, 1);
    if (rest.empty())
        return false;
    return rest[0] == letter || EqualIgnoringCase(rest, std::string(1, letter));
}

bool ParseWindowId(const std::string& text, unsigned long& id) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty())
        return false;
    for (const char c : digits) {
        const auto u = static_cast<unsigned char>(c);
        if (hex ? !std::isxdigit(u) : !std::isdigit(u))
            return false;
    }
    errno = 0;
    const unsigned long long v = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno != 0 || v == 0 || v > 0xFFFFFFFFull)
        return false;
    id = static_cast<unsigned long>(v);
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    long w = 0;
    long h = 0;
    if (!ParseInt(text.substr(0, x), 1, MaxSide, w) || !ParseInt(text.substr(x + 1), 1, MaxSide, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, const char* screensaverWindow) {
    CommandLine cl;
    Pending words;
    std::vector<std::string> rest; // the Windows-style arguments, in order
    const size_t count = args.size();

    for (size_t i = 0; i < count; ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < count;
        const std::string value = hasValue ? args[i + 1] : std::string();
        long number = 0;

        if (IsWord(arg, "root")) {
            words.modes.emplace_back(CommandLine::Mode::Hosted, arg);
        } else if (IsWord(arg, "window-id")) {
            if (!hasValue)
                return Invalid("--window-id needs a window id");
            if (!ParseWindowId(value, cl.windowId))
                return Invalid("bad window id: '" + value + "'");
            words.modes.emplace_back(CommandLine::Mode::Hosted, arg);
            words.windowId = true;
            ++i;
        } else if (IsWord(arg, "window")) {
            words.modes.emplace_back(CommandLine::Mode::Windowed, arg);
        } else if (IsWord(arg, "x11")) {
            cl.forceX11 = true;
        } else if (IsWord(arg, "render")) {
            if (!TextValue(args, i, cl.outputFile))
                return Invalid(TextValueError(args, i, "an output file"));
            words.modes.emplace_back(CommandLine::Mode::Render, arg);
            ++i;
        } else if (IsWord(arg, "record")) {
            // "-" is standard output, not an option.
            if (hasValue && value == "-")
                cl.outputFile = value;
            else if (!TextValue(args, i, cl.outputFile))
                return Invalid(TextValueError(args, i, "an output file, or - for standard output"));
            words.modes.emplace_back(CommandLine::Mode::Record, arg);
            ++i;
        } else if (IsWord(arg, "bench")) {
            words.modes.emplace_back(CommandLine::Mode::Bench, arg);
        } else if (IsWord(arg, "frames")) {
            if (!ParseInt(value, 1, MaxFrames, number))
                return Invalid("--frames needs a whole number from 1 to 1000000");
            cl.frames = static_cast<int>(number);
            cl.hasFrames = true;
            ++i;
        } else if (IsWord(arg, "scenes")) {
            if (!ParseInt(value, 1, MaxFrames, number))
                return Invalid("--scenes needs a whole number from 1 to 1000000");
            cl.scenes = static_cast<int>(number);
            ++i;
        } else if (IsWord(arg, "windows")) {
            if (!ParseInt(value, 1, CommandLine::MaxWindows, number))
                return Invalid("--windows needs a whole number from 1 to 8");
            cl.windows = static_cast<int>(number);
            ++i;
        } else if (IsWord(arg, "size")) {
            if (!ParseSize(value, cl.width, cl.height))
                return Invalid("--size needs WIDTHxHEIGHT, each from 1 to 16384");
            ++i;
        } else if (IsWord(arg, "seed")) {
            if (!ParseInt(value, INT_MIN, INT_MAX, number))
                return Invalid("--seed needs " + SeedRange());
            cl.hasSeed = true;
            cl.seed = static_cast<int>(number);
            ++i;
        } else if (IsWord(arg, "seconds")) {
            char* end = nullptr;
            const double s = hasValue ? std::strtod(value.c_str(), &end) : 0.0;
            if (!hasValue || value.empty() || *end != '\0' || !std::isfinite(s) || s <= 0.0 ||
                s > MaxSeconds)
                return Invalid("--seconds needs a number of seconds above 0 and at most 86400");
            cl.seconds = s;
            cl.hasSeconds = true;
            ++i;
        } else if (IsWord(arg, "speed")) {
            if (!ParseInt(value, 0, RegSettings::MaxSpeed, number))
                return Invalid("--speed needs a whole number from 0 to 100");
            cl.overrides.speed = static_cast<int>(number);
            ++i;
        } else if (IsWord(arg, "image-prob")) {
            if (!ParseInt(value, 0, RegSettings::MaxImageProb, number))
                return Invalid("--image-prob needs a whole number from 0 to 100");
            cl.overrides.imageProb = static_cast<int>(number);
            ++i;
        } else if (IsWord(arg, "images")) {
            std::string folder;
            if (!TextValue(args, i, folder))
                return Invalid(TextValueError(args, i, "a folder"));
            if (!cl.overrides.folders)
                cl.overrides.folders.emplace();
            cl.overrides.folders->push_back(folder);
            ++i;
        } else if (IsWord(arg, "image-order")) {
            if (value != "random" && value != "alphabetical")
                return Invalid("--image-order needs random or alphabetical");
            cl.overrides.imageOrder = value == "random" ? 0 : 1;
            ++i;
        } else if (IsWord(arg, "polygons")) {
            if (!ParseInt(value, 0, RegSettings::MaxPolygons, number))
                return Invalid("--polygons needs a whole number from 0 to 10000000");
            // 0 is the dialog slider's "adapt": the budget follows the frame rate as usual.
            if (number > 0)
                cl.overrides.polygons = static_cast<int>(number);
            else
                cl.overrides.polygons.reset();
            ++i;
        } else if (IsWord(arg, "fps")) {
            cl.showFps = true;
        } else if (IsWord(arg, "help") || arg == "-h") {
            words.help = true;
        } else if (IsWord(arg, "version")) {
            words.version = true;
        } else if (arg.size() > 2 && arg[0] == '-' && arg[1] == '-') {
            // No Windows-style switch starts with two dashes.
            return Invalid("unknown option '" + arg + "' (try --help)");
        } else {
            if (MatchSwitch(arg, 'r')) {
                if (!SeedOfSwitch(arg, cl.seed))
                    return Invalid("the r switch needs " + SeedRange() + ", as in /r42: '" + arg +
                                   "'");
                cl.hasSeed = true;
            } else {
                words.strays.push_back(arg);
            }
            rest.push_back(arg);
        }
    }

    std::string error;
    if (words.help) {
        cl.mode = CommandLine::Mode::Help;
    } else if (words.version) {
        cl.mode = CommandLine::Mode::Version;
    } else if (words.modes.empty()) {
        SelectWindowsMode(rest, cl);
    } else if (!CheckOneMode(words, error)) {
        return Invalid(error);
    } else {
        cl.mode = words.modes.front().first;
    }
    if (cl.mode == CommandLine::Mode::Record) {
        if (cl.hasFrames && cl.hasSeconds)
            return Invalid("--record takes --frames or --seconds, not both");
        // The display draws with an X server's font, and off screen there is none.
        if (cl.showFps)
            return Invalid("--record cannot show the frame rate (--fps needs an X server)");
    }
    // --window-id wins over the variable, which wins over the real root.
    if (cl.mode == CommandLine::Mode::Hosted && !words.windowId) {
        if (screensaverWindow != nullptr && *screensaverWindow != '\0') {
            if (!ParseWindowId(screensaverWindow, cl.windowId))
                return Invalid(std::string("bad XSCREENSAVER_WINDOW: '") + screensaverWindow + "'");
        } else {
            cl.useRoot = true;
        }
    }
    return cl;
}

std::string UsageText() {
    return "Usage: kinetora [mode] [options]\n"
           "\n"
           "Modes:\n"
           "  (none), /c            the configuration sheet (also any unknown first argument)\n"
           "  /s                    run full screen; input ends the run\n"
           "  /p ID                 preview inside the X window ID (decimal or 0x hex)\n"
           "  --window              run in a normal window (Escape or q ends it)\n"
           "  --root                draw in the window XScreenSaver gives\n"
           "                        (XSCREENSAVER_WINDOW, else the root window)\n"
           "  --window-id ID        draw in the X window ID\n"
           "  --render FILE         draw frames off screen and save the last as PNG\n"
           "  --record FILE|-       draw frames off screen into a YUV4MPEG2 video at 25\n"
           "                        frames per second (- for standard output)\n"
           "  --bench               time the drawing off screen\n"
           "\n"
           "Options:\n"
           "  /rN, --seed N         seed the random generator (a seed replays its scenes)\n"
           "  --frames K            frames to render (default 1) or record; with --bench,\n"
           "                        frames a scene (default 250)\n"
           "  --size WxH            size of the picture or window (default 800x600)\n"
           "  --seconds S           length of the benchmark or the video (default 10, at\n"
           "                        most 86400)\n"
           "  --scenes N            with --bench, end after N scenes (or at the time\n"
           "                        limit if that comes first); with a small --frames,\n"
           "                        a long soak of many short scenes\n"
           "  --windows N           with --bench, play N windows at once, frame by frame,\n"
           "                        each on a context of its own (default 1)\n"
           "  --x11                 with /s or --window, use the X server even in a Wayland\n"
           "                        session\n"
           "  --fps                 show the frame rate, polygon budget, shape and mover\n"
           "\n"
           "Settings for this run only (never stored):\n"
           "  --speed N             animation speed, 0 to 100\n"
           "  --image-prob N        how often photographs are used, 0 to 100 (percent)\n"
           "  --images DIR          a folder of photographs; repeat for more (replaces\n"
           "                        the stored folder list)\n"
           "  --image-order ORDER   random or alphabetical\n"
           "  --polygons N          a fixed polygon budget, 1 to 10000000: no adaptation,\n"
           "                        no frame rate recorded (0: adapt, the default)\n"
           "  --help, --version\n";
}

#pragma once

#include "core/RegSettings.h"

#include <string>
#include <vector>

// True when a Windows-style switch selects the one-letter switch `letter`: one leading '-' or
// '/' is skipped, then either the first character is `letter` exactly (so "/c:1234" is "c"),
// or the whole rest equals the letter ignoring case (so "/S" is "s" but "/Sfoo" is nothing).
bool MatchSwitch(const std::string& argument, char letter);

// Everything the command line asks for, parsed without touching the window system.
struct CommandLine {
    enum class Mode {
        Configure,      // no argument, "c", or an unknown first argument
        ChangePassword, // "a": the desktop's locker owns passwords, so this ends at once
        Preview,        // "p <id>": a child of window <id>
        Saver,          // "s": full screen
        Hosted,         // "--root" / "--window-id": drawing in a window someone else owns
        Windowed,       // "--window": a normal window for trying the saver out
        Render,         // "--render FILE": frames off screen, no X server
        Record,         // "--record FILE|-": a video of the frames, off screen
        Bench,          // "--bench": a timed off-screen run
        Help,
        Version,
        Invalid, // bad input; `error` says why in one line
    };

    Mode mode = Mode::Configure;
    std::string error;

    // The "r<number>" switch or "--seed N"; without either the clock seeds the generator.
    bool hasSeed = false;
    int seed = 0;

    // Preview and Hosted: the X window to draw in. Hosted with `useRoot` draws on the screen's
    // root window (no id given anywhere).
    unsigned long windowId = 0;
    bool useRoot = false;

    bool showFps = false;
    // --x11: full screen and the window use the X server even where a Wayland compositor runs.
    bool forceX11 = false;
    // --speed, --image-prob, --images, --image-order, --polygons: settings for this run only,
    // never stored. The drawing modes apply them; configure and change password ignore them.
    RunOverrides overrides;

    // Render, Record and Bench (Window uses the size too). Zero width means "the default size".
    std::string outputFile;
    int frames = 1;
    bool hasFrames = false; // --frames was given (the benchmark's frames a scene)
    double seconds = 10.0;
    bool hasSeconds = false; // --seconds was given (a recording's length)
    int scenes = 0;          // --scenes: the benchmark ends after this many (0: no limit)
    int windows = 1;         // --windows: scene windows the benchmark plays at once
    static constexpr int MaxWindows = 8;
    int width = 0;
    int height = 0;
};

// Parses the arguments after the program name. `screensaverWindow` is the value of the
// environment variable XSCREENSAVER_WINDOW, or null when it is not set.
CommandLine ParseCommandLine(const std::vector<std::string>& args, const char* screensaverWindow);

// The text of --help (several lines, ending with a newline).
std::string UsageText();

// Strict number readers shared with the hosts: the whole text must be the number.
// A window id is decimal or 0x hexadecimal, non-zero and within 32 bits.
bool ParseWindowId(const std::string& text, unsigned long& id);
// "WxH" with both sides from 1 to 16384.
bool ParseSize(const std::string& text, int& width, int& height);

#pragma once

#include <X11/Xlib.h>

#include <chrono>

// The on-screen frame rate: the swaps of the last whole second, drawn in the bottom-left
// corner over the finished frame with the server's "fixed" font.
class FpsOverlay {
public:
    // Called with the context current, after the frame and before the swap.
    void Draw(Display* display, int width, int height);
    // Frees the font's display lists; the context must still be current.
    void Release();

private:
    bool LoadFont(Display* display);

    unsigned m_FontBase = 0;
    bool m_bFontTried = false;
    int m_Frames = 0;
    std::chrono::steady_clock::time_point m_Since{};
    char m_Text[32] = "";
};

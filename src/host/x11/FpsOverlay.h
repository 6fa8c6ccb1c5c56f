#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <string>

class CSceneWnd;
class Saver;

// The on-screen frame rate, with the polygon budget and the current scene's shape and mover:
// a few lines in the bottom-left corner, over a dark box so they read on any background,
// drawn over the finished frame with the server's "fixed" font.
class FpsOverlay {
public:
    // Called with the context current, after the frame and before the swap.
    void Draw(Display* display, int width, int height);
    // Frees the font's display lists; the context must still be current.
    void Release();
    // The window whose scene the lines describe; without one there is no scene line.
    void Follow(const CSceneWnd* wnd) { m_pWnd = wnd; }

    // The scene line, e.g. "ShapeCube, MoverOrbit x 40"; empty without a scene.
    static std::string SceneText(const Saver* scene);
    // The budget line for the settings' budget and the polygons the scene draws a frame.
    static std::string BudgetText(int budget, bool fixed, int scenePolygons);

private:
    bool LoadFont(Display* display);
    void UpdateText();
    void DrawBox(int lines, int columns) const;
    void DrawLine(const char* line) const;

    unsigned m_FontBase = 0;
    bool m_bFontTried = false;
    int m_LineHeight = 13; // pixels, from the font once loaded
    int m_CharWidth = 6;
    int m_Descent = 2;
    int m_Frames = 0;
    std::chrono::steady_clock::time_point m_Since{};
    char m_Rate[32] = "";
    const CSceneWnd* m_pWnd = nullptr;
    // The scene the lines describe: its address and start, since a new scene may reuse
    // the address of the one it replaces.
    const Saver* m_pScene = nullptr;
    long long m_SceneStart = -1;
    std::string m_Budget;
    std::string m_Scene;
};

#pragma once

// What the scene window needs from the window system it draws in: an X11 window, a window
// hosted by XScreenSaver, or an off-screen surface. The shell and the engine see only this.
class SceneHost {
public:
    enum class GLSetup {
        Ok,
        ChoosePixelFormatFailed, // no visual / config with the required attributes
        SetPixelFormatFailed,    // the window cannot take that visual
        CreateContextFailed,
        MakeCurrentFailed,
    };

    virtual ~SceneHost() = default;

    // Creates the GL context for the window and makes it current.
    virtual GLSetup CreateGLContext() = 0;
    // Releases the context (called before the window goes away).
    virtual void ReleaseGLContext() = 0;
    // Makes the window's context current again. A process with several windows draws in
    // each in turn: the window calls this before it draws, sizes or frees GL objects.
    virtual void MakeCurrent() {}

    // True when an input or window event is waiting; does not remove it.
    virtual bool InputPending() = 0;
    // Blocks for at most ms milliseconds, returning at once when input arrives. Never spins.
    virtual void WaitForInput(int ms) = 0;
    // False for hosts nobody watches (off-screen drawing): frames then follow one another
    // as fast as they can be drawn.
    virtual bool PacesFrames() const { return true; }

    virtual void SwapBuffers() = 0;

    // Asks for the window to be closed once control is back in the event loop.
    virtual void RequestClose() = 0;
};

#pragma once

#include "core/DrawGate.h"

// What a scene asks of the window it plays in while it draws: whether it may go on, the
// wait between frames and the swap. The scene window answers; a scene never sees more of it.
class SceneView : public DrawGate {
public:
    virtual bool IsStopped() const = 0;
    // A scene frame has been put on screen in this run.
    virtual bool HasShownFrame() const = 0;
    // False for windows nobody watches: frames then follow one another at once.
    virtual bool PacesFrames() const = 0;
    // Blocks for at most ms milliseconds, returning at once when input arrives.
    virtual void WaitForInput(int ms) = 0;
    virtual void SwapBuffers() = 0;
};

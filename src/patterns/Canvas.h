#pragma once

class DrawGate;
class Random;

// The 2D surface line drawings plot onto, in whole points: (0, 0) is the first point of the
// first row, x counts columns and y rows. How a point is stored is the subclass's business;
// the base plots with optional jitter and four-fold mirror symmetry and scatters the picture.
// The colour operations speak of pens: a canvas of on/off cells ignores true colours.
class Canvas {
public:
    // width and height in points (negative counts as 0); the generator feeds the jitter and
    // the scatter pass and must outlive the canvas.
    Canvas(int width, int height, Random& rng);
    virtual ~Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    virtual void SetColor(int pen) = 0;
    virtual void SetTrueColor(int rgb) = 0;
    virtual void SetAltColor(int pen) = 0;
    virtual void UseAltColor() = 0;
    // On: the pen becomes the invert pen until it is switched off again (no nesting).
    virtual void SetToggle(bool on) = 0;
    virtual void RestoreColor() = 0;
    // Puts (x, y), jittered by up to one point first when jitter is on, and with mirror on
    // also (width - x, y), (width - x, height - y) and (x, height - y). Points outside the
    // canvas are dropped, never written.
    virtual void Plot(int x, int y);
    virtual bool IsReadable() const = 0;
    virtual int GetPixel(int x, int y) const = 0;
    // Applies the pen to one point; a point outside the canvas is ignored.
    virtual void PutPixel(int x, int y) = 0;
    // Scatters the whole picture: every point is copied to a random spot within a square of
    // 2..33 points around it (clamped to the canvas), in place.
    virtual void Diffuse();
    virtual bool IsOnOff() const = 0;
    // How often a closed figure is redrawn shrunk (0..9), drawn from the caller's generator.
    virtual int RepeatCount(Random& rng, int bias) const = 0;
    virtual bool HasColors() const = 0;
    // Point (toX, toY) := point (fromX, fromY); nothing when either lies outside.
    virtual void CopyPixel(int fromX, int fromY, int toX, int toY) = 0;

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    bool Contains(int x, int y) const { return x >= 0 && x < m_Width && y >= 0 && y < m_Height; }

    bool Mirror() const { return m_bMirror; }
    void SetMirror(bool on) { m_bMirror = on; }
    bool Jitter() const { return m_bJitter; }
    void SetJitter(bool on) { m_bJitter = on; }

    // What drawings on this canvas ask before each step (nullptr: never give up).
    DrawGate* Gate() const { return m_pGate; }
    void SetGate(DrawGate* gate) { m_pGate = gate; }

    Random& Rand() const { return *m_pRand; }

private:
    int m_Width;
    int m_Height;
    bool m_bMirror = false;
    bool m_bJitter = false;
    Random* m_pRand;
    DrawGate* m_pGate = nullptr;
};

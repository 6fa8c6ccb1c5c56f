#pragma once

#include "core/Random.h"
#include "shapes/Primitives.h"

class CSceneWnd;

// The OpenGL side of a scene window: context set-up through the host, projection with a
// random field of view, the fixed camera offset and the random lights of each scene.
class GLContext {
public:
    // Creates the context through the window's host and makes it current; failures are
    // shown as errors and leave IsOk() false.
    explicit GLContext(CSceneWnd* wnd);
    // Frees the primitive solids' lists, then releases the context.
    ~GLContext();
    GLContext(const GLContext&) = delete;
    GLContext& operator=(const GLContext&) = delete;

    // Ignored unless both are positive: viewport, aspect, a new projection, model-view.
    void Resize(int w, int h);
    // Field of view 40..119 degrees (small angles likelier); far plane 15 * sqrt(2).
    void SetProjection();
    void SetModelView();
    void LookAtOrigin();
    // The lights, emission and material of a new scene; every draw from this object's
    // generator, in a fixed order.
    void SetupLights();
    // A new scene starts: new projection, cleared buffers.
    void BeginScene();
    void SetBlend(bool on);
    void FreeCachedLists();
    // The primitive solids' lists, which belong to this context alone.
    Primitives& Solids() { return m_Solids; }
    const Primitives& Solids() const { return m_Solids; }

    bool IsOk() const { return m_bOk; }
    bool IsEmissive() const { return m_bEmissive; }
    bool IsBlend() const { return m_bBlend; }
    float Aspect() const { return m_Aspect; }
    Random& Rand() { return m_Rand; }
    // Degrees, from the last SetProjection.
    float FieldOfView() const { return m_FieldOfView; }

    // out := (a - b) x (b - c), normalised unless its length is zero.
    static void TriangleNormal(const float a[3], const float b[3], const float c[3], float out[3]);

private:
    void CreateContext();
    void SetupExtraLight(int index, bool spot, bool atten, bool& frontLit);
    void SetupSpot(int light, bool spot);
    void SetupAttenuation(int light, bool atten);

    Random m_Rand;
    CSceneWnd* m_pWnd = nullptr;
    bool m_bOk = true;
    float m_Aspect = 1.0f;
    bool m_bEmissive = false;
    bool m_bBlend = false;
    float m_FieldOfView = 0.0f;
    Primitives m_Solids;
};

#pragma once

#include "gl/DisplayList.h"
#include "shapes/SceneKind.h"

#include <memory>

class ColourTable;
class DrawGate;
class IntGrid;
class Random;
class Texture;
class TextureImage;
class TexturePattern;

// The room around the shapes: the six inner walls of the scene box (-7.5 .. +7.5 on each
// axis), each a grid of b x b cells coloured from a pattern through the scene colour table,
// drawn as a wire grid or as solid tiles that may carry the scene's photograph or a
// procedural texture. Everything is compiled into one display list on the first draw.
class Background {
public:
    // Draws the tilt about x, y and z (whole degrees 0..44) and the speckle flag, in order.
    // A photograph room keeps its scene's photograph (its texture object lives as long as
    // the room).
    Background(Random& rng, SceneKind kind, std::unique_ptr<TextureImage> photo = nullptr);
    virtual ~Background();
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    struct Room;
    // Once a frame, after the camera: the tilt (left on the matrix, so the shapes share it),
    // then the room's list, built on the first call from scene. Walls never glow, whatever the
    // scene's materials emit.
    virtual void Draw(const Room& scene);
    // Cells compiled so far, halved for a wire room, times 64 for a photograph room.
    virtual int PolygonCount() const;
    // The scene's materials carry an emissive colour.
    void SetEmissive(bool emissive) { m_bEmissive = emissive; }

    // What building the room reads from its scene.
    struct Room {
        double performance = 1.0; // p, not capped
        const ColourTable* colours = nullptr;
        DrawGate* gate = nullptr; // long pattern work gives up when it says stop
        bool developerMode = false;
        Texture* photo = nullptr; // uploaded and applied in a photograph room when valid
        int sceneSize = 800;      // the scene window's larger side, pixels
    };
    // Compiles the room's list (a GL context must be current); the first Draw does this.
    void Build(const Room& room);

    // Cells along each wall's side: skewed(trunc(p * base), 3) + 1, base 32, or 8 when
    // textured.
    static int CellsPerSide(Random& rng, double performance, SceneKind kind);

    // Vertex k (0..3) of cell (i, j) of wall (0..5) with cells of side w, in room units.
    struct Vertex {
        float position[3];
        float tex[2];
        int row;    // grid cell whose colour the vertex takes: i or i + 1
        int column; // j or j + 1
    };
    static Vertex WallVertex(int wall, int i, int j, int k, float w);
    // The wall's normal, pointing into the room.
    static const float* WallNormal(int wall);

    static constexpr float HalfSide = 7.5f;
    static constexpr int Walls = 6;

    float TiltX() const { return m_TiltX; }
    float TiltY() const { return m_TiltY; }
    float TiltZ() const { return m_TiltZ; }
    bool Speckle() const { return m_bSpeckle; }
    SceneKind Kind() const { return m_Kind; }
    // The photograph the room was given, or null.
    const TextureImage* Photo() const { return m_pPhoto.get(); }
    bool Lines() const { return m_bLines; }
    bool IsBuilt() const { return m_bBuilt; }
    // A stop came before the room or its texture was complete: it has no list, draws
    // nothing, and its scene is never shown again.
    bool IsAbandoned() const { return m_bAbandoned; }
    int Cells() const { return m_Polygons; }
    // Wall-clock milliseconds the first draw spent building the list (photograph included).
    long long BuildMs() const { return m_BuildMs; }
    long long BuildCpuMs() const { return m_BuildCpuMs; }
    const DisplayList& List() const { return m_List; }

private:
    void BuildWalls(const Room& room, int b, const IntGrid& grid);

    Random* m_pRand;
    DisplayList m_List;
    float m_TiltX = 0, m_TiltY = 0, m_TiltZ = 0;
    bool m_bSpeckle = false;
    int m_Polygons = 0;
    bool m_bLines = true;
    SceneKind m_Kind = SceneKind::Plain;
    std::unique_ptr<TexturePattern> m_pTexture;
    std::unique_ptr<TextureImage> m_pPhoto;
    bool m_bEmissive = false;
    bool m_bBuilt = false;
    bool m_bAbandoned = false;
    long long m_BuildMs = 0;
    long long m_BuildCpuMs = 0;
};

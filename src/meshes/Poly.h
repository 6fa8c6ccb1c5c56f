#pragma once

#include <memory>
#include <vector>

class ColorMaker;
class ColourTable;
class DrawGate;
class Random;
class UsesPoly;

// What generators read from the running scene: the colour table their colour makers look
// up (it must outlive the generator), the gate that long generation asks between rows and
// cells (null never stops), and the developer flag that pattern factories read.
struct MeshContext {
    const ColourTable& table;
    DrawGate* gate = nullptr;
    bool developerMode = false;
    int sceneSize = 800; // the scene window's larger side, pixels (expression patterns scale by it)
};

// How a mesh shape should issue a generator's facets.
enum class PolyPrimitive { Quads, Polygon };

// A mesh generator: walks its surface and hands each finished facet to a sink. Generators
// make no GL call, so they run and are tested without a context; the mesh shape compiles
// what they produce.
class Poly {
public:
    virtual ~Poly();
    Poly(const Poly&) = delete;
    Poly& operator=(const Poly&) = delete;

    // Produces the facets in order. Stops early (keeping what it made) when the context's
    // gate says stop; the grid generators also stop when the sink refuses a facet.
    virtual void Generate(UsesPoly& sink) = 0;
    virtual int FacetSize() const { return 4; }
    virtual PolyPrimitive FacetPrimitive() const { return PolyPrimitive::Quads; }
    virtual bool WantsVertexColors() const { return false; }
    virtual ColorMaker* GetColorMaker() const { return nullptr; }
    // Bounding size in mesh units.
    virtual float Radius() const { return 2.0f * m_Size; }
    virtual bool IsRound() const { return false; }
    virtual void Reset() { m_bComplete = false; }

    bool IsComplete() const { return m_bComplete; }
    bool AllColumns() const { return m_bAllColumns; }
    bool AllRows() const { return m_bAllRows; }
    // 1, or a generator's stretch along z or scale.
    float Size() const { return m_Size; }

    // Kind numbers of the mesh factory.
    enum Kind {
        kCube = 0,
        kSphere = 1,
        kPawn = 2,
        kSpherical = 3,
        kCylindrical = 4,
        kCartesian = 5,
        kBead = 6,
        kRoundedBead = 7,
        kSphere8 = 8, // spheres under their own kind numbers, excluded as a rule
        kSphere9 = 9,
        kHemiSphere = 11,
        kExtrusion = 12,
    };

    // The mesh factory: draws one of twelve slots with choose(rng, excludedSlots, 20), where
    // the excluded kinds (kinds without a slot are ignored) and always kinds 8 and 9 are
    // excluded; the 20th draw stands even if excluded. Kinds without a class build a cube.
    static std::unique_ptr<Poly> Create(Random& rng, int resolution,
                                        const std::vector<int>* excluded, bool randomOptions,
                                        const MeshContext& context);
    // The class of one kind (the extrusion factory for kind 12).
    static std::unique_ptr<Poly> CreateKind(int kind, Random& rng, int resolution,
                                            bool randomOptions, const MeshContext& context);
    // The factory's slots: kinds and weights in slot order.
    static std::vector<int> SlotKinds();
    static std::vector<float> SlotWeights();

protected:
    // randomOptions draws all columns (uniform < 0.98), then all rows (uniform < 0.9);
    // without, both are true.
    Poly(Random& rng, bool randomOptions, const MeshContext& context);

    Random& Rand() const { return *m_pRand; }
    DrawGate* Gate() const { return m_pGate; }

    bool m_bComplete = false;
    bool m_bAllColumns = true;
    bool m_bAllRows = true;
    float m_Size = 1.0f;

private:
    Random* m_pRand;
    DrawGate* m_pGate;
};

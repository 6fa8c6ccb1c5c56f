#pragma once

#include "gl/DisplayList.h"
#include "meshes/Poly.h"
#include "meshes/PolyFacet.h"
#include "meshes/UsesPoly.h"
#include "shapes/Shape.h"

#include <memory>
#include <vector>

class ColorMaker;
class Poly;
class Texture;

// A shape drawn from a generated mesh: it receives the generator's facets, compiles them once
// into a display list (with per-vertex colours and a texture when it has them) and replays
// the list every frame. Clones share the master's list and report the master's size and
// polygon count; the list belongs to the shape that generated it, which must outlive its
// clones (a scene deletes all its shapes together).
class ShapePolyBase : public Shape, public UsesPoly {
public:
    ~ShapePolyBase() override;

    // A ShapePolyBase drawing this shape's list.
    std::unique_ptr<Shape> Clone() const override;
    void DrawShape(Primitives& solids) override;
    float Radius() const override;
    int PolygonCount() const override;
    bool UsesShapeColor() const override;
    // The mesh's colour maker, null without a mesh.
    virtual ColorMaker* MeshColorMaker() const;

    // What a factory-built mesh reads from the shape context. Without a scene table the
    // mesh colours come from one fixed table (seed 1, 256 entries) that lives for the run.
    static MeshContext MeshContextOf(const ShapeContext& context);

    // Keeps a copy; always accepts.
    bool AddFacet(const PolyFacet& facet) override;

    // Factor applied to every vertex position, 0.04 to 0.32 (steps of 0.04).
    float Size() const { return m_Size; }
    bool IsOwner() const { return m_bOwner; }
    bool HasVertexColors() const { return m_bVertexColors; }
    // This shape's own list was compiled with a texture (a clone draws its master's).
    bool HasTexture() const { return m_bTextured; }
    const Poly* Mesh() const { return m_pMesh.get(); }
    const std::vector<PolyFacet>& Facets() const { return m_Facets; }
    // The list this shape draws (its master's), 0 before it is built or when GL gave none.
    GLuint ListId() const;

protected:
    // An animated shape (mover, rotater, colour changer), then its size: one below(8).
    ShapePolyBase(Random& rng, const MotionContext& motion, bool randomRotater);
    // A clone: behaviours cloned from source, the source's master and its list.
    ShapePolyBase(const ShapePolyBase& source);

    void SetMesh(std::unique_ptr<Poly> mesh);
    // Replaces the size drawn by the constructor (before BuildMesh).
    void SetSize(float size) { m_Size = size; }
    void SetTexture(std::unique_ptr<Texture> texture);
    // Runs the mesh into this shape (one flip() first: per-vertex colours when it is 1 or
    // the mesh wants them), then BuildList.
    void BuildMesh();
    // Uploads the texture, then compiles every facet received, in order, into the master's
    // list.
    void BuildList();

private:
    std::unique_ptr<Texture> m_pTexture; // called from the list: lives as long as the list
    std::unique_ptr<Poly> m_pMesh;       // null in a clone
    DisplayList m_List;                  // empty in a clone
    const ShapePolyBase* m_pMaster;
    int m_PolygonCount = 0;
    float m_Size;
    bool m_bVertexColors = false;
    bool m_bTextured = false;
    std::vector<PolyFacet> m_Facets;
    bool m_bOwner;
};

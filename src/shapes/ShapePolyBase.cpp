#include "shapes/ShapePolyBase.h"

#include "colour/ColourTable.h"
#include "core/Random.h"
#include "core/Trace.h"
#include "meshes/Poly.h"
#include "textures/Texture.h"

#include <GL/gl.h>

namespace {

void IssueNormal(const PolyVertex& v, float scale) {
    if (!v.hasNormal)
        return;
    if (scale == 1.0f)
        glNormal3fv(v.normal.data());
    else
        glNormal3f(v.normal[0] * scale, v.normal[1] * scale, v.normal[2] * scale);
}

const ColourTable& FallbackColours() {
    static const ColourTable table = [] {
        ColourTable t;
        t.BuildColourTableFromSeed(ColourTable::kDefaultSize, 1);
        return t;
    }();
    return table;
}

} // namespace

MeshContext ShapePolyBase::MeshContextOf(const ShapeContext& context) {
    const ColourTable& colours = context.colours ? *context.colours : FallbackColours();
    return MeshContext{colours, context.gate, TraceLog::Enabled(), context.sceneSize};
}

ShapePolyBase::ShapePolyBase(Random& rng, const MotionContext& motion, bool randomRotater)
    : Shape(rng, motion, true, randomRotater), m_pMaster(this),
      m_Size(static_cast<float>((rng.below(8) + 1) * 0.04)), m_bOwner(true) {}

ShapePolyBase::ShapePolyBase(const ShapePolyBase& source)
    : Shape(source), UsesPoly(), m_pMaster(source.m_pMaster), m_PolygonCount(source.m_PolygonCount),
      m_Size(source.m_Size), m_bOwner(false) {}

ShapePolyBase::~ShapePolyBase() {
    if (m_bOwner) {
        m_pMesh.reset();
        m_List.Reset();
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    m_pTexture.reset();
}

std::unique_ptr<Shape> ShapePolyBase::Clone() const {
    return std::unique_ptr<Shape>(new ShapePolyBase(*this));
}

GLuint ShapePolyBase::ListId() const {
    return m_pMaster->m_List.Id();
}

void ShapePolyBase::DrawShape(Primitives& /*solids*/) {
    m_pMaster->m_List.Call();
}

float ShapePolyBase::Radius() const {
    return m_pMaster->m_Size;
}

int ShapePolyBase::PolygonCount() const {
    return m_pMaster->m_PolygonCount;
}

bool ShapePolyBase::UsesShapeColor() const {
    return !m_pMaster->m_bVertexColors;
}

ColorMaker* ShapePolyBase::MeshColorMaker() const {
    return m_pMesh ? m_pMesh->GetColorMaker() : nullptr;
}

bool ShapePolyBase::AddFacet(const PolyFacet& facet) {
    m_Facets.push_back(facet);
    return true;
}

void ShapePolyBase::SetMesh(std::unique_ptr<Poly> mesh) {
    m_pMesh = std::move(mesh);
}

void ShapePolyBase::SetTexture(std::unique_ptr<Texture> texture) {
    m_pTexture = std::move(texture);
}

void ShapePolyBase::BuildMesh() {
    m_bVertexColors = Rand().flip() != 0 || m_pMesh->WantsVertexColors();
    m_PolygonCount = 0;
    glPushMatrix();
    glLoadIdentity();
    m_pMesh->Generate(*this);
    glPopMatrix();
    BuildList();
}

void ShapePolyBase::BuildList() {
    m_PolygonCount = static_cast<int>(m_Facets.size());
    m_bTextured = m_pTexture != nullptr;
    // A texture given up by a stop leaves no list: the shape draws nothing, and the ending
    // run never shows its scene.
    if (m_pTexture && !m_pTexture->Upload()) {
        m_bTextured = false;
        return;
    }
    glPushMatrix();
    glLoadIdentity();
    m_List = DisplayList::Generate();
    // Without a list name nothing is compiled: the shape then draws nothing. Compiled only:
    // executed here it would draw at the eye into a back buffer the first frame clears, and
    // a software rasterizer would build its pipeline for it during the scene's composition.
    if (m_List.IsValid()) {
        glNewList(m_List.Id(), GL_COMPILE);
        if (m_pTexture) {
            glDisable(GL_TEXTURE_1D);
            glEnable(GL_TEXTURE_2D);
            if (!m_pTexture->Apply()) {
                glEndList();
                m_List.Reset();
                m_bTextured = false;
                glPopMatrix();
                return;
            }
        }
        const GLenum primitive =
            m_pMesh->FacetPrimitive() == PolyPrimitive::Polygon ? GL_POLYGON : GL_QUADS;
        for (const PolyFacet& facet : m_Facets) {
            glBegin(primitive);
            for (const PolyVertex& v : facet.Vertices()) {
                if (m_bVertexColors)
                    glColor4fv(v.colour.Data());
                if (m_pTexture)
                    glTexCoord2f(v.s, v.t);
                IssueNormal(v, 1.0f);
                glVertex3f(v.position[0] * m_Size, v.position[1] * m_Size, v.position[2] * m_Size);
            }
            glEnd();
        }
        if (m_pTexture)
            glDisable(GL_TEXTURE_2D);
        glEndList();
    }
    glPopMatrix();
}

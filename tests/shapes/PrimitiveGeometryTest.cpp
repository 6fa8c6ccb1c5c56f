#include "shapes/PrimitiveGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct RecordedFace {
    GLenum primitive = 0;
    std::vector<Vec3d> normals;
    std::vector<Vec3d> vertices;
};

class RecordingSink : public GeometrySink {
public:
    void Begin(GLenum primitive) override { faces.push_back({primitive, {}, {}}); }
    void Normal(const Vec3d& n) override { faces.back().normals.push_back(n); }
    void Vertex(const Vec3d& v) override { faces.back().vertices.push_back(v); }
    void End() override { ++ended; }

    std::vector<RecordedFace> faces;
    int ended = 0;
};

double Length(const Vec3d& v) {
    return std::sqrt(Dot(v, v));
}

Vec3d Centroid(const std::vector<Vec3d>& points) {
    Vec3d sum{0, 0, 0};
    for (const Vec3d& p : points)
        for (int k = 0; k < 3; ++k)
            sum[k] += p[k];
    return sum * (1.0 / points.size());
}

// Every normal unit length and pointing away from the origin; the face planar, at right
// angles to its first normal and wound counter-clockwise seen from outside (GL front faces).
void ExpectConvexOutwardFace(const RecordedFace& face) {
    ASSERT_FALSE(face.normals.empty());
    for (const Vec3d& n : face.normals)
        EXPECT_NEAR(Length(n), 1.0, 1e-12);
    const Vec3d& n = face.normals.front();
    EXPECT_GT(Dot(n, Centroid(face.vertices)), 0.0);
    const size_t count = face.vertices.size();
    for (size_t i = 0; i < count; ++i) {
        const Vec3d& a = face.vertices[i];
        const Vec3d& b = face.vertices[(i + 1) % count];
        const Vec3d& c = face.vertices[(i + 2) % count];
        EXPECT_NEAR(Dot(b - a, n), 0.0, 1e-12);
        EXPECT_GT(Dot(Cross(b - a, c - b), n), 0.0);
    }
}

// All face edges of one length: a wrong index in a face table makes a diagonal an edge.
void ExpectEdges(const std::vector<RecordedFace>& faces, double edge) {
    for (const RecordedFace& face : faces) {
        const size_t count = face.vertices.size();
        for (size_t i = 0; i < count; ++i)
            EXPECT_NEAR(Length(face.vertices[(i + 1) % count] - face.vertices[i]), edge, 1e-12);
    }
}

struct PlatonicCase {
    const char* name;
    const TriangleTable& (*table)();
    size_t faces;
    double edgePerRadius; // closed form
};

} // namespace

TEST(PrimitiveGeometry, TriangleSolidsLieOnTheirSphereWithOutwardUnitNormals) {
    const PlatonicCase cases[] = {
        {"tetrahedron", &PrimitiveGeometry::Tetrahedron, 4, std::sqrt(8.0 / 3.0)},
        {"octahedron", &PrimitiveGeometry::Octahedron, 8, std::sqrt(2.0)},
        {"icosahedron", &PrimitiveGeometry::Icosahedron, 20, 1.0 / std::sin(2 * M_PI / 5)},
    };
    const double radius = 0.15;
    const TransformStack identity;
    for (const PlatonicCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSink sink;
        PrimitiveGeometry::TriangleSolid(sink, c.table(), radius, GL_TRIANGLES, identity);
        ASSERT_EQ(sink.faces.size(), c.faces);
        EXPECT_EQ(sink.ended, static_cast<int>(c.faces));
        for (const RecordedFace& face : sink.faces) {
            EXPECT_EQ(face.primitive, static_cast<GLenum>(GL_TRIANGLES));
            EXPECT_EQ(face.normals.size(), 1u);
            ASSERT_EQ(face.vertices.size(), 3u);
            for (const Vec3d& v : face.vertices)
                EXPECT_NEAR(Length(v), radius, 1e-12);
            ExpectConvexOutwardFace(face);
        }
        ExpectEdges(sink.faces, c.edgePerRadius * radius);
    }
}

TEST(PrimitiveGeometry, DodecahedronIsRegularJustOutsideItsRadius) {
    const double radius = 0.2;
    const double k = radius * 0.5780346820809249;
    TransformStack stack;
    RecordingSink sink;
    PrimitiveGeometry::Dodecahedron(sink, radius, stack);
    EXPECT_EQ(stack.Depth(), 0);
    ASSERT_EQ(sink.faces.size(), 12u);
    for (const RecordedFace& face : sink.faces) {
        EXPECT_EQ(face.primitive, static_cast<GLenum>(GL_POLYGON));
        EXPECT_EQ(face.normals.size(), 1u);
        ASSERT_EQ(face.vertices.size(), 5u);
        for (const Vec3d& v : face.vertices)
            EXPECT_NEAR(Length(v), 1.7320508075688772 * k, 1e-12);
        ExpectConvexOutwardFace(face);
    }
    // Edge 2 / golden ratio before scaling.
    ExpectEdges(sink.faces, 2 * 0.6180339887498949 * k);
}

TEST(PrimitiveGeometry, BoxFacesSitOnTheirPlanesWithAxisNormals) {
    const double w = 0.12, h = 0.32, d = 0.04;
    RecordingSink sink;
    // Limits in falling order are sorted first.
    PrimitiveGeometry::Box(sink, w / 2, -w / 2, -h / 2, h / 2, d / 2, -d / 2, GL_QUADS);
    ASSERT_EQ(sink.faces.size(), 6u);
    const Vec3d half{w / 2, h / 2, d / 2};
    const Vec3d expected[6] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int f = 0; f < 6; ++f) {
        const RecordedFace& face = sink.faces[f];
        ASSERT_EQ(face.vertices.size(), 4u);
        ASSERT_EQ(face.normals.size(), 4u);
        for (const Vec3d& n : face.normals)
            EXPECT_EQ(n, expected[f]);
        for (const Vec3d& v : face.vertices)
            for (int k = 0; k < 3; ++k) {
                EXPECT_DOUBLE_EQ(std::fabs(v[k]), half[k]);
                if (expected[f][k] != 0) {
                    EXPECT_DOUBLE_EQ(v[k], expected[f][k] * half[k]);
                }
            }
        ExpectConvexOutwardFace(face);
    }
}

TEST(PrimitiveGeometry, TorusPointsLieOnTheTubeWithRadialNormals) {
    const double r = 0.04, R = 0.07;
    RecordingSink sink;
    PrimitiveGeometry::Torus(sink, r, R, 8, 15, GL_QUADS);
    ASSERT_EQ(sink.faces.size(), 120u);
    double lowest = 1, highest = -1;
    for (const RecordedFace& face : sink.faces) {
        ASSERT_EQ(face.vertices.size(), 4u);
        ASSERT_EQ(face.normals.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            const Vec3d& p = face.vertices[i];
            const double ring = std::hypot(p[0], p[1]);
            // The nearest point of the ring circle; the normal points from it to p.
            const Vec3d centre{p[0] * R / ring, p[1] * R / ring, 0};
            const Vec3d radial = (p - centre) * (1 / r);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(face.normals[i][k], radial[k], 1e-12);
            lowest = std::min(lowest, p[2]);
            highest = std::max(highest, p[2]);
        }
        // Quads are bent slightly; wound counter-clockwise seen from outside all the same.
        const RecordedFace& q = face;
        EXPECT_GT(
            Dot(Cross(q.vertices[1] - q.vertices[0], q.vertices[2] - q.vertices[1]), q.normals[0]),
            0.0);
    }
    EXPECT_NEAR(highest, r, 1e-12);
    EXPECT_NEAR(lowest, -r, 1e-12);
}

#include "shapes/ShapePhotoCube.h"

#include "core/Random.h"
#include "textures/TextureImage.h"

#include <algorithm>

namespace {

ShapePhotoCube::Scene SceneOf(const ShapeContext& context) {
    return {ShapePolyBase::MeshContextOf(context),
            context.nextImagePath ? context.nextImagePath() : std::string(), context.sceneWidth,
            context.motion};
}

} // namespace

ShapePhotoCube::ShapePhotoCube(Random& rng, const Scene& scene)
    : ShapePolyBase(rng, scene.motion, true) {
    auto photo = std::make_unique<TextureImage>(rng, scene.imagePath, scene.sceneWidth);
    if (photo->IsValid())
        SetTexture(std::move(photo));
    SetMesh(Poly::Create(rng, Resolution, &ExcludedMeshKinds(), false, scene.mesh));
    SetSize(static_cast<float>(rng.uniform() + 0.5));
    // The picture goes into its texture object here, and its decoded copy with it.
    BuildMesh();
}

ShapePhotoCube::ShapePhotoCube(Random& rng, const ShapeContext& context)
    : ShapePhotoCube(rng, SceneOf(context)) {}

const std::vector<int>& ShapePhotoCube::ExcludedMeshKinds() {
    static const std::vector<int> kinds{Poly::kBead, Poly::kRoundedBead, Poly::kSphere8,
                                        Poly::kSphere9};
    return kinds;
}

std::unique_ptr<Shape> ShapePhotoCube::Clone() const {
    return std::unique_ptr<Shape>(new ShapePhotoCube(*this));
}

int ShapePhotoCube::PolygonCount() const {
    return std::max(ShapePolyBase::PolygonCount(), MinPolygons);
}

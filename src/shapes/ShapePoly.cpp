#include "shapes/ShapePoly.h"

#include "core/Random.h"
#include "textures/TexturePattern.h"

#include "core/RegSettings.h"

#include <algorithm>

namespace {

ShapePoly::Scene SceneOf(const ShapeContext& context) {
    return {ShapePolyBase::MeshContextOf(context), context.sceneKind == SceneKind::Plain,
            context.settings ? context.settings->Performance() : 1.0, context.motion};
}

} // namespace

ShapePoly::ShapePoly(Random& rng, const Scene& scene) : ShapePolyBase(rng, scene.motion, false) {
    const double performance1 = std::min(scene.performance, 1.0);
    if (scene.plain && rng.uniform() < 0.5 * performance1)
        SetTexture(std::make_unique<TexturePattern>(rng, scene.mesh.table, performance1,
                                                    scene.mesh.gate, scene.mesh.developerMode,
                                                    scene.mesh.sceneSize));
    const int resolution = Resolution(rng, scene.performance);
    SetMesh(Poly::Create(rng, resolution, nullptr, true, scene.mesh));
    BuildMesh();
}

ShapePoly::ShapePoly(Random& rng, const ShapeContext& context) : ShapePoly(rng, SceneOf(context)) {}

int ShapePoly::Resolution(Random& rng, double performance) {
    const int n = rng.below(static_cast<int>(performance * 13)) + 4;
    return n - n % 2;
}

#pragma once

#include "core/MemoryProfileStore.h"

#include <memory>

// Settings with a frame-rate record of 25 frames per second at 2500 polygons, so an
// off-screen run starts from the budget it would keep and never times the machine.
inline std::unique_ptr<ProfileStore> RecordedStore() {
    auto store = std::make_unique<MemoryProfileStore>();
    store->SetRaw("FramesPerSecond", "25");
    store->SetRaw("Polygons", "2500");
    return store;
}

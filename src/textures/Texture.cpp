#include "textures/Texture.h"

#include <atomic>

namespace {
std::atomic<int> gLiveTextures{0};
}

Texture::Texture(Random& rng) : m_pRand(&rng) {
    ++gLiveTextures;
}

Texture::~Texture() {
    --gLiveTextures;
}

int Texture::LiveCount() {
    return gLiveTextures.load();
}

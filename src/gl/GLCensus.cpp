#include "gl/GLCensus.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

// Names are probed up to twice the newest name (or this many), which covers a driver that
// hands out names from the top as well as one that reuses the lowest free name.
constexpr GLuint kMinProbe = 65536;

template <class IsLive> int Count(GLuint newest, IsLive isLive) {
    const GLuint limit = std::max(kMinProbe, newest * 2);
    int live = 0;
    for (GLuint name = 1; name <= limit; ++name)
        if (isLive(name))
            ++live;
    return live;
}

} // namespace

int GLCensus::LiveLists() {
    const GLuint probe = glGenLists(1);
    if (probe != 0)
        glDeleteLists(probe, 1);
    return Count(probe, [](GLuint name) { return glIsList(name) == GL_TRUE; });
}

int GLCensus::LiveTextureObjects() {
    GLuint probe = 0;
    glGenTextures(1, &probe);
    if (probe != 0)
        glDeleteTextures(1, &probe);
    return Count(probe, [](GLuint name) { return glIsTexture(name) == GL_TRUE; });
}

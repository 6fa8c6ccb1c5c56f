#pragma once

#include "gl/DisplayList.h"
#include "gl/TextureObject.h"
#include "textures/Texture.h"

#include <vector>

class ColourTable;
class DrawGate;

// A random procedural texture: a pattern calculator sampled over one quadrant of a
// power-of-two image and mirrored about both centre lines. At construction the image goes
// into a texture object and the state that selects it into one display list. Sides grow with the
// machine's speed: 4 x 4 on the slowest, up to 128 x 128.
class TexturePattern : public Texture {
public:
    // The image and state a texture compiles, drawn from rng before any GL call.
    struct Image {
        int height = 0;                 // A: rows, 4 .. 128
        int width = 0;                  // B: texels a row, 4 .. 128
        GLenum internalFormat = GL_RGB; // GL_RGB, GL_LUMINANCE or GL_INTENSITY
        int channels = 1;               // what the pattern produced: 1 (table colours) or more
        GLint envMode = GL_DECAL;       // GL_DECAL, GL_MODULATE or GL_BLEND
        std::vector<float> texels;      // height x width x (R, G, B), row i at i * width * 3
    };

    // performance1: the performance factor capped at 1 (0 gives 4 x 4). The table colours
    // one-channel patterns; gate lets a long pattern search give up (null never does);
    // sceneSize is the scene window's larger side in pixels, which patterns scale by.
    TexturePattern(Random& rng, const ColourTable& table, double performance1,
                   DrawGate* gate = nullptr, bool developerMode = false, int sceneSize = 800);

    // Every draw of a texture, in order; no GL.
    static Image Compute(Random& rng, const ColourTable& table, double performance1,
                         DrawGate* gate = nullptr, bool developerMode = false, int sceneSize = 800);

    // GL_TEXTURE_2D on, then the texture's list; always true.
    bool Apply() const override;

    GLuint List() const { return m_List.Id(); }
    GLuint Object() const { return m_Object.Id(); }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }

private:
    void Compile(const Image& image);

    TextureObject m_Object; // declared first: the list that binds it goes before it
    DisplayList m_List;
    int m_Width = 0;
    int m_Height = 0;
};

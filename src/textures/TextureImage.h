#pragma once

#include "images/Image.h"
#include "textures/Texture.h"

#include <memory>
#include <string>

class ColourTable;

// A photograph as a texture: the picture at path, decoded by the decoder its extension
// names (bmp, png; anything else is read as JPEG) and kept as an unpadded RGB copy, rows
// bottom-up. Only 24-bit pictures are shown; anything else (missing file, grey or palette
// picture, decoder error, empty path) leaves the texture invalid and Apply does nothing.
class TextureImage : public Texture {
public:
    enum class Decoder { Bitmap, Png, Jpeg };

    // sceneWidth: the scene window's width in pixels, so that a JPEG larger than the window
    // decodes at 1/2, 1/4 or 1/8 of its size (0: full size). recolour: when given, the
    // table's palette entries are re-derived from the photograph (its band count becomes
    // 25; the table colours stay).
    TextureImage(Random& rng, const std::string& path, int sceneWidth, ColourTable* recolour);
    ~TextureImage() override;

    // Texture state and gluBuild2DMipmaps of the photograph (scaled to power-of-two sides
    // within the GL limit), decal mode, GL_TEXTURE_2D on. Meant for a list being compiled.
    void Apply() const override;
    bool IsValid() const override { return m_pRGB != nullptr; }

    // The RGB copy, null when invalid.
    const RGBImage* Pixels() const { return m_pRGB.get(); }

    // The decoder for a path: by the text after the last '.' of its file name, compared
    // without regard to case.
    static Decoder DecoderFor(const std::string& path);
    static std::unique_ptr<Image> Decode(const std::string& path, int sceneWidth);

    // Photographs alive in the process, for leak checks across scenes.
    static int LiveCount();

private:
    std::unique_ptr<RGBImage> m_pRGB;
};

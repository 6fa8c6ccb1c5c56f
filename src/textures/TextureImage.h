#pragma once

#include "gl/TextureObject.h"
#include "images/Image.h"
#include "images/ImageFile.h"
#include "textures/Texture.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A photograph as a texture: the picture at path, decoded by the decoder its extension
// names (FormatFor) and kept as an unpadded RGB copy, rows bottom-up, until Upload hands it
// to a texture object and frees it. A picture that cannot be read (missing file, decoder
// error, empty path) leaves the texture invalid and Apply does nothing.
class TextureImage : public Texture {
public:
    using Decoder = ImageFormat;

    // sceneWidth: the scene window's width in pixels, so that a JPEG larger than the window
    // decodes at 1/2, 1/4 or 1/8 of its size (0: full size).
    TextureImage(Random& rng, const std::string& path, int sceneWidth);
    ~TextureImage() override;

    // The photograph's levels (MipLevels within the GL limit) into a texture object, once;
    // the RGB copy goes then. The levels are computed before any GL call: a stop requested
    // meanwhile makes nothing and returns false (the copy stays).
    bool Upload() override;
    // Binds the texture object, decal mode, GL_TEXTURE_2D on. Meant for a list being
    // compiled. False for a valid photograph not uploaded (nothing to bind).
    bool Apply() const override;
    bool IsValid() const override { return m_bValid; }

    // The RGB copy: null when invalid and once uploaded.
    const RGBImage* Pixels() const { return m_pRGB.get(); }
    // The texture object, 0 before Upload.
    GLuint Object() const { return m_Object.Id(); }

    // The decoder for a path: by the text after the last '.' of its file name, compared
    // without regard to case.
    static Decoder DecoderFor(const std::string& path);
    static std::unique_ptr<Image> Decode(const std::string& path, int sceneWidth);

    // The images a texture of the picture is built from: level 0 the picture averaged by
    // area to the power of two nearest each side (3 * 2^k and up rounds up), halved until
    // it fits maxSide; then each level half the last (2 x 2 averages, a side of 1 stays 1)
    // down to 1 x 1. goOn is asked between pieces of the work; once it says no the work
    // ends and the result is empty: nothing half-built is ever returned.
    static std::vector<RGBImage> MipLevels(const RGBImage& image, int maxSide,
                                           const std::function<bool()>& goOn);
    // The side MipLevels gives level 0 for a picture side (before the maxSide limit).
    static int NearestPowerOfTwo(int side);

    // Photographs alive in the process, for leak checks across scenes.
    static int LiveCount();
    // Decoded RGB copies alive in the process: a photograph keeps one only until Upload.
    static int LiveCopies();

private:
    static RGBImage Resample(const RGBImage& image, int width, int height,
                             const std::function<bool()>& goOn);
    static RGBImage Halve(const RGBImage& image);
    void ReleaseCopy();

    std::unique_ptr<RGBImage> m_pRGB;
    TextureObject m_Object;
    bool m_bValid = false;
};

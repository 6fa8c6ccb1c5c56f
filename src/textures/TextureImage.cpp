#include "textures/TextureImage.h"

#include "images/ImageBMP.h"
#include "images/ImageJPEG.h"
#include "images/ImagePNG.h"
#include "motion/ColourTable.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <atomic>
#include <cctype>

namespace {

std::atomic<int> gLivePhotos{0};

std::string LowerExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    // A dot in a folder name is not an extension.
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

TextureImage::TextureImage(Random& rng, const std::string& path, int sceneWidth,
                           ColourTable* recolour)
    : Texture(rng) {
    ++gLivePhotos;
    if (path.empty())
        return;
    const std::unique_ptr<Image> image = Decode(path, sceneWidth);
    if (!image->IsValid() || image->BitCount() != 24)
        return;
    // The decoded bitmap is dropped at once: only the RGB copy is ever issued again.
    m_pRGB = image->ToRGB();
    if (m_pRGB && recolour)
        recolour->BuildPhotoBands(m_pRGB->width, m_pRGB->height, m_pRGB->bytes.data());
}

TextureImage::~TextureImage() {
    --gLivePhotos;
}

TextureImage::Decoder TextureImage::DecoderFor(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == "bmp")
        return Decoder::Bitmap;
    if (extension == "png")
        return Decoder::Png;
    return Decoder::Jpeg;
}

std::unique_ptr<Image> TextureImage::Decode(const std::string& path, int sceneWidth) {
    switch (DecoderFor(path)) {
    case Decoder::Bitmap:
        return std::make_unique<ImageBMP>(path);
    case Decoder::Png:
        return std::make_unique<ImagePNG>(path);
    case Decoder::Jpeg:
        break;
    }
    return std::make_unique<ImageJPEG>(path, 1, false, sceneWidth);
}

void TextureImage::Apply() const {
    if (!m_pRGB)
        return;
    glDisable(GL_TEXTURE_1D);
    glEnable(GL_TEXTURE_2D);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, m_pRGB->width, m_pRGB->height, GL_RGB, GL_UNSIGNED_BYTE,
                      m_pRGB->bytes.data());
}

int TextureImage::LiveCount() {
    return gLivePhotos.load();
}

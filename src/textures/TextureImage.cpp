#include "textures/TextureImage.h"

#include "colour/ColourTable.h"
#include "core/StopRequest.h"
#include "images/ImageFile.h"

#include <GL/gl.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdint>

namespace {

std::atomic<int> gLivePhotos{0};
std::atomic<int> gLiveCopies{0};

// Output rows between two questions whether to go on.
constexpr int kRowsPerCheck = 16;

// Area averaging along one axis: output k covers input [k * n / m, (k + 1) * n / m), each
// input cell weighted by how much of it falls inside.
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Taps> AreaTaps(int n, int m) {
    std::vector<Taps> taps(static_cast<std::size_t>(m));
    const double scale = static_cast<double>(n) / m;
    for (int k = 0; k < m; ++k) {
        const double low = k * scale;
        const double high = (k + 1) * scale;
        Taps& t = taps[static_cast<std::size_t>(k)];
        t.first = static_cast<int>(low);
        const int last = std::min(n - 1, static_cast<int>(std::ceil(high)) - 1);
        for (int i = t.first; i <= last; ++i) {
            const double cover = std::min(high, i + 1.0) - std::max(low, static_cast<double>(i));
            t.weights.push_back(static_cast<float>(cover / scale));
        }
    }
    return taps;
}

// One input row averaged across to the output width.
void AverageAcross(const RGBImage& image, int row, const std::vector<Taps>& across,
                   std::vector<float>& line) {
    const std::uint8_t* in = image.bytes.data() + static_cast<std::size_t>(row) * image.width * 3;
    for (std::size_t x = 0; x < across.size(); ++x) {
        const Taps& t = across[x];
        float* out = line.data() + x * 3;
        out[0] = out[1] = out[2] = 0.0f;
        for (std::size_t i = 0; i < t.weights.size(); ++i) {
            const std::uint8_t* p = in + (static_cast<std::size_t>(t.first) + i) * 3;
            for (int c = 0; c < 3; ++c)
                out[c] += t.weights[i] * p[c];
        }
    }
}

std::uint8_t ToByte(float v) {
    return static_cast<std::uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
}

} // namespace

// One output row at a time: the input rows it covers, each averaged across first, summed
// by weight. Empty when goOn says no part-way.
RGBImage TextureImage::Resample(const RGBImage& image, int width, int height,
                                const std::function<bool()>& goOn) {
    const std::vector<Taps> across = AreaTaps(image.width, width);
    const std::vector<Taps> down = AreaTaps(image.height, height);
    const std::size_t rowFloats = static_cast<std::size_t>(width) * 3;
    std::vector<float> line(rowFloats);
    std::vector<float> sum(rowFloats);
    int lineRow = -1; // the input row `line` holds: neighbouring output rows share one
    RGBImage result;
    result.bytes.resize(rowFloats * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        if (y % kRowsPerCheck == 0 && !goOn())
            return {};
        const Taps& rows = down[static_cast<std::size_t>(y)];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (std::size_t r = 0; r < rows.weights.size(); ++r) {
            const int row = rows.first + static_cast<int>(r);
            if (row != lineRow)
                AverageAcross(image, row, across, line);
            lineRow = row;
            for (std::size_t k = 0; k < rowFloats; ++k)
                sum[k] += rows.weights[r] * line[k];
        }
        std::uint8_t* out = result.bytes.data() + static_cast<std::size_t>(y) * rowFloats;
        for (std::size_t k = 0; k < rowFloats; ++k)
            out[k] = ToByte(sum[k]);
    }
    result.width = width;
    result.height = height;
    return result;
}

// 2 x 2 averages, rounded; a side of 1 averages pairs along the other side.
RGBImage TextureImage::Halve(const RGBImage& image) {
    RGBImage half;
    half.width = std::max(image.width / 2, 1);
    half.height = std::max(image.height / 2, 1);
    half.bytes.resize(static_cast<std::size_t>(half.width) * half.height * 3);
    const int dx = image.width > 1 ? 1 : 0;
    const int dy = image.height > 1 ? 1 : 0;
    const auto at = [&image](int x, int y, int c) {
        return static_cast<unsigned>(
            image.bytes[(static_cast<std::size_t>(y) * image.width + x) * 3 + c]);
    };
    for (int y = 0; y < half.height; ++y) {
        for (int x = 0; x < half.width; ++x) {
            const int x0 = x * (dx + 1);
            const int y0 = y * (dy + 1);
            for (int c = 0; c < 3; ++c) {
                const unsigned sum = at(x0, y0, c) + at(x0 + dx, y0, c) + at(x0, y0 + dy, c) +
                                     at(x0 + dx, y0 + dy, c);
                half.bytes[(static_cast<std::size_t>(y) * half.width + x) * 3 + c] =
                    static_cast<std::uint8_t>((sum + 2) / 4);
            }
        }
    }
    return half;
}

TextureImage::TextureImage(Random& rng, const std::string& path, int sceneWidth) : Texture(rng) {
    ++gLivePhotos;
    if (path.empty())
        return;
    const std::unique_ptr<Image> image = Decode(path, sceneWidth);
    // An ending run keeps no copy: the picture is never shown.
    if (!image->IsValid() || image->BitCount() != 24 || StopRequest::Poll())
        return;
    // The decoded bitmap is dropped at once: only the RGB copy is ever issued again.
    m_pRGB = image->ToRGB();
    m_bValid = m_pRGB != nullptr;
    if (m_bValid)
        ++gLiveCopies;
}

TextureImage::~TextureImage() {
    ReleaseCopy();
    --gLivePhotos;
}

void TextureImage::ReleaseCopy() {
    if (m_pRGB)
        --gLiveCopies;
    m_pRGB.reset();
}

TextureImage::Decoder TextureImage::DecoderFor(const std::string& path) {
    return FormatFor(path);
}

std::unique_ptr<Image> TextureImage::Decode(const std::string& path, int sceneWidth) {
    return DecodeImageFile(path, false, sceneWidth);
}

int TextureImage::NearestPowerOfTwo(int side) {
    int power = 1;
    while (power <= side / 2)
        power *= 2;
    return side - power >= power / 2 && power / 2 > 0 ? power * 2 : power;
}

std::vector<RGBImage> TextureImage::MipLevels(const RGBImage& image, int maxSide,
                                              const std::function<bool()>& goOn) {
    std::vector<RGBImage> levels;
    if (image.width <= 0 || image.height <= 0 || !goOn())
        return levels;
    int width = NearestPowerOfTwo(image.width);
    int height = NearestPowerOfTwo(image.height);
    while (maxSide > 0 && (width > maxSide || height > maxSide)) {
        width = std::max(width / 2, 1);
        height = std::max(height / 2, 1);
    }
    levels.push_back(Resample(image, width, height, goOn));
    if (levels.back().bytes.empty())
        return {};
    while (width > 1 || height > 1) {
        if (!goOn())
            return {};
        levels.push_back(Halve(levels.back()));
        width = levels.back().width;
        height = levels.back().height;
    }
    return levels;
}

bool TextureImage::Upload() {
    if (m_Object.IsValid() || !m_pRGB)
        return true;
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    std::vector<RGBImage> levels = MipLevels(*m_pRGB, maxSide, [] { return !StopRequest::Poll(); });
    if (levels.empty())
        return false;
    m_Object = TextureObject::Generate();
    if (!m_Object.IsValid())
        return false;
    // GL holds the picture from here on.
    ReleaseCopy();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    m_Object.Bind();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    for (std::size_t level = 0; level < levels.size(); ++level) {
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 3, levels[level].width,
                     levels[level].height, 0, GL_RGB, GL_UNSIGNED_BYTE, levels[level].bytes.data());
        levels[level] = RGBImage{};
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return true;
}

bool TextureImage::Apply() const {
    if (!m_Object.IsValid())
        return m_pRGB == nullptr;
    glDisable(GL_TEXTURE_1D);
    glEnable(GL_TEXTURE_2D);
    m_Object.Bind();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    return true;
}

int TextureImage::LiveCount() {
    return gLivePhotos.load();
}

int TextureImage::LiveCopies() {
    return gLiveCopies.load();
}

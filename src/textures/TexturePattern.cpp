#include "textures/TexturePattern.h"

#include "colour/ColourTable.h"
#include "core/FloatArray.h"
#include "core/Random.h"
#include "patterns/PatternCalculator.h"

#include <algorithm>
#include <memory>

namespace {

// 4, 8, ... 2^(a + 1); below(0) still takes its draw.
int Side(Random& rng, int a) {
    return 1 << (rng.below(a) + 2);
}

GLenum InternalFormat(double u) {
    if (u < 0.7)
        return GL_RGB;
    return u < 0.85 ? GL_LUMINANCE : GL_INTENSITY;
}

GLint EnvMode(Random& rng, GLenum internalFormat) {
    const int k = internalFormat == GL_RGB ? rng.below(3) : rng.below(2) + 1;
    static constexpr GLint kModes[] = {GL_DECAL, GL_MODULATE, GL_BLEND};
    return kModes[k];
}

void PutTexel(TexturePattern::Image& image, int i, int j, const float rgb[3]) {
    const std::size_t at = (static_cast<std::size_t>(i) * image.width + j) * 3;
    std::copy(rgb, rgb + 3, image.texels.begin() + static_cast<std::ptrdiff_t>(at));
}

// One quadrant computed, the other three mirrored about both centre lines.
void Sample(PatternCalculator& pattern, const ColourTable& table, TexturePattern::Image& image) {
    const int a = image.height;
    const int b = image.width;
    const int n = std::max(table.colourCount(), 1);
    FloatArray input(2, 0.0f);
    FloatArray output(static_cast<std::size_t>(std::max(image.channels, 3)), 0.0f);
    for (int i = 0; i < a / 2; ++i) {
        for (int j = 0; j < b / 2; ++j) {
            input[0] = static_cast<float>(2.0 * i / a - 1.0);
            input[1] = static_cast<float>(2.0 * j / b - 1.0);
            pattern.Calculate(input, output);
            float rgb[3] = {0.0f, 0.0f, 0.0f};
            if (image.channels == 1) {
                const Color& c = table.TableColor(PatternColourIndex(output[0], n));
                rgb[0] = c.r;
                rgb[1] = c.g;
                rgb[2] = c.b;
            } else {
                for (int k = 0; k < std::min(image.channels, 3); ++k)
                    rgb[k] = output[static_cast<std::size_t>(k)];
            }
            PutTexel(image, i, j, rgb);
            PutTexel(image, a - 1 - i, j, rgb);
            PutTexel(image, i, b - 1 - j, rgb);
            PutTexel(image, a - 1 - i, b - 1 - j, rgb);
        }
    }
}

} // namespace

TexturePattern::TexturePattern(Random& rng, const ColourTable& table, double performance1,
                               DrawGate* gate, bool developerMode, int sceneSize)
    : Texture(rng) {
    const Image image = Compute(rng, table, performance1, gate, developerMode, sceneSize);
    m_Width = image.width;
    m_Height = image.height;
    Compile(image);
}

TexturePattern::Image TexturePattern::Compute(Random& rng, const ColourTable& table,
                                              double performance1, DrawGate* gate,
                                              bool developerMode, int sceneSize) {
    Image image;
    const int a = static_cast<int>(6.0 * std::clamp(performance1, 0.0, 1.0));
    image.height = Side(rng, a);
    image.width = Side(rng, a);
    image.internalFormat = InternalFormat(rng.uniform());

    PatternContext context;
    context.colourCount = table.colourCount();
    context.bandCount = table.bandCount();
    context.developerMode = developerMode;
    context.gate = gate;
    context.sceneSize = sceneSize;
    std::unique_ptr<PatternCalculator> pattern = PatternCalculator::Create(rng, 1, true, context);
    const int wanted = image.internalFormat == GL_RGB ? 1 : 3;
    image.channels = pattern->Channels(wanted);
    pattern->Randomize(2, image.channels, false, 2);
    pattern->Prepare(image.height / 2, image.width / 2);
    image.texels.assign(static_cast<std::size_t>(image.height) * image.width * 3, 0.0f);
    Sample(*pattern, table, image);
    pattern.reset();
    image.envMode = EnvMode(rng, image.internalFormat);
    return image;
}

void TexturePattern::Compile(const Image& image) {
    m_Object = TextureObject::Generate();
    if (!m_Object.IsValid())
        return;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    m_Object.Bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(image.internalFormat), image.width,
                 image.height, 0, GL_RGB, GL_FLOAT, image.texels.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));

    // The list selects the texture and sets the unit's state; the image stays in the object.
    m_List = DisplayList::Generate();
    if (!m_List.IsValid())
        return;
    glNewList(m_List.Id(), GL_COMPILE);
    m_Object.Bind();
    glDisable(GL_TEXTURE_1D);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, image.envMode);
    glEndList();
}

bool TexturePattern::Apply() const {
    glEnable(GL_TEXTURE_2D);
    m_List.Call();
    return true;
}

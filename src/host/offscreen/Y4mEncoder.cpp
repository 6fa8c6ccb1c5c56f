#include "host/offscreen/Y4mEncoder.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr char kFrameMarker[] = "FRAME\n";
constexpr std::size_t kMarkerSize = sizeof kFrameMarker - 1;

// BT.601 weights of red and blue; green takes the rest.
constexpr double kR = 0.299;
constexpr double kB = 0.114;
constexpr double kG = 1.0 - kR - kB;

// Coefficients in 1/65536 of a code value per 8-bit channel value. Chroma takes the sum of
// a 2x2 block, so its shift also divides by four.
constexpr int kCoefficientShift = 16;
constexpr int kLumaShift = kCoefficientShift;
constexpr int kChromaShift = kCoefficientShift + 2;

constexpr std::int64_t Fixed(double factor) {
    const double scaled = factor * static_cast<double>(std::int64_t{1} << kCoefficientShift);
    return static_cast<std::int64_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
}

constexpr double kLumaScale = 219.0 / 255.0;
constexpr double kChromaScale = 224.0 / 255.0;

constexpr std::int64_t kYR = Fixed(kLumaScale * kR);
constexpr std::int64_t kYG = Fixed(kLumaScale * kG);
constexpr std::int64_t kYB = Fixed(kLumaScale * kB);
constexpr std::int64_t kCbR = Fixed(kChromaScale * -kR / (2.0 * (1.0 - kB)));
constexpr std::int64_t kCbG = Fixed(kChromaScale * -kG / (2.0 * (1.0 - kB)));
constexpr std::int64_t kCbB = Fixed(kChromaScale * 0.5);
constexpr std::int64_t kCrR = Fixed(kChromaScale * 0.5);
constexpr std::int64_t kCrG = Fixed(kChromaScale * -kG / (2.0 * (1.0 - kR)));
constexpr std::int64_t kCrB = Fixed(kChromaScale * -kB / (2.0 * (1.0 - kR)));

// The code value of a fixed-point sum, rounded, from an offset and a range.
unsigned char Code(std::int64_t sum, int shift, int offset, int low, int high) {
    const std::int64_t value =
        offset +
        ((sum + (std::int64_t{1} << (shift - 1)) + (std::int64_t{256} << shift)) >> shift) - 256;
    return static_cast<unsigned char>(value < low ? low : value > high ? high : value);
}

} // namespace

Y4mEncoder::Y4mEncoder(int width, int height)
    : m_Width(width), m_Height(height),
      m_Frame(kMarkerSize +
              static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3 / 2) {
    std::copy(kFrameMarker, kFrameMarker + kMarkerSize, m_Frame.begin());
}

std::string Y4mEncoder::Header() const {
    // Progressive, square pixels; the colour range as ffmpeg's own extension names it.
    return "YUV4MPEG2 W" + std::to_string(m_Width) + " H" + std::to_string(m_Height) + " F" +
           std::to_string(FramesPerSecond) + ":1 Ip A1:1 C420jpeg XYSCSS=420JPEG" +
           " XCOLORRANGE=LIMITED\n";
}

const std::vector<unsigned char>& Y4mEncoder::Encode(const std::vector<unsigned char>& rgb) {
    const std::size_t width = static_cast<std::size_t>(m_Width);
    const std::size_t height = static_cast<std::size_t>(m_Height);
    const std::size_t stride = width * 3;
    unsigned char* y = m_Frame.data() + kMarkerSize;
    unsigned char* cb = y + width * height;
    unsigned char* cr = cb + width * height / 4;
    if (rgb.size() != stride * height)
        return m_Frame;
    for (std::size_t row = 0; row < height; ++row) {
        const unsigned char* p = rgb.data() + row * stride;
        for (std::size_t x = 0; x < width; ++x, p += 3)
            *y++ = Code(kYR * p[0] + kYG * p[1] + kYB * p[2], kLumaShift, 16, 16, 235);
    }
    for (std::size_t row = 0; row < height; row += 2) {
        const unsigned char* top = rgb.data() + row * stride;
        const unsigned char* bottom = top + stride;
        for (std::size_t x = 0; x < width; x += 2, top += 6, bottom += 6) {
            const std::int64_t r = top[0] + top[3] + bottom[0] + bottom[3];
            const std::int64_t g = top[1] + top[4] + bottom[1] + bottom[4];
            const std::int64_t b = top[2] + top[5] + bottom[2] + bottom[5];
            *cb++ = Code(kCbR * r + kCbG * g + kCbB * b, kChromaShift, 128, 16, 240);
            *cr++ = Code(kCrR * r + kCrG * g + kCrB * b, kChromaShift, 128, 16, 240);
        }
    }
    return m_Frame;
}

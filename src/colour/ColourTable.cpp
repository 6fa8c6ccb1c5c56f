#include "colour/ColourTable.h"

#include "core/Random.h"

#include <algorithm>

namespace {

// A channel biased towards bright values for a negative bias; 0 and 1 are uniform.
int DrawChannel(Random& rng, int bias) {
    return rng.skewed(256, bias);
}

} // namespace

void ColourTable::BuildColourTable(int n, Random& rng) {
    BuildColourTableFromSeed(n, rng.next());
}

void ColourTable::BuildColourTableFromSeed(int n, int seed) {
    n = std::max(n, 1); // every look-up takes an index modulo n
    Random rng(seed);

    const int biasRed = rng.below(5) - 3;
    const int biasGreen = rng.below(4) - 2;
    const int biasBlue = rng.below(4) - 2;
    auto drawColour = [&] {
        Rgb c;
        c.r = DrawChannel(rng, biasRed);
        c.g = DrawChannel(rng, biasGreen);
        c.b = DrawChannel(rng, biasBlue);
        return c;
    };

    int minLen = 0;
    int maxLen = 0;
    do {
        minLen = rng.skewed(n, 3) + 2;
        maxLen = rng.skewed(n, 3) + 2;
    } while (maxLen < minLen);

    const Rgb start = drawColour();
    Rgb current = start;
    m_BandCount = 0;
    m_Colors.assign(static_cast<size_t>(n), Color{0.0f, 0.0f, 0.0f, 0.0f});
    m_Palette.assign(static_cast<size_t>(n), PaletteEntry{});

    // Every band starts on the last entry of the previous one; since minLen >= 2 each band
    // still advances, and the last one ends on the start colour to close the chain.
    int pos = 0;
    while (pos < n) {
        if (pos > 0)
            --pos;
        int len = std::max(rng.below(maxLen) + 1, minLen);
        len = std::min(len, n - pos);
        if (m_BandCount > 2 && pos + len > n - minLen)
            len = n - pos;
        const Rgb from = current;
        ++m_BandCount;
        Rgb to;
        if (pos + len == n) {
            to = start;
        } else if (m_BandCount == 1 && from == Rgb{} && rng.flip() == 1) {
            to = Rgb{255, 255, 255};
        } else {
            to = drawColour();
        }
        WriteGradient(pos, len, from, to, true);
        current = to;
    }
}

void ColourTable::BuildPhotoBands(int w, int h, const unsigned char* rgb) {
    if (w < 5 || h < 5 || rgb == nullptr)
        return;
    const int n = colourCount();
    const long long pixels = static_cast<long long>(w) * h;
    const long long bytes = pixels * 3;
    auto pixelAt = [rgb](long long offset) {
        return Rgb{rgb[offset], rgb[offset + 1], rgb[offset + 2]};
    };

    m_BandCount = 25;
    const Rgb first = pixelAt(0);
    Rgb current = first;
    long long offset = 0;
    int pos = 0;
    while (pos < n) {
        // Below 50 entries a band of N / 25 would not advance; two entries always do.
        int count = std::max(n / 25, 2);
        if (pos > 0)
            --pos;
        if (pos + count > n)
            count = n - pos;
        Rgb target;
        if (pos + count == n) {
            target = first;
        } else {
            offset = (offset + (pixels / 25) * 3) % bytes;
            target = offset + 2 < bytes ? pixelAt(offset) : current;
        }
        WriteGradient(pos, count, current, target, false);
        current = target;
    }
}

void ColourTable::WriteGradient(int& pos, int len, const Rgb& from, const Rgb& to,
                                bool alsoColors) {
    const int div = len >= 2 ? len - 1 : 1;
    for (int i = 0; i < len; ++i, ++pos) {
        // C division truncates towards zero, as the gradient steps must.
        const int r = from.r + i * (to.r - from.r) / div;
        const int g = from.g + i * (to.g - from.g) / div;
        const int b = from.b + i * (to.b - from.b) / div;
        PaletteEntry& entry = m_Palette[static_cast<size_t>(pos)];
        entry.red = static_cast<unsigned char>(r);
        entry.green = static_cast<unsigned char>(g);
        entry.blue = static_cast<unsigned char>(b);
        entry.flags = 0;
        if (alsoColors) {
            m_Colors[static_cast<size_t>(pos)].FromBytes(entry.red, entry.green, entry.blue);
        }
    }
}

const Color& ColourTable::TableColor(int i) const {
    static const Color black;
    const int n = colourCount();
    if (n == 0)
        return black; // before the first build
    int index = i % n;
    if (index < 0)
        index += n;
    return m_Colors[static_cast<size_t>(index)];
}

Color ColourTable::ShapeColor(int i, float alpha) const {
    Color c = TableColor(i);
    c.a = alpha;
    return c;
}

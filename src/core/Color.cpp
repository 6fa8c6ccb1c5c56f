#include "core/Color.h"

#include "core/Random.h"

#include <cstdio>

void Color::Set(float red, float green, float blue, float alpha) {
    r = red;
    g = green;
    b = blue;
    a = alpha;
}

void Color::FromBytes(unsigned char red, unsigned char green, unsigned char blue) {
    Set(red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f);
}

void Color::Invert() {
    r = 1.0f - r;
    g = 1.0f - g;
    b = 1.0f - b;
}

void Color::Scale(float factor) {
    r *= factor;
    g *= factor;
    b *= factor;
}

void Color::RandomColor(Random& rng, const std::vector<Color>& table) {
    const int count = static_cast<int>(table.size());
    const int index = rng.below(count);
    if (count > 0)
        *this = table[static_cast<std::size_t>(index)];
}

void Color::RandomColor(Random& rng, bool fromTable, const std::vector<Color>* table) {
    if (fromTable) {
        if (table != nullptr)
            RandomColor(rng, *table);
        else
            rng.below(256); // no window, no table: the draw of a true-colour table's size
        return;
    }
    r = static_cast<float>(rng.uniform());
    g = static_cast<float>(rng.uniform());
    b = static_cast<float>(rng.uniform());
}

std::string Color::Text() const {
    char text[64];
    std::snprintf(text, sizeof text, "(%d,%d,%d)", static_cast<int>(r * 256),
                  static_cast<int>(g * 256), static_cast<int>(b * 256));
    return text;
}

Color RandomColor(Random& rng, bool fromTable, const std::vector<Color>* table) {
    Color color;
    color.RandomColor(rng, fromTable, table);
    return color;
}

#include "core/Color.h"

#include "app/SaverApp.h"
#include "core/Random.h"
#include "motion/ColourTable.h"
#include "scene/SceneWnd.h"

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

void Color::RandomColor(Random& rng, const ColourTable& table) {
    const int index = rng.below(table.colourCount());
    if (table.colourCount() > 0)
        *this = table.TableColor(index);
}

void Color::RandomColor(Random& rng, bool fromTable) {
    if (fromTable) {
        const CSceneWnd* wnd = gApp.pSceneWnd();
        if (wnd != nullptr) {
            RandomColor(rng, wnd->Colours());
        } else {
            // No window, no table: keep the draw so the sequence stays the same.
            rng.below(ColourTable::kDefaultSize);
        }
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

Color RandomColor(Random& rng, bool fromTable) {
    Color color;
    color.RandomColor(rng, fromTable);
    return color;
}

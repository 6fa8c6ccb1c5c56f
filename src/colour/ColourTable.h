#pragma once

#include "core/Color.h"

#include <vector>

class Random;

// One palette entry as a palette display takes it. X visuals are true colour, so the
// entries are kept (and rewritten by BuildPhotoBands) but never realised.
struct PaletteEntry {
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
    unsigned char flags = 0;
};

// The scene colour table: a closed chain of smooth gradients between random colours, so
// neighbouring indices have similar colours and walking the indices cycles smoothly.
// Owned by the scene window; colour changers and makers look it up at every call.
class ColourTable {
public:
    static constexpr int kDefaultSize = 256; // N on a true-colour display

    // Fills n entries (n >= 1) from a private generator seeded with one next() of rng (the
    // process generator).
    void BuildColourTable(int n, Random& rng);
    // The same from a given seed, so the table can be rebuilt without the application.
    void BuildColourTableFromSeed(int n, int seed);
    // Rewrites the palette entries (not the table colours) with 25 bands running through
    // the pixels of a w x h picture of three bytes per pixel; smaller than 5 x 5: ignored.
    void BuildPhotoBands(int w, int h, const unsigned char* rgb);

    int colourCount() const { return static_cast<int>(m_Colors.size()); }
    int bandCount() const { return m_BandCount; }

    // Indices are taken modulo N; they are never negative.
    const Color& TableColor(int i) const;
    Color ShapeColor(int i, float alpha) const;

    const std::vector<Color>& Colors() const { return m_Colors; }
    const std::vector<PaletteEntry>& Palette() const { return m_Palette; }

private:
    struct Rgb {
        int r = 0;
        int g = 0;
        int b = 0;
        bool operator==(const Rgb&) const = default;
    };
    void WriteGradient(int& pos, int len, const Rgb& from, const Rgb& to, bool alsoColors);

    std::vector<Color> m_Colors;
    std::vector<PaletteEntry> m_Palette;
    int m_BandCount = 0;
};

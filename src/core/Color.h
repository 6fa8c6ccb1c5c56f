#pragma once

#include <string>
#include <vector>

class Random;

// An RGBA colour as handed to glColor4fv and glMaterialfv: four floats, nominally 0..1.
struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;

    void Set(float red, float green, float blue, float alpha);
    // Bytes 0..255 become 0..1; alpha becomes 1.
    void FromBytes(unsigned char red, unsigned char green, unsigned char blue);
    void Invert();            // r, g, b := 1 - r, 1 - g, 1 - b
    void Scale(float factor); // r, g, b multiplied; alpha kept
    // With fromTable a copy of a random entry of table, the drawing window's colour table
    // (one below(N) draw); without a table the draw is below(256) and the colour is kept, so
    // the sequence stays the same. Otherwise three uniform draws for r, g, b, alpha kept.
    void RandomColor(Random& rng, bool fromTable, const std::vector<Color>* table = nullptr);
    // A copy of a random entry of table (one below(size) draw; an empty table copies nothing).
    void RandomColor(Random& rng, const std::vector<Color>& table);
    std::string Text() const; // "(r,g,b)" as integers of r * 256 ... truncated

    const float* Data() const { return &r; }
    bool operator==(const Color&) const = default;
};

// A fresh colour (alpha 1) drawn as Color::RandomColor does.
Color RandomColor(Random& rng, bool fromTable, const std::vector<Color>* table = nullptr);

#include "colour/ColourTable.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Rgb = std::array<int, 3>;

Rgb PaletteAt(const ColourTable& table, int i) {
    const PaletteEntry& e = table.Palette()[static_cast<size_t>(i)];
    return {e.red, e.green, e.blue};
}

// Reference values from an independent implementation of the generator and the table
// algorithm (a Python script), not from this code.
struct Reference {
    int seed;
    int n;
    int bands;
    Rgb start;
    Rgb middle;     // entry n / 2
    Rgb beforeLast; // entry n - 2
};

const Reference kReferences[] = {
    {12345, 256, 44, {102, 214, 69}, {148, 224, 135}, {118, 204, 85}},
    {777, 256, 20, {151, 24, 37}, {154, 146, 118}, {157, 21, 54}},
    {99, 3, 2, {255, 50, 46}, {231, 222, 106}, {231, 222, 106}},
    {5, 40, 28, {82, 246, 114}, {196, 66, 162}, {156, 180, 180}},
};

} // namespace

TEST(ColourTable, MatchesIndependentlyComputedTables) {
    for (const Reference& ref : kReferences) {
        SCOPED_TRACE(ref.seed);
        ColourTable table;
        table.BuildColourTableFromSeed(ref.n, ref.seed);
        ASSERT_EQ(table.colourCount(), ref.n);
        EXPECT_EQ(table.bandCount(), ref.bands);
        EXPECT_EQ(PaletteAt(table, 0), ref.start);
        EXPECT_EQ(PaletteAt(table, ref.n / 2), ref.middle);
        EXPECT_EQ(PaletteAt(table, ref.n - 2), ref.beforeLast);
    }
}

TEST(ColourTable, ChainClosesOnItsStartColourAndTableMatchesPalette) {
    for (int n : {2, 3, 7, 50, 256}) {
        for (int seed = 1; seed <= 40; ++seed) {
            ColourTable table;
            table.BuildColourTableFromSeed(n, seed * 7919);
            ASSERT_EQ(PaletteAt(table, n - 1), PaletteAt(table, 0)) << n << " " << seed;
            ASSERT_GE(table.bandCount(), 1);
            ASSERT_LE(table.bandCount(), n);
            for (int i = 0; i < n; ++i) {
                const Color& c = table.TableColor(i);
                const Rgb p = PaletteAt(table, i);
                ASSERT_FLOAT_EQ(c.r, p[0] / 255.0f);
                ASSERT_FLOAT_EQ(c.g, p[1] / 255.0f);
                ASSERT_FLOAT_EQ(c.b, p[2] / 255.0f);
                ASSERT_EQ(c.a, 1.0f);
            }
        }
    }
}

TEST(ColourTable, SingleEntryTableHoldsOnlyTheStartColour) {
    // One entry is one band of length 1: it writes its start colour and nothing else.
    ColourTable table;
    table.BuildColourTableFromSeed(1, 1);
    ASSERT_EQ(table.colourCount(), 1);
    EXPECT_EQ(table.bandCount(), 1);
    EXPECT_EQ(PaletteAt(table, 0), (Rgb{205, 123, 231}));
}

TEST(ColourTable, LookUpsWrapAroundTheTable) {
    ColourTable table;
    table.BuildColourTableFromSeed(256, 12345);
    EXPECT_EQ(table.TableColor(256 + 128), table.TableColor(128));
    const Color shape = table.ShapeColor(3 * 256 + 5, 0.25f);
    EXPECT_EQ(shape.r, table.TableColor(5).r);
    EXPECT_EQ(shape.b, table.TableColor(5).b);
    EXPECT_EQ(shape.a, 0.25f);
}

TEST(ColourTable, PhotoBandsRewriteOnlyThePalette) {
    ColourTable table;
    table.BuildColourTableFromSeed(256, 777);
    const std::vector<Color> colours = table.Colors();

    std::vector<unsigned char> rgb;
    for (int k = 0; k < 25; ++k) {
        rgb.push_back(static_cast<unsigned char>(k * 10));
        rgb.push_back(static_cast<unsigned char>(255 - k * 10));
        rgb.push_back(static_cast<unsigned char>(k * 3));
    }
    table.BuildPhotoBands(5, 5, rgb.data());

    EXPECT_EQ(table.bandCount(), 25);
    EXPECT_EQ(table.Colors(), colours);
    // Bands of ten entries walk pixel by pixel; the last returns to the first pixel.
    EXPECT_EQ(PaletteAt(table, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(PaletteAt(table, 5), (Rgb{5, 250, 1}));
    EXPECT_EQ(PaletteAt(table, 9), (Rgb{10, 245, 3}));
    EXPECT_EQ(PaletteAt(table, 100), (Rgb{111, 144, 33}));
    EXPECT_EQ(PaletteAt(table, 200), (Rgb{222, 33, 66}));
    EXPECT_EQ(PaletteAt(table, 250), (Rgb{27, 228, 8}));
    EXPECT_EQ(PaletteAt(table, 255), (Rgb{0, 255, 0}));

    std::vector<unsigned char> odd(7 * 6 * 3);
    for (size_t i = 0; i < odd.size(); ++i)
        odd[i] = static_cast<unsigned char>((i * 37) % 256);
    table.BuildPhotoBands(7, 6, odd.data());
    EXPECT_EQ(PaletteAt(table, 3), (Rgb{37, 74, 111}));
    EXPECT_EQ(PaletteAt(table, 47), (Rgb{67, 104, 141}));
    EXPECT_EQ(PaletteAt(table, 128), (Rgb{42, 79, 116}));
}

TEST(ColourTable, PhotoBandsIgnoreSmallPicturesAndEndOnShortTables) {
    ColourTable table;
    table.BuildColourTableFromSeed(256, 12345);
    const std::vector<PaletteEntry> before = table.Palette();
    const std::vector<unsigned char> rgb(100 * 4 * 3, 200);
    table.BuildPhotoBands(100, 4, rgb.data());
    table.BuildPhotoBands(4, 100, rgb.data());
    EXPECT_EQ(table.bandCount(), 44);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(PaletteAt(table, i), (Rgb{before[i].red, before[i].green, before[i].blue}));

    // Below 50 entries a band of N / 25 would never advance.
    ColourTable small;
    small.BuildColourTableFromSeed(30, 5);
    const std::vector<unsigned char> grey(5 * 5 * 3, 90);
    small.BuildPhotoBands(5, 5, grey.data());
    EXPECT_EQ(PaletteAt(small, 29), (Rgb{90, 90, 90}));
}

TEST(Color, TextTruncatesTimes256) {
    Color c;
    c.Set(0.5f, 0.999f, 0.0f, 1.0f);
    EXPECT_EQ(c.Text(), "(128,255,0)");
    c.Invert();
    c.Scale(0.5f);
    EXPECT_EQ(c.Text(), "(64,0,128)");
    EXPECT_EQ(c.a, 1.0f);
}

#include "colour/ColorMaker.h"
#include "colour/ColorMakerCalc.h"
#include "colour/ColorMakerCheckered.h"
#include "colour/ColorMakerConst.h"
#include "colour/ColorMakerIndex.h"
#include "colour/ColourTable.h"
#include "core/Random.h"
#include "patterns/PatternPlasma.h"
#include "patterns/PatternSin.h"

#include <gtest/gtest.h>

#include <typeinfo>

namespace {

ColourTable Table(int seed) {
    ColourTable table;
    table.BuildColourTableFromSeed(256, seed);
    return table;
}

} // namespace

// Expected draws from an independent port of the generator and the weighted choice.
TEST(ColorMaker, FactoryDrawsKindsWithTheirParameters) {
    const ColourTable table = Table(1);
    Random seventy(70);
    auto index = ColorMaker::Create(seventy, nullptr, table);
    ASSERT_EQ(typeid(*index), typeid(ColorMakerIndex));
    EXPECT_EQ(static_cast<ColorMakerIndex&>(*index).Index(), 197);
    EXPECT_EQ(static_cast<ColorMakerIndex&>(*index).Step(), 1);

    Random seven(7);
    auto constant = ColorMaker::Create(seven, nullptr, table);
    ASSERT_EQ(typeid(*constant), typeid(ColorMakerConst));
    EXPECT_EQ(static_cast<ColorMakerConst&>(*constant).Index(), 17);

    Random one(1);
    EXPECT_EQ(typeid(*ColorMaker::Create(one, nullptr, table)), typeid(ColorMakerCalc));
    EXPECT_EQ(ColorMaker::KindWeights(), (FloatArray{5, 100, 20, 0}));

    // Excluding the index kind redraws it away.
    const std::vector<int> noIndex{0};
    Random again(70);
    EXPECT_NE(typeid(*ColorMaker::Create(again, &noIndex, table)), typeid(ColorMakerIndex));
}

TEST(ColorMaker, IndexWalksTheTableByItsStep) {
    const ColourTable table = Table(3);
    Random four(4);
    ColorMakerIndex maker(four, table);
    EXPECT_EQ(maker.Index(), 151);
    EXPECT_EQ(maker.Step(), 6);
    for (int k : {151, 157, 163, 169})
        EXPECT_EQ(maker.MakeColor({0.0f, 0.0f}), table.TableColor(k));
}

TEST(ColorMaker, CheckeredAlternatesOnItsBoard) {
    const ColourTable table = Table(3);
    Random two(2);
    ColorMakerCheckered maker(two, table);
    EXPECT_EQ(maker.IndexA(), 16);
    EXPECT_EQ(maker.IndexB(), 27);
    EXPECT_EQ(maker.Cells(), 8);
    const Color a = table.TableColor(16);
    const Color b = table.TableColor(27);
    EXPECT_EQ(maker.MakeColor({-1.0f, -1.0f}), a);  // cell (0, 0)
    EXPECT_EQ(maker.MakeColor({-0.9f, -0.3f}), a);  // (0, 2)
    EXPECT_EQ(maker.MakeColor({0.2f, 0.7f}), a);    // (4, 6)
    EXPECT_EQ(maker.MakeColor({0.99f, -0.99f}), b); // (7, 0)
    EXPECT_EQ(maker.MakeColor({0.1f, 0.3f}), b);    // (4, 5)
    EXPECT_EQ(maker.MakeColor({-1.05f, -1.0f}), b); // (-1, 0): left of the board
    EXPECT_EQ(maker.MakeColor({}), a);              // missing values count as 0: (4, 4)
}

TEST(ColorMaker, CalcColoursByItsPatternAndForwardsPrepare) {
    const ColourTable table = Table(2);
    Random five(5); // a regular sine pattern: values 0.6533203125 and 0.7294921875 below
    auto maker = ColorMaker::Create(five, nullptr, table);
    ASSERT_EQ(typeid(*maker), typeid(ColorMakerCalc));
    const auto& calc = static_cast<ColorMakerCalc&>(*maker);
    EXPECT_EQ(typeid(calc.Pattern()), typeid(PatternSin));
    EXPECT_TRUE(calc.Pattern().IsRandomized());
    EXPECT_EQ(maker->MakeColor({-0.5f, 0.25f}), table.TableColor(166));
    EXPECT_EQ(maker->MakeColor({0.6f, 0.9f}), table.TableColor(186));

    Random four(4); // a plasma pattern
    auto plasma = ColorMaker::Create(four, nullptr, table);
    ASSERT_EQ(typeid(*plasma), typeid(ColorMakerCalc));
    const auto& pattern = static_cast<ColorMakerCalc&>(*plasma).Pattern();
    ASSERT_EQ(typeid(pattern), typeid(PatternPlasma));
    plasma->Prepare(3, 5);
    const auto& grid = static_cast<const PatternPlasma&>(pattern).Grid();
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.Columns(), 5);
}

TEST(ColorMaker, RebuiltTableRecoloursWhatFollows) {
    ColourTable table = Table(1);
    Random seven(7);
    ColorMakerConst maker(seven, table); // no factory draw first: its own index
    const int index = maker.Index();
    EXPECT_EQ(maker.MakeColor({}), table.TableColor(index));
    table.BuildColourTableFromSeed(256, 99);
    EXPECT_EQ(maker.MakeColor({}), table.TableColor(index));
    EXPECT_EQ(maker.ColourCount(), 256);
}

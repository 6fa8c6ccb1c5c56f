#include "core/ClassName.h"

#include <gtest/gtest.h>

namespace outer {
struct Inner {};
} // namespace outer

struct PlainShape {
    virtual ~PlainShape() = default;
};
struct DerivedShape : PlainShape {};

TEST(ClassName, ReadsAsWrittenInTheSource) {
    EXPECT_EQ(ClassName(typeid(DerivedShape)), "DerivedShape");
    EXPECT_EQ(ClassName(typeid(outer::Inner)), "outer::Inner");
    // Through a base reference, the dynamic class, as the captions show it.
    const DerivedShape derived;
    const PlainShape& base = derived;
    EXPECT_EQ(ClassName(typeid(base)), "DerivedShape");
}

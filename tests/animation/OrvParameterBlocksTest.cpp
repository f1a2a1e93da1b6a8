#include "animation/OrvColorParameter.h"
#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvRangeParameter.h"
#include "animation/OrvVector3Parameter.h"

#include <gtest/gtest.h>

TEST(OrvParameterBlocks, ColorNamesDefaultsFloatStorageAndUnknownIndices) {
    OrvColorParameter color;
    EXPECT_EQ(0.0f, color.r + color.g + color.b + color.a);
    EXPECT_EQ("r", color.ParameterName(0));
    EXPECT_EQ("a", color.ParameterName(3));
    EXPECT_EQ("", color.ParameterName(4));
    EXPECT_EQ("", color.ParameterName(-1));
    color.UpdateParameter(0, 0.1);
    EXPECT_EQ(0.1f, color.r); // rounded to float
    color.UpdateParameter(7, 1.0);
    color.UpdateParameter(-1, 1.0);
    EXPECT_EQ(0.0f, color.g + color.b + color.a);
    color.Set(0.2f, 0.4f, 0.6f, 0.8f);
    OrvColorParameter copy(color);
    copy.UpdateParameter(1, 1.0);
    EXPECT_EQ(0.4f, color.g);
    EXPECT_EQ(1.0f, copy.g);
    EXPECT_EQ(0.8f, copy.a);
}

TEST(OrvParameterBlocks, VectorRangeAndChildRecords) {
    OrvVector3Parameter vector;
    EXPECT_EQ("z", vector.ParameterName(2));
    EXPECT_EQ("", vector.ParameterName(3));
    vector.UpdateParameter(1, 0.1); // doubles are stored unchanged
    vector.UpdateParameter(3, 9.0);
    EXPECT_EQ(0.1, vector.vector.y);
    EXPECT_EQ(0.0, vector.vector.x + vector.vector.z);

    OrvRangeParameter range;
    EXPECT_EQ("min", range.ParameterName(0));
    EXPECT_EQ("max", range.ParameterName(1));
    EXPECT_EQ("", range.ParameterName(2));
    EXPECT_EQ(0.0, range.min + range.max);
    range.Set(5, 1); // kept as given: the owner decides what an inverted range means
    range.UpdateParameter(1, 0.1);
    EXPECT_EQ(5.0, range.min);
    EXPECT_EQ(0.1, range.max);

    OrvParameterInterfaceChild empty;
    EXPECT_EQ("", empty.name);
    EXPECT_EQ(nullptr, empty.interface);
    OrvParameterInterfaceChild copy = OrvParameterInterfaceChild("col", &range);
    EXPECT_EQ("col", copy.name);
    EXPECT_EQ(&range, copy.interface);
    EXPECT_EQ("", OrvParameterInterfaceChild(static_cast<const char*>(nullptr), &range).name);
}

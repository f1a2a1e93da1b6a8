#include "animation/OrvParameterTable.h"
#include "animation/OrvParameterInterface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

// One field of each conversion, in this order.
class EveryConversion : public OrvParameterInterface {
public:
    float f = 0;
    double d = 0;
    bool on = false;
    bool truncatedOn = false;
    int level = 0;
    float angle = 10;
    int customStores = 0;
    double custom = 0;

protected:
    void DescribeParameters(OrvParameterTable& table) override {
        table.Float("f", f);
        table.Double("d", d);
        table.Switch("on", on);
        table.TruncatedSwitch("truncatedOn", truncatedOn);
        table.Integer("level", level, -2, 5);
        table.FloatWithin("angle", angle, 1.0f, 179.0f);
        if (table.Custom("custom", custom * 2)) {
            ++customStores;
            custom = table.Value();
        }
    }
};

} // namespace

TEST(OrvParameterTable, NamesStoresAndReadsThroughOneList) {
    EveryConversion object;
    const char* names[] = {"f", "d", "on", "truncatedOn", "level", "angle", "custom"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(names[i], object.ParameterName(i));
    EXPECT_EQ("", object.ParameterName(7));
    EXPECT_EQ("", object.ParameterName(-1));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    object.UpdateParameter(0, 0.1);
    EXPECT_EQ(0.1f, object.f);
    object.UpdateParameter(1, 0.1);
    EXPECT_EQ(0.1, object.d);
    // What a float cannot hold leaves both kinds of field as they were; float's own extremes
    // are stored.
    const double unfit[] = {nan, std::numeric_limits<double>::infinity(), -1e39, 3.5e38, 1e300};
    for (double value : unfit) {
        object.UpdateParameter(0, value);
        object.UpdateParameter(1, value);
        EXPECT_EQ(0.1f, object.f) << value;
        EXPECT_EQ(0.1, object.d) << value;
    }
    object.UpdateParameter(0, -3.4e38);
    object.UpdateParameter(1, 3.4e38);
    EXPECT_EQ(-3.4e38f, object.f);
    EXPECT_EQ(3.4e38, object.d);

    object.UpdateParameter(2, 0.25);
    EXPECT_TRUE(object.on);
    object.UpdateParameter(3, 0.7); // truncated to 0
    EXPECT_FALSE(object.truncatedOn);
    object.UpdateParameter(3, -1.5);
    EXPECT_TRUE(object.truncatedOn);
    object.UpdateParameter(3, nan);
    EXPECT_FALSE(object.truncatedOn);

    const double stored[][2] = {{3.9, 3}, {-1.9, -1}, {1e300, 5}, {-1e300, -2}, {nan, 0}};
    for (const auto& pair : stored) {
        object.UpdateParameter(4, pair[0]);
        EXPECT_EQ(pair[1], object.level) << pair[0];
    }
    const double angles[][2] = {{0.5, 1}, {200, 179}, {nan, 1}, {90.5, 90.5}};
    for (const auto& pair : angles) {
        object.UpdateParameter(5, pair[0]);
        EXPECT_EQ(static_cast<float>(pair[1]), object.angle) << pair[0];
    }

    // Only the custom entry's own number reaches the owner's code.
    object.UpdateParameter(5, 2);
    object.UpdateParameter(7, 2);
    object.UpdateParameter(-3, 2);
    EXPECT_EQ(0, object.customStores);
    object.UpdateParameter(6, 21);
    EXPECT_EQ(1, object.customStores);

    double value = 0;
    ASSERT_TRUE(object.ReadParameter(2, value));
    EXPECT_EQ(1.0, value);
    ASSERT_TRUE(object.ReadParameter(4, value));
    EXPECT_EQ(0.0, value);
    ASSERT_TRUE(object.ReadParameter(6, value));
    EXPECT_EQ(42.0, value);
    EXPECT_EQ(1, object.customStores); // reading stores nothing
    EXPECT_FALSE(object.ReadParameter(7, value));
}

TEST(OrvParameterTable, TruncationPinsWhatACastCannotHold) {
    EXPECT_EQ(0, OrvParameterTable::TruncateToInt(std::nan("")));
    EXPECT_EQ(INT_MAX, OrvParameterTable::TruncateToInt(3e9));
    EXPECT_EQ(INT_MIN, OrvParameterTable::TruncateToInt(-3e9));
    EXPECT_EQ(-2, OrvParameterTable::TruncateToInt(-2.999));
    EXPECT_EQ(INT64_MAX, OrvParameterTable::TruncateToInt64(1e30));
    EXPECT_EQ(INT64_MIN,
              OrvParameterTable::TruncateToInt64(-std::numeric_limits<double>::infinity()));
    EXPECT_EQ(4294967295LL, OrvParameterTable::TruncateToInt64(4294967295.5));
}

#include "animation/OrvParameterTable.h"

#include <climits>
#include <cmath>

int64_t OrvParameterTable::TruncateToInt64(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775807.0)
        return INT64_MAX;
    if (value <= -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<int64_t>(value);
}

int OrvParameterTable::TruncateToInt(double value) {
    int64_t truncated = TruncateToInt64(value);
    if (truncated > INT_MAX)
        return INT_MAX;
    if (truncated < INT_MIN)
        return INT_MIN;
    return static_cast<int>(truncated);
}

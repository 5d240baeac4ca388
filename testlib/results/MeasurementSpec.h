#pragma once

#include <cstdint>

namespace ztest {

// One row of a result record's measurement set: what Initialize gives each CMeasurement.
// The caption is a language-ID text; the unit is stored exactly as written (" ppm" keeps its
// blank); the value type is that of CMeasurement (1 and 2 numbers rated against limits,
// 3 the operator's pass/fail verdict); the format is the mask the value is printed with.
struct MeasurementSpec {
    const char* key;
    const char* caption;
    const char* unit;
    int32_t valueType;
    const char* format;
};

} // namespace ztest

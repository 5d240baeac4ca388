#pragma once

#include <cstdint>

// The outcome of a rating, as measurements and result records report it through Status and
// keep it in their "Status" element. Only a whole record is ever skipped.
namespace ztest::rating {

inline constexpr int32_t NotRated = 0;
inline constexpr int32_t Passed = 1;
inline constexpr int32_t Failed = 2;
inline constexpr int32_t Skipped = 3;

} // namespace ztest::rating

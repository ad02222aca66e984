#pragma once

#include <cstdint>

namespace quarbell
{

constexpr int numDrawbars = 9;

// Wheels above the key's base wheel sounded by drawbars 16', 5 1/3', 8', 4',
// 2 2/3', 2', 1 3/5', 1 1/3' and 1'.
constexpr int drawbarWheelOffset[numDrawbars] { 0, 19, 12, 24, 31, 36, 40, 43, 48 };

// Contact steps after which each drawbar's key contact closes.
constexpr int contactOrder[numDrawbars] { 0, 8, 1, 7, 2, 5, 3, 4, 0 };

// Leakage partner of each wheel, counted from 1 (partner index + 1), or -1 for none.
constexpr int32_t leakageMap[91] {
    -1, -1, -1, -1, -1, 18, 19, 20, 21, 22, 23, 24, -1, -1, -1, -1, -1, 6, 7, 8, 9, 10, 11, 12,
    73, 74, 75, 76, 77, 66, 67, 68, 69, 70, 71, 72, -1, -1, -1, -1, -1, 85, 86, 87, 88, 89, 90, 91,
    61, 62, 63, 64, 65, 78, 79, 80, 81, 82, 83, 84, 49, 50, 51, 52, 53, 30, 31, 32, 33, 34, 35, 36,
    25, 26, 27, 28, 29, 54, 55, 56, 57, 58, 59, 60, 42, 43, 44, 45, 46, 47, 48
};

} // namespace quarbell

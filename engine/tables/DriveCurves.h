#pragma once

#include <cstdint>

namespace quarbell
{

// The two tube transfer curves of the drive, sampled every 0.001 in the input
// starting at input -offset. Built once on first use, then shared read-only.
inline constexpr float driveCurveStep = 0.001f;

inline constexpr float ecc_vo_offset = 4.0f;
inline constexpr int32_t ecc_vo_size = 54001;
const float* ecc_vo();

inline constexpr float el_vo_offset = 39.0f;
inline constexpr int32_t el_vo_size = 101001;
const float* el_vo();

} // namespace quarbell

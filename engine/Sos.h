#pragma once

#include "Frame.h"

#include <cstdint>

namespace quarbell
{

// A constant coefficient set: sections of b0 b1 b2 a0 a1 a2 and a gain vector
// of sectionCount + 1 entries whose last entry is the overall gain.
struct SosSet
{
    const float* coefficients = nullptr;
    const float* gains = nullptr;
    int32_t sectionCount = 0;
};

// A cascade of second-order sections (transposed direct form II) bound to a
// constant coefficient set, filtering blocks in place.
class Sos
{
public:
    static constexpr int maxSections = 30;

    // Points at a set and clears the state of every section.
    void bind (const SosSet& set) noexcept;

    void SosApply (Frame frame) noexcept;

    const float* coefficients = nullptr;
    const float* gains = nullptr;
    int32_t sectionCount = 0;
    float z1[maxSections] {};
    float z2[maxSections] {};
};

} // namespace quarbell

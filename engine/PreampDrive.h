#pragma once

#include "Frame.h"
#include "Sos.h"

#include <cstdint>

namespace quarbell
{

// A transfer curve sampled every 0.001 in the input, starting at input -offset.
struct TransferCurve
{
    const float* table = nullptr;
    float offset = 0.0f;
    int32_t size = 0;
};

// Linear interpolation in the curve's table; inputs beyond either end take the
// end value.
inline float curveLookup (const TransferCurve& curve, float x) noexcept
{
    const float t = (x + curve.offset) * 1000.0f;

    // Written so that NaN also lands on the first entry.
    if (! (t >= 1.0f))
        return curve.table[0];

    if (t >= (float) (curve.size - 1))
        return curve.table[curve.size - 1];

    const auto k = (int32_t) t;
    return curve.table[k] + (curve.table[k + 1] - curve.table[k]) * (t - (float) k);
}

TransferCurve eccVoCurve() noexcept;
TransferCurve elVoCurve() noexcept;

// Sums the two manual buses into one and runs it through the amplifier: preamp
// tone filter, 30 Hz low cut, then two tube curves driven by leslieGain with a
// gain compensation that keeps the small-signal level steady up to 0.5.
class PreampDrive
{
public:
    // Builds the curve tables if this is the first instance.
    PreampDrive() noexcept;

    // Binds the filters to the sets of the current rate (clearing their state)
    // and sets the curve records.
    void prepare (const SosSet& preampSet, const SosSet& lowCutSet) noexcept;

    // Clears the filter state.
    void reset() noexcept;

    // Adds lower into upper and leaves the driven mono signal in upper; lower
    // is not changed. Both frames must have the same sample count.
    void process (Frame upper, Frame lower, float leslieGain) noexcept;

    Sos preamp;
    Sos lowCut;
    TransferCurve firstCurve;
    TransferCurve secondCurve;
};

} // namespace quarbell

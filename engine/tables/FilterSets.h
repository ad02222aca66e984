#pragma once

#include <engine/Sos.h>

namespace quarbell
{

// The fixed filters of the effects chain, one coefficient set per rate.
enum class FilterFamily
{
    preamp, // 25 sections, tube-amplifier treble roll-off
    lowCut, // 1 section, 30 Hz Butterworth high-pass (LP)
    horn, // 30 sections, horn band-pass with resonances
    hornHighPass, // 2 sections, 300 Hz fourth-order Butterworth high-pass (HORNHP)
    bass // 25 sections, bass-rotor cabinet low-pass
};

constexpr int numFilterRates = 6;
constexpr int filterRates[numFilterRates] { 44100, 48000, 88200, 96000, 176400, 192000 };

// Index into filterRates; any rate without its own sets uses the 48000 Hz ones.
int filterRateIndex (int sampleRate) noexcept;

// The constant set of a family for a rate. The arrays are static and shared;
// call once per prepare (the closed-form sets are built on the first call).
SosSet filterSet (FilterFamily family, int sampleRate) noexcept;

// Sets fitted by tools/filter_design (generated source); rateIndex as above.
SosSet fittedFilterSet (FilterFamily family, int rateIndex) noexcept;

} // namespace quarbell

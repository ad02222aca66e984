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

// Index into filterRates; a rate without its own sets uses those of the
// nearest rate that has them (the lower one on a tie).
int filterRateIndex (int sampleRate) noexcept;

// The constant set of a family for a rate. The arrays are static and shared;
// call once per prepare (the closed-form sets are built on the first call).
SosSet filterSet (FilterFamily family, int sampleRate) noexcept;

// The sets a processor binds at a rate: the shared ones of filterSet(), except
// that at a rate without its own sets the closed-form high-passes (low cut,
// horn high-pass) are designed for that exact rate, in this object. The fitted
// sets cannot be redesigned and come from the nearest rate. Keep the object
// alive as long as the bound filters.
class RateFilterSets
{
public:
    void design (int sampleRate) noexcept;
    SosSet get (FilterFamily family) const noexcept;

private:
    int rate = 48000;
    bool ownHighPasses = false;
    float lowCutSos[6] {};
    float lowCutGains[2] {};
    float hornHighPassSos[12] {};
    float hornHighPassGains[3] {};
};

// Sets fitted by tools/filter_design (generated source); rateIndex as above.
SosSet fittedFilterSet (FilterFamily family, int rateIndex) noexcept;

} // namespace quarbell

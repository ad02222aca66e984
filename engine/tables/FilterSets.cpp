#include "FilterSets.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <cstddef>

namespace quarbell
{

namespace
{
constexpr double pi = 3.14159265358979323846;

// Butterworth high-pass sections by the bilinear transform with prewarping,
// numerators 1, -2, 1; the product of the section norms is the overall gain.
template <size_t sections> struct HighPassSet
{
    float sos[6 * sections];
    float gains[sections + 1];
};

template <size_t sections>
HighPassSet<sections> butterworthHighPass (double cutoff, double rate, const double (&q)[sections])
{
    HighPassSet<sections> set {};
    const double k = std::tan (pi * cutoff / rate);
    double gain = 1.0;

    for (size_t i = 0; i < sections; ++i)
    {
        const double qi = q[i];
        const double norm = 1.0 / (1.0 + k / qi + k * k);
        float* c = &set.sos[6 * i];
        c[0] = 1.0f;
        c[1] = -2.0f;
        c[2] = 1.0f;
        c[3] = 1.0f;
        c[4] = (float) (2.0 * (k * k - 1.0) * norm);
        c[5] = (float) ((1.0 - k / qi + k * k) * norm);
        set.gains[i] = 1.0f;
        gain *= norm;
    }

    set.gains[sections] = (float) gain;
    return set;
}

const double lowCutQ[1] { 1.0 / std::sqrt (2.0) };
const double hornQ[2] { 1.0 / (2.0 * std::cos (pi / 8.0)), 1.0 / (2.0 * std::cos (3.0 * pi / 8.0)) };
constexpr double lowCutHz = 30.0;
constexpr double hornHighPassHz = 300.0;

struct ClosedFormSets
{
    HighPassSet<1> lowCut[numFilterRates];
    HighPassSet<2> hornHighPass[numFilterRates];

    ClosedFormSets ()
    {
        for (int r = 0; r < numFilterRates; ++r)
        {
            lowCut[r] = butterworthHighPass (lowCutHz, filterRates[r], lowCutQ);
            hornHighPass[r] = butterworthHighPass (hornHighPassHz, filterRates[r], hornQ);
        }
    }
};

const ClosedFormSets& closedFormSets ()
{
    static const ClosedFormSets sets;
    return sets;
}
} // namespace

int filterRateIndex (int sampleRate) noexcept
{
    int nearest = 0;

    for (int r = 1; r < numFilterRates; ++r)
        if (std::abs ((long long) filterRates[r] - sampleRate) < std::abs ((long long) filterRates[nearest] - sampleRate))
            nearest = r;

    return nearest;
}

SosSet filterSet (FilterFamily family, int sampleRate) noexcept
{
    const int r = filterRateIndex (sampleRate);

    switch (family)
    {
        case FilterFamily::lowCut:
        {
            const auto& s = closedFormSets ().lowCut[r];
            return { s.sos, s.gains, 1 };
        }
        case FilterFamily::hornHighPass:
        {
            const auto& s = closedFormSets ().hornHighPass[r];
            return { s.sos, s.gains, 2 };
        }
        case FilterFamily::preamp:
        case FilterFamily::horn:
        case FilterFamily::bass:
            break;
    }

    return fittedFilterSet (family, r);
}

} // namespace quarbell

namespace quarbell
{

void RateFilterSets::design (int sampleRate) noexcept
{
    rate = sampleRate;
    ownHighPasses = filterRates[filterRateIndex (sampleRate)] != sampleRate && sampleRate > 0;

    if (! ownHighPasses)
        return;

    const auto lowCut = butterworthHighPass (lowCutHz, sampleRate, lowCutQ);
    const auto horn = butterworthHighPass (hornHighPassHz, sampleRate, hornQ);
    std::copy (std::begin (lowCut.sos), std::end (lowCut.sos), lowCutSos);
    std::copy (std::begin (lowCut.gains), std::end (lowCut.gains), lowCutGains);
    std::copy (std::begin (horn.sos), std::end (horn.sos), hornHighPassSos);
    std::copy (std::begin (horn.gains), std::end (horn.gains), hornHighPassGains);
}

SosSet RateFilterSets::get (FilterFamily family) const noexcept
{
    if (ownHighPasses && family == FilterFamily::lowCut)
        return { lowCutSos, lowCutGains, 1 };

    if (ownHighPasses && family == FilterFamily::hornHighPass)
        return { hornHighPassSos, hornHighPassGains, 2 };

    return filterSet (family, rate);
}

} // namespace quarbell

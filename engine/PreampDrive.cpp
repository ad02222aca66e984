#include "PreampDrive.h"

#include "tables/DriveCurves.h"

namespace quarbell
{

TransferCurve eccVoCurve() noexcept { return { ecc_vo(), ecc_vo_offset, ecc_vo_size }; }

TransferCurve elVoCurve() noexcept { return { el_vo(), el_vo_offset, el_vo_size }; }

PreampDrive::PreampDrive() noexcept : firstCurve (eccVoCurve()), secondCurve (elVoCurve()) {}

void PreampDrive::prepare (const SosSet& preampSet, const SosSet& lowCutSet) noexcept
{
    preamp.bind (preampSet);
    lowCut.bind (lowCutSet);
    firstCurve = eccVoCurve();
    secondCurve = elVoCurve();
}

void PreampDrive::reset() noexcept
{
    preamp.bind ({ preamp.coefficients, preamp.gains, preamp.sectionCount });
    lowCut.bind ({ lowCut.coefficients, lowCut.gains, lowCut.sectionCount });
}

void PreampDrive::process (Frame upper, Frame lower, float leslieGain) noexcept
{
    float* data = upper.samples;
    const int n = upper.numSamples;

    if (data == nullptr || n <= 0)
        return;

    if (lower.samples != nullptr)
        for (int j = 0; j < n; ++j)
            data[j] += lower.samples[j];

    preamp.SosApply (upper);
    lowCut.SosApply (upper);

    const float g = leslieGain;
    const float inputGain = g > 0.5f ? 2.0f * g - 0.5f : g;

    // Up to 0.25 the first tube is fed the plain input gain; above it the drive
    // rises to 3.5 and is taken back out between the two tubes.
    const bool driven = g > 0.25f;
    const float driveGain = g > 0.5f ? 3.5f : (float) (((double) g - 0.25) * 10.0 + 1.0);
    const auto driveUndo = (float) (1.0 / ((double) driveGain + 0.00001));

    const double compensated = g > 0.5f ? (double) inputGain * (1.0 - ((double) g - 0.5)) : (double) inputGain;
    const auto outputGain = (float) (1.0 / (compensated + 0.00001));

    const TransferCurve first = firstCurve, second = secondCurve;

    for (int j = 0; j < n; ++j)
    {
        float x = data[j] * inputGain;

        if (driven)
            x *= driveGain;

        x = curveLookup (first, x);

        if (driven)
            x *= driveUndo;

        x = curveLookup (second, x);
        data[j] = x * outputGain;
    }
}

} // namespace quarbell

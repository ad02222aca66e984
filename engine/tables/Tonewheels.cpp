#include "Tonewheels.h"

#include <cmath>
#include <vector>

namespace quarbell
{

namespace
{
    // Gear ratios of the twelve pitch classes, C to B.
    constexpr int ratioNumerator[12]   { 85, 71, 67, 35, 103, 12, 37, 49, 48, 11, 67, 54 };
    constexpr int ratioDenominator[12] { 104, 82, 73, 36, 100, 11, 32, 40, 37, 8, 46, 35 };

    // A loop may sound at most this much sharp of its wheel.
    constexpr double maxLoopSharpness = 1.0005;

    struct LoopShape
    {
        int32_t cycles;
        int32_t length;
    };

    LoopShape findLoop (double frequency, int sampleRate)
    {
        const double rate = sampleRate;

        for (int32_t cycles = 1;; ++cycles)
        {
            const auto length = static_cast<int32_t> (std::floor (cycles * rate / frequency));

            if (length > 0 && cycles * rate / length < frequency * maxLoopSharpness)
                return { cycles, length };
        }
    }

    struct AllTables
    {
        std::array<GeneratedTonewheels, supportedSampleRates.size()> rates;

        AllTables()
        {
            for (size_t r = 0; r < rates.size(); ++r)
                rates[r].generate (supportedSampleRates[r]);
        }
    };
} // namespace

double wheelFrequency (int wheel)
{
    int pitchClass, teeth;

    if (wheel < 84)
    {
        pitchClass = wheel % 12;
        teeth = 2 << (wheel / 12);
    }
    else
    {
        // The top seven wheels use the ratios of F to B on 192 teeth.
        pitchClass = wheel - 79;
        teeth = 192;
    }

    return 20.0 * ratioNumerator[pitchClass] / ratioDenominator[pitchClass] * teeth;
}

int32_t wheelLoopLength (int wheel, int sampleRate)
{
    return findLoop (wheelFrequency (wheel), sampleRate).length;
}

const TonewheelTables* tonewheelTablesForRate (int sampleRate)
{
    static const AllTables tables;

    for (const auto& rate : tables.rates)
        if (rate.tables().sampleRate == sampleRate)
            return &rate.tables();

    return nullptr;
}

void GeneratedTonewheels::generate (int sampleRate)
{
    int32_t next = 0;

    for (int wheel = 0; wheel < numTonewheels; ++wheel)
    {
        start[(size_t) wheel] = next;
        length[(size_t) wheel] = findLoop (wheelFrequency (wheel), sampleRate).length;
        next += length[(size_t) wheel];
    }

    samples.assign ((size_t) next, 0.0f);

    for (int wheel = 0; wheel < numTonewheels; ++wheel)
    {
        const double f = wheelFrequency (wheel);

        if (2.0 * f >= sampleRate)
            continue;

        float* loop = samples.data() + start[(size_t) wheel];

        // The sine runs at the wheel's exact frequency, not at the loop's
        // repetition pitch, so the last sample does not join the first exactly.
        for (int32_t n = 0; n < length[(size_t) wheel]; ++n)
            loop[n] = static_cast<float> (std::sin (2.0 * M_PI * f * n / sampleRate));
    }

    view = { sampleRate, samples.data(), start.data(), length.data(), next };
}

} // namespace quarbell

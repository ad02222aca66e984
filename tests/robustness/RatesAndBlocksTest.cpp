#include "OrganHarness.h"
#include "RobustnessSupport.h"

#include <engine/tables/FilterSets.h>
#include <engine/tables/Tonewheels.h>

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <limits>

using namespace quarbell;
using robustness::measureFrequency;
using robustness::peakOrInfinity;
using robustness::sanePeak;

namespace
{
using Tap = VelmoranAudioProcessor::Tap;

void switchEverythingOn (OrganHarness& organ)
{
    for (const char* id : { "vcUpOnOff", "vcDownOnOff", "percussion", "leslieOnOff", "FastLeslie" })
        organ.set (id, 1.0f);

    organ.set ("vcMode", 4.0f);
    organ.set ("leslieGain", 0.6f);
    organ.set ("reverbMix", 0.5f);
    organ.set ("roomSize", 100.0f);

    for (int k = 0; k < 9; ++k)
    {
        organ.set (("drawbar" + juce::String (k)).toRawUTF8(), (float) (k % 3));
        organ.set (("lowdrawbar" + juce::String (k)).toRawUTF8(), (float) (k % 4));
    }
}

juce::AudioBuffer<float> renderBuffer (OrganHarness& organ, int numSamples, float inputFill = 0.25f)
{
    juce::AudioBuffer<float> buffer (2, std::max (numSamples, 1));
    buffer.setSize (2, numSamples, false, false, true);

    // Stale input must never leak through.
    for (int ch = 0; ch < 2; ++ch)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), inputFill, numSamples);

    organ.processor.processBlock (buffer, organ.pending);
    organ.pending.clear();
    return buffer;
}
} // namespace

// ----------------------------------------------------------------------------
// Rates without tables of their own

// At any playable rate the A above middle C, 8' drawbar alone, is 440 Hz: the
// loops are generated for the rate by the rule of the shared tables.
TEST (OddSampleRates, NoteA4SoundsAt440Hz)
{
    for (int rate : { 8000, 22050, 32000, 64000, 250000, 384000 })
    {
        SCOPED_TRACE (rate);
        OrganHarness organ (rate, Tap::generator);
        const auto& tables = organ.processor.generator().tables();
        ASSERT_EQ (tables.sampleRate, rate);

        for (int wheel = 0; wheel < numTonewheels; ++wheel)
            ASSERT_EQ (tables.length[wheel], wheelLoopLength (wheel, rate)) << wheel;

        organ.soloDrawbars ({ 2 });
        organ.noteOn (69);
        const auto block = organ.render (rate);
        const double hz = measureFrequency (block.left.data(), rate / 10, rate, rate);
        RecordProperty (("hz_at_" + std::to_string (rate)).c_str(), juce::String (hz, 5).toStdString());
        std::printf ("    note 69 at %d Hz: %.5f Hz\n", rate, hz);
        EXPECT_NEAR (hz, 440.0, 440.0 * 0.0005);
    }
}

// The loop samples at a generated rate follow the same rule: the sine at the
// wheel's exact frequency. A wheel the rate cannot carry is silent.
TEST (OddSampleRates, GeneratedLoopsFollowTheRule)
{
    for (int rate : { 8000, 11025, 32000, 384000 })
    {
        GeneratedTonewheels generated;
        generated.generate (rate);
        const auto& t = generated.tables();
        int32_t expectedStart = 0;

        for (int wheel = 0; wheel < numTonewheels; ++wheel)
        {
            ASSERT_EQ (t.start[wheel], expectedStart);
            expectedStart += t.length[wheel];
            const double f = wheelFrequency (wheel);

            for (int n : { 0, 1, 7, t.length[wheel] - 1 })
            {
                const float expected = 2.0 * f < rate ? (float) std::sin (2.0 * M_PI * f * n / rate) : 0.0f;
                ASSERT_EQ (t.samples[t.start[wheel] + n], expected) << rate << " wheel " << wheel << " n " << n;
            }
        }

        EXPECT_EQ (t.total, expectedStart);
    }

    // The supported rates' shared tables come out of the same generator.
    for (int rate : supportedSampleRates)
    {
        GeneratedTonewheels generated;
        generated.generate (rate);
        const auto* shared = tonewheelTablesForRate (rate);
        ASSERT_NE (shared, nullptr);
        ASSERT_EQ (generated.tables().total, shared->total);
        EXPECT_TRUE (std::equal (shared->samples, shared->samples + shared->total, generated.tables().samples)) << rate;
    }
}

TEST (OddSampleRates, SupportedRatesKeepTheSharedTables)
{
    OrganHarness organ (32000.0);

    for (int rate : supportedSampleRates)
    {
        organ.processor.prepareToPlay (rate, 512);
        EXPECT_EQ (&organ.processor.generator().tables(), tonewheelTablesForRate (rate)) << rate;
    }

    // And back to an odd rate, then the same odd rate again.
    for (int rate : { 32000, 32000, 64000 })
    {
        organ.processor.prepareToPlay (rate, 512);
        EXPECT_EQ (organ.processor.generator().tables().sampleRate, rate);
    }
}

// Fitted sets come from the nearest rate; the two closed-form high-passes are
// designed for the rate itself.
TEST (OddSampleRates, FilterSetsOfTheNearestRateWithHighPassesForTheTrueRate)
{
    const std::pair<int, int> nearest[] { { 8000, 44100 }, { 32000, 44100 }, { 46050, 44100 }, { 46051, 48000 },
                                          { 64000, 48000 }, { 70000, 88200 }, { 92100, 88200 }, { 92101, 96000 },
                                          { 136200, 96000 }, { 136201, 176400 }, { 184200, 176400 },
                                          { 184201, 192000 }, { 384000, 192000 } };

    for (const auto& entry : nearest)
    {
        const int rate = entry.first, expectedRate = entry.second;
        SCOPED_TRACE (rate);
        EXPECT_EQ (filterRates[filterRateIndex (rate)], expectedRate);

        RateFilterSets sets;
        sets.design (rate);

        for (auto family : { FilterFamily::preamp, FilterFamily::horn, FilterFamily::bass })
            EXPECT_EQ (sets.get (family).coefficients, filterSet (family, expectedRate).coefficients);

        // A Butterworth high-pass at fc: -3 dB at fc, unity at half the rate.
        const std::pair<FilterFamily, double> highPasses[] { { FilterFamily::lowCut, 30.0 },
                                                             { FilterFamily::hornHighPass, 300.0 } };
        for (auto [family, fc] : highPasses)
        {
            const SosSet set = sets.get (family);
            auto gainAt = [&] (double hz)
            {
                const std::complex<double> z = std::polar (1.0, 2.0 * M_PI * hz / rate);
                std::complex<double> h = set.gains[set.sectionCount];
                for (int s = 0; s < set.sectionCount; ++s)
                {
                    const float* c = set.coefficients + 6 * s;
                    h *= (double) set.gains[s] * ((double) c[0] + (double) c[1] / z + (double) c[2] / (z * z))
                         / ((double) c[3] + (double) c[4] / z + (double) c[5] / (z * z));
                }
                return std::abs (h);
            };
            // Float coefficients move the cutoff a little at the highest rates
            // (0.15 dB at 30 Hz and 384 kHz); the set of a rate half or twice
            // as high would be off by 6 dB or more.
            EXPECT_NEAR (20.0 * std::log10 (gainAt (fc)), -3.0103, 0.2) << fc;
            EXPECT_NEAR (gainAt (rate / 2.0), 1.0, 1e-4) << fc;
        }
    }

    // A supported rate binds the shared sets themselves.
    for (int rate : filterRates)
    {
        RateFilterSets sets;
        sets.design (rate);
        for (auto family : { FilterFamily::preamp, FilterFamily::lowCut, FilterFamily::horn, FilterFamily::hornHighPass,
                             FilterFamily::bass })
            EXPECT_EQ (sets.get (family).coefficients, filterSet (family, rate).coefficients) << rate;
    }
}

// A rate the organ cannot play at, or no prepare at all, gives silence, and a
// later good prepare plays again.
TEST (OddSampleRates, UnplayableRatesAreSilentAndRecover)
{
    {
        auto fresh = std::make_unique<VelmoranAudioProcessor>();
        juce::AudioBuffer<float> buffer (2, 256);
        for (int ch = 0; ch < 2; ++ch)
            juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 0.5f, 256);
        juce::MidiBuffer midi;
        midi.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100), 0);
        fresh->processBlock (buffer, midi);
        EXPECT_EQ (buffer.getMagnitude (0, 256), 0.0f) << "never prepared";
    }

    const double inf = std::numeric_limits<double>::infinity();
    const double badRates[] { 0.0,   -1.0,     std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1000.0, 1e6,
                              7999.9, 384001.0, 1e300, -1e300 };

    for (const Tap tap : { Tap::generator, Tap::output })
    {
        OrganHarness organ (48000.0, tap);
        organ.noteOn (60);

        for (double bad : badRates)
        {
            SCOPED_TRACE (bad);
            ASSERT_GT (renderBuffer (organ, 1024).getMagnitude (0, 1024), 0.0f);

            organ.processor.prepareToPlay (bad, 512);
            organ.noteOn (64);
            const auto silent = renderBuffer (organ, 1024, 0.5f);
            EXPECT_EQ (silent.getMagnitude (0, 0, 1024), 0.0f);
            EXPECT_EQ (silent.getMagnitude (1, 0, 1024), 0.0f);

            organ.processor.prepareToPlay (bad > 100000.0 ? 96000.0 : 44100.0, 512);
            organ.noteOn (60);
        }

        EXPECT_GT (renderBuffer (organ, 4096).getMagnitude (0, 4096), 0.0f);
    }
}

// The whole chain stays finite and sane at the edges of the playable range,
// where the stages clamp delays sized for 192000 Hz.
TEST (OddSampleRates, WholeChainStaysSaneFrom8000To384000)
{
    for (int rate : { 8000, 22050, 32000, 64000, 384000 })
    {
        SCOPED_TRACE (rate);
        OrganHarness organ (rate, Tap::output);
        switchEverythingOn (organ);
        organ.noteOn (36);
        organ.noteOn (60);
        organ.noteOn (79);
        float peak = 0.0f;

        for (int b = 0; b < 20; ++b)
            peak = std::max (peak, peakOrInfinity (renderBuffer (organ, rate / 10)));

        EXPECT_LT (peak, sanePeak);
        EXPECT_GT (peak, 0.0f);
    }
}

// ----------------------------------------------------------------------------
// Block sizes

TEST (BlockSizes, EverySizeRendersFiniteOutput)
{
    OrganHarness organ (48000.0, Tap::output);
    switchEverythingOn (organ);

    for (int size : { 0, 1, 7, 511, 8191, 8192, 8193, 16384, 65536 })
    {
        SCOPED_TRACE (size);
        organ.noteOn (48 + size % 24);
        const auto buffer = renderBuffer (organ, size);
        ASSERT_EQ (buffer.getNumSamples(), size);
        EXPECT_LT (peakOrInfinity (buffer), sanePeak);
    }

    EXPECT_GT (renderBuffer (organ, 4800).getMagnitude (0, 4800), 0.0f);
}

// A long host block is rendered as pieces; the result is the same as the host
// handing over pieces of that size itself.
TEST (BlockSizes, LongBlockEqualsTheSameAudioInMaximalPieces)
{
    constexpr int total = 65536;
    OrganHarness whole (48000.0, Tap::output), pieces (48000.0, Tap::output);

    for (auto* organ : { &whole, &pieces })
    {
        switchEverythingOn (*organ);
        organ->set ("leakageLevel", 1.0f);
        organ->set ("keyClickLevel", 5.0f);
        for (int note : { 36, 43, 60, 64, 67, 72 })
            organ->noteOn (note);
        organ->noteOn (40, 2);
    }

    const auto one = renderBuffer (whole, total);
    std::vector<float> left, right;

    for (int done = 0; done < total; done += VelmoranAudioProcessor::maxPieceSize)
    {
        const auto part = renderBuffer (pieces, std::min (VelmoranAudioProcessor::maxPieceSize, total - done));
        left.insert (left.end(), part.getReadPointer (0), part.getReadPointer (0) + part.getNumSamples());
        right.insert (right.end(), part.getReadPointer (1), part.getReadPointer (1) + part.getNumSamples());
    }

    ASSERT_EQ ((int) left.size(), total);
    EXPECT_GT (one.getMagnitude (0, total), 0.01f);

    for (int i = 0; i < total; ++i)
    {
        ASSERT_EQ (one.getSample (0, i), left[(size_t) i]) << "left " << i;
        ASSERT_EQ (one.getSample (1, i), right[(size_t) i]) << "right " << i;
    }
}

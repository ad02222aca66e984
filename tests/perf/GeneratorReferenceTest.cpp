// The generator against a plain, sample-by-sample reference written here: the
// same key, envelope, contact, leakage and percussion rules, every slot in
// index order. The generator may sum a sample's contributions in double in
// any order and round once; the reference sums them in double in the plain
// order (and, for comparison, also in float one contribution at a time).

#include <engine/ToneGenerator.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using quarbell::GeneratorBlockSettings;
using quarbell::KeySlot;
using quarbell::ToneGenerator;

namespace
{
struct ReferenceGenerator
{
    explicit ReferenceGenerator (int rate) : sampleRate (rate), tables (*quarbell::tonewheelTablesForRate (rate))
    {
        for (int w = 0; w < quarbell::numTonewheels; ++w)
            wheelPos[w] = tables.start[w] + (5 * w < tables.length[w] ? 5 * w : 0);
    }

    static int foldWheel (int wheel)
    {
        if (wheel < 0)
            return ((wheel % 12) + 12) % 12;
        if (wheel > 90)
            return 79 + (wheel - 91) % 12;
        return wheel;
    }

    void noteOn (int note, int manual, float keyClickLevel, bool percVolOn)
    {
        auto free = std::find_if (std::begin (keys), std::end (keys), [] (const KeySlot& k) { return ! k.active; });

        if (free == std::end (keys))
            return;

        if (manual == 1)
        {
            if (noUpperKeyHeld && percEnvelope <= 0.1)
                percEnvelope = percVolOn ? 3.0f : 6.0f;
            noUpperKeyHeld = false;
        }

        free->active = true;
        free->released = false;
        free->envelope = keyClickLevel;
        free->manual = manual;
        free->note = (int16_t) note;
        free->age = 0;

        for (int k = 0; k < 9; ++k)
        {
            free->wheel[k] = (int8_t) foldWheel (note - 36 + quarbell::drawbarWheelOffset[k]);
            const float contactMs = (float) quarbell::contactOrder[k] * 0.15f;
            free->contactDelay[k] = (int32_t) (contactMs * sampleRate * 0.001);
        }
    }

    void noteOff (int note)
    {
        for (auto& key : keys)
            if (key.active && key.note == note)
            {
                key.released = true;
                key.envelope = 1.0f;
            }
    }

    float sample (int w) const { return tables.samples[wheelPos[w]]; }

    double withLeakage (int w, double leakageScale) const
    {
        const int partner = quarbell::leakageMap[w];
        return partner < 0 ? (double) sample (w) : sample (w) + leakageScale * sample (partner - 1);
    }

    // Fills the double-summed output and the float-accumulated one.
    void render (float* upper, float* lower, float* upperFloatSum, float* lowerFloatSum, int n,
                 const GeneratorBlockSettings& s)
    {
        const double upperScale = 2.0 * s.balance, lowerScale = 2.0 * (1.0 - s.balance);
        const double leakageScale = 0.01 * s.leakage;

        for (int i = 0; i < n; ++i)
        {
            double sum[2] { 0.0, 0.0 };
            float floatSum[2] { 0.0f, 0.0f };

            if (percEnvelope > 0.1)
                percEnvelope *= s.percDecayFactor;

            noUpperKeyHeld = true;

            for (auto& key : keys)
            {
                if (! key.active)
                    continue;

                bool ended = false;

                if (key.released)
                {
                    key.envelope -= s.releaseStep;
                    if (key.envelope <= 0.0f)
                    {
                        key.active = key.released = false;
                        ended = true;
                    }
                }
                else if (key.envelope > 1.0f)
                {
                    key.envelope = std::max (1.0f, key.envelope - s.keyClickStep);
                }
                else if (key.envelope < 1.0f)
                {
                    key.envelope = std::min (1.0f, key.envelope + s.keyClickStep);
                }

                const bool isUpper = key.manual == 1;
                if (isUpper && ! ended)
                    noUpperKeyHeld = false;

                if (key.age < std::numeric_limits<int32_t>::max())
                    ++key.age;

                const int bus = isUpper ? 0 : 1;
                const double scale = (isUpper ? upperScale : lowerScale) * key.envelope;
                const float* gains = isUpper ? s.upperGain : s.lowerGain;

                for (int k = 0; k < 9; ++k)
                    if (key.age > key.contactDelay[k])
                    {
                        const double c = scale * gains[k] * withLeakage (key.wheel[k], leakageScale);
                        sum[bus] += c;
                        floatSum[bus] += c;
                    }

                if (isUpper && s.percussionOn && percEnvelope > 0.1)
                {
                    const double c = upperScale * percEnvelope * sample (key.wheel[s.percDrawbar]);
                    sum[0] += c;
                    floatSum[0] += c;
                }
            }

            for (int w = 0; w < quarbell::numTonewheels; ++w)
                if (++wheelPos[w] == tables.start[w] + tables.length[w])
                    wheelPos[w] = tables.start[w];

            upper[i] = (float) ((float) sum[0] * 0.08);
            lower[i] = (float) ((float) sum[1] * 0.08);
            upperFloatSum[i] = (float) (floatSum[0] * 0.08);
            lowerFloatSum[i] = (float) (floatSum[1] * 0.08);
        }
    }

    int sampleRate;
    const quarbell::TonewheelTables& tables;
    KeySlot keys[ToneGenerator::numKeySlots];
    int32_t wheelPos[quarbell::numTonewheels] {};
    float percEnvelope = 0.0f;
    bool noUpperKeyHeld = true;
};

struct Scenario
{
    const char* name;
    int sampleRate;
    int keysPerStrike; // upper keys struck together (four lower keys as well)
    float keyClick;
    bool percussion;
};

class GeneratorReference : public ::testing::TestWithParam<Scenario>
{
};
} // namespace

// Chords struck, held, released and struck again in blocks of changing size,
// with the drawbars, balance, leakage, click and percussion changing between
// blocks. Every sample stays within 1e-6 of the reference sum, and the key
// and wheel state follows the reference exactly.
TEST_P (GeneratorReference, FollowsThePlainSampleBySampleSum)
{
    const auto& c = GetParam();
    ToneGenerator generator;
    generator.prepare (c.sampleRate);
    ReferenceGenerator reference (c.sampleRate);

    const int blockSizes[] { 512, 1, 37, 256, 2048, 5, 128, 700 };
    const float drawbarSets[][9] { { 0, 0, 0, 0, 0, 0, 0, 0, 0 },
                                   { 8, 8, 0, 8, 8, 8, 8, 8, 8 },
                                   { 3.5f, 8, 0.25f, 6, 8, 1, 8, 7.5f, 2 },
                                   { 8, 8, 8, 8, 8, 8, 8, 8, 8 } };

    double largest = 0.0, largestFromFloatSum = 0.0;
    std::vector<float> upper, lower, refUpper, refLower, floatUpper, floatLower;

    for (int block = 0; block < 160; ++block)
    {
        // MIDI between blocks, mirrored on the reference.
        if (block % 20 == 0)
        {
            const int root = 36 + (block / 20) * 5;

            for (int n = 0; n < c.keysPerStrike; ++n)
            {
                generator.noteOn (root + n, 1, root + n, c.keyClick, block % 40 == 0);
                reference.noteOn (root + n, 1, c.keyClick, block % 40 == 0);
            }

            for (int n = 0; n < 4; ++n)
            {
                generator.noteOn (30 + 3 * n + block / 20, 2, 30 + 3 * n + block / 20, c.keyClick, true);
                reference.noteOn (30 + 3 * n + block / 20, 2, c.keyClick, true);
            }
        }

        if (block % 20 == 12 || block % 20 == 17)
        {
            const int root = 36 + (block / 20) * 5;

            for (int n = (block % 20 == 12 ? 0 : 1); n < c.keysPerStrike; n += 2)
            {
                generator.noteOff (root + n);
                reference.noteOff (root + n);
            }

            for (int n = 0; n < 4; ++n)
            {
                generator.noteOff (30 + 3 * n + block / 20);
                reference.noteOff (30 + 3 * n + block / 20);
            }
        }

        GeneratorBlockSettings s;
        const auto& upperSet = drawbarSets[(block / 3) % 4];
        const auto& lowerSet = drawbarSets[(block / 5 + 1) % 4];

        for (int k = 0; k < 9; ++k)
        {
            s.upperGain[k] = ToneGenerator::drawbarGain (upperSet[k]);
            s.lowerGain[k] = ToneGenerator::drawbarGain (lowerSet[k]);
        }

        s.releaseStep = generator.releaseStep();
        s.keyClickStep = generator.keyClickStep (block % 7 == 3 ? 1.0f : c.keyClick);
        s.percDecayFactor = generator.percussionDecayFactor (block % 2 == 0);
        s.percDrawbar = block % 6 < 3 ? 3 : 4;
        s.balance = block % 11 == 5 ? 0.0f : (block % 11 == 8 ? 1.0f : 0.35f);
        s.leakage = block % 9 == 2 ? 1.0f : 0.2f;
        s.percussionOn = c.percussion && block % 10 != 9;

        const int n = blockSizes[block % 8];

        for (auto* v : { &upper, &lower, &refUpper, &refLower, &floatUpper, &floatLower })
            v->assign ((size_t) n, -7.0f);

        generator.render (upper.data(), lower.data(), n, s);
        reference.render (refUpper.data(), refLower.data(), floatUpper.data(), floatLower.data(), n, s);

        for (size_t i = 0; i < (size_t) n; ++i)
        {
            largest = std::max ({ largest, std::abs ((double) upper[i] - refUpper[i]),
                                  std::abs ((double) lower[i] - refLower[i]) });
            largestFromFloatSum = std::max ({ largestFromFloatSum, std::abs ((double) upper[i] - floatUpper[i]),
                                              std::abs ((double) lower[i] - floatLower[i]) });
            ASSERT_LE (std::abs ((double) upper[i] - refUpper[i]), 1e-6) << "block " << block << " sample " << i;
            ASSERT_LE (std::abs ((double) lower[i] - refLower[i]), 1e-6) << "block " << block << " sample " << i;
        }

        for (int k = 0; k < ToneGenerator::numKeySlots; ++k)
        {
            const auto& got = generator.slot (k);
            const auto& want = reference.keys[k];
            ASSERT_EQ (got.active, want.active) << "slot " << k << " block " << block;

            if (want.active)
            {
                ASSERT_EQ (got.released, want.released) << "slot " << k;
                ASSERT_EQ (got.envelope, want.envelope) << "slot " << k;
                ASSERT_EQ (got.age, want.age) << "slot " << k;
            }
        }

        for (int w = 0; w < quarbell::numTonewheels; ++w)
            ASSERT_EQ (generator.wheelPosition (w), reference.wheelPos[w]) << "wheel " << w;

        ASSERT_EQ (generator.percussionEnvelope(), reference.percEnvelope) << "block " << block;
        ASSERT_EQ (generator.isUpperManualIdle(), reference.noUpperKeyHeld) << "block " << block;
    }

    RecordProperty ("largest_difference", std::to_string (largest));
    RecordProperty ("largest_difference_from_float_sum", std::to_string (largestFromFloatSum));
    std::printf ("%s: largest difference %.3g from the double sum, %.3g from the float sum\n", c.name, largest,
                 largestFromFloatSum);
}

INSTANTIATE_TEST_SUITE_P (Scenarios, GeneratorReference,
                          ::testing::Values (Scenario { "oneKey48k", 48000, 1, 1.0f, true },
                                             Scenario { "tenKeysClick48k", 48000, 10, 3.0f, true },
                                             Scenario { "fullSlots44k", 44100, 64, 0.0f, true },
                                             Scenario { "tenKeys192kNoPercussion", 192000, 10, 1.0f, false }),
                          [] (const auto& param) { return std::string (param.param.name); });

// Whatever the generator does per block, a block of N samples must leave the
// same state and output as N blocks of one sample.
TEST (GeneratorBlocks, ABlockEqualsItsSingleSamples)
{
    ToneGenerator whole, single;
    whole.prepare (48000);
    single.prepare (48000);

    for (auto* g : { &whole, &single })
    {
        for (int n = 0; n < 12; ++n)
            g->noteOn (40 + 2 * n, n < 8 ? 1 : 2, 40 + 2 * n, 2.0f, true);
        g->noteOff (42);
    }

    GeneratorBlockSettings s;
    for (int k = 0; k < 9; ++k)
        s.upperGain[k] = s.lowerGain[k] = ToneGenerator::drawbarGain ((float) k);
    s.releaseStep = whole.releaseStep();
    s.keyClickStep = whole.keyClickStep (2.0f);
    s.percDecayFactor = whole.percussionDecayFactor (false);
    s.percussionOn = true;

    std::vector<float> up (600), low (600), up1 (600), low1 (600);
    whole.render (up.data(), low.data(), 600, s);

    for (int i = 0; i < 600; ++i)
        single.render (&up1[(size_t) i], &low1[(size_t) i], 1, s);

    EXPECT_EQ (up, up1);
    EXPECT_EQ (low, low1);

    for (int k = 0; k < ToneGenerator::numKeySlots; ++k)
    {
        EXPECT_EQ (whole.slot (k).active, single.slot (k).active);
        EXPECT_EQ (whole.slot (k).envelope, single.slot (k).envelope);
        EXPECT_EQ (whole.slot (k).age, single.slot (k).age);
    }
}

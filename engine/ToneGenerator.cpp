#include "ToneGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUARBELL_GENERATOR_SSE2 1
#endif

namespace quarbell
{

namespace
{
    // A percussion envelope at or below this has finished its decay.
    constexpr double percussionThreshold = 0.1;
    constexpr double outputScale = 0.08;
} // namespace

ToneGenerator::ToneGenerator()
{
    twTables = tonewheelTablesForRate (192000);
    twTable = twTables->samples;
    twStart = twTables->start;
    twLength = twTables->length;
    prepare (sampleRate);
}

void ToneGenerator::prepare (int newSampleRate)
{
    const TonewheelTables* selected = nullptr;

    if (isPlayableSampleRate (newSampleRate))
    {
        sampleRate = newSampleRate;
        selected = tonewheelTablesForRate (newSampleRate);

        if (selected == nullptr)
        {
            if (ownTables.tables().sampleRate != newSampleRate)
                ownTables.generate (newSampleRate);

            selected = &ownTables.tables();
        }
    }

    if (selected != nullptr)
    {
        twTables = selected;
        twTable = selected->samples;
        twStart = selected->start;
        twLength = selected->length;
    }

    for (auto& key : keySlots)
    {
        key.active = false;
        key.released = false;
    }

    for (int w = 0; w < numTonewheels; ++w)
        wheelPos[w] = twStart[w] + (5 * w < twLength[w] ? 5 * w : 0);
}

int ToneGenerator::foldWheel (int wheel) noexcept
{
    if (wheel < 0)
        return ((wheel % 12) + 12) % 12;

    if (wheel > 90)
        return 79 + (wheel - 91) % 12;

    return wheel;
}

bool ToneGenerator::noteOn (int note, int manual, int wheelNote, float keyClickLevel, bool percVolOn)
{
    KeySlot* key = nullptr;

    for (auto& candidate : keySlots)
    {
        if (! candidate.active)
        {
            key = &candidate;
            break;
        }
    }

    if (key == nullptr)
        return false;

    if (manual == 1)
    {
        if (noUpperKeyHeld && percEnvelope <= percussionThreshold)
            percEnvelope = percVolOn ? percLevelVolOn : percLevelVolOff;

        noUpperKeyHeld = false;
    }

    key->active = true;
    key->released = false;
    key->envelope = keyClickLevel;
    key->manual = manual;
    key->note = static_cast<int16_t> (note);
    key->age = 0;

    for (int k = 0; k < numDrawbars; ++k)
    {
        key->wheel[k] = static_cast<int8_t> (foldWheel (wheelNote - 36 + drawbarWheelOffset[k]));
        const float contactMs = static_cast<float> (contactOrder[k]) * contactSpacingMs;
        key->contactDelay[k] = static_cast<int32_t> (contactMs * sampleRate * 0.001);
    }

    return true;
}

void ToneGenerator::noteOff (int note)
{
    for (auto& key : keySlots)
    {
        if (key.active && key.note == note)
        {
            key.released = true;
            key.envelope = 1.0f;
        }
    }
}

float ToneGenerator::drawbarGain (float drawbarValue) noexcept
{
    if (drawbarValue == 8.0f)
        return 0.0f;

    // -3 dB per drawbar step
    return static_cast<float> (std::pow (10.0, drawbarValue * 0.125 * -1.2));
}

float ToneGenerator::releaseStep() const noexcept
{
    return static_cast<float> (1.0 / (keyReleaseMs * sampleRate * 0.001));
}

float ToneGenerator::keyClickStep (float keyClickLevel) const noexcept
{
    // The envelope covers the distance from the click level to 1 in 2.025 ms.
    const float rampMs = contactSpacingMs * 9.0f;
    return static_cast<float> (std::abs (keyClickLevel - 1.0f) / (rampMs * 1.5 * sampleRate * 0.001));
}

float ToneGenerator::percussionDecayFactor (bool fast) const noexcept
{
    // 20 dB every T milliseconds.
    const float decayMs = fast ? percDecayFastMs : percDecaySlowMs;
    const auto dbPerSample = static_cast<float> (20.0 / (decayMs * sampleRate * 0.001));
    return static_cast<float> (std::pow (10.0, -0.05 * dbPerSample));
}

namespace
{
    // acc[i] += coefficient[t] * source[t][i] for every term t in order, for
    // each sample on its own: the sum of a sample runs in the same order as
    // when each contribution is added one after the other.
    void addTerms (double* acc, const double* coefficient, const double* const* source, int terms, int n) noexcept
    {
        int i = 0;
#if QUARBELL_GENERATOR_SSE2
        for (; i + 2 <= n; i += 2)
        {
            __m128d a = _mm_load_pd (acc + i);

            for (int t = 0; t < terms; ++t)
                a = _mm_add_pd (a, _mm_mul_pd (_mm_set1_pd (coefficient[t]), _mm_load_pd (source[t] + i)));

            _mm_store_pd (acc + i, a);
        }
#endif
        for (; i < n; ++i)
        {
            double a = acc[i];

            for (int t = 0; t < terms; ++t)
                a += coefficient[t] * source[t][i];

            acc[i] = a;
        }
    }
} // namespace

void ToneGenerator::render (float* upper, float* lower, int numSamples, const GeneratorBlockSettings& s) noexcept
{
    for (int done = 0; done < numSamples; done += chunkSize)
        renderChunk (upper + done, lower + done, std::min (chunkSize, numSamples - done), s);
}

// Every contribution (drawbar or percussion) is formed exactly as in a plain
// sample-by-sample loop over the slots, and a sample's contributions are added
// in that same order, in double precision, then rounded to float once. The
// work is arranged by key instead of by sample: the wheels a chunk needs are
// read once, and a key whose envelope and contacts are settled adds its
// drawbars over the whole chunk in one pass.
void ToneGenerator::renderChunk (float* upper, float* lower, int n, const GeneratorBlockSettings& s) noexcept
{
    const double upperScale = 2.0 * s.balance;
    const double lowerScale = 2.0 * (1.0 - s.balance);
    const double leakageScale = 0.01 * s.leakage;

    // The percussion envelope does not depend on the keys within a block.
    alignas (16) double percScale[chunkSize];
    int percCount = 0; // samples up to the last one that sounds the percussion

    for (int i = 0; i < n; ++i)
    {
        if (percEnvelope > percussionThreshold)
            percEnvelope *= s.percDecayFactor;

        const bool sounding = s.percussionOn && percEnvelope > percussionThreshold;
        percScale[i] = sounding ? upperScale * percEnvelope : 0.0;

        if (sounding)
            percCount = i + 1;
    }

    // Which wheels this chunk reads. A drawbar at gain 0 adds exact zeros: skipped.
    bool needSamples[numTonewheels] {};
    bool needLeaked[numTonewheels] {};

    for (const auto& key : keySlots)
    {
        if (! key.active)
            continue;

        const bool isUpper = key.manual == 1;
        const float* gains = isUpper ? s.upperGain : s.lowerGain;

        for (int k = 0; k < numDrawbars; ++k)
            if (gains[k] != 0.0f)
                needLeaked[key.wheel[k]] = true;

        if (isUpper && percCount > 0)
            needSamples[key.wheel[s.percDrawbar]] = true;
    }

    for (int w = 0; w < numTonewheels; ++w)
    {
        if (needLeaked[w])
        {
            needSamples[w] = true;

            if (leakageMap[w] > 0)
                needSamples[leakageMap[w] - 1] = true;
        }
    }

    for (int w = 0; w < numTonewheels; ++w)
    {
        if (! needSamples[w])
            continue;

        double* out = wheelSamples[w];
        const int32_t end = twStart[w] + twLength[w];
        int32_t pos = wheelPos[w];

        for (int i = 0; i < n;)
        {
            const int run = std::min (n - i, (int) (end - pos));
            const float* from = twTable + pos;

            for (int j = 0; j < run; ++j)
                out[i + j] = (double) from[j];

            i += run;
            pos += run;

            if (pos == end)
                pos = twStart[w];
        }
    }

    const double* leaked[numTonewheels] {};

    for (int w = 0; w < numTonewheels; ++w)
    {
        if (! needLeaked[w])
            continue;

        const int partner = leakageMap[w];

        if (partner < 0)
        {
            leaked[w] = wheelSamples[w];
            continue;
        }

        const double* own = wheelSamples[w];
        const double* other = wheelSamples[partner - 1];
        double* out = leakedSamples[w];

        for (int i = 0; i < n; ++i)
            out[i] = own[i] + leakageScale * other[i];

        leaked[w] = out;
    }

    alignas (16) double sum[2][chunkSize];

    for (int i = 0; i < n; ++i)
        sum[0][i] = sum[1][i] = 0.0;

    bool anyUpperHeld = false;

    for (auto& key : keySlots)
    {
        if (! key.active)
            continue;

        const bool isUpper = key.manual == 1;
        const double manualScale = isUpper ? upperScale : lowerScale;
        const float* gains = isUpper ? s.upperGain : s.lowerGain;
        double* out = sum[isUpper ? 0 : 1];
        const double* percSource = wheelSamples[key.wheel[s.percDrawbar]];

        int lastContact = 0;
        for (int k = 0; k < numDrawbars; ++k)
            lastContact = std::max (lastContact, (int) key.contactDelay[k]);

        const bool settled = ! key.released && key.envelope == 1.0f && key.age > lastContact
                             && key.age <= std::numeric_limits<int32_t>::max() - n;

        if (settled)
        {
            // Envelope steady at 1, every contact closed: the same terms for the whole chunk.
            const double scale = manualScale * key.envelope;
            double coefficient[numDrawbars];
            const double* source[numDrawbars];
            int terms = 0;

            for (int k = 0; k < numDrawbars; ++k)
            {
                if (gains[k] != 0.0f)
                {
                    coefficient[terms] = scale * gains[k];
                    source[terms] = leaked[key.wheel[k]];
                    ++terms;
                }
            }

            addTerms (out, coefficient, source, terms, n);

            if (isUpper && percCount > 0)
                for (int i = 0; i < percCount; ++i)
                    out[i] += percScale[i] * percSource[i];

            key.age += n;
        }
        else
        {
            for (int i = 0; i < n && key.active; ++i)
            {
                if (key.released)
                {
                    key.envelope -= s.releaseStep;

                    if (key.envelope <= 0.0f)
                    {
                        // Still heard in this sample, with the value reached.
                        key.active = false;
                        key.released = false;
                    }
                }
                else if (key.envelope > 1.0f)
                {
                    key.envelope -= s.keyClickStep;
                    if (key.envelope < 1.0f)
                        key.envelope = 1.0f;
                }
                else if (key.envelope < 1.0f)
                {
                    key.envelope += s.keyClickStep;
                    if (key.envelope > 1.0f)
                        key.envelope = 1.0f;
                }

                // Saturating, so a key held for hours keeps its contacts closed.
                if (key.age < std::numeric_limits<int32_t>::max())
                    ++key.age;

                const double scale = manualScale * key.envelope;
                double value = out[i];

                for (int k = 0; k < numDrawbars; ++k)
                    if (gains[k] != 0.0f && key.age > key.contactDelay[k])
                        value += scale * gains[k] * leaked[key.wheel[k]][i];

                if (isUpper && i < percCount)
                    value += percScale[i] * percSource[i];

                out[i] = value;
            }
        }

        // A slot whose release ended in the last sample no longer holds the manual.
        if (isUpper && key.active)
            anyUpperHeld = true;
    }

    noUpperKeyHeld = ! anyUpperHeld;

    for (int w = 0; w < numTonewheels; ++w)
    {
        int32_t offset = wheelPos[w] - twStart[w] + n;

        if (offset >= twLength[w])
            offset = offset - twLength[w] < twLength[w] ? offset - twLength[w] : offset % twLength[w];

        wheelPos[w] = twStart[w] + offset;
    }

    for (int i = 0; i < n; ++i)
    {
        upper[i] = static_cast<float> (static_cast<float> (sum[0][i]) * outputScale);
        lower[i] = static_cast<float> (static_cast<float> (sum[1][i]) * outputScale);
    }
}

} // namespace quarbell

#include "ToneGenerator.h"

#include <cmath>
#include <cstdlib>
#include <limits>

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
    sampleRate = newSampleRate;

    if (const auto* selected = tonewheelTablesForRate (newSampleRate))
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

void ToneGenerator::render (float* upper, float* lower, int numSamples, const GeneratorBlockSettings& s) noexcept
{
    const double upperScale = 2.0 * s.balance;
    const double lowerScale = 2.0 * (1.0 - s.balance);
    const double leakageScale = 0.01 * s.leakage;

    auto wheelSample = [this] (int w) noexcept { return twTable[wheelPos[w]]; };

    auto wheelWithLeakage = [&] (int w) noexcept
    {
        const int partner = leakageMap[w];
        return partner < 0 ? static_cast<double> (wheelSample (w))
                           : wheelSample (w) + leakageScale * wheelSample (partner - 1);
    };

    for (int i = 0; i < numSamples; ++i)
    {
        float out0 = 0.0f;
        float out1 = 0.0f;

        if (percEnvelope > percussionThreshold)
            percEnvelope *= s.percDecayFactor;

        noUpperKeyHeld = true;

        for (auto& key : keySlots)
        {
            if (! key.active)
                continue;

            bool releaseEnded = false;

            if (key.released)
            {
                key.envelope -= s.releaseStep;

                if (key.envelope <= 0.0f)
                {
                    key.active = false;
                    key.released = false;
                    releaseEnded = true;
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

            const bool isUpper = key.manual == 1;

            if (isUpper && ! releaseEnded)
                noUpperKeyHeld = false;

            // Saturating, so a key held for hours keeps its contacts closed.
            if (key.age < std::numeric_limits<int32_t>::max())
                ++key.age;

            const double scale = (isUpper ? upperScale : lowerScale) * key.envelope;
            const float* gains = isUpper ? s.upperGain : s.lowerGain;
            float& out = isUpper ? out0 : out1;

            for (int k = 0; k < numDrawbars; ++k)
                if (key.age > key.contactDelay[k])
                    out += scale * gains[k] * wheelWithLeakage (key.wheel[k]);

            if (isUpper && s.percussionOn && percEnvelope > percussionThreshold)
                out0 += upperScale * percEnvelope * wheelSample (key.wheel[s.percDrawbar]);
        }

        for (int w = 0; w < numTonewheels; ++w)
            if (++wheelPos[w] == twStart[w] + twLength[w])
                wheelPos[w] = twStart[w];

        upper[i] = static_cast<float> (out0 * outputScale);
        lower[i] = static_cast<float> (out1 * outputScale);
    }
}

} // namespace quarbell

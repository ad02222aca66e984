#include "RotarySpeaker.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace quarbell
{

namespace
{
// 2 pi rounded to float, as the angle has always been scaled.
constexpr double twoPi = 6.2831854820251465;

// One path step of offset: 1.2 ms.
constexpr float pathUnitSeconds = 0.0012f;
constexpr double bassUnitSeconds = 0.0012;

// Moves the newest `history` samples to the front and appends the block, so
// entry i + p holds the input from history - p samples before sample i.
// The newest samples are taken from where the last block really ended, so
// blocks of changing size keep a seamless history; history that was never
// kept (a rate change to longer lines) reads as silence.
inline void updateLine (float* line, int32_t& lineEnd, int history, const float* block, int numSamples) noexcept
{
    if (lineEnd >= history)
    {
        std::memmove (line, line + (lineEnd - history), sizeof (float) * (size_t) history);
    }
    else
    {
        std::memmove (line + (history - lineEnd), line, sizeof (float) * (size_t) lineEnd);
        std::fill (line, line + (history - lineEnd), 0.0f);
    }

    std::memcpy (line + history, block, sizeof (float) * (size_t) numSamples);
    lineEnd = history + numSamples;
}

inline float readTap (const float* line, int i, float p) noexcept
{
    const int q = (int) p;
    const float x0 = line[i + q];
    const float x1 = line[i + q + 1];
    return x0 + (x1 - x0) * (p - (float) q);
}
} // namespace

RotarySpeaker::RotarySpeaker () noexcept
{
    std::copy (std::begin (rotorPathGain), std::end (rotorPathGain), pathGain);
}

void RotarySpeaker::prepare (const SosSet& horn, const SosSet& hornHp, const SosSet& bass) noexcept
{
    hornFilter.bind (horn);
    hornHighPass.bind (hornHp);
    bassFilter.bind (bass);
}

int RotarySpeaker::geometryRate (int sampleRate) noexcept
{
    return std::clamp (sampleRate, 1, maxGeometryRate);
}

int RotarySpeaker::rotorHistory (int sampleRate) noexcept
{
    return (int) (0.0012 * geometryRate (sampleRate) * 4.0 + 1.0);
}

int RotarySpeaker::outputHistory (int sampleRate) noexcept
{
    return (int) (1.0 + 0.0001 * geometryRate (sampleRate));
}

void RotarySpeaker::process (
    float* channel0, float* channel1, int numSamples, int sampleRate, bool on, bool fast, float hornBassMix) noexcept
{
    for (int done = 0; done < numSamples; done += maxBlockSize)
    {
        const int n = std::min (maxBlockSize, numSamples - done);

        if (on)
            processOn (channel0 + done, channel1 + done, n, sampleRate, fast, hornBassMix);
        else
            processBypass (channel0 + done, channel1 + done, n, sampleRate);
    }
}

void RotarySpeaker::processBypass (float* channel0, float* channel1, int numSamples, int sampleRate) noexcept
{
    for (int i = 0; i < numSamples; ++i)
        channel0[i] *= bypassGain;

    updateLine (rightLine, rightLineEnd, outputHistory (sampleRate), channel0, numSamples);
    std::memcpy (channel1, rightLine, sizeof (float) * (size_t) numSamples);
}

void RotarySpeaker::processOn (
    float* channel0, float* channel1, int numSamples, int sampleRate, bool fast, float hornBassMix) noexcept
{
    const int rate = std::max (sampleRate, 1);
    const float tapRate = (float) geometryRate (sampleRate);
    const int history = rotorHistory (sampleRate);

    std::memcpy (hornWork, channel0, sizeof (float) * (size_t) numSamples);
    std::memcpy (bassWork, channel0, sizeof (float) * (size_t) numSamples);

    hornFilter.SosApply ({ hornWork, numSamples, sampleRate });
    hornHighPass.SosApply ({ hornWork, numSamples, sampleRate });
    bassFilter.SosApply ({ bassWork, numSamples, sampleRate });

    updateLine (hornLine, hornLineEnd, history, hornWork, numSamples);
    updateLine (bassLine, bassLineEnd, history, bassWork, numSamples);

    const float speedStep = acceleration / (float) rate;
    float speed = rotorSpeed;
    double horn = hornAngle;
    double bass = bassAngle;

    for (int i = 0; i < numSamples; ++i)
    {
        // The last step may overshoot the target by less than one step.
        if (fast)
        {
            if ((double) speed < fastSpeed)
                speed += speedStep;
        }
        else if ((double) speed > slowSpeed)
        {
            speed -= speedStep;
        }

        const float advance = speed / (float) rate;
        horn += advance;
        bass += bassRatio * advance;

        const double theta = twoPi * horn;
        const double sinTheta = std::sin (theta);
        const double cosTheta = std::cos (theta);

        float left = 0.0f;
        float right = 0.0f;

        for (int k = 0; k < numRotorPaths; ++k)
        {
            // How squarely the horn faces direction k, from 0 to 1.
            const double facing = sinTheta * rotorPathCos[k] + cosTheta * rotorPathSin[k];
            const float m = (float) ((1.0 + facing) * 0.5);
            const float w = m * m;

            const float pLeft = (rotorPathOffset[k] + m) * pathUnitSeconds * tapRate;
            left += readTap (hornLine, i, pLeft) * w * pathGain[k];

            // The right pick-up hears direction k through the path a quarter turn on.
            const int j = (k + 3) % numRotorPaths;
            const float pRight = (rotorPathOffset[j] + m) * pathUnitSeconds * tapRate;
            right += readTap (hornLine, i, pRight) * w * pathGain[j];
        }

        hornWork[i] = left;
        rightWork[i] = right;

        const double pBass = (1.0 - std::sin (twoPi * bass)) * 0.5 * bassUnitSeconds * (double) tapRate;
        const int q = (int) pBass;
        const float x0 = bassLine[i + q];
        const float x1 = bassLine[i + q + 1];
        bassWork[i] = x0 + (x1 - x0) * (float) (pBass - (double) q);
    }

    rotorSpeed = speed;
    hornAngle = horn;
    bassAngle = bass;

    updateLine (rightLine, rightLineEnd, outputHistory (sampleRate), rightWork, numSamples);

    const float h = hornBassMix;
    const float bassShare = 1.0f - h;

    for (int i = 0; i < numSamples; ++i)
    {
        channel0[i] = (float) (outputGain * (double) (h * hornWork[i] + bassShare * bassWork[i]));
        channel1[i] = (float) (outputGain * (double) (h * rightLine[i] + bassShare * bassWork[i]));
    }
}

} // namespace quarbell

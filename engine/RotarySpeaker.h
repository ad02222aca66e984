#pragma once

#include "Sos.h"
#include "tables/RotorPaths.h"

#include <cstdint>

namespace quarbell
{

// The rotating-speaker cabinet: a turning horn heard over twelve fixed paths
// and a bass rotor, each with Doppler from a swept delay tap, picked up at two
// places a quarter turn apart. Turns the mono signal of channel 0 into the
// stereo output. Switched off, it is a plain level drop with the right channel
// slightly delayed.
class RotarySpeaker
{
public:
    static constexpr int lineSize = 8192;

    // The line geometry is sized for 192000 Hz; faster rates use that geometry
    // so the taps stay inside the lines.
    static constexpr int maxGeometryRate = 192000;
    static constexpr int maxRotorHistory = 922; // rotorHistory (192000)
    static constexpr int maxOutputHistory = 20; // outputHistory (192000)

    // The largest block one call handles in one piece. process() takes longer
    // blocks in pieces of this size; the result does not depend on the split.
    static constexpr int maxBlockSize = lineSize - maxRotorHistory;

    static constexpr double slowSpeed = 0.8; // rev/s
    static constexpr double fastSpeed = 6.6; // rev/s
    static constexpr float acceleration = 2.0f; // rev/s per second, up and down
    static constexpr double bassRatio = 0.93; // bass rotor speed / horn speed
    static constexpr float bypassGain = 0.15f;
    static constexpr double outputGain = 0.3;

    RotarySpeaker () noexcept;

    // Binds the three filters and clears their states. The rotor speed and
    // angles and the delay lines carry on.
    void prepare (const SosSet& horn, const SosSet& hornHighPass, const SosSet& bass) noexcept;

    // Reads channel0 and writes the left output to channel0 and the right one
    // to channel1. on, fast and hornBassMix are the leslieOnOff, FastLeslie
    // and leslieHQBass values for the block.
    void process (float* channel0, float* channel1, int numSamples, int sampleRate, bool on, bool fast,
        float hornBassMix) noexcept;

    // History of the rotor lines: the longest tap reaches 4.8 ms back.
    static int rotorHistory (int sampleRate) noexcept;
    // History of the right-channel line: 0.1 ms.
    static int outputHistory (int sampleRate) noexcept;

    float speed () const noexcept { return rotorSpeed; }
    double hornAngleRevolutions () const noexcept { return hornAngle; }
    double bassAngleRevolutions () const noexcept { return bassAngle; }
    float pathGainOf (int path) const noexcept { return pathGain[path]; }

private:
    static int geometryRate (int sampleRate) noexcept;

    void processOn (
        float* channel0, float* channel1, int numSamples, int sampleRate, bool fast, float hornBassMix) noexcept;
    void processBypass (float* channel0, float* channel1, int numSamples, int sampleRate) noexcept;

    float rotorSpeed = 1.0f;
    double hornAngle = 0.0;
    double bassAngle = 0.0;
    float pathGain[numRotorPaths] {};

    Sos hornFilter;
    Sos hornHighPass;
    Sos bassFilter;

    // The twelve horn paths all carry the same signal, so they share one line.
    float hornLine[lineSize] {};
    float bassLine[lineSize] {};
    float rightLine[lineSize] {};
    int32_t hornLineEnd = 0; // one past the newest sample of each line
    int32_t bassLineEnd = 0;
    int32_t rightLineEnd = 0;

    float hornWork[lineSize] {}; // filtered horn, then the left horn output
    float rightWork[lineSize] {}; // right horn output
    float bassWork[lineSize] {}; // filtered bass, then the bass output
};

} // namespace quarbell

#pragma once

#include "KeySlot.h"
#include "tables/OrganTables.h"
#include "tables/Tonewheels.h"

#include <cstdint>

namespace quarbell
{

// Values the generator takes from the parameters once per block.
struct GeneratorBlockSettings
{
    float upperGain[numDrawbars] {};  // drawbar gains of the upper manual
    float lowerGain[numDrawbars] {};  // and of the lower manual
    float releaseStep = 0.0f;         // envelope fall per sample after note-off
    float keyClickStep = 0.0f;        // envelope move per sample towards 1 after note-on
    float percDecayFactor = 1.0f;     // percussion envelope factor per sample
    int percDrawbar = 3;              // drawbar whose wheel the percussion sounds
    float balance = 0.5f;             // upper/lower balance b
    float leakage = 0.2f;             // leakage level
    bool percussionOn = false;        // percussion heard
};

// The 91 turning tonewheels, the 64 key slots of both manuals and the
// single-trigger percussion. Renders the upper manual into one bus and the
// lower manual into another.
class ToneGenerator
{
public:
    static constexpr int numKeySlots = 64;

    ToneGenerator();

    // Selects the tonewheel loops of the rate (a rate without shared tables gets
    // loops generated for it, which allocates), frees every key slot and
    // staggers the wheel phases. A rate the organ cannot play at keeps the
    // previous loops; the caller must not render at such a rate.
    void prepare (int sampleRate);

    // Starts a key. wheelNote is the note whose wheels sound (the split keyboard
    // plays lower-manual notes an octave up). Returns false when all slots are busy.
    bool noteOn (int note, int manual, int wheelNote, float keyClickLevel, bool percVolOn);

    // Starts the release ramp of every slot holding this note.
    void noteOff (int note);

    void render (float* upper, float* lower, int numSamples, const GeneratorBlockSettings& settings) noexcept;

    // Per-block values, from parameter values and the sample rate.
    static float drawbarGain (float drawbarValue) noexcept;
    float releaseStep() const noexcept;
    float keyClickStep (float keyClickLevel) const noexcept;
    float percussionDecayFactor (bool fast) const noexcept;

    int getSampleRate() const noexcept { return sampleRate; }
    const KeySlot& slot (int index) const noexcept { return keySlots[index]; }
    int32_t wheelPosition (int wheel) const noexcept { return wheelPos[wheel]; }
    const TonewheelTables& tables() const noexcept { return *twTables; }
    float percussionEnvelope() const noexcept { return percEnvelope; }
    bool isUpperManualIdle() const noexcept { return noUpperKeyHeld; }

    static constexpr float contactSpacingMs = 0.15f;
    static constexpr float keyReleaseMs = 1.0f;
    static constexpr float percDecaySlowMs = 400.0f;
    static constexpr float percDecayFastMs = 100.0f;
    static constexpr float percLevelVolOn = 3.0f;
    static constexpr float percLevelVolOff = 6.0f;

    // Samples rendered in one go: each wheel's samples of a stretch are read
    // once, then every key adds its drawbars over the whole stretch.
    static constexpr int chunkSize = 64;

private:
    static int foldWheel (int wheel) noexcept;
    void renderChunk (float* upper, float* lower, int numSamples, const GeneratorBlockSettings& settings) noexcept;

    KeySlot keySlots[numKeySlots];
    int32_t wheelPos[numTonewheels] {};
    bool noUpperKeyHeld = true;
    float percEnvelope = 0.0f;

    const TonewheelTables* twTables = nullptr;
    GeneratedTonewheels ownTables; // loops of a rate without shared tables
    const float* twTable = nullptr;
    const int32_t* twStart = nullptr;
    const int32_t* twLength = nullptr;
    int sampleRate = 192000;

    // Per chunk: each needed wheel's table samples and its samples with leakage.
    alignas (16) double wheelSamples[numTonewheels][chunkSize] {};
    alignas (16) double leakedSamples[numTonewheels][chunkSize] {};
};

} // namespace quarbell

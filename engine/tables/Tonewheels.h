#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace quarbell
{

constexpr int numTonewheels = 91;

// The sample rates the organ carries tonewheel loops for.
constexpr std::array<int, 6> supportedSampleRates { 44100, 48000, 88200, 96000, 176400, 192000 };

// The rates the organ can play at: other rates get loops generated for them.
// Outside this range the organ does not play at all.
constexpr int minSampleRate = 8000;
constexpr int maxSampleRate = 384000;

constexpr bool isPlayableSampleRate (int sampleRate) noexcept
{
    return sampleRate >= minSampleRate && sampleRate <= maxSampleRate;
}

// Frequency of tonewheel 0 ... 90 in Hz, from its gear ratio and tooth count.
double wheelFrequency (int wheel);

// Length in samples of the loop of whole cycles that stands for the wheel at this rate.
int32_t wheelLoopLength (int wheel, int sampleRate);

// The 91 wheel loops of one sample rate, concatenated in wheel order.
struct TonewheelTables
{
    int sampleRate = 0;
    const float* samples = nullptr;   // loops, back to back
    const int32_t* start = nullptr;   // [91] index of each loop's first sample
    const int32_t* length = nullptr;  // [91] loop length in samples
    int32_t total = 0;                // samples in all loops
};

// The shared, read-only tables of a supported rate, or nullptr for any other rate.
// The first call builds the tables of all supported rates.
const TonewheelTables* tonewheelTablesForRate (int sampleRate);

// Loops of one rate built by the same rule as the shared tables, in storage
// of its own. generate() allocates: call it while preparing, not while playing.
// A wheel at or above half the rate cannot be sampled without folding back
// as a false tone, so its loop is silent (wheel 90 needs 11850 Hz; every
// table rate is far above).
class GeneratedTonewheels
{
public:
    GeneratedTonewheels() = default;
    GeneratedTonewheels (const GeneratedTonewheels&) = delete;
    GeneratedTonewheels& operator= (const GeneratedTonewheels&) = delete;

    void generate (int sampleRate);
    const TonewheelTables& tables() const noexcept { return view; }

private:
    std::vector<float> samples;
    std::array<int32_t, numTonewheels> start {};
    std::array<int32_t, numTonewheels> length {};
    TonewheelTables view;
};

} // namespace quarbell

#pragma once

#include <array>
#include <cstdint>

namespace quarbell
{

constexpr int numTonewheels = 91;

// The sample rates the organ carries tonewheel loops for.
constexpr std::array<int, 6> supportedSampleRates { 44100, 48000, 88200, 96000, 176400, 192000 };

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

} // namespace quarbell

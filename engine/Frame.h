#pragma once

#include <cstdint>

namespace quarbell
{

// One block of one channel, processed in place.
struct Frame
{
    float* samples = nullptr;
    int32_t numSamples = 0;
    int32_t sampleRate = 0;
};

} // namespace quarbell

#pragma once

#include <cstdint>

namespace quarbell
{

// One sounding key of either manual.
struct KeySlot
{
    bool active = false;
    int32_t manual = 1;        // 1 upper, 2 lower
    bool released = false;     // note-off arrived: in the release ramp
    float envelope = 1.0f;     // key-click ramp after note-on, release ramp after note-off
    int16_t note = 0;          // MIDI note as received; note-offs match on it
    int8_t wheel[9] {};        // tonewheel of each drawbar
    int32_t contactDelay[9] {}; // samples from note-on until each drawbar's contact closes
    int32_t age = 0;           // samples rendered since note-on
};

} // namespace quarbell

#pragma once

#include <array>
#include <cstddef>

namespace quarbell
{

enum class ParameterKind
{
    continuous,
    toggle,
    integer
};

struct ParameterInfo
{
    const char* id;
    const char* name;
    ParameterKind kind;
    float minimum;
    float maximum;
    float defaultValue;
};

// The host-visible parameters in host index order, which is also the order of
// the editor's controls and of the attributes in the saved state.
constexpr std::array<ParameterInfo, 37> parameterTable { {
    { "drawbar0", "0", ParameterKind::continuous, 0.0f, 8.0f, 0.0f },
    { "drawbar1", "1", ParameterKind::continuous, 0.0f, 8.0f, 0.0f },
    { "drawbar2", "2", ParameterKind::continuous, 0.0f, 8.0f, 0.0f },
    { "drawbar3", "3", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "drawbar4", "4", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "drawbar5", "5", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "drawbar6", "6", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "drawbar7", "7", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "drawbar8", "8", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "lowdrawbar0", "l0", ParameterKind::continuous, 0.0f, 8.0f, 0.0f },
    { "lowdrawbar1", "l1", ParameterKind::continuous, 0.0f, 8.0f, 0.0f },
    { "lowdrawbar2", "l2", ParameterKind::continuous, 0.0f, 8.0f, 0.0f },
    { "lowdrawbar3", "l3", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "lowdrawbar4", "l4", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "lowdrawbar5", "l5", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "lowdrawbar6", "l6", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "lowdrawbar7", "l7", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "lowdrawbar8", "l8", ParameterKind::continuous, 0.0f, 8.0f, 8.0f },
    { "upperLowerBalance", "Upper/Lower Mix", ParameterKind::continuous, 0.0f, 1.0f, 0.5f },
    { "leslieHQBass", "Leslie horn/bass Mix", ParameterKind::continuous, 0.0f, 1.0f, 0.4f },
    { "leslieGain", "Leslie Gain", ParameterKind::continuous, 0.01f, 1.0f, 0.01f },
    { "leslieOnOff", "Leslie On/Off", ParameterKind::toggle, 0.0f, 1.0f, 1.0f },
    { "keyClickLevel", "Key Click", ParameterKind::continuous, 0.0f, 5.0f, 1.0f },
    { "FastLeslie", "Slow/Fast", ParameterKind::toggle, 0.0f, 1.0f, 0.0f },
    { "percussion", "Percussion On/Off", ParameterKind::toggle, 0.0f, 1.0f, 0.0f },
    { "percVol", "Percussion Soft/Normal", ParameterKind::toggle, 0.0f, 1.0f, 1.0f },
    { "percSpeed", "Perc Slow/Fast", ParameterKind::toggle, 0.0f, 1.0f, 0.0f },
    { "percFreq", "Perc Third/Second", ParameterKind::toggle, 0.0f, 1.0f, 0.0f },
    { "splitkeyboard", "Split Keyboard", ParameterKind::toggle, 0.0f, 1.0f, 0.0f },
    { "splitlearn", "Split Learn", ParameterKind::toggle, 0.0f, 1.0f, 0.0f },
    { "vcUpOnOff", "Vib Great On/Off", ParameterKind::toggle, 0.0f, 1.0f, 0.0f },
    { "vcDownOnOff", "Vib Swell On / Off", ParameterKind::toggle, 0.0f, 1.0f, 0.0f },
    { "vcMode", "Vibrato and Chorus", ParameterKind::integer, 0.0f, 5.0f, 1.0f },
    { "roomSize", "Reverb Size", ParameterKind::continuous, 10.0f, 100.0f, 25.0f },
    { "reverbMix", "Reverb Mix", ParameterKind::continuous, 0.0f, 1.0f, 0.21f },
    { "leakageLevel", "Leakage", ParameterKind::continuous, 0.0f, 1.0f, 0.2f },
    { "reverbAttenuation", "Reverb Attenuation", ParameterKind::continuous, 0.2f, 0.95f, 0.7f },
} };

// Index of a parameter ID in the table, or -1.
constexpr int parameterIndex (const char* id)
{
    for (int i = 0; i < static_cast<int> (parameterTable.size()); ++i)
    {
        const char* a = parameterTable[static_cast<std::size_t> (i)].id;
        const char* b = id;

        while (*a != 0 && *a == *b)
        {
            ++a;
            ++b;
        }

        if (*a == *b)
            return i;
    }

    return -1;
}

} // namespace quarbell

#pragma once

#include <array>

namespace quarbell
{

constexpr int numFactoryPresets = 13;

// The preset menu's texts; entry k names factoryPresetsXml[k].
inline constexpr std::array<const char*, numFactoryPresets> factoryPresetsNames { {
    "Corvo Jazz",
    "Lord of rock",
    "Mabrek Gospel",
    "Purple Rock",
    "House Church",
    "Theater Organ",
    "Born To B3",
    "America",
    "5th organ",
    "Shade of Pale White",
    "Wendle's sound of coaster",
    "Dark Solo",
    "Gentle Balad",
} };

// One settings element per preset, in the saved state's own format: every
// parameter's normalised value in parameter order (drawbar digit d is d/8).
// Plain literals, so they exist before any code can ask for them.
inline constexpr std::array<const char*, numFactoryPresets> factoryPresetsXml { {
    // 1 Corvo Jazz
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"0.0\" drawbar2=\"0.0\" drawbar3=\"1.0\" drawbar4=\"1.0\""
    " drawbar5=\"1.0\" drawbar6=\"1.0\" drawbar7=\"1.0\" drawbar8=\"1.0\" lowdrawbar0=\"0.0\""
    " lowdrawbar1=\"0.625\" lowdrawbar2=\"0.0\" lowdrawbar3=\"1.0\" lowdrawbar4=\"1.0\""
    " lowdrawbar5=\"1.0\" lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\""
    " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4699999988079071\" leslieGain=\"0.3333333134651184\""
    " leslieOnOff=\"1.0\" keyClickLevel=\"0.2479999959468842\" FastLeslie=\"0.0\" percussion=\"1.0\""
    " percVol=\"1.0\" percSpeed=\"1.0\" percFreq=\"1.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\""
    " vcUpOnOff=\"1.0\" vcDownOnOff=\"0.0\" vcMode=\"0.6000000238418579\" roomSize=\"0.5892221927642822\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.1400000005960464\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 2 Lord of rock
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"0.0\" drawbar2=\"0.0\" drawbar3=\"0.0\" drawbar4=\"0.0\""
    " drawbar5=\"0.0\" drawbar6=\"0.0\" drawbar7=\"0.0\" drawbar8=\"0.0\" lowdrawbar0=\"0.0\""
    " lowdrawbar1=\"0.0\" lowdrawbar2=\"0.0\" lowdrawbar3=\"1.0\" lowdrawbar4=\"1.0\" lowdrawbar5=\"1.0\""
    " lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\" upperLowerBalance=\"0.5\""
    " leslieHQBass=\"0.3999999761581421\" leslieGain=\"0.6767676472663879\" leslieOnOff=\"1.0\""
    " keyClickLevel=\"0.2000000029802322\" FastLeslie=\"0.0\" percussion=\"0.0\" percVol=\"1.0\""
    " percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\" vcUpOnOff=\"0.0\""
    " vcDownOnOff=\"0.0\" vcMode=\"0.2000000029802322\" roomSize=\"0.2839999794960022\""
    " reverbMix=\"0.2099999934434891\" leakageLevel=\"0.199999988079071\""
    " reverbAttenuation=\"0.6666666865348816\"/>",
    // 3 Mabrek Gospel
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"0.0\" drawbar2=\"0.0\" drawbar3=\"0.5\" drawbar4=\"1.0\""
    " drawbar5=\"1.0\" drawbar6=\"1.0\" drawbar7=\"0.0\" drawbar8=\"1.0\" lowdrawbar0=\"0.0\""
    " lowdrawbar1=\"0.625\" lowdrawbar2=\"0.0\" lowdrawbar3=\"1.0\" lowdrawbar4=\"1.0\""
    " lowdrawbar5=\"1.0\" lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\""
    " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4699999988079071\" leslieGain=\"0.2929292917251587\""
    " leslieOnOff=\"1.0\" keyClickLevel=\"0.2220000028610229\" FastLeslie=\"0.0\" percussion=\"1.0\""
    " percVol=\"0.0\" percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\""
    " vcUpOnOff=\"1.0\" vcDownOnOff=\"0.0\" vcMode=\"1.0\" roomSize=\"0.5892221927642822\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.09999999403953552\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 4 Purple Rock
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"0.0\" drawbar2=\"0.5\" drawbar3=\"0.5\" drawbar4=\"1.0\""
    " drawbar5=\"1.0\" drawbar6=\"1.0\" drawbar7=\"1.0\" drawbar8=\"1.0\" lowdrawbar0=\"0.0\""
    " lowdrawbar1=\"0.625\" lowdrawbar2=\"0.0\" lowdrawbar3=\"1.0\" lowdrawbar4=\"1.0\""
    " lowdrawbar5=\"1.0\" lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\""
    " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4699999988079071\" leslieGain=\"0.6767676472663879\""
    " leslieOnOff=\"1.0\" keyClickLevel=\"0.2220000028610229\" FastLeslie=\"0.0\" percussion=\"1.0\""
    " percVol=\"1.0\" percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\""
    " vcUpOnOff=\"0.0\" vcDownOnOff=\"0.0\" vcMode=\"1.0\" roomSize=\"0.5892221927642822\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.09999999403953552\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 5 House Church
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"1.0\" drawbar2=\"0.0\" drawbar3=\"0.0\" drawbar4=\"1.0\""
    " drawbar5=\"0.0\" drawbar6=\"1.0\" drawbar7=\"1.0\" drawbar8=\"0.0\" lowdrawbar0=\"0.0\""
    " lowdrawbar1=\"0.0\" lowdrawbar2=\"1.0\" lowdrawbar3=\"0.0\" lowdrawbar4=\"1.0\""
    " lowdrawbar5=\"0.75\" lowdrawbar6=\"0.875\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\""
    " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4899999797344208\" leslieGain=\"0.07070706784725189\""
    " leslieOnOff=\"1.0\" keyClickLevel=\"0.2879999876022339\" FastLeslie=\"0.0\" percussion=\"0.0\""
    " percVol=\"1.0\" percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\""
    " vcUpOnOff=\"0.0\" vcDownOnOff=\"0.0\" vcMode=\"1.0\" roomSize=\"0.5892221927642822\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.1899999976158142\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 6 Theater Organ
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"0.125\" drawbar2=\"0.0\" drawbar3=\"0.25\" drawbar4=\"0.375\""
    " drawbar5=\"0.25\" drawbar6=\"0.5\" drawbar7=\"0.25\" drawbar8=\"0.125\" lowdrawbar0=\"0.0\""
    " lowdrawbar1=\"0.0\" lowdrawbar2=\"0.5\" lowdrawbar3=\"0.5\" lowdrawbar4=\"1.0\" lowdrawbar5=\"1.0\""
    " lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\" upperLowerBalance=\"0.5\""
    " leslieHQBass=\"0.4899999797344208\" leslieGain=\"0.2929292917251587\" leslieOnOff=\"1.0\""
    " keyClickLevel=\"0.2220000028610229\" FastLeslie=\"0.0\" percussion=\"0.0\" percVol=\"1.0\""
    " percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\" vcUpOnOff=\"0.0\""
    " vcDownOnOff=\"0.0\" vcMode=\"0.6000000238418579\" roomSize=\"0.5892221927642822\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.1899999976158142\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 7 Born To B3
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"0.0\" drawbar2=\"0.0\" drawbar3=\"0.0\" drawbar4=\"1.0\""
    " drawbar5=\"0.0\" drawbar6=\"0.875\" drawbar7=\"0.875\" drawbar8=\"0.0\" lowdrawbar0=\"0.125\""
    " lowdrawbar1=\"0.125\" lowdrawbar2=\"0.75\" lowdrawbar3=\"0.375\" lowdrawbar4=\"0.5\""
    " lowdrawbar5=\"1.0\" lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\""
    " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4899999797344208\" leslieGain=\"0.2929292917251587\""
    " leslieOnOff=\"1.0\" keyClickLevel=\"0.2220000028610229\" FastLeslie=\"0.0\" percussion=\"0.0\""
    " percVol=\"1.0\" percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\""
    " vcUpOnOff=\"0.0\" vcDownOnOff=\"0.0\" vcMode=\"0.6000000238418579\" roomSize=\"0.5892221927642822\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.1899999976158142\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 8 America
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"0.0\" drawbar2=\"0.125\" drawbar3=\"0.125\" drawbar4=\"0.75\""
    " drawbar5=\"0.5\" drawbar6=\"0.875\" drawbar7=\"0.875\" drawbar8=\"1.0\" lowdrawbar0=\"0.25\""
    " lowdrawbar1=\"0.25\" lowdrawbar2=\"1.0\" lowdrawbar3=\"0.25\" lowdrawbar4=\"1.0\""
    " lowdrawbar5=\"1.0\" lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\""
    " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4899999797344208\" leslieGain=\"0.2929292917251587\""
    " leslieOnOff=\"1.0\" keyClickLevel=\"0.2220000028610229\" FastLeslie=\"0.0\" percussion=\"0.0\""
    " percVol=\"1.0\" percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\""
    " vcUpOnOff=\"0.0\" vcDownOnOff=\"0.0\" vcMode=\"0.6000000238418579\" roomSize=\"0.5892221927642822\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.1899999976158142\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 9 5th organ
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"1.0\" drawbar2=\"1.0\" drawbar3=\"0.0\" drawbar4=\"1.0\""
    " drawbar5=\"0.0\" drawbar6=\"0.0\" drawbar7=\"1.0\" drawbar8=\"1.0\" lowdrawbar0=\"0.0\""
    " lowdrawbar1=\"0.0\" lowdrawbar2=\"1.0\" lowdrawbar3=\"1.0\" lowdrawbar4=\"0.25\""
    " lowdrawbar5=\"1.0\" lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\""
    " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4899999797344208\" leslieGain=\"0.2929292917251587\""
    " leslieOnOff=\"1.0\" keyClickLevel=\"0.2220000028610229\" FastLeslie=\"0.0\" percussion=\"0.0\""
    " percVol=\"1.0\" percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\""
    " vcUpOnOff=\"0.0\" vcDownOnOff=\"0.0\" vcMode=\"0.6000000238418579\" roomSize=\"0.5892221927642822\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.1899999976158142\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 10 Shade of Pale White
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.25\" drawbar1=\"0.0\" drawbar2=\"0.0\" drawbar3=\"0.25\" drawbar4=\"1.0\""
    " drawbar5=\"1.0\" drawbar6=\"1.0\" drawbar7=\"1.0\" drawbar8=\"1.0\" lowdrawbar0=\"0.0\""
    " lowdrawbar1=\"0.0\" lowdrawbar2=\"1.0\" lowdrawbar3=\"1.0\" lowdrawbar4=\"0.125\""
    " lowdrawbar5=\"1.0\" lowdrawbar6=\"0.125\" lowdrawbar7=\"0.125\" lowdrawbar8=\"1.0\""
    " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4699999988079071\" leslieGain=\"0.1919191926717758\""
    " leslieOnOff=\"1.0\" keyClickLevel=\"0.2220000028610229\" FastLeslie=\"0.0\" percussion=\"1.0\""
    " percVol=\"1.0\" percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\""
    " vcUpOnOff=\"0.0\" vcDownOnOff=\"0.0\" vcMode=\"0.6000000238418579\" roomSize=\"0.5892221927642822\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.09999999403953552\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 11 Wendle's sound of coaster
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"0.0\" drawbar2=\"0.0\" drawbar3=\"0.0\" drawbar4=\"1.0\""
    " drawbar5=\"1.0\" drawbar6=\"1.0\" drawbar7=\"1.0\" drawbar8=\"1.0\" lowdrawbar0=\"0.0\""
    " lowdrawbar1=\"0.0\" lowdrawbar2=\"0.5\" lowdrawbar3=\"0.5\" lowdrawbar4=\"1.0\" lowdrawbar5=\"1.0\""
    " lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\" upperLowerBalance=\"0.5\""
    " leslieHQBass=\"0.4699999988079071\" leslieGain=\"0.1919191926717758\" leslieOnOff=\"1.0\""
    " keyClickLevel=\"0.2220000028610229\" FastLeslie=\"0.0\" percussion=\"1.0\" percVol=\"1.0\""
    " percSpeed=\"1.0\" percFreq=\"1.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\" vcUpOnOff=\"1.0\""
    " vcDownOnOff=\"1.0\" vcMode=\"0.6000000238418579\" roomSize=\"0.5892221927642822\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.09999999403953552\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 12 Dark Solo
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"0.75\" drawbar2=\"0.0\" drawbar3=\"0.75\" drawbar4=\"1.0\""
    " drawbar5=\"1.0\" drawbar6=\"1.0\" drawbar7=\"1.0\" drawbar8=\"1.0\" lowdrawbar0=\"0.25\""
    " lowdrawbar1=\"1.0\" lowdrawbar2=\"0.25\" lowdrawbar3=\"1.0\" lowdrawbar4=\"1.0\""
    " lowdrawbar5=\"1.0\" lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\""
    " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4699999988079071\" leslieGain=\"0.2727272510528564\""
    " leslieOnOff=\"1.0\" keyClickLevel=\"0.2000000029802322\" FastLeslie=\"0.0\" percussion=\"1.0\""
    " percVol=\"0.0\" percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\""
    " vcUpOnOff=\"0.0\" vcDownOnOff=\"0.0\" vcMode=\"1.0\" roomSize=\"0.0\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.09999999403953552\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
    // 13 Gentle Balad
    "<QUARBELLSETTINGS"
    " drawbar0=\"0.0\" drawbar1=\"1.0\" drawbar2=\"1.0\" drawbar3=\"1.0\" drawbar4=\"1.0\""
    " drawbar5=\"1.0\" drawbar6=\"1.0\" drawbar7=\"1.0\" drawbar8=\"1.0\" lowdrawbar0=\"0.125\""
    " lowdrawbar1=\"0.625\" lowdrawbar2=\"0.375\" lowdrawbar3=\"1.0\" lowdrawbar4=\"1.0\""
    " lowdrawbar5=\"1.0\" lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\""
    " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4699999988079071\" leslieGain=\"0.0\""
    " leslieOnOff=\"1.0\" keyClickLevel=\"0.2000000029802322\" FastLeslie=\"0.0\" percussion=\"0.0\""
    " percVol=\"1.0\" percSpeed=\"1.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\""
    " vcUpOnOff=\"0.0\" vcDownOnOff=\"0.0\" vcMode=\"1.0\" roomSize=\"0.3159999847412109\""
    " reverbMix=\"0.4699999988079071\" leakageLevel=\"0.09999999403953552\""
    " reverbAttenuation=\"0.3333333134651184\"/>",
} };

} // namespace quarbell

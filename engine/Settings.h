#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <cstdint>
#include <memory>
#include <string>

namespace quarbell
{

// The processor's parameter list, as AudioProcessor::getParameters() gives it.
using ParameterList = juce::Array<juce::AudioProcessorParameter*>;

constexpr const char* settingsTag = "QUARBELLSETTINGS";

// "VC2!" read as a little-endian 32-bit word.
constexpr std::uint32_t settingsMagic = 0x21324356;

// Refuse texts with more markup than a settings document could ever need: the
// XML reader recurses once per nested element.
constexpr int maxSettingsMarkup = 256;

// A normalised value as the settings text spells it ("0.0", "0.625",
// "0.4699999988079071", "1.23456789012346e-6").
std::string formatSettingsValue (double value);

// Leading white space, sign, digits, point and exponent; anything else reads as 0.
double parseSettingsValue (const char* text);

// The settings element on one line, one attribute per parameter with an ID.
std::string settingsElementText (const ParameterList& parameters);

// Replaces the block's contents with the settings blob of the current values.
void writeSettingsBlob (const ParameterList& parameters, juce::MemoryBlock& destination);

// The settings element inside a blob, or null when the blob is refused. Safe
// for any bytes: reads only [data, data + sizeInBytes).
std::unique_ptr<juce::XmlElement> parseSettingsBlob (const void* data, int sizeInBytes);

// Sets every parameter named by the element silently through its normalised
// setter; parameters without an attribute keep their value.
void applySettings (const juce::XmlElement& settings, const ParameterList& parameters,
                    const juce::String& excludedId = {});

// parseSettingsBlob, then applySettings. Returns whether the blob was applied.
bool restoreSettingsBlob (const ParameterList& parameters, const void* data, int sizeInBytes);

// Applies factory preset k (0-based), leaving the split keyboard switch as it is.
// Returns false for an index outside the presets.
bool applyFactoryPreset (const ParameterList& parameters, int index);

// Decodes UTF-8 up to the first zero byte; malformed sequences become U+FFFD.
std::string sanitiseUtf8 (const char* data, std::size_t size);

} // namespace quarbell

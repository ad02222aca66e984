#pragma once

#include "Options.h"

#include <juce_core/juce_core.h>

namespace quarbell::cli
{

// The coefficient sets bound at a rate, in the layout filterFormatText() gives.
juce::String filterSetsText (int sampleRate);

// The settings blob of a freshly made organ set up this way. Throws CliError.
juce::MemoryBlock settingsBlobFor (const OrganSetup& setup);

// The XML text inside a settings blob: without its 8-byte header and final zero byte.
juce::String settingsBlobText (const juce::MemoryBlock& blob);

// Writes the bytes via a temporary file, so a failure leaves nothing. Throws CliError.
void writeFileAtomically (const juce::File& target, const juce::MemoryBlock& data);

} // namespace quarbell::cli

#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

namespace quarbell::cli
{

// Writes a 32-bit float WAV into a hidden temporary file beside the target
// and moves it onto the target in commit(). Destroyed without a commit it
// removes the temporary file, so a failed render leaves no partial output.
class WavWriter
{
public:
    // Throws CliError when the target's folder cannot take the file.
    WavWriter (const juce::File& target, int sampleRate, int numChannels);
    ~WavWriter();

    // Appends all samples of the buffer's first numChannels channels. Throws CliError.
    void write (const juce::AudioBuffer<float>& buffer);

    // Finishes the file and puts it in place. Throws CliError.
    void commit();

    // Largest absolute sample written so far.
    float peak() const noexcept { return peakLevel; }

private:
    [[noreturn]] void fail (const juce::String& why) const;

    juce::TemporaryFile temporary;
    std::unique_ptr<juce::AudioFormatWriter> writer; // after temporary: closed before it is removed
    juce::FileOutputStream* fileStream = nullptr;    // owned by writer
    int numChannels;
    float peakLevel = 0.0f;

    JUCE_DECLARE_NON_COPYABLE (WavWriter)
};

// Writes a whole buffer as a 32-bit float WAV file. Throws CliError.
void writeWavFile (const juce::File& target, const juce::AudioBuffer<float>& buffer, int sampleRate);

} // namespace quarbell::cli

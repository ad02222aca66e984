#pragma once

#include "Options.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

namespace quarbell::cli
{

// Writes a WAV, AIFF or FLAC file into a hidden temporary file beside the
// target and moves it onto the target in commit(). Destroyed without a commit
// it removes the temporary file, so a failed render leaves no partial output.
class AudioFileWriter
{
public:
    // Throws CliError when the target's folder cannot take the file.
    AudioFileWriter (const juce::File& target, const OutputFormat& format, int sampleRate, int numChannels);
    ~AudioFileWriter();

    // Appends all samples of the buffer's first numChannels channels. Throws CliError.
    void write (const juce::AudioBuffer<float>& buffer);

    // Finishes the file and puts it in place. Throws CliError.
    void commit();

    // Largest absolute sample written so far.
    float peak() const noexcept { return peakLevel; }

    // Samples (counting each channel) beyond ±1: clipped in integer formats.
    juce::int64 samplesOverFullScale() const noexcept { return overCount; }

private:
    [[noreturn]] void fail (const juce::String& why) const;
    bool holdsWrittenSamples() const;

    juce::TemporaryFile temporary;
    std::unique_ptr<juce::AudioFormatWriter> writer; // after temporary: closed before it is removed
    juce::FileOutputStream* fileStream = nullptr;    // owned by writer
    AudioFileType type;
    int numChannels;
    juce::int64 samplesWritten = 0;
    float peakLevel = 0.0f;
    juce::int64 overCount = 0;

    JUCE_DECLARE_NON_COPYABLE (AudioFileWriter)
};

// Writes a whole buffer. Throws CliError.
void writeAudioFile (const juce::File& target, const OutputFormat& format, const juce::AudioBuffer<float>& buffer,
                     int sampleRate);

} // namespace quarbell::cli

#include "AudioWriter.h"

#include "Error.h"

#include <algorithm>
#include <cmath>

namespace quarbell::cli
{

namespace
{
    std::unique_ptr<juce::AudioFormat> makeFormat (AudioFileType type)
    {
        switch (type)
        {
            case AudioFileType::aiff: return std::make_unique<juce::AiffAudioFormat>();
            case AudioFileType::flac: return std::make_unique<juce::FlacAudioFormat>();
            case AudioFileType::wav:
            default: return std::make_unique<juce::WavAudioFormat>();
        }
    }
} // namespace

AudioFileWriter::AudioFileWriter (const juce::File& target, const OutputFormat& format, int sampleRate, int channels)
    : temporary (target, juce::TemporaryFile::useHiddenFile), type (format.type), numChannels (channels)
{
    if (target.isDirectory())
        fail ("it is a directory");

    if (! target.getParentDirectory().isDirectory())
        fail ("its folder does not exist");

    auto stream = temporary.getFile().createOutputStream();

    if (stream == nullptr || stream->failedToOpen())
        fail (stream == nullptr ? juce::String ("cannot create a file there") : stream->getStatus().getErrorMessage());

    // For WAV, 32 bits per sample makes JUCE write IEEE float samples.
    const auto audioFormat = makeFormat (format.type);
    writer.reset (audioFormat->createWriterFor (stream.get(), sampleRate, (unsigned int) numChannels,
                                                format.bitsPerSample, {}, 0));

    if (writer == nullptr)
        fail ("the " + describe (format) + " writer refused " + juce::String (sampleRate) + " Hz");

    fileStream = stream.release(); // now owned by the writer
}

AudioFileWriter::~AudioFileWriter()
{
    writer.reset();
}

void AudioFileWriter::write (const juce::AudioBuffer<float>& buffer)
{
    const int n = buffer.getNumSamples();

    for (int ch = 0; ch < numChannels; ++ch)
    {
        const float* x = buffer.getReadPointer (ch);

        for (int i = 0; i < n; ++i)
        {
            const float magnitude = std::abs (x[i]);
            peakLevel = std::max (peakLevel, magnitude);
            overCount += magnitude > 1.0f ? 1 : 0;
        }
    }

    if (writer == nullptr || ! writer->writeFromAudioSampleBuffer (buffer, 0, n))
        fail ("writing failed");

    if (fileStream->getStatus().failed())
        fail (fileStream->getStatus().getErrorMessage());

    samplesWritten += n;
}

void AudioFileWriter::commit()
{
    if (writer == nullptr)
        fail ("writing failed");

    // WAV completes its header in flush(); AIFF and FLAC only when their
    // writer is destroyed, which also closes the stream. Reading the header
    // back then shows whether everything arrived.
    if (type == AudioFileType::wav && (! writer->flush() || fileStream->getStatus().failed()))
        fail ("writing failed");

    writer.reset();

    if (! holdsWrittenSamples())
        fail ("writing failed");

    if (! temporary.overwriteTargetFileWithTemporary())
        fail ("cannot move the finished file into place");
}

bool AudioFileWriter::holdsWrittenSamples() const
{
    auto stream = temporary.getFile().createInputStream();

    if (stream == nullptr)
        return false;

    const auto format = makeFormat (type);
    std::unique_ptr<juce::AudioFormatReader> reader (format->createReaderFor (stream.release(), true));

    return reader != nullptr && (int) reader->numChannels == numChannels && reader->lengthInSamples == samplesWritten;
}

void AudioFileWriter::fail (const juce::String& why) const
{
    throw CliError (("cannot write " + temporary.getTargetFile().getFullPathName() + ": " + why).toStdString());
}

void writeAudioFile (const juce::File& target, const OutputFormat& format, const juce::AudioBuffer<float>& buffer,
                     int sampleRate)
{
    AudioFileWriter writer (target, format, sampleRate, buffer.getNumChannels());
    writer.write (buffer);
    writer.commit();
}

} // namespace quarbell::cli

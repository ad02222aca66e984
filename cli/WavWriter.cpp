#include "WavWriter.h"

#include "Error.h"

#include <algorithm>

namespace quarbell::cli
{

WavWriter::WavWriter (const juce::File& target, int sampleRate, int channels)
    : temporary (target, juce::TemporaryFile::useHiddenFile), numChannels (channels)
{
    if (target.isDirectory())
        fail ("it is a directory");

    if (! target.getParentDirectory().isDirectory())
        fail ("its folder does not exist");

    auto stream = temporary.getFile().createOutputStream();

    if (stream == nullptr || stream->failedToOpen())
        fail (stream == nullptr ? juce::String ("cannot create a file there") : stream->getStatus().getErrorMessage());

    juce::WavAudioFormat wav;

    // 32 bits per sample makes JUCE write IEEE float samples.
    writer.reset (wav.createWriterFor (stream.get(), sampleRate, (unsigned int) numChannels, 32, {}, 0));

    if (writer == nullptr)
        fail ("the WAV writer refused the format");

    fileStream = stream.release(); // now owned by the writer
}

WavWriter::~WavWriter()
{
    writer.reset();
}

void WavWriter::write (const juce::AudioBuffer<float>& buffer)
{
    const int n = buffer.getNumSamples();

    for (int ch = 0; ch < numChannels; ++ch)
        peakLevel = std::max (peakLevel, buffer.getMagnitude (ch, 0, n));

    if (writer == nullptr || ! writer->writeFromAudioSampleBuffer (buffer, 0, n))
        fail ("writing failed");

    if (fileStream->getStatus().failed())
        fail (fileStream->getStatus().getErrorMessage());
}

void WavWriter::commit()
{
    // flush() completes the header; the stream's status holds any failed write.
    if (writer == nullptr || ! writer->flush() || fileStream->getStatus().failed())
        fail ("writing failed");

    writer.reset();

    if (! temporary.overwriteTargetFileWithTemporary())
        fail ("cannot move the finished file into place");
}

void WavWriter::fail (const juce::String& why) const
{
    throw CliError (("cannot write " + temporary.getTargetFile().getFullPathName() + ": " + why).toStdString());
}

void writeWavFile (const juce::File& target, const juce::AudioBuffer<float>& buffer, int sampleRate)
{
    WavWriter writer (target, sampleRate, buffer.getNumChannels());
    writer.write (buffer);
    writer.commit();
}

} // namespace quarbell::cli

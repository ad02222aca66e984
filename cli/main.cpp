#include "Error.h"
#include "Options.h"
#include "Render.h"
#include "WavWriter.h"

#include <iostream>

using namespace quarbell::cli;

namespace
{
    int render (const Options& options)
    {
        const auto song = loadMidiFile (options.input);
        const auto& settings = options.render;

        // Opened before rendering so an unwritable target fails at once.
        WavWriter writer (options.output, settings.sampleRate, 2);
        renderSong (song, settings, [&] (const juce::AudioBuffer<float>& block) { writer.write (block); });
        writer.commit();

        const double seconds = (double) renderLength (song, settings) / settings.sampleRate;
        const float peak = writer.peak();
        const auto peakText = peak > 0.0f ? juce::String (juce::Decibels::gainToDecibels (peak), 2) : juce::String ("-inf");

        std::cout << "wrote " << options.output.getFullPathName() << ": " << juce::String (seconds, 3) << " s, "
                  << settings.sampleRate << " Hz, peak " << peakText << " dBFS" << std::endl;
        return 0;
    }
} // namespace

int main (int argc, char* argv[])
{
    juce::StringArray args;

    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    try
    {
        const auto options = parseArguments (args);

        switch (options.command)
        {
            case Command::help:
                std::cout << usageText();
                return 0;

            case Command::version:
                std::cout << JucePlugin_VersionString << std::endl;
                return 0;

            case Command::render:
            default:
                return render (options);
        }
    }
    catch (const std::exception& e) // CliError, or running out of memory
    {
        std::cerr << "quarbell: error: " << e.what() << std::endl;
        return 2;
    }
}

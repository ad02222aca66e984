#include "AudioWriter.h"
#include "Commands.h"
#include "Error.h"
#include "Options.h"
#include "Render.h"
#include "Report.h"

#include <iostream>
#include <memory>

using namespace quarbell::cli;

namespace
{
    int render (const Options& options)
    {
        const auto& settings = options.render;

        // Everything that can be checked is checked before the first file is
        // written: all inputs, and the settings on a scratch organ.
        std::vector<MidiSong> songs;

        for (const auto& job : options.jobs)
            songs.push_back (loadMidiFile (job.input));

        configureOrgan (*std::make_unique<VelmoranAudioProcessor>(), settings.setup);

        const bool showProgress = ! options.quiet && ProgressBar::stderrIsTerminal();

        for (size_t i = 0; i < options.jobs.size(); ++i)
        {
            const auto& job = options.jobs[i];
            const auto& song = songs[i];
            const auto folder = job.output.getParentDirectory();

            if (options.createOutputFolder && ! folder.exists() && ! folder.createDirectory())
                throw CliError (("cannot write " + job.output.getFullPathName() + ": cannot create its folder").toStdString());

            const auto total = renderLength (song, settings);
            const double startMs = juce::Time::getMillisecondCounterHiRes();

            // Opened before rendering so an unwritable target fails at once.
            AudioFileWriter writer (job.output, options.format, settings.sampleRate, 2);
            ProgressBar progress (showProgress ? stderr : nullptr, job.input.getFileName(), total, settings.sampleRate);
            juce::int64 done = 0;

            renderSong (song, settings, [&] (const juce::AudioBuffer<float>& block)
            {
                writer.write (block);
                done += block.getNumSamples();
                progress.update (done);
            });

            writer.commit();
            progress.clear();

            if (! options.quiet)
            {
                RenderSummary summary;
                summary.output = job.output;
                summary.format = options.format;
                summary.sampleRate = settings.sampleRate;
                summary.audioSeconds = (double) total / settings.sampleRate;
                summary.peak = writer.peak();
                summary.samplesOverFullScale = writer.samplesOverFullScale();
                summary.elapsedSeconds = (juce::Time::getMillisecondCounterHiRes() - startMs) / 1000.0;
                std::cout << summaryLine (summary) << std::endl;
            }
        }

        return 0;
    }

    int writeState (const Options& options)
    {
        const auto blob = settingsBlobFor (options.render.setup);
        writeFileAtomically (options.stateOutput, blob);
        std::cout << settingsBlobText (blob) << std::endl;
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
            case Command::help: std::cout << usageText (options.helpTopic); return 0;
            case Command::version: std::cout << JucePlugin_VersionString << std::endl; return 0;
            case Command::presets: std::cout << presetListText(); return 0;
            case Command::params: std::cout << parameterTableText(); return 0;
            case Command::filters: std::cout << filterSetsText (options.filterRate); return 0;
            case Command::state: return writeState (options);
            case Command::render:
            default: return render (options);
        }
    }
    catch (const std::exception& e) // CliError, or running out of memory
    {
        std::cerr << "quarbell: error: " << e.what() << std::endl;
        return 2;
    }
}

#pragma once

#include "Options.h"

#include <juce_core/juce_core.h>

#include <cstdio>

namespace quarbell::cli
{

// One redraw of the progress bar, without the leading carriage return:
// "song.mid  [########            ]  42%  12.3 / 29.5 s  8.1x".
juce::String progressLine (const juce::String& name, juce::int64 samplesDone, juce::int64 samplesTotal, int sampleRate,
                           double elapsedSeconds);

// The line printed after a file is written.
struct RenderSummary
{
    juce::File output;
    OutputFormat format;
    int sampleRate = 0;
    double audioSeconds = 0.0;
    float peak = 0.0f;
    juce::int64 samplesOverFullScale = 0;
    double elapsedSeconds = 0.0;
};

juce::String summaryLine (const RenderSummary& summary);

// A progress bar on a terminal, drawn only once a render has run for a
// second, so short renders and redirected output stay clean.
class ProgressBar
{
public:
    ProgressBar (std::FILE* terminal, juce::String name, juce::int64 samplesTotal, int sampleRate);
    ~ProgressBar();

    void update (juce::int64 samplesDone);

    // Removes the bar from the screen.
    void clear();

    // Whether stderr shows on a terminal.
    static bool stderrIsTerminal();

private:
    std::FILE* out;
    juce::String name;
    juce::int64 total;
    int rate;
    double startMs = juce::Time::getMillisecondCounterHiRes();
    double lastDrawMs = 0.0;
    bool drawn = false;
};

} // namespace quarbell::cli

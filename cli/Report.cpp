#include "Report.h"

#include <algorithm>
#include <cmath>

#include <unistd.h>

namespace quarbell::cli
{

namespace
{
    constexpr int barWidth = 24;
    constexpr double showAfterMs = 1000.0;
    constexpr double redrawEveryMs = 100.0;

    juce::String speed (double audioSeconds, double elapsedSeconds)
    {
        if (elapsedSeconds <= 0.0)
            return "-";

        const double factor = audioSeconds / elapsedSeconds;
        return juce::String (factor, factor < 10.0 ? 2 : 1) + "x";
    }
} // namespace

juce::String progressLine (const juce::String& name, juce::int64 samplesDone, juce::int64 samplesTotal, int sampleRate,
                           double elapsedSeconds)
{
    const double fraction = samplesTotal > 0 ? juce::jlimit (0.0, 1.0, (double) samplesDone / (double) samplesTotal) : 1.0;
    const int filled = (int) std::floor (fraction * barWidth);
    const double doneSeconds = (double) samplesDone / sampleRate;

    return name + "  [" + juce::String::repeatedString ("#", filled) + juce::String::repeatedString (" ", barWidth - filled)
           + "]  " + juce::String ((int) std::floor (fraction * 100.0)).paddedLeft (' ', 3) + "%  "
           + juce::String (doneSeconds, 1) + " / " + juce::String ((double) samplesTotal / sampleRate, 1) + " s  "
           + speed (doneSeconds, elapsedSeconds);
}

juce::String summaryLine (const RenderSummary& s)
{
    const auto peakText = s.peak > 0.0f ? juce::String (juce::Decibels::gainToDecibels (s.peak), 2) : juce::String ("-inf");
    const auto overs = s.samplesOverFullScale;

    return "wrote " + s.output.getFullPathName() + " (" + describe (s.format) + ", " + juce::String (s.sampleRate)
           + " Hz): " + juce::String (s.audioSeconds, 3) + " s, peak " + peakText + " dBFS, " + juce::String (overs)
           + (overs == 1 ? " sample" : " samples") + " above full scale"
           + (overs > 0 && s.format.bitsPerSample < 32 ? " (clipped)" : "") + ", "
           + speed (s.audioSeconds, s.elapsedSeconds) + " real time";
}

ProgressBar::ProgressBar (std::FILE* terminal, juce::String fileName, juce::int64 samplesTotal, int sampleRate)
    : out (terminal), name (std::move (fileName)), total (samplesTotal), rate (sampleRate)
{
}

ProgressBar::~ProgressBar()
{
    clear();
}

void ProgressBar::update (juce::int64 samplesDone)
{
    if (out == nullptr)
        return;

    const double now = juce::Time::getMillisecondCounterHiRes();

    if (now - startMs < showAfterMs || now - lastDrawMs < redrawEveryMs)
        return;

    lastDrawMs = now;
    drawn = true;
    std::fprintf (out, "\r%s\033[K", progressLine (name, samplesDone, total, rate, (now - startMs) / 1000.0).toRawUTF8());
    std::fflush (out);
}

void ProgressBar::clear()
{
    if (drawn)
    {
        std::fprintf (out, "\r\033[K");
        std::fflush (out);
        drawn = false;
    }
}

bool ProgressBar::stderrIsTerminal()
{
    return isatty (STDERR_FILENO) != 0;
}

} // namespace quarbell::cli

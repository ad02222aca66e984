#include "Commands.h"

#include "Error.h"
#include "Render.h"

#include <engine/Settings.h>
#include <engine/tables/FilterSets.h>

#include <cstdio>
#include <memory>

namespace quarbell::cli
{

namespace
{
    juce::String number (float value)
    {
        char text[32];
        std::snprintf (text, sizeof (text), "%.9g", (double) value);
        return text;
    }
} // namespace

juce::String filterSetsText (int sampleRate)
{
    const std::pair<const char*, FilterFamily> families[] {
        { "preamp", FilterFamily::preamp },
        { "low-cut", FilterFamily::lowCut },
        { "horn", FilterFamily::horn },
        { "horn-high-pass", FilterFamily::hornHighPass },
        { "bass", FilterFamily::bass },
    };

    const int boundRate = filterRates[filterRateIndex (sampleRate)];
    RateFilterSets bound;
    bound.design (sampleRate);
    juce::String text;

    for (const auto& [name, family] : families)
    {
        const auto set = bound.get (family);
        const bool fitted = family != FilterFamily::lowCut && family != FilterFamily::hornHighPass;

        text << "# " << name << ' ' << set.sectionCount << (set.sectionCount == 1 ? " section" : " sections")
             << " at " << sampleRate << " Hz";

        // The fitted sets exist for six rates only; the high-passes are designed for any rate.
        if (fitted && boundRate != sampleRate)
            text << " (" << boundRate << " Hz set)";

        text << '\n';

        for (int s = 0; s < set.sectionCount; ++s)
        {
            const float* c = set.coefficients + 6 * s;
            text << number (c[0]) << ' ' << number (c[1]) << ' ' << number (c[2]) << ' ' << number (c[3]) << ' '
                 << number (c[4]) << ' ' << number (c[5]) << '\n';
        }

        text << "gain " << number (set.gains[set.sectionCount]) << '\n';
    }

    return text;
}

juce::MemoryBlock settingsBlobFor (const OrganSetup& setup)
{
    // On the heap: the processor holds megabytes of fixed-size state.
    const auto processor = std::make_unique<VelmoranAudioProcessor>();
    configureOrgan (*processor, setup);

    juce::MemoryBlock blob;
    processor->getStateInformation (blob);
    return blob;
}

juce::String settingsBlobText (const juce::MemoryBlock& blob)
{
    constexpr size_t header = 8;

    if (blob.getSize() <= header)
        return {};

    return juce::String::fromUTF8 (static_cast<const char*> (blob.getData()) + header,
                                   (int) (blob.getSize() - header - 1));
}

void writeFileAtomically (const juce::File& target, const juce::MemoryBlock& data)
{
    const auto fail = [&] (const juce::String& why)
    { return CliError (("cannot write " + target.getFullPathName() + ": " + why).toStdString()); };

    if (target.isDirectory())
        throw fail ("it is a directory");

    if (! target.getParentDirectory().isDirectory())
        throw fail ("its folder does not exist");

    juce::TemporaryFile temporary (target, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream stream (temporary.getFile());

        if (stream.failedToOpen())
            throw fail (stream.getStatus().getErrorMessage());

        if (! stream.write (data.getData(), data.getSize()) || (stream.flush(), stream.getStatus().failed()))
            throw fail ("writing failed");
    }

    if (! temporary.overwriteTargetFileWithTemporary())
        throw fail ("cannot move the finished file into place");
}

} // namespace quarbell::cli

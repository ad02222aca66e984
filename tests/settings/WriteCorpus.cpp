// Writes the fuzzer's seed corpus: the default blob and one blob per factory preset.
#include <engine/FactoryPresets.h>
#include <engine/PluginProcessor.h>
#include <engine/Settings.h>

#include <cstdio>

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }

    const juce::File directory (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));

    if (! directory.createDirectory())
        return 1;

    auto write = [&directory] (const VelmoranAudioProcessor& processor, const juce::String& name)
    {
        juce::MemoryBlock blob;
        quarbell::writeSettingsBlob (processor.getParameters(), blob);
        return directory.getChildFile (name).replaceWithData (blob.getData(), blob.getSize());
    };

    VelmoranAudioProcessor processor;
    bool ok = write (processor, "default.blob");

    for (int k = 0; k < quarbell::numFactoryPresets; ++k)
    {
        quarbell::applyFactoryPreset (processor.getParameters(), k);
        ok = write (processor, "preset-" + juce::String (k + 1).paddedLeft ('0', 2) + ".blob") && ok;
    }

    return ok ? 0 : 1;
}

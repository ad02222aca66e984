// libFuzzer entry: any bytes handed to the settings reader must neither crash
// nor read outside the data.
#include <engine/PluginProcessor.h>
#include <engine/Settings.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    static VelmoranAudioProcessor processor;

    if (size > static_cast<std::size_t> (std::numeric_limits<int>::max()))
        return 0;

    // An exact-size heap copy, so the address sanitizer sees any read past the end.
    std::vector<std::uint8_t> bytes (data, data + size);
    quarbell::restoreSettingsBlob (processor.getParameters(), bytes.data(), static_cast<int> (bytes.size()));

    // Whatever was applied must save and read back.
    juce::MemoryBlock saved;
    quarbell::writeSettingsBlob (processor.getParameters(), saved);

    if (! quarbell::restoreSettingsBlob (processor.getParameters(), saved.getData(), static_cast<int> (saved.getSize())))
        __builtin_trap();

    return 0;
}

// libFuzzer target: the input is a script of arbitrary MIDI bytes (any status,
// sysex, truncated messages), parameter writes and block sizes played through
// a fresh processor. Aborts if any output sample is not finite or is far
// beyond what the chain can produce.
#include <engine/PluginProcessor.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace
{
struct Reader
{
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    bool done() const { return at >= size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
};

constexpr double rates[] { 48000.0, 44100.0, 96000.0, 32000.0, 22050.0, 192000.0, 8000.0, 0.0 };
constexpr int maxBlock = 20000;

void check (const juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            const float x = buffer.getSample (ch, i);
            if (! std::isfinite (x) || std::abs (x) > 1000.0f)
            {
                std::fprintf (stderr, "bad sample %g at channel %d, index %d\n", (double) x, ch, i);
                std::abort();
            }
        }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    Reader in { data, size };
    auto processor = std::make_unique<VelmoranAudioProcessor>();
    processor->prepareToPlay (rates[in.byte() % std::size (rates)], 512);

    static juce::AudioBuffer<float> buffer (2, maxBlock);
    juce::MidiBuffer midi;
    const auto& parameters = processor->getParameters();
    int blocks = 0;

    while (! in.done() && blocks < 64)
    {
        const uint8_t op = in.byte();

        switch (op % 4)
        {
            case 0:
            case 1:
            {
                // Raw MIDI: up to 8 bytes taken as they come, at any position.
                uint8_t event[8];
                const int length = 1 + in.byte() % 8;
                for (int i = 0; i < length; ++i)
                    event[i] = in.byte();
                midi.addEvent (event, length, in.byte() % 64);
                break;
            }
            case 2:
            {
                auto* p = parameters[in.byte() % parameters.size()];
                const uint8_t v = in.byte();
                // Exact ends and halves are favoured; the rest spread over the range.
                p->setValueNotifyingHost (v >= 250 ? (float) (v - 250) * 0.25f : (float) v / 249.0f);
                break;
            }
            default:
            {
                const int hi = in.byte(), lo = in.byte();
                int numSamples = (hi << 8 | lo) % maxBlock;
                if (op & 0x80)
                    numSamples %= 600; // mostly short blocks, which are cheap
                buffer.setSize (2, numSamples, false, false, true);
                for (int ch = 0; ch < 2; ++ch)
                    juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 1.0f, numSamples);
                processor->processBlock (buffer, midi);
                midi.clear();
                check (buffer);
                ++blocks;
                break;
            }
        }
    }

    // Whatever is left plays once more.
    buffer.setSize (2, 256, false, false, true);
    processor->processBlock (buffer, midi);
    check (buffer);
    return 0;
}

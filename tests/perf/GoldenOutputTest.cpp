// Recorded outputs of every effect stage and of the whole chain. The stage
// loops are free to be restructured for speed, but not a single output bit
// may change: the hashes below were taken from the plain implementation.

#include "PerfTestSupport.h"

#include <engine/PluginProcessor.h>
#include <engine/PreampDrive.h>
#include <engine/Reverb.h>
#include <engine/RotarySpeaker.h>
#include <engine/Sos.h>
#include <engine/VibratoChorus.h>
#include <engine/tables/FilterSets.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using perftest::SampleHash;

namespace
{
constexpr int goldenSamples = 96000;

// Calls process (data, numSamples, blockIndex) over consecutive blocks of the pattern.
template <typename Process> void inBlocks (int total, Process&& process)
{
    const auto& sizes = perftest::blockPattern();
    int block = 0;

    for (int done = 0; done < total; ++block)
    {
        const int n = std::min (sizes[(size_t) block % sizes.size()], total - done);
        process (done, n, block);
        done += n;
    }
}

std::string hex (uint64_t v)
{
    char text[32];
    std::snprintf (text, sizeof text, "0x%016llxull", (unsigned long long) v);
    return text;
}
} // namespace

// ---- Filter cascades ----------------------------------------------------------

struct SosCase
{
    quarbell::FilterFamily family;
    const char* name;
    uint64_t hash;
};

class GoldenSos : public ::testing::TestWithParam<SosCase>
{
};

TEST_P (GoldenSos, EveryFamilyAtFourRatesKeepsItsOutput)
{
    const auto& c = GetParam();
    SampleHash hash;

    for (int rate : { 44100, 48000, 96000, 192000 })
    {
        quarbell::Sos sos;
        sos.bind (quarbell::filterSet (c.family, rate));
        auto signal = perftest::testSignal (goldenSamples, rate);

        inBlocks (goldenSamples, [&] (int from, int n, int) { sos.SosApply ({ signal.data() + from, n, rate }); });
        hash.add (signal.data(), goldenSamples);

        // The state itself carries over to the next block.
        for (int s = 0; s < sos.sectionCount; ++s)
        {
            hash.add (&sos.z1[s], 1);
            hash.add (&sos.z2[s], 1);
        }
    }

    EXPECT_EQ (hex (hash.value), hex (c.hash)) << c.name << " sum " << hash.absoluteSum;
}

INSTANTIATE_TEST_SUITE_P (Families, GoldenSos,
                          ::testing::Values (SosCase { quarbell::FilterFamily::preamp, "preamp", 0x83443f2ec0d18b68ull },
                                             SosCase { quarbell::FilterFamily::lowCut, "lowCut", 0xfd719d10592a1d1aull },
                                             SosCase { quarbell::FilterFamily::horn, "horn", 0x77af56fcab0816e2ull },
                                             SosCase { quarbell::FilterFamily::hornHighPass, "hornHighPass", 0xe4205c2a64d23282ull },
                                             SosCase { quarbell::FilterFamily::bass, "bass", 0xfb5d857f4f41643dull }),
                          [] (const auto& param) { return std::string (param.param.name); });

// ---- Effect stages --------------------------------------------------------------

TEST (GoldenStages, ScannerThroughAllPositionsAndSwitching)
{
    SampleHash hash;

    for (int rate : { 48000, 44100 })
    {
        quarbell::VibratoChorus scanner;
        auto signal = perftest::testSignal (goldenSamples, rate);

        inBlocks (goldenSamples,
                  [&] (int from, int n, int block)
                  {
                      if (block % 13 == 7)
                          return; // switched off: the object stands still

                      const float position = (float) (block % 8) - 1.0f; // -1 is outside 0..5
                      const auto setting = quarbell::vibratoSetting (position);
                      scanner.Apply ({ signal.data() + from, n, rate }, setting.mix, setting.depth, (double) rate);
                  });

        hash.add (signal.data(), goldenSamples);
        hash.add (&scanner.phase, 1);
    }

    EXPECT_EQ (hex (hash.value), hex (0xd5a1ce41dc256ff2ull)) << hash.absoluteSum;
}

TEST (GoldenStages, PreampAndDriveOverTheWholeGainRange)
{
    SampleHash hash;
    const float gains[] { 0.01f, 0.2f, 0.25f, 0.3f, 0.5f, 0.75f, 1.0f };

    for (int rate : { 48000, 192000 })
    {
        quarbell::PreampDrive drive;
        drive.prepare (quarbell::filterSet (quarbell::FilterFamily::preamp, rate),
                       quarbell::filterSet (quarbell::FilterFamily::lowCut, rate));
        auto upper = perftest::testSignal (goldenSamples, rate, 0.6f);
        auto lower = perftest::testSignal (goldenSamples, rate / 2, 0.4f);

        inBlocks (goldenSamples,
                  [&] (int from, int n, int block)
                  {
                      drive.process ({ upper.data() + from, n, rate }, { lower.data() + from, n, rate },
                                     gains[(size_t) block % std::size (gains)]);
                  });

        hash.add (upper.data(), goldenSamples);
    }

    EXPECT_EQ (hex (hash.value), hex (0x6705606ea11cbafeull)) << hash.absoluteSum;
}

TEST (GoldenStages, ReverbWithChangingRoomMixAndAttenuation)
{
    SampleHash hash;
    const float rooms[] { 25.0f, 10.0f, 100.0f, 55.5f };
    const float mixes[] { 0.5f, 1.0f, 0.0f };
    const float attenuations[] { 0.7f, 0.95f, 0.2f, 0.828f, 0.5f };

    for (int rate : { 48000, 192000 })
    {
        auto reverb = std::make_unique<quarbell::Reverb>();
        auto signal = perftest::testSignal (goldenSamples, rate);

        inBlocks (goldenSamples,
                  [&] (int from, int n, int block)
                  {
                      const auto b = (size_t) block;
                      reverb->process (signal.data() + from, n, rate, rooms[(b / 7) % std::size (rooms)],
                                       mixes[(b / 3) % std::size (mixes)],
                                       attenuations[(b / 5) % std::size (attenuations)]);
                  });

        hash.add (signal.data(), goldenSamples);
    }

    EXPECT_EQ (hex (hash.value), hex (0xe2394dfc6297ba1eull)) << hash.absoluteSum;
}

TEST (GoldenStages, RotarySpeakerSpeedsMixesBypassAndRateChange)
{
    SampleHash hash;
    auto rotary = std::make_unique<quarbell::RotarySpeaker>();
    const float mixes[] { 0.4f, 0.0f, 1.0f, 0.75f };

    for (int rate : { 48000, 96000, 44100 })
    {
        rotary->prepare (quarbell::filterSet (quarbell::FilterFamily::horn, rate),
                         quarbell::filterSet (quarbell::FilterFamily::hornHighPass, rate),
                         quarbell::filterSet (quarbell::FilterFamily::bass, rate));
        auto left = perftest::testSignal (goldenSamples, rate);
        std::vector<float> right (left.size(), 99.0f);

        inBlocks (goldenSamples,
                  [&] (int from, int n, int block)
                  {
                      const bool on = block % 9 != 4;
                      const bool fast = (block / 5) % 2 == 1;
                      rotary->process (left.data() + from, right.data() + from, n, rate, on, fast,
                                       mixes[(size_t) (block / 4) % std::size (mixes)]);
                  });

        hash.add (left.data(), goldenSamples);
        hash.add (right.data(), goldenSamples);
        const float speed = rotary->speed();
        const auto horn = (float) rotary->hornAngleRevolutions(), bass = (float) rotary->bassAngleRevolutions();
        hash.add (&speed, 1);
        hash.add (&horn, 1);
        hash.add (&bass, 1);
    }

    EXPECT_EQ (hex (hash.value), hex (0x9b4f3229a327d486ull)) << hash.absoluteSum;
}

// ---- The whole chain -------------------------------------------------------------

namespace
{
struct ChainRun
{
    explicit ChainRun (VelmoranAudioProcessor::Tap tap) : processor (std::make_unique<VelmoranAudioProcessor>())
    {
        processor->setOutputTap (tap);
        processor->setRateAndBufferSizeDetails (48000.0, 512);
        processor->prepareToPlay (48000.0, 512);
    }

    void set (const char* id, float value)
    {
        auto* p = processor->findParameter (id);
        p->setValueNotifyingHost (p->convertTo0to1 (value));
    }

    void drawbars (const char* prefix, float value)
    {
        for (int k = 0; k < 9; ++k)
            set ((juce::String (prefix) + juce::String (k)).toRawUTF8(), value);
    }

    struct Event
    {
        int time;
        juce::MidiMessage message;
    };

    // Renders total samples in the block pattern, sending each event with the
    // block in which its time falls; hashes both channels.
    SampleHash render (int total, const std::vector<Event>& events)
    {
        SampleHash hash;
        size_t next = 0;

        inBlocks (total,
                  [&] (int from, int n, int)
                  {
                      juce::MidiBuffer midi;

                      while (next < events.size() && events[next].time < from + n)
                          midi.addEvent (events[next++].message, 0);

                      juce::AudioBuffer<float> buffer (2, n);
                      buffer.clear();
                      processor->processBlock (buffer, midi);
                      hash.add (buffer.getReadPointer (0), n);
                      hash.add (buffer.getReadPointer (1), n);
                  });

        return hash;
    }

    std::unique_ptr<VelmoranAudioProcessor> processor;
};

using juce::MidiMessage;
} // namespace

struct ChainCase
{
    VelmoranAudioProcessor::Tap tap;
    const char* name;
    uint64_t hash;
};

class GoldenChain : public ::testing::TestWithParam<ChainCase>
{
};

// Every stage on, but at most one sounding contribution per manual at a time
// (the upper manual sounds only its percussion, the lower one drawbar of one
// key), so the generator's sums are exact and every bit is fixed.
TEST_P (GoldenChain, EverythingOnWithOneVoicePerManual)
{
    const auto& c = GetParam();
    ChainRun organ (c.tap);
    organ.drawbars ("drawbar", 8.0f);
    organ.drawbars ("lowdrawbar", 8.0f);
    organ.set ("lowdrawbar3", 2.5f);
    organ.set ("percussion", 1.0f);
    organ.set ("percSpeed", 1.0f);
    organ.set ("vcUpOnOff", 1.0f);
    organ.set ("vcDownOnOff", 1.0f);
    organ.set ("vcMode", 5.0f);
    organ.set ("reverbMix", 0.5f);
    organ.set ("leslieGain", 0.8f);
    organ.set ("keyClickLevel", 3.0f);
    organ.set ("upperLowerBalance", 0.3f);
    organ.set ("leakageLevel", 0.5f);

    const std::vector<ChainRun::Event> events {
        { 0, MidiMessage::noteOn (1, 60, (juce::uint8) 100) },      { 0, MidiMessage::noteOn (2, 48, (juce::uint8) 100) },
        { 24000, MidiMessage::noteOff (1, 60) },                     { 30000, MidiMessage::noteOn (1, 67, (juce::uint8) 90) },
        { 40000, MidiMessage::controllerEvent (1, 1, 127) },         { 60000, MidiMessage::noteOff (2, 48) },
        { 66000, MidiMessage::noteOn (2, 55, (juce::uint8) 90) },    { 80000, MidiMessage::noteOff (1, 67) },
        { 90000, MidiMessage::noteOn (1, 84, (juce::uint8) 90) },    { 100000, MidiMessage::controllerEvent (1, 1, 0) },
        { 130000, MidiMessage::noteOff (1, 84) },                    { 135000, MidiMessage::noteOff (2, 55) },
    };

    const auto hash = organ.render (144000, events);
    EXPECT_EQ (hex (hash.value), hex (c.hash)) << c.name << " sum " << hash.absoluteSum;
}

INSTANTIATE_TEST_SUITE_P (Taps, GoldenChain,
                          ::testing::Values (ChainCase { VelmoranAudioProcessor::Tap::generator, "generator", 0x0360faccc81f5057ull },
                                             ChainCase { VelmoranAudioProcessor::Tap::scanner, "scanner", 0xb6249d868b6ea9a5ull },
                                             ChainCase { VelmoranAudioProcessor::Tap::drive, "drive", 0x6f72ba1bb0cbb8bcull },
                                             ChainCase { VelmoranAudioProcessor::Tap::reverb, "reverb", 0xf5e1115832c912b9ull },
                                             ChainCase { VelmoranAudioProcessor::Tap::output, "output", 0x0f3795786ec55ce7ull }),
                          [] (const auto& param) { return std::string (param.param.name); });

// Cost of the organ as real-time factors: seconds of audio rendered per second
// of CPU (the x_realtime counter). Run pinned to one core (scripts/bench).

#include <engine/PluginProcessor.h>
#include <engine/PreampDrive.h>
#include <engine/Reverb.h>
#include <engine/RotarySpeaker.h>
#include <engine/ToneGenerator.h>
#include <engine/VibratoChorus.h>
#include <engine/tables/DriveCurves.h>
#include <engine/tables/FilterSets.h>
#include <engine/tables/Tonewheels.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

// Counts the bytes allocated while `counting` is set, to measure what one
// instance owns besides its own object.
namespace
{
std::atomic<bool> counting { false };
std::atomic<size_t> allocatedBytes { 0 };

void* countedAllocation (std::size_t size)
{
    if (counting.load (std::memory_order_relaxed))
        allocatedBytes += size;

    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}
} // namespace

void* operator new (std::size_t size) { return countedAllocation (size); }
void* operator new[] (std::size_t size) { return countedAllocation (size); }
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }

namespace
{
using Processor = VelmoranAudioProcessor;
using Tap = Processor::Tap;

constexpr double sampleRate = 48000.0;
constexpr int defaultBlock = 512;

void setRealtimeCounter (benchmark::State& state, int samplesPerIteration)
{
    state.counters["x_realtime"] = benchmark::Counter (
        (double) samplesPerIteration / sampleRate * (double) state.iterations(), benchmark::Counter::kIsRate);
}

struct Organ
{
    explicit Organ (int blockSize, Tap tap = Tap::output) : processor (std::make_unique<Processor>())
    {
        processor->setOutputTap (tap);
        processor->setRateAndBufferSizeDetails (sampleRate, blockSize);
        processor->prepareToPlay (sampleRate, blockSize);
    }

    void set (const char* id, float valueInOwnRange)
    {
        auto* p = processor->findParameter (id);
        p->setValueNotifyingHost (p->convertTo0to1 (valueInOwnRange));
    }

    // All drawbars out, percussion, C3 on both manuals, fast speaker, half reverb.
    void everythingOn()
    {
        for (int k = 0; k < quarbell::numDrawbars; ++k)
        {
            set (("drawbar" + juce::String (k)).toRawUTF8(), 0.0f);
            set (("lowdrawbar" + juce::String (k)).toRawUTF8(), 0.0f);
        }

        set ("percussion", 1.0f);
        set ("vcUpOnOff", 1.0f);
        set ("vcDownOnOff", 1.0f);
        set ("vcMode", 5.0f);
        set ("FastLeslie", 1.0f);
        set ("reverbMix", 0.5f);
    }

    // upperKeys on channel 1 from note 36 up, then four lower keys on channel
    // 2. Keys beyond the 64 slots find no slot. Renders three seconds, so the
    // rotor has reached its speed and the reverb is full.
    void holdKeys (int upperKeys, int lowerKeys, int blockSize)
    {
        juce::MidiBuffer midi;

        for (int n = 0; n < upperKeys; ++n)
            midi.addEvent (juce::MidiMessage::noteOn (1, 36 + n, (juce::uint8) 100), 0);

        for (int n = 0; n < lowerKeys; ++n)
            midi.addEvent (juce::MidiMessage::noteOn (2, 48 + 4 * n, (juce::uint8) 100), 0);

        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer none;

        for (int done = 0; done < 3 * (int) sampleRate; done += blockSize)
        {
            processor->processBlock (buffer, done == 0 ? midi : none);
        }
    }

    std::unique_ptr<Processor> processor;
};

void runChain (benchmark::State& state, Organ& organ, int blockSize)
{
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        organ.processor->processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
        benchmark::ClobberMemory();
    }

    setRealtimeCounter (state, blockSize);
}

// The whole chain, everything on; argument: held upper keys (plus four lower).
void BM_EverythingOn (benchmark::State& state)
{
    Organ organ (defaultBlock);
    organ.everythingOn();
    organ.holdKeys ((int) state.range (0), 4, defaultBlock);
    runChain (state, organ, defaultBlock);
}
BENCHMARK (BM_EverythingOn)->ArgName ("keys")->Arg (0)->Arg (1)->Arg (4)->Arg (10)->Arg (64);

// The whole chain with the default parameters.
void BM_Defaults (benchmark::State& state)
{
    Organ organ (defaultBlock);
    organ.holdKeys ((int) state.range (0), 4, defaultBlock);
    runChain (state, organ, defaultBlock);
}
BENCHMARK (BM_Defaults)->ArgName ("keys")->Arg (0)->Arg (1)->Arg (4)->Arg (10)->Arg (64);

// Everything on, ten keys, by host block size.
void BM_EverythingOnBlock (benchmark::State& state)
{
    const int blockSize = (int) state.range (0);
    Organ organ (blockSize);
    organ.everythingOn();
    organ.holdKeys (10, 4, blockSize);
    runChain (state, organ, blockSize);
}
BENCHMARK (BM_EverythingOnBlock)->ArgName ("block")->Arg (32)->Arg (128)->Arg (512)->Arg (2048);

// Everything on, ten keys, leaving the chain after a stage: the differences
// between neighbouring taps are the cost of each stage in place.
void BM_EverythingOnTap (benchmark::State& state)
{
    Organ organ (defaultBlock, (Tap) state.range (0));
    organ.everythingOn();
    organ.holdKeys (10, 4, defaultBlock);
    runChain (state, organ, defaultBlock);
}
BENCHMARK (BM_EverythingOnTap)
    ->ArgName ("tap")
    ->Arg ((int) Tap::generator)
    ->Arg ((int) Tap::scanner)
    ->Arg ((int) Tap::drive)
    ->Arg ((int) Tap::reverb)
    ->Arg ((int) Tap::output);

// ---- Stages alone -----------------------------------------------------------

// A busy test signal for the effect stages: a few partials at moderate level.
std::vector<float> testSignal (int numSamples, double baseHz)
{
    std::vector<float> signal ((size_t) numSamples);

    for (int i = 0; i < numSamples; ++i)
    {
        double v = 0.0;

        for (int h = 1; h <= 6; ++h)
            v += 0.08 / h * std::sin (2.0 * M_PI * baseHz * h * i / sampleRate);

        signal[(size_t) i] = (float) v;
    }

    return signal;
}

// The generator with percussion; argument: held upper keys (plus four lower).
// The percussion is kept sounding (decay factor 1) so its cost stays in.
void BM_StageGenerator (benchmark::State& state)
{
    quarbell::ToneGenerator generator;
    generator.prepare ((int) sampleRate);

    for (int n = 0; n < (int) state.range (0); ++n)
        generator.noteOn (36 + n, 1, 36 + n, 1.0f, true);

    for (int n = 0; n < 4; ++n)
        generator.noteOn (48 + 4 * n, 2, 48 + 4 * n, 1.0f, true);

    quarbell::GeneratorBlockSettings settings;

    for (int k = 0; k < quarbell::numDrawbars; ++k)
        settings.upperGain[k] = settings.lowerGain[k] = quarbell::ToneGenerator::drawbarGain (0.0f);

    settings.releaseStep = generator.releaseStep();
    settings.keyClickStep = generator.keyClickStep (1.0f);
    settings.percDecayFactor = 1.0f;
    settings.percDrawbar = 3;
    settings.percussionOn = true;

    std::vector<float> upper (defaultBlock), lower (defaultBlock);
    juce::ScopedNoDenormals noDenormals;

    for (int i = 0; i < 200; ++i)
        generator.render (upper.data(), lower.data(), defaultBlock, settings);

    for (auto _ : state)
    {
        generator.render (upper.data(), lower.data(), defaultBlock, settings);
        benchmark::DoNotOptimize (upper.data());
        benchmark::ClobberMemory();
    }

    setRealtimeCounter (state, defaultBlock);
}
BENCHMARK (BM_StageGenerator)->ArgName ("keys")->Arg (0)->Arg (1)->Arg (4)->Arg (10)->Arg (64);

// Scanner C3 on both manuals.
void BM_StageScanner (benchmark::State& state)
{
    quarbell::VibratoChorus upperScanner, lowerScanner;
    const auto source = testSignal (defaultBlock, 261.6);
    std::vector<float> upper (source), lower (source);
    const auto setting = quarbell::vibratoSetting (5.0f);
    juce::ScopedNoDenormals noDenormals;

    for (auto _ : state)
    {
        std::copy (source.begin(), source.end(), upper.begin());
        std::copy (source.begin(), source.end(), lower.begin());
        upperScanner.Apply ({ upper.data(), defaultBlock, (int) sampleRate }, setting.mix, setting.depth, sampleRate);
        lowerScanner.Apply ({ lower.data(), defaultBlock, (int) sampleRate }, setting.mix, setting.depth, sampleRate);
        benchmark::DoNotOptimize (upper.data());
        benchmark::ClobberMemory();
    }

    setRealtimeCounter (state, defaultBlock);
}
BENCHMARK (BM_StageScanner);

// Manual sum, preamp filter, low cut and both tube curves.
void BM_StagePreampDrive (benchmark::State& state)
{
    quarbell::PreampDrive drive;
    drive.prepare (quarbell::filterSet (quarbell::FilterFamily::preamp, (int) sampleRate),
                   quarbell::filterSet (quarbell::FilterFamily::lowCut, (int) sampleRate));
    const auto source = testSignal (defaultBlock, 130.8);
    std::vector<float> upper (source), lower (source);
    const float leslieGain = (float) state.range (0) / 100.0f;
    juce::ScopedNoDenormals noDenormals;

    for (auto _ : state)
    {
        std::copy (source.begin(), source.end(), upper.begin());
        drive.process ({ upper.data(), defaultBlock, (int) sampleRate }, { lower.data(), defaultBlock, (int) sampleRate },
                       leslieGain);
        benchmark::DoNotOptimize (upper.data());
        benchmark::ClobberMemory();
    }

    setRealtimeCounter (state, defaultBlock);
}
BENCHMARK (BM_StagePreampDrive)->ArgName ("gain_percent")->Arg (1)->Arg (80);

// Reverb at the default size, mix 0.5.
void BM_StageReverb (benchmark::State& state)
{
    auto reverb = std::make_unique<quarbell::Reverb>();
    const auto source = testSignal (defaultBlock, 196.0);
    std::vector<float> x (source);
    juce::ScopedNoDenormals noDenormals;

    for (auto _ : state)
    {
        std::copy (source.begin(), source.end(), x.begin());
        reverb->process (x.data(), defaultBlock, (int) sampleRate, 25.0f, 0.5f, 0.7f);
        benchmark::DoNotOptimize (x.data());
        benchmark::ClobberMemory();
    }

    setRealtimeCounter (state, defaultBlock);
}
BENCHMARK (BM_StageReverb);

// Rotary speaker, fast (argument 1) or slow (0), or bypassed (2).
void BM_StageRotary (benchmark::State& state)
{
    auto rotary = std::make_unique<quarbell::RotarySpeaker>();
    const int rate = (int) sampleRate;
    rotary->prepare (quarbell::filterSet (quarbell::FilterFamily::horn, rate),
                     quarbell::filterSet (quarbell::FilterFamily::hornHighPass, rate),
                     quarbell::filterSet (quarbell::FilterFamily::bass, rate));
    const auto source = testSignal (defaultBlock, 392.0);
    std::vector<float> left (source), right (source);
    const bool on = state.range (0) != 2;
    const bool fast = state.range (0) == 1;
    juce::ScopedNoDenormals noDenormals;

    for (auto _ : state)
    {
        std::copy (source.begin(), source.end(), left.begin());
        rotary->process (left.data(), right.data(), defaultBlock, rate, on, fast, 0.4f);
        benchmark::DoNotOptimize (left.data());
        benchmark::ClobberMemory();
    }

    setRealtimeCounter (state, defaultBlock);
}
BENCHMARK (BM_StageRotary)->ArgName ("slow0_fast1_bypass2")->Arg (1)->Arg (0)->Arg (2);

// One filter cascade alone: argument the family (0 preamp 25 sections,
// 2 horn 30, 4 bass 25).
void BM_StageFilter (benchmark::State& state)
{
    quarbell::Sos sos;
    sos.bind (quarbell::filterSet ((quarbell::FilterFamily) state.range (0), (int) sampleRate));
    const auto source = testSignal (defaultBlock, 220.0);
    std::vector<float> x (source);
    juce::ScopedNoDenormals noDenormals;

    for (auto _ : state)
    {
        std::copy (source.begin(), source.end(), x.begin());
        sos.SosApply ({ x.data(), defaultBlock, (int) sampleRate });
        benchmark::DoNotOptimize (x.data());
        benchmark::ClobberMemory();
    }

    setRealtimeCounter (state, defaultBlock);
}
BENCHMARK (BM_StageFilter)->ArgName ("family")->Arg (0)->Arg (2)->Arg (4);

// ---- Memory -----------------------------------------------------------------

void reportMemory()
{
    // Build the shared tables first, so they are not counted as the instance's.
    size_t tonewheelBytes = 0;

    for (int rate : quarbell::supportedSampleRates)
    {
        const auto* t = quarbell::tonewheelTablesForRate (rate);
        tonewheelBytes += sizeof (float) * (size_t) t->total + 2 * sizeof (int32_t) * quarbell::numTonewheels;
    }

    size_t filterBytes = 0;
    const quarbell::FilterFamily families[] { quarbell::FilterFamily::preamp, quarbell::FilterFamily::lowCut,
                                              quarbell::FilterFamily::horn, quarbell::FilterFamily::hornHighPass,
                                              quarbell::FilterFamily::bass };

    for (int rate : quarbell::filterRates)
        for (auto family : families)
            filterBytes += sizeof (float) * (size_t) (7 * quarbell::filterSet (family, rate).sectionCount + 1);

    const size_t driveBytes = sizeof (float) * (size_t) (quarbell::ecc_vo_size + quarbell::el_vo_size);
    benchmark::DoNotOptimize (quarbell::ecc_vo());
    benchmark::DoNotOptimize (quarbell::el_vo());

    allocatedBytes = 0;
    counting = true;
    auto organ = std::make_unique<Organ> (defaultBlock);
    counting = false;
    const size_t instanceBytes = allocatedBytes.load();

    std::printf ("memory: one instance %zu bytes (sizeof (VelmoranAudioProcessor) %zu, with the parameters and "
                 "everything else it allocates)\n",
                 instanceBytes, sizeof (Processor));
    std::printf ("memory: shared tables %zu bytes (tonewheel loops %zu, filter sets %zu, drive curves %zu)\n",
                 tonewheelBytes + filterBytes + driveBytes, tonewheelBytes, filterBytes, driveBytes);
    std::fflush (stdout);
}
} // namespace

int main (int argc, char** argv)
{
    reportMemory();
    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

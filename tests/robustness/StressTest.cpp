#include "OrganHarness.h"
#include "RobustnessSupport.h"

#include <engine/RotarySpeaker.h>
#include <engine/VibratoChorus.h>
#include <engine/tables/FilterSets.h>

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace quarbell;
using robustness::peakOrInfinity;
using robustness::sanePeak;

namespace
{
using Tap = VelmoranAudioProcessor::Tap;

// Renders a block with the queued MIDI; returns its peak (infinity if not finite).
float renderPeak (OrganHarness& organ, int numSamples)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    buffer.clear();
    organ.processor.processBlock (buffer, organ.pending);
    organ.pending.clear();
    return peakOrInfinity (buffer);
}

void setAllNormalised (OrganHarness& organ, float normalised)
{
    for (auto* p : organ.processor.getParameters())
        p->setValueNotifyingHost (normalised);
}
} // namespace

// A second thread throws random values at every parameter while the audio
// thread plays: the output stays finite and sane. Run under ThreadSanitizer
// by scripts/sanitize.
TEST (Threads, RandomAutomationFromAnotherThreadWhilePlaying)
{
    OrganHarness organ (48000.0, Tap::output);
    std::atomic<bool> stop { false };
    std::atomic<long> writes { 0 };

    std::thread automation ([&]
    {
        std::mt19937 random (1234);
        std::uniform_real_distribution<float> value (0.0f, 1.0f);
        const auto& parameters = organ.processor.getParameters();
        std::uniform_int_distribution<int> index (0, parameters.size() - 1);

        while (! stop.load (std::memory_order_relaxed))
        {
            parameters[index (random)]->setValueNotifyingHost (value (random));
            writes.fetch_add (1, std::memory_order_relaxed);
        }
    });

    std::mt19937 random (99);
    float peak = 0.0f;

    for (int block = 0; block < 600; ++block)
    {
        const int note = 24 + (int) (random() % 80);
        organ.noteOn (note, 1 + (int) (random() % 3));
        if (block % 3 == 0)
            organ.noteOff (24 + (int) (random() % 80), 1 + (int) (random() % 3));
        if (block % 7 == 0)
            organ.controller (1, (int) (random() % 128));

        peak = std::max (peak, renderPeak (organ, 1 + (int) (random() % 1024)));
    }

    stop = true;
    automation.join();
    EXPECT_GT (writes.load(), 100);
    EXPECT_LT (peak, sanePeak);
}

// Every parameter at the bottom of its range, then at the top, then the two
// alternating block by block, with a full chord.
TEST (Extremes, AllParametersAtTheirMinimumAndMaximum)
{
    for (const Tap tap : { Tap::generator, Tap::output })
    {
        OrganHarness organ (48000.0, tap);

        for (int note = 30; note < 100; note += 3)
            organ.noteOn (note, 1 + note % 2);

        const std::pair<const char*, float> phases[] { { "minimum", 0.0f }, { "maximum", 1.0f } };

        for (auto [name, normalised] : phases)
        {
            SCOPED_TRACE (name);
            setAllNormalised (organ, normalised);
            float peak = 0.0f;
            for (int block = 0; block < 100; ++block)
                peak = std::max (peak, renderPeak (organ, 960));
            EXPECT_LT (peak, sanePeak);
        }

        float peak = 0.0f;
        for (int block = 0; block < 100; ++block)
        {
            setAllNormalised (organ, (float) (block % 2));
            peak = std::max (peak, renderPeak (organ, 257));
        }
        EXPECT_LT (peak, sanePeak);
    }
}

// A host that changes the rate in the middle of notes, to supported, odd and
// edge rates, and keeps sending notes.
TEST (Extremes, PrepareAgainWithAnotherRateInTheMiddleOfNotes)
{
    OrganHarness organ (48000.0, Tap::output);
    organ.set ("vcUpOnOff", 1.0f);
    organ.set ("percussion", 1.0f);
    organ.set ("FastLeslie", 1.0f);

    for (double rate : { 44100.0, 32000.0, 192000.0, 8000.0, 384000.0, 22050.0, 96000.0, 48000.0 })
    {
        SCOPED_TRACE (rate);
        organ.noteOn (60);
        organ.noteOn (67);
        ASSERT_LT (renderPeak (organ, 3000), sanePeak);
        organ.processor.prepareToPlay (rate, 512);
        EXPECT_EQ (organ.activeSlots(), 0);
        organ.noteOn (64);
        const float peak = renderPeak (organ, 5000);
        EXPECT_LT (peak, sanePeak);
        EXPECT_GT (peak, 0.0f);
    }
}

// More keys than slots: 64 sound, the rest are dropped, the output stays sane
// with every drawbar out and the key click at its highest.
TEST (Extremes, SixtyFourKeysAndMore)
{
    for (const Tap tap : { Tap::generator, Tap::output })
    {
        OrganHarness organ (48000.0, tap);
        setAllNormalised (organ, 0.0f);  // every drawbar fully out
        organ.set ("keyClickLevel", 5.0f);
        organ.set ("upperLowerBalance", 1.0f);

        // Both manuals' channels; other channels play nothing.
        for (int i = 0; i < 200; ++i)
            organ.noteOn (i % 128, 1 + i % 2);
        organ.noteOn (61, 5);

        float peak = renderPeak (organ, 4800);
        EXPECT_EQ (organ.activeSlots(), 64);

        for (int i = 0; i < 50; ++i)
        {
            organ.noteOn (i, 1);
            peak = std::max (peak, renderPeak (organ, 480));
        }

        EXPECT_EQ (organ.activeSlots(), 64);
        EXPECT_LT (peak, sanePeak);
    }
}

// ----------------------------------------------------------------------------
// Oscillator phases after a long time

namespace
{
// A full day of 192 kHz audio through the real per-sample code takes minutes:
// the tests drive the real classes for a stretch, check that their phase
// follows a plain model of its arithmetic sample for sample, and take the
// model (or the exact precision argument) over the rest of the day.
constexpr int longRate = 192000;
constexpr int longBlock = 8192;
} // namespace

// The scanner's sweep phase is wrapped every cycle, so it never grows and
// its resolution never decays: it stays in [0, 1) and keeps its rate.
TEST (LongRun, ScannerPhaseStaysWrappedAndOnRate)
{
    auto vibrato = std::make_unique<VibratoChorus>();
    std::vector<float> block (longBlock, 0.0f);
    const float increment = (float) (VibratoChorus::rateHz / longRate);

    // The model: one float step per sample, wrapped at 1.
    float model = vibrato->phase;
    long long wraps = 0;
    auto step = [&] (long long samples)
    {
        for (long long i = 0; i < samples; ++i)
        {
            model = model + increment;
            if (model >= 1.0f)
            {
                model -= std::floor (model);
                ++wraps;
            }
        }
    };

    const long long realSamples = 600LL * longRate; // ten minutes through the class
    for (long long done = 0; done < realSamples; done += longBlock)
    {
        const int n = (int) std::min<long long> (longBlock, realSamples - done);
        vibrato->Apply ({ block.data(), n, longRate }, 1.0f, 0.0004f, longRate);
        step (n);
        ASSERT_EQ (vibrato->phase, model) << "after " << done + n << " samples";
    }

    // Then the model alone for the rest of an hour (a day costs ~20 s here and
    // repeats the same cycles: every cycle starts from a value below one step).
    const long long hour = 3600LL * longRate;
    step (hour - realSamples);

    EXPECT_GE (model, 0.0f);
    EXPECT_LT (model, 1.0f);
    const double expectedCycles = (double) hour * VibratoChorus::rateHz / longRate;
    // The float step near 1 is rounded to 2^-24: the rate may be off by that
    // share of a step (at 192 kHz about 0.2 %), but it does not drift.
    EXPECT_NEAR ((double) wraps, expectedCycles, expectedCycles * 2e-3);
}

// The rotors' angles grow without wrapping, in double precision: over a
// minute of real processing at top speed they follow the speed, and a day on
// a step of the angle still carries the speed to within a few ppm.
TEST (LongRun, RotorAnglesKeepTheirSpeed)
{
    auto rotary = std::make_unique<RotarySpeaker>();
    rotary->prepare (filterSet (FilterFamily::horn, longRate), filterSet (FilterFamily::hornHighPass, longRate),
                     filterSet (FilterFamily::bass, longRate));
    std::vector<float> left (longBlock, 0.0f), right (longBlock, 0.0f);

    // Up to speed first, then measure.
    for (int i = 0; i < 10 * longRate / longBlock; ++i)
    {
        std::fill (left.begin(), left.end(), 0.0f);
        rotary->process (left.data(), right.data(), longBlock, longRate, true, true, 0.5f);
    }

    ASSERT_GE ((double) rotary->speed(), RotarySpeaker::fastSpeed);
    const double hornStart = rotary->hornAngleRevolutions();
    const double bassStart = rotary->bassAngleRevolutions();
    const long long total = 60LL * longRate;

    for (long long done = 0; done < total; done += longBlock)
    {
        const int n = (int) std::min<long long> (longBlock, total - done);
        std::fill (left.begin(), left.end(), 0.0f);
        rotary->process (left.data(), right.data(), n, longRate, true, true, 0.5f);
        ASSERT_TRUE (std::isfinite (left[0]) && std::isfinite (right[0]));
    }

    const double speed = rotary->speed();
    const double perSample = (double) ((float) speed / (float) longRate);
    EXPECT_NEAR (rotary->hornAngleRevolutions() - hornStart, total * perSample, total * perSample * 1e-6);
    EXPECT_NEAR (rotary->bassAngleRevolutions() - bassStart, total * perSample * RotarySpeaker::bassRatio,
                 total * perSample * 1e-6);

    // After a day at top speed one sample's step is still added with a
    // relative error below 2e-6 (the ulp of the angle against the step).
    for (double ratio : { 1.0, RotarySpeaker::bassRatio })
    {
        const double angle = 24.0 * 3600.0 * speed * ratio;
        const double stepSize = ratio * perSample;
        EXPECT_NEAR (((angle + stepSize) - angle) / stepSize, 1.0, 2e-6) << ratio;
    }
}

// The editor opened, refreshed, drawn and closed again and again on this
// (message) thread while another thread renders and a third automates.
TEST (EditorStress, OpenAndCloseWhileRenderingAndAutomating)
{
    juce::ScopedJuceInitialiser_GUI gui;
    OrganHarness organ (48000.0, Tap::output);
    std::atomic<bool> stop { false };
    std::atomic<float> peak { 0.0f };

    std::thread automation ([&]
    {
        std::mt19937 random (7);
        std::uniform_real_distribution<float> value (0.0f, 1.0f);
        const auto& parameters = organ.processor.getParameters();
        std::uniform_int_distribution<int> index (0, parameters.size() - 1);

        while (! stop.load())
            parameters[index (random)]->setValueNotifyingHost (value (random));
    });

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 256);
        juce::MidiBuffer midi;
        midi.ensureSize (256);

        for (int block = 0; ! stop.load(); ++block)
        {
            midi.clear();
            midi.addEvent (juce::MidiMessage::noteOn (1 + block % 2, 36 + block % 60, (juce::uint8) 90), 0);
            midi.addEvent (juce::MidiMessage::noteOff (1 + block % 2, 36 + (block + 30) % 60), 0);
            buffer.clear();
            organ.processor.processBlock (buffer, midi);
            peak = std::max (peak.load(), peakOrInfinity (buffer));
        }
    });

    for (int round = 0; round < 20; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (organ.processor.createEditor());
        ASSERT_NE (editor, nullptr);

        if (auto* timer = dynamic_cast<juce::Timer*> (editor.get()))
            for (int refresh = 0; refresh < 5; ++refresh)
                timer->timerCallback();

        const auto snapshot = editor->createComponentSnapshot (editor->getLocalBounds());
        EXPECT_EQ (snapshot.getWidth(), 925);
    }

    stop = true;
    automation.join();
    audio.join();
    EXPECT_LT (peak.load(), sanePeak);
}

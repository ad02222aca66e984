// Loads the built VST3 and LV2 plug-ins through JUCE's own hosting, the way a
// host would, and checks identity, parameters, audio, state and the editor
// against the engine rendered directly (by quarbell_reference_render).
//
//   quarbell_host_test --vst3 Quarbell.vst3 --lv2 Quarbell.lv2 --reference PROGRAM [gtest flags]
//
// Needs an X display for the editor tests.

#include <engine/Parameters.h>

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

namespace
{
constexpr const char* lv2Uri = "https://quarbell.org/plugins/quarbell";
constexpr int blockSize = 512;
constexpr double tolerance = 1.0e-6;
constexpr int numOrganParameters = (int) quarbell::parameterTable.size();

struct Setup
{
    juce::File vst3Bundle, lv2Folder, referenceRenderer, scratch;
    std::unique_ptr<juce::AudioPluginFormatManager> formats;
};

Setup setup;

//==============================================================================
// What to play: MIDI events and parameter changes, each at the start of a block
// (the engine applies events at the start of the block holding them anyway).
struct Score
{
    struct Midi
    {
        int block;
        juce::MidiMessage message;
    };

    struct Change
    {
        int block;
        int index; // into quarbell::parameterTable
        float normalised;
    };

    int blocks = 0;
    std::vector<Midi> midi;
    std::vector<Change> changes;
};

juce::MidiMessage on (int channel, int note) { return juce::MidiMessage::noteOn (channel, note, (juce::uint8) 100); }
juce::MidiMessage off (int channel, int note) { return juce::MidiMessage::noteOff (channel, note, (juce::uint8) 64); }

int indexOf (const char* id)
{
    const int index = quarbell::parameterIndex (id);
    jassert (index >= 0);
    return index;
}

// Both manuals, overlapping notes, releases and a re-strike.
Score notesOnBothManuals()
{
    Score s;
    s.blocks = 40;
    s.midi = { { 0, on (1, 60) },   { 0, on (2, 48) },  { 3, on (1, 64) },   { 5, on (1, 67) },
               { 12, off (1, 60) }, { 16, off (2, 48) }, { 16, on (2, 55) },  { 20, on (1, 60) },
               { 26, off (1, 64) }, { 26, off (1, 67) }, { 30, off (1, 60) }, { 30, off (2, 55) } };
    return s;
}

// The same notes with host edits along the way. The values are exact in both
// the normalised and the plain range, so every format delivers the same float.
Score notesWithEdits()
{
    auto s = notesOnBothManuals();
    s.changes = { { 4, indexOf ("drawbar3"), 0.25f },     { 4, indexOf ("drawbar0"), 0.625f },
                  { 8, indexOf ("lowdrawbar0"), 1.0f },   { 8, indexOf ("lowdrawbar4"), 0.5f },
                  { 10, indexOf ("reverbMix"), 0.75f },   { 14, indexOf ("leslieGain"), 1.0f },
                  { 18, indexOf ("vcUpOnOff"), 1.0f },    { 22, indexOf ("leslieOnOff"), 0.0f },
                  { 24, indexOf ("percussion"), 1.0f },   { 24, indexOf ("upperLowerBalance"), 0.25f } };
    return s;
}

// A settings mix far from the defaults, all set at the first block.
std::vector<Score::Change> savedSettings()
{
    return { { 0, indexOf ("drawbar1"), 1.0f },       { 0, indexOf ("drawbar4"), 0.0f },
             { 0, indexOf ("drawbar8"), 0.375f },     { 0, indexOf ("lowdrawbar2"), 0.75f },
             { 0, indexOf ("upperLowerBalance"), 0.75f }, { 0, indexOf ("keyClickLevel"), 0.5f },
             { 0, indexOf ("FastLeslie"), 1.0f },     { 0, indexOf ("percussion"), 1.0f },
             { 0, indexOf ("percFreq"), 1.0f },       { 0, indexOf ("vcDownOnOff"), 1.0f },
             { 0, indexOf ("roomSize"), 0.5f },       { 0, indexOf ("reverbMix"), 0.5f },
             { 0, indexOf ("leakageLevel"), 0.0f } };
}

//==============================================================================
struct Stereo
{
    std::vector<float> left, right;
};

float peak (const Stereo& s)
{
    float p = 0.0f;

    for (const auto* ch : { &s.left, &s.right })
        for (float x : *ch)
            p = std::max (p, std::abs (x));

    return p;
}

// Largest sample difference; a length mismatch counts as infinite.
double maxDifference (const Stereo& a, const Stereo& b, std::string* where = nullptr)
{
    if (a.left.size() != b.left.size() || a.right.size() != b.right.size())
        return HUGE_VAL;

    double worst = 0.0;

    for (int c = 0; c < 2; ++c)
    {
        const auto& x = c == 0 ? a.left : a.right;
        const auto& y = c == 0 ? b.left : b.right;

        for (size_t i = 0; i < x.size(); ++i)
        {
            const double d = std::abs ((double) x[i] - (double) y[i]);

            // NaN differences count as the worst.
            if (! (d <= worst))
            {
                worst = std::isnan (d) ? HUGE_VAL : d;

                if (where != nullptr)
                    *where = (c == 0 ? "left" : "right") + std::string (" sample ") + std::to_string (i) + " (block "
                             + std::to_string (i / blockSize) + "): " + std::to_string (x[i]) + " vs "
                             + std::to_string (y[i]);
            }
        }
    }

    return worst;
}

Stereo renderReference (const Score& score, int rate)
{
    const auto out = setup.scratch.getNonexistentChildFile ("reference", ".f32");

    juce::StringArray args { setup.referenceRenderer.getFullPathName(),
                             "--rate", juce::String (rate),
                             "--block", juce::String (blockSize),
                             "--blocks", juce::String (score.blocks),
                             "--out", out.getFullPathName() };

    for (const auto& m : score.midi)
    {
        juce::StringArray bytes;

        for (int i = 0; i < m.message.getRawDataSize(); ++i)
            bytes.add (juce::String::toHexString ((int) m.message.getRawData()[i]));

        args.addArray ({ "--midi", juce::String (m.block) + ":" + bytes.joinIntoString (",") });
    }

    for (const auto& c : score.changes)
        args.addArray ({ "--param", juce::String (c.block) + ":" + juce::String (c.index) + ":"
                                        + juce::String (c.normalised, 9) });

    juce::ChildProcess child;
    Stereo result;

    if (! child.start (args))
    {
        ADD_FAILURE() << "cannot start " << args[0];
        return result;
    }

    const auto output = child.readAllProcessOutput();

    if (child.getExitCode() != 0)
    {
        ADD_FAILURE() << "reference render failed: " << output;
        return result;
    }

    juce::MemoryBlock data;
    out.loadFileAsData (data);
    out.deleteFile();

    const size_t n = (size_t) score.blocks * blockSize;

    if (data.getSize() != 2 * n * sizeof (float))
    {
        ADD_FAILURE() << "reference render wrote " << data.getSize() << " bytes";
        return result;
    }

    const auto* samples = static_cast<const float*> (data.getData());
    result.left.assign (samples, samples + n);
    result.right.assign (samples + n, samples + 2 * n);
    return result;
}

//==============================================================================
enum class Format
{
    vst3,
    lv2
};

const char* formatName (Format f) { return f == Format::vst3 ? "VST3" : "LV2"; }

// Where a format keeps installed plug-ins, besides the home folder: a bundle
// with our URI there would shadow the one from the build tree.
void checkNoInstalledLv2Copy()
{
    for (const auto* dir : { "/usr/lib/lv2", "/usr/local/lib/lv2", "/usr/lib64/lv2", "/usr/local/lib64/lv2" })
        ASSERT_FALSE (juce::File (dir).getChildFile ("Quarbell.lv2").exists())
            << dir << "/Quarbell.lv2 would shadow the bundle under test";
}

juce::PluginDescription describe (Format f)
{
    juce::OwnedArray<juce::PluginDescription> types;

    for (auto* format : setup.formats->getFormats())
    {
        if (format->getName() != formatName (f))
            continue;

        if (f == Format::vst3)
            format->findAllTypesForFile (types, setup.vst3Bundle.getFullPathName());
        else
            format->findAllTypesForFile (types, lv2Uri);
    }

    if (types.size() != 1)
    {
        ADD_FAILURE() << formatName (f) << ": expected one plug-in type, found " << types.size();
        return {};
    }

    return *types[0];
}

// A hosted instance and, for each entry of the parameter table, its parameter
// on the host side.
struct Hosted
{
    std::unique_ptr<juce::AudioPluginInstance> instance;
    std::vector<juce::AudioProcessorParameter*> organ;
};

// Found by name (the names are unique): VST3 keeps the processor's order, but
// LV2 describes parameters as an unordered set and JUCE's LV2 host sorts them
// by URI.
std::vector<juce::AudioProcessorParameter*> findOrganParameters (juce::AudioPluginInstance& p)
{
    std::vector<juce::AudioProcessorParameter*> found;

    for (const auto& info : quarbell::parameterTable)
    {
        juce::AudioProcessorParameter* match = nullptr;

        for (auto* candidate : p.getParameters())
            if (candidate->getName (1024) == info.name)
                match = candidate;

        found.push_back (match);
    }

    return found;
}

Hosted instantiate (Format f, int rate)
{
    const auto description = describe (f);
    juce::String error;
    Hosted hosted;
    hosted.instance = setup.formats->createPluginInstance (description, rate, blockSize, error);

    if (hosted.instance == nullptr)
    {
        ADD_FAILURE() << formatName (f) << ": cannot instantiate: " << error;
        return hosted;
    }

    hosted.instance->prepareToPlay (rate, blockSize);
    hosted.organ = findOrganParameters (*hosted.instance);
    return hosted;
}

juce::String parameterName (const juce::AudioProcessorParameter& p) { return p.getName (1024); }

Stereo renderHosted (Hosted& hosted, const Score& score)
{
    auto& p = *hosted.instance;
    const int channels = std::max ({ 2, p.getTotalNumInputChannels(), p.getTotalNumOutputChannels() });
    juce::AudioBuffer<float> buffer (channels, blockSize);
    juce::MidiBuffer midi;
    Stereo result;

    for (int b = 0; b < score.blocks; ++b)
    {
        for (const auto& c : score.changes)
            if (c.block == b)
                hosted.organ[(size_t) c.index]->setValue (c.normalised);

        midi.clear();

        for (const auto& m : score.midi)
            if (m.block == b)
                midi.addEvent (m.message, 0);

        buffer.clear();
        p.processBlock (buffer, midi);

        result.left.insert (result.left.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + blockSize);
        result.right.insert (result.right.end(), buffer.getReadPointer (1), buffer.getReadPointer (1) + blockSize);
    }

    return result;
}

float normalisedDefault (const quarbell::ParameterInfo& info)
{
    return (info.defaultValue - info.minimum) / (info.maximum - info.minimum);
}

//==============================================================================
struct Case
{
    Format format;
    int rate;
};

std::string caseName (const testing::TestParamInfo<Case>& info)
{
    return std::string (formatName (info.param.format)) + "_" + std::to_string (info.param.rate);
}

class HostedPlugin : public testing::TestWithParam<Case>
{
protected:
    void SetUp() override
    {
        if (GetParam().format == Format::lv2)
            checkNoInstalledLv2Copy();

        hosted = instantiate (GetParam().format, GetParam().rate);
        plugin = hosted.instance.get();
        ASSERT_NE (plugin, nullptr);

        for (size_t i = 0; i < hosted.organ.size(); ++i)
            ASSERT_NE (hosted.organ[i], nullptr) << "no parameter named \"" << quarbell::parameterTable[i].name << "\"";
    }

    void TearDown() override
    {
        if (plugin != nullptr)
            plugin->releaseResources();
    }

    Hosted hosted;
    juce::AudioPluginInstance* plugin = nullptr;
};

TEST_P (HostedPlugin, IdentifiesAsAStereoMidiInstrument)
{
    const auto description = plugin->getPluginDescription();

    EXPECT_EQ (plugin->getName(), "Quarbell");
    EXPECT_EQ (description.name, "Quarbell");
    EXPECT_EQ (description.pluginFormatName, formatName (GetParam().format));
    EXPECT_TRUE (description.isInstrument);
    EXPECT_TRUE (plugin->acceptsMidi());
    EXPECT_FALSE (plugin->producesMidi());
    EXPECT_FALSE (plugin->isMidiEffect());

    ASSERT_EQ (plugin->getBusCount (false), 1);
    EXPECT_EQ (plugin->getChannelCountOfBus (false, 0), 2);
    EXPECT_EQ (plugin->getBus (false, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());

    // The processor also declares a stereo input that it never reads; report
    // what each format makes of it rather than pinning it.
    RecordProperty ("inputBuses", plugin->getBusCount (true));
    RecordProperty ("inputChannels", plugin->getTotalNumInputChannels());
    std::cout << formatName (GetParam().format) << " input: " << plugin->getBusCount (true) << " bus(es), "
              << plugin->getTotalNumInputChannels() << " channel(s)" << std::endl;
}

TEST_P (HostedPlugin, PublishesTheOrganParametersWithTheirDefaults)
{
    const auto& parameters = plugin->getParameters();

    for (int i = 0; i < numOrganParameters; ++i)
    {
        const auto& info = quarbell::parameterTable[(size_t) i];
        auto* p = hosted.organ[(size_t) i];
        SCOPED_TRACE (info.id);

        if (GetParam().format == Format::vst3)
        {
            EXPECT_EQ (parameters.indexOf (p), i) << "host index";
        }
        else
        {
            const auto* withId = dynamic_cast<juce::HostedAudioProcessorParameter*> (p);
            ASSERT_NE (withId, nullptr);
            EXPECT_TRUE (withId->getParameterID().endsWith (juce::String (":") + info.id)) << withId->getParameterID();
        }

        EXPECT_NEAR (p->getValue(), normalisedDefault (info), tolerance);
        EXPECT_TRUE (p->isAutomatable());

        if (info.kind == quarbell::ParameterKind::toggle)
            EXPECT_TRUE (p->isBoolean() || p->getNumSteps() == 2) << "steps " << p->getNumSteps();
    }

    // What the format adds besides the organ's parameters, for the record.
    juce::StringArray extras;
    int midiControllers = 0;

    for (auto* p : parameters)
    {
        if (std::find (hosted.organ.begin(), hosted.organ.end(), p) != hosted.organ.end())
            continue;

        const auto name = parameterName (*p);

        if (name.startsWith ("MIDI CC "))
            ++midiControllers;
        else
            extras.add (name + (p->isAutomatable() ? " (automatable)" : "") + " at " + juce::String (p->getParameterIndex()));
    }

    if (midiControllers > 0)
        extras.add (juce::String (midiControllers) + " \"MIDI CC channel|controller\" parameters");

    RecordProperty ("extraParameters", extras.joinIntoString ("; ").toStdString());
    std::cout << formatName (GetParam().format) << " adds: " << extras.joinIntoString ("; ") << std::endl;
}

TEST_P (HostedPlugin, NotesRenderLikeTheEngine)
{
    const auto score = notesOnBothManuals();
    const auto rendered = renderHosted (hosted, score);
    const auto reference = renderReference (score, GetParam().rate);

    EXPECT_GT (peak (reference), 0.01f) << "the notes should sound";

    std::string where;
    EXPECT_LT (maxDifference (rendered, reference, &where), tolerance) << where;
}

TEST_P (HostedPlugin, HostParameterChangesReachTheEngine)
{
    const auto edited = notesWithEdits();
    const auto rendered = renderHosted (hosted, edited);
    const auto reference = renderReference (edited, GetParam().rate);

    std::string where;
    EXPECT_LT (maxDifference (rendered, reference, &where), tolerance) << where;

    // The edits must be audible, or the comparison proves nothing about them.
    const auto plain = renderReference (notesOnBothManuals(), GetParam().rate);
    EXPECT_GT (maxDifference (reference, plain), 0.01);

    for (const auto& c : edited.changes)
        EXPECT_NEAR (hosted.organ[(size_t) c.index]->getValue(), c.normalised, tolerance)
            << quarbell::parameterTable[(size_t) c.index].id;
}

// Restoring sets parameters only; rotors, delay lines and reverb keep running.
// So both instances start fresh: the first gets the settings from the host at
// its first block, then saves; the second is restored from that and plays.
struct RestoredPair
{
    Stereo first, restored;
    Hosted second;
};

RestoredPair saveAndRestore (Hosted& original, const Case& c)
{
    RestoredPair pair;
    auto withSettings = notesOnBothManuals();
    withSettings.changes = savedSettings();
    pair.first = renderHosted (original, withSettings);

    juce::MemoryBlock state;
    original.instance->getStateInformation (state);
    EXPECT_GT (state.getSize(), 0u);

    pair.second = instantiate (c.format, c.rate);

    if (pair.second.instance != nullptr)
    {
        pair.second.instance->setStateInformation (state.getData(), (int) state.getSize());
        pair.restored = renderHosted (pair.second, notesOnBothManuals());
        pair.second.instance->releaseResources();
    }

    return pair;
}

TEST_P (HostedPlugin, SavedStateRestoresIntoASecondInstance)
{
    auto pair = saveAndRestore (hosted, GetParam());
    ASSERT_NE (pair.second.instance, nullptr);

    auto withSettings = notesOnBothManuals();
    withSettings.changes = savedSettings();

    std::string where;
    EXPECT_GT (peak (pair.restored), 0.01f);
    EXPECT_LT (maxDifference (pair.first, pair.restored, &where), tolerance) << where;
    EXPECT_LT (maxDifference (pair.restored, renderReference (withSettings, GetParam().rate), &where), tolerance)
        << where;

    // The settings must matter, or the comparison shows nothing.
    EXPECT_GT (maxDifference (pair.restored, renderReference (notesOnBothManuals(), GetParam().rate)), 0.01);
}

// What the host shows (generic editor, automation lanes) after a restore.
TEST_P (HostedPlugin, HostSeesTheRestoredValues)
{
    auto pair = saveAndRestore (hosted, GetParam());
    ASSERT_NE (pair.second.instance, nullptr);

    for (int i = 0; i < numOrganParameters; ++i)
        EXPECT_NEAR (pair.second.organ[(size_t) i]->getValue(), hosted.organ[(size_t) i]->getValue(), tolerance)
            << quarbell::parameterTable[(size_t) i].id;

    for (const auto& c : savedSettings())
        EXPECT_NEAR (pair.second.organ[(size_t) c.index]->getValue(), c.normalised, tolerance)
            << quarbell::parameterTable[(size_t) c.index].id;
}

TEST_P (HostedPlugin, EditorOpensAndClosesWhileAudioRenders)
{
    ASSERT_TRUE (plugin->hasEditor());

    std::atomic<bool> stop { false };
    std::atomic<int> blocks { 0 };
    std::atomic<bool> finite { true };
    float loudest = 0.0f;

    std::thread audio ([&]
    {
        const int channels = std::max ({ 2, plugin->getTotalNumInputChannels(), plugin->getTotalNumOutputChannels() });
        juce::AudioBuffer<float> buffer (channels, blockSize);
        juce::MidiBuffer midi;

        for (int b = 0; ! stop; ++b)
        {
            midi.clear();

            // A chord that comes and goes, so there is always something to hear.
            if (b % 40 == 0)
                for (int note : { 60, 64, 67 })
                    midi.addEvent (on (1, note), 0);
            else if (b % 40 == 30)
                for (int note : { 60, 64, 67 })
                    midi.addEvent (off (1, note), 0);

            buffer.clear();
            plugin->processBlock (buffer, midi);

            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < blockSize; ++i)
                {
                    const float x = buffer.getSample (c, i);
                    finite = finite && std::isfinite (x);
                    loudest = std::max (loudest, std::abs (x));
                }

            ++blocks;
            std::this_thread::sleep_for (std::chrono::milliseconds (2));
        }
    });

    for (int round = 0; round < 5; ++round)
    {
        SCOPED_TRACE ("round " + std::to_string (round));
        const int blocksBefore = blocks;

        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);

        {
            juce::DocumentWindow window ("Quarbell host test", juce::Colours::black, 0);
            window.setUsingNativeTitleBar (true);
            window.setContentNonOwned (editor.get(), true);
            window.setVisible (true);
            juce::MessageManager::getInstance()->runDispatchLoopUntil (300);

            EXPECT_GT (editor->getWidth(), 0);
            EXPECT_GT (editor->getHeight(), 0);
            EXPECT_TRUE (window.isOnDesktop());

            window.clearContentComponent();
        }

        editor.reset();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

        EXPECT_GT (blocks.load(), blocksBefore) << "audio stalled while the editor was open";
    }

    stop = true;
    audio.join();

    EXPECT_TRUE (finite);
    EXPECT_GT (loudest, 0.01f);
    EXPECT_EQ (plugin->getActiveEditor(), nullptr);
}

INSTANTIATE_TEST_SUITE_P (Formats,
                          HostedPlugin,
                          testing::Values (Case { Format::vst3, 44100 }, Case { Format::vst3, 48000 },
                                           Case { Format::lv2, 44100 }, Case { Format::lv2, 48000 }),
                          caseName);

} // namespace

//==============================================================================
namespace
{
int parseOptions (int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const juce::String key (argv[i]);
        const juce::File value (juce::File::getCurrentWorkingDirectory().getChildFile (argv[i + 1]));

        if (key == "--vst3")
            setup.vst3Bundle = value;
        else if (key == "--lv2")
            setup.lv2Folder = value.getParentDirectory();
        else if (key == "--reference")
            setup.referenceRenderer = value;
        else
        {
            std::cerr << "unknown option " << key << std::endl;
            return 2;
        }
    }

    if (! setup.vst3Bundle.isDirectory() || ! setup.lv2Folder.getChildFile ("Quarbell.lv2").isDirectory()
        || ! setup.referenceRenderer.existsAsFile())
    {
        std::cerr << "usage: quarbell_host_test --vst3 Quarbell.vst3 --lv2 Quarbell.lv2 "
                     "--reference quarbell_reference_render [gtest flags]"
                  << std::endl;
        return 2;
    }

    return 0;
}

// A JUCE application, as a real host is: only then does JUCE set up Xlib for
// threads and install its X error handlers. Without them the first X error
// (JUCE asks for window-manager properties that a bare Xvfb lacks) ends the
// process through Xlib's default handler.
class HostTestApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "quarbell_host_test"; }
    const juce::String getApplicationVersion() override { return "1"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override
    {
        setup.formats = std::make_unique<juce::AudioPluginFormatManager>();
        setup.formats->addFormat (new juce::VST3PluginFormat());

        auto lv2 = std::make_unique<juce::LV2PluginFormat>();
        lv2->searchPathsForPlugins (juce::FileSearchPath (setup.lv2Folder.getFullPathName()), false);
        setup.formats->addFormat (lv2.release());

        // Run from the message loop, so the editor tests can spin it.
        juce::MessageManager::callAsync ([this]
        {
            setApplicationReturnValue (RUN_ALL_TESTS());
            quit();
        });
    }

    void shutdown() override { setup.formats.reset(); }
    void systemRequestedQuit() override {}
};

juce::JUCEApplicationBase* createApplication() { return new HostTestApplication(); }
} // namespace

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);

    if (const int bad = parseOptions (argc, argv))
        return bad;

    // JUCE's LV2 format always scans ~/.lv2 first (it sets lilv's search path
    // itself, so LV2_PATH is ignored), and the build copies a bundle there that
    // may be stale or another tree's: the first bundle with a URI wins. An empty
    // home folder keeps the bundle under test the only one.
    const auto scratch = juce::File::createTempFile ("quarbell-host-test");
    scratch.createDirectory();
    setup.scratch = scratch;
    setenv ("HOME", scratch.getFullPathName().toRawUTF8(), 1);
    setenv ("LV2_PATH", setup.lv2Folder.getFullPathName().toRawUTF8(), 1);

    juce::JUCEApplicationBase::createInstance = &createApplication;
    const int result = juce::JUCEApplicationBase::main (argc, (const char**) argv);

    scratch.deleteRecursively();
    return result;
}

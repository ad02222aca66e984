#include "Commands.h"
#include "Report.h"

#include <engine/Settings.h>
#include <engine/tables/FilterSets.h>

#include <gtest/gtest.h>

#include <memory>

using namespace quarbell::cli;

namespace
{
    struct ListedSet
    {
        juce::String header;
        std::vector<std::vector<double>> sections;
        double gain = 0.0;
    };

    // Reads the layout that `quarbell filters` documents; fails the test on
    // any line that does not fit it.
    std::vector<ListedSet> parseFilterListing (const juce::String& text)
    {
        std::vector<ListedSet> sets;
        bool expectHeader = true;

        for (const auto& line : juce::StringArray::fromLines (text.trimEnd()))
        {
            if (expectHeader)
            {
                EXPECT_TRUE (line.startsWith ("# ")) << line;
                sets.push_back ({ line, {}, 0.0 });
                expectHeader = false;
            }
            else if (line.startsWith ("gain "))
            {
                sets.back().gain = line.fromFirstOccurrenceOf (" ", false, false).getDoubleValue();
                expectHeader = true;
            }
            else
            {
                const auto fields = juce::StringArray::fromTokens (line, " ", "");
                EXPECT_EQ (fields.size(), 6) << line;
                std::vector<double> values;
                for (const auto& f : fields)
                    values.push_back (f.getDoubleValue());
                sets.back().sections.push_back (values);
            }
        }

        EXPECT_TRUE (expectHeader) << "listing ends inside a set";
        return sets;
    }
} // namespace

TEST (Commands, FilterListingHoldsTheBoundSets)
{
    using quarbell::FilterFamily;
    const std::pair<const char*, FilterFamily> families[] { { "preamp", FilterFamily::preamp },
                                                            { "low-cut", FilterFamily::lowCut },
                                                            { "horn", FilterFamily::horn },
                                                            { "horn-high-pass", FilterFamily::hornHighPass },
                                                            { "bass", FilterFamily::bass } };
    const int sectionCounts[] { 25, 1, 30, 2, 25 };

    for (const int rate : { 44100, 48000, 88200, 96000, 176400, 192000, 22050 })
    {
        SCOPED_TRACE (rate);
        const auto sets = parseFilterListing (filterSetsText (rate));
        ASSERT_EQ (sets.size(), 5u);

        for (size_t k = 0; k < 5; ++k)
        {
            quarbell::RateFilterSets bound;
            bound.design (rate);
            const auto set = bound.get (families[k].second);
            const bool fitted = k != 1 && k != 3;
            const auto& listed = sets[k];
            const juce::String header = juce::String ("# ") + families[k].first + " " + juce::String (sectionCounts[k])
                                        + (sectionCounts[k] == 1 ? " section" : " sections") + " at "
                                        + juce::String (rate) + " Hz" + (rate == 22050 && fitted ? " (44100 Hz set)" : "");

            EXPECT_EQ (listed.header, header);
            ASSERT_EQ ((int) listed.sections.size(), set.sectionCount);

            // Nine significant digits bring every float back exactly.
            for (int s = 0; s < set.sectionCount; ++s)
                for (int j = 0; j < 6; ++j)
                    EXPECT_EQ ((float) listed.sections[(size_t) s][(size_t) j], set.coefficients[6 * s + j]) << s << " " << j;

            EXPECT_EQ ((float) listed.gain, set.gains[set.sectionCount]);
        }
    }

    // The low cut's 30 Hz Butterworth high-pass at 48 kHz.
    const auto lowCut = parseFilterListing (filterSetsText (48000))[1];
    EXPECT_NEAR (lowCut.sections[0][4], -1.9944464, 1e-7);
    EXPECT_NEAR (lowCut.sections[0][5], 0.99446178, 1e-7);
    EXPECT_NEAR (lowCut.gain, 0.99722707, 1e-8);
}

TEST (Commands, SettingsBlobTextIsTheXmlInside)
{
    OrganSetup setup;
    setup.presetIndex = 0;
    setup.parameters = { { "drawbar0", 4.0f } };

    const auto blob = settingsBlobFor (setup);
    const auto text = settingsBlobText (blob);

    EXPECT_EQ ((int) blob.getSize(), text.getNumBytesAsUTF8() + 9);
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <QUARBELLSETTINGS drawbar0=\"0.5\" "))
        << text;
    EXPECT_TRUE (text.endsWith ("/>")) << text;
    EXPECT_TRUE (text.contains (" percussion=\"1.0\" ")) << text; // from Corvo Jazz

    // The blob goes back in as it came out.
    const auto processor = std::make_unique<VelmoranAudioProcessor>();
    EXPECT_TRUE (quarbell::restoreSettingsBlob (processor->getParameters(), blob.getData(), (int) blob.getSize()));
    EXPECT_EQ (processor->findParameter ("drawbar0")->getValue(), 0.5f);

    EXPECT_TRUE (settingsBlobText (juce::MemoryBlock (8)).isEmpty());
}

TEST (Commands, ProgressAndSummaryLines)
{
    // Half of 20 s at 48 kHz done in 2 s of work.
    EXPECT_EQ (progressLine ("song.mid", 480000, 960000, 48000, 2.0),
               "song.mid  [############            ]   50%  10.0 / 20.0 s  5.00x");
    EXPECT_EQ (progressLine ("a.mid", 960000, 960000, 48000, 0.5),
               "a.mid  [########################]  100%  20.0 / 20.0 s  40.0x");
    EXPECT_EQ (progressLine ("a.mid", 0, 960000, 48000, 0.0), "a.mid  [                        ]    0%  0.0 / 20.0 s  -");

    RenderSummary summary;
    summary.output = juce::File ("/tmp/out.flac");
    summary.format = { AudioFileType::flac, 16 };
    summary.sampleRate = 44100;
    summary.audioSeconds = 12.5;
    summary.peak = 2.0f;
    summary.samplesOverFullScale = 17;
    summary.elapsedSeconds = 0.25;

    EXPECT_EQ (summaryLine (summary), "wrote /tmp/out.flac (16-bit FLAC, 44100 Hz): 12.500 s, peak 6.02 dBFS, "
                                      "17 samples above full scale (clipped), 50.0x real time");

    summary.format = { AudioFileType::wav, 32 };
    summary.peak = 0.0f;
    summary.samplesOverFullScale = 1;
    EXPECT_EQ (summaryLine (summary), "wrote /tmp/out.flac (32-bit float WAV, 44100 Hz): 12.500 s, peak -inf dBFS, "
                                      "1 sample above full scale, 50.0x real time");
}

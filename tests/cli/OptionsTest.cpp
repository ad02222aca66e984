#include "Error.h"
#include "Options.h"

#include <gtest/gtest.h>

using namespace quarbell::cli;

namespace
{
    juce::StringArray split (const char* args) { return juce::StringArray::fromTokens (args, " ", ""); }
} // namespace

TEST (Options, AcceptsValidRenderCommands)
{
    struct Case
    {
        const char* args;
        int rate;
        int block;
        double tail;
        std::vector<std::pair<const char*, float>> settings;
    };

    const Case cases[] {
        { "render in.mid -o out.wav", 48000, 512, 2.0, {} },
        { "render -o out.wav in.mid --rate 44100 --block 64 --tail 0.5", 44100, 64, 0.5, {} },
        { "render in.mid --output out.wav --rate 22050 --block 8192 --tail 0", 22050, 8192, 0.0, {} },
        { "render in.mid -o out.wav --block 1", 48000, 1, 2.0, {} },
        { "render in.mid -o out.wav --set drawbar3=4.5 --set vcMode=3", 48000, 512, 2.0,
          { { "drawbar3", 4.5f }, { "vcMode", 3.0f } } },
        { "render in.mid -o out.wav --set roomSize=10 --set roomSize=100 --set reverbAttenuation=0.95", 48000, 512, 2.0,
          { { "roomSize", 10.0f }, { "roomSize", 100.0f }, { "reverbAttenuation", 0.95f } } },
        { "render in.mid -o out.wav --set leslieOnOff=off --set FastLeslie=ON --set percussion=true", 48000, 512, 2.0,
          { { "leslieOnOff", 0.0f }, { "FastLeslie", 1.0f }, { "percussion", 1.0f } } },
        { "render in.mid -o out.wav --set percVol=False --set splitkeyboard=1 --set vcUpOnOff=0", 48000, 512, 2.0,
          { { "percVol", 0.0f }, { "splitkeyboard", 1.0f }, { "vcUpOnOff", 0.0f } } },
        { "render in.mid -o out.wav --set vcMode=5.0 --set drawbar0=8", 48000, 512, 2.0,
          { { "vcMode", 5.0f }, { "drawbar0", 8.0f } } },
    };

    const auto cwd = juce::File::getCurrentWorkingDirectory();

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.args);
        const auto options = parseArguments (split (c.args));

        EXPECT_EQ (options.command, Command::render);
        EXPECT_EQ (options.input, cwd.getChildFile ("in.mid"));
        EXPECT_EQ (options.output, cwd.getChildFile ("out.wav"));
        EXPECT_EQ (options.render.sampleRate, c.rate);
        EXPECT_EQ (options.render.blockSize, c.block);
        EXPECT_DOUBLE_EQ (options.render.tailSeconds, c.tail);
        ASSERT_EQ (options.render.parameters.size(), c.settings.size());

        for (size_t i = 0; i < c.settings.size(); ++i)
        {
            EXPECT_EQ (options.render.parameters[i].id, c.settings[i].first);
            EXPECT_FLOAT_EQ (options.render.parameters[i].value, c.settings[i].second);
        }
    }
}

TEST (Options, RejectsBadArguments)
{
    struct Case
    {
        const char* args;
        const char* message; // part of the error
    };

    const Case cases[] {
        { "", "no command" },
        { "play in.mid -o out.wav", "unknown command 'play'" },
        { "render -o out.wav", "needs an input MIDI file" },
        { "render in.mid", "needs an output file" },
        { "render in.mid -o", "-o needs a value" },
        { "render in.mid -o out.wav extra.mid", "unexpected argument 'extra.mid'" },
        { "render in.mid -o out.wav --loud", "unknown option '--loud'" },
        { "render in.mid -o in.mid", "must not be the input" },
        { "render in.mid -o out.wav --rate 0", "--rate needs a whole number" },
        { "render in.mid -o out.wav --rate -44100", "--rate needs a whole number" },
        { "render in.mid -o out.wav --rate 44.1k", "--rate needs a whole number" },
        { "render in.mid -o out.wav --rate 48000.5", "--rate needs a whole number" },
        { "render in.mid -o out.wav --block 0", "--block needs a whole number from 1 to 8192" },
        { "render in.mid -o out.wav --block 8193", "--block needs a whole number from 1 to 8192" },
        { "render in.mid -o out.wav --tail -1", "--tail needs seconds" },
        { "render in.mid -o out.wav --tail nan", "--tail needs seconds" },
        { "render in.mid -o out.wav --set drawbar3", "--set needs ID=VALUE" },
        { "render in.mid -o out.wav --set =3", "--set needs ID=VALUE" },
        { "render in.mid -o out.wav --set drawbar9=3", "unknown parameter 'drawbar9'" },
        { "render in.mid -o out.wav --set Drawbar3=3", "unknown parameter 'Drawbar3'" },
        { "render in.mid -o out.wav --set drawbar3=", "drawbar3 needs a number" },
        { "render in.mid -o out.wav --set drawbar3=loud", "drawbar3 needs a number" },
        { "render in.mid -o out.wav --set drawbar3=4.5x", "drawbar3 needs a number" },
        { "render in.mid -o out.wav --set drawbar3=inf", "drawbar3 needs a number" },
        { "render in.mid -o out.wav --set drawbar3=8.01", "drawbar3 needs a value from 0 to 8" },
        { "render in.mid -o out.wav --set drawbar3=-0.5", "drawbar3 needs a value from 0 to 8" },
        { "render in.mid -o out.wav --set roomSize=9.99", "roomSize needs a value from 10 to 100" },
        { "render in.mid -o out.wav --set reverbAttenuation=0.1", "reverbAttenuation needs a value from 0.2 to 0.95" },
        { "render in.mid -o out.wav --set vcMode=2.5", "vcMode needs a whole number" },
        { "render in.mid -o out.wav --set vcMode=6", "vcMode needs a value from 0 to 5" },
        { "render in.mid -o out.wav --set leslieOnOff=maybe", "leslieOnOff needs on/off" },
        { "render in.mid -o out.wav --set leslieOnOff=0.5", "leslieOnOff needs on/off" },
        { "render in.mid -o out.wav --set percussion=2", "percussion needs on/off" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.args);

        try
        {
            parseArguments (split (c.args));
            ADD_FAILURE() << "accepted";
        }
        catch (const CliError& e)
        {
            EXPECT_NE (std::string (e.what()).find (c.message), std::string::npos) << e.what();
            EXPECT_EQ (std::string (e.what()).find ('\n'), std::string::npos);
        }
    }
}

TEST (Options, RecognisesHelpAndVersion)
{
    const std::pair<const char*, Command> cases[] {
        { "--help", Command::help },
        { "-h", Command::help },
        { "render --help", Command::help },
        { "--version", Command::version },
    };

    for (const auto& [args, command] : cases)
    {
        SCOPED_TRACE (args);
        EXPECT_EQ (parseArguments (split (args)).command, command);
    }
}

#include "Options.h"

#include "Error.h"

#include <engine/Parameters.h>

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace quarbell::cli
{

namespace
{
    // Whole-string number parse; juce::String::getDoubleValue would take "4x" as 4.
    std::optional<double> parseNumber (const juce::String& text)
    {
        const std::string s = text.toStdString();
        double value = 0.0;
        const auto [end, error] = std::from_chars (s.data(), s.data() + s.size(), value);

        if (s.empty() || error != std::errc() || end != s.data() + s.size() || ! std::isfinite (value))
            return std::nullopt;

        return value;
    }

    std::optional<bool> parseBoolean (const juce::String& text)
    {
        const auto t = text.toLowerCase();

        if (t == "on" || t == "true" || t == "1")
            return true;

        if (t == "off" || t == "false" || t == "0")
            return false;

        return std::nullopt;
    }

    const ParameterInfo* findInfo (const juce::String& id)
    {
        const int index = parameterIndex (id.toRawUTF8());
        return index < 0 ? nullptr : &parameterTable[(size_t) index];
    }

    int parseIntegerOption (const juce::String& option, const juce::String& text, int minimum, int maximum)
    {
        const auto value = parseNumber (text);

        if (! value || *value != std::floor (*value) || *value < minimum || *value > maximum)
            throw CliError ((option + " needs a whole number from " + juce::String (minimum) + " to "
                             + juce::String (maximum) + ", got '" + text + "'")
                                .toStdString());

        return static_cast<int> (*value);
    }

    double parseSecondsOption (const juce::String& option, const juce::String& text, double maximum)
    {
        const auto value = parseNumber (text);

        if (! value || *value < 0.0 || *value > maximum)
            throw CliError ((option + " needs seconds from 0 to " + juce::String (maximum) + ", got '" + text + "'")
                                .toStdString());

        return *value;
    }

    juce::File resolvePath (const juce::String& path)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (path);
    }
} // namespace

ParameterSetting parseParameterSetting (const juce::String& text)
{
    const int equals = text.indexOfChar ('=');

    if (equals <= 0)
        throw CliError (("--set needs ID=VALUE, got '" + text + "'").toStdString());

    const auto id = text.substring (0, equals);
    const auto valueText = text.substring (equals + 1);
    const auto* info = findInfo (id);

    if (info == nullptr)
        throw CliError (("unknown parameter '" + id + "'").toStdString());

    const auto invalid = [&] (const juce::String& expected)
    { return CliError (("parameter " + id + " needs " + expected + ", got '" + valueText + "'").toStdString()); };

    const auto range = juce::String (info->minimum) + " to " + juce::String (info->maximum);

    if (info->kind == ParameterKind::toggle)
    {
        const auto on = parseBoolean (valueText);

        if (! on)
            throw invalid ("on/off/true/false/1/0");

        return { id, *on ? 1.0f : 0.0f };
    }

    const auto value = parseNumber (valueText);

    if (! value)
        throw invalid ("a number");

    if (info->kind == ParameterKind::integer && *value != std::floor (*value))
        throw invalid ("a whole number");

    // The table holds float limits: compare in float so "0.95" is inside 0.95f.
    const auto asFloat = static_cast<float> (*value);

    if (asFloat < info->minimum || asFloat > info->maximum)
        throw invalid ("a value from " + range);

    return { id, asFloat };
}

Options parseArguments (const juce::StringArray& args)
{
    Options options;

    if (args.isEmpty())
        throw CliError ("no command given (try 'quarbell --help')");

    const auto& first = args[0];

    if (first == "--help" || first == "-h")
    {
        options.command = Command::help;
        return options;
    }

    if (first == "--version")
    {
        options.command = Command::version;
        return options;
    }

    if (first != "render")
        throw CliError (("unknown command '" + first + "' (try 'quarbell --help')").toStdString());

    juce::String input, output;

    for (int i = 1; i < args.size(); ++i)
    {
        const auto& arg = args[i];

        auto value = [&]() -> juce::String
        {
            if (i + 1 >= args.size())
                throw CliError ((arg + " needs a value").toStdString());

            return args[++i];
        };

        if (arg == "-o" || arg == "--output")
            output = value();
        else if (arg == "--rate")
            options.render.sampleRate = parseIntegerOption (arg, value(), 1, maxSampleRate);
        else if (arg == "--block")
            options.render.blockSize = parseIntegerOption (arg, value(), 1, maxBlockSize);
        else if (arg == "--tail")
            options.render.tailSeconds = parseSecondsOption (arg, value(), maxTailSeconds);
        else if (arg == "--tap")
            options.render.tap = parseTap (value());
        else if (arg == "--set")
            options.render.parameters.push_back (parseParameterSetting (value()));
        else if (arg == "--help" || arg == "-h")
            options.command = Command::help;
        else if (arg.startsWith ("-"))
            throw CliError (("unknown option '" + arg + "'").toStdString());
        else if (input.isEmpty())
            input = arg;
        else
            throw CliError (("unexpected argument '" + arg + "'").toStdString());
    }

    if (options.command == Command::help)
        return options;

    if (input.isEmpty())
        throw CliError ("render needs an input MIDI file");

    if (output.isEmpty())
        throw CliError ("render needs an output file: -o OUT.wav");

    options.input = resolvePath (input);
    options.output = resolvePath (output);

    if (options.input == options.output)
        throw CliError ("the output file must not be the input file");

    return options;
}

VelmoranAudioProcessor::Tap parseTap (const juce::String& text)
{
    using Tap = VelmoranAudioProcessor::Tap;
    const std::pair<const char*, Tap> stages[] { { "generator", Tap::generator }, { "scanner", Tap::scanner },
                                                 { "drive", Tap::drive },         { "reverb", Tap::reverb },
                                                 { "output", Tap::output } };

    for (const auto& [name, tap] : stages)
        if (text == name)
            return tap;

    throw CliError (("--tap takes generator, scanner, drive, reverb or output, got '" + text + "'").toStdString());
}

juce::String usageText()
{
    juce::String text =
        "usage: quarbell render IN.mid -o OUT.wav [options]\n"
        "       quarbell --help | --version\n"
        "\n"
        "Renders a Standard MIDI File (format 0 or 1) through the organ into a\n"
        "32-bit float stereo WAV file. MIDI channel 1 plays the upper manual,\n"
        "channel 2 the lower manual; controller 1 switches the Leslie speed.\n"
        "\n"
        "options:\n"
        "  -o, --output FILE   the WAV file to write (required)\n"
        "  --rate HZ           sample rate, 1 to 768000, default 48000\n"
        "  --block N           block size in samples, 1 to 8192, default 512\n"
        "  --tail SECONDS      time rendered after the last MIDI event, 0 to 60, default 2\n"
        "  --set ID=VALUE      sets a parameter in its own range, e.g. drawbar3=4.5,\n"
        "                      vcMode=3, leslieOnOff=off; repeatable\n"
        "  --tap STAGE         writes the signal as it leaves a stage instead of the\n"
        "                      output: generator (left upper, right lower manual),\n"
        "                      scanner, drive, reverb (mono organ on the left) or output\n"
        "  -h, --help          shows this help\n"
        "  --version           prints the version\n"
        "\n"
        "parameters (ID, range, default); a drawbar at 0 sounds loudest, at 8 not at all:\n";

    for (const auto& info : parameterTable)
    {
        text << "  " << juce::String (info.id).paddedRight (' ', 19) << ' ';

        if (info.kind == ParameterKind::toggle)
            text << "on/off, " << (info.defaultValue >= 0.5f ? "on" : "off");
        else
            text << juce::String (info.minimum) << " to " << juce::String (info.maximum)
                 << (info.kind == ParameterKind::integer ? " (whole), " : ", ") << juce::String (info.defaultValue);

        text << '\n';
    }

    return text;
}

} // namespace quarbell::cli

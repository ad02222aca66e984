#include "Options.h"

#include "Error.h"

#include <engine/FactoryPresets.h>
#include <engine/Parameters.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

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

    // Edit distance ignoring letter case, so "fastleslie" is one step from nothing.
    int editDistance (const juce::String& a, const juce::String& b)
    {
        const auto x = a.toLowerCase(), y = b.toLowerCase();
        std::vector<int> row ((size_t) y.length() + 1);

        for (size_t j = 0; j < row.size(); ++j)
            row[j] = (int) j;

        for (int i = 1; i <= x.length(); ++i)
        {
            int diagonal = row[0];
            row[0] = i;

            for (int j = 1; j <= y.length(); ++j)
            {
                const int above = row[(size_t) j];
                const int cost = x[i - 1] == y[j - 1] ? 0 : 1;
                row[(size_t) j] = std::min ({ above + 1, row[(size_t) j - 1] + 1, diagonal + cost });
                diagonal = above;
            }
        }

        return row.back();
    }

    // The candidate nearest to text, if it is near enough to be a typo of it.
    template <typename Names>
    juce::String closestName (const juce::String& text, const Names& names)
    {
        juce::String best;
        int bestDistance = std::numeric_limits<int>::max();

        for (const char* name : names)
        {
            const int d = editDistance (text, name);

            if (d < bestDistance)
            {
                best = name;
                bestDistance = d;
            }
        }

        const int allowed = std::max (2, std::min (text.length(), best.length()) / 3);
        return bestDistance <= allowed ? best : juce::String();
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

    int parseBits (const juce::String& text)
    {
        if (text != "16" && text != "24" && text != "32")
            throw CliError (("--bits takes 16, 24 or 32, got '" + text + "'").toStdString());

        return text.getIntValue();
    }

    AudioFileType parseFormatName (const juce::String& text)
    {
        const auto t = text.toLowerCase();

        if (t == "wav")
            return AudioFileType::wav;

        if (t == "aiff" || t == "aif")
            return AudioFileType::aiff;

        if (t == "flac")
            return AudioFileType::flac;

        throw CliError (("--format takes wav, aiff or flac, got '" + text + "'").toStdString());
    }

    juce::File resolvePath (const juce::String& path)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (path);
    }

    // Walks the arguments after the command word, handing out option values.
    class ArgumentReader
    {
    public:
        ArgumentReader (const juce::StringArray& a) : args (a) {}

        bool next()
        {
            if (++index >= args.size())
                return false;

            current = args[index];
            return true;
        }

        const juce::String& arg() const { return current; }

        juce::String value()
        {
            if (index + 1 >= args.size())
                throw CliError ((current + " needs a value").toStdString());

            return args[++index];
        }

    private:
        const juce::StringArray& args;
        int index = 0;
        juce::String current;
    };

    // The options that set the organ up, shared by render and state.
    bool readSetupOption (ArgumentReader& reader, OrganSetup& setup)
    {
        const auto& arg = reader.arg();

        if (arg == "--set")
            setup.parameters.push_back (parseParameterSetting (reader.value()));
        else if (arg == "--preset")
            setup.presetIndex = findPreset (reader.value());
        else if (arg == "--state")
            setup.stateFile = resolvePath (reader.value());
        else
            return false;

        return true;
    }

    [[noreturn]] void unexpected (const juce::String& arg)
    {
        if (arg.startsWith ("-"))
            throw CliError (("unknown option '" + arg + "'").toStdString());

        throw CliError (("unexpected argument '" + arg + "'").toStdString());
    }

    void parseRender (ArgumentReader& reader, Options& options)
    {
        juce::StringArray inputs;
        juce::String output, folder;
        std::optional<AudioFileType> formatName;
        int bits = 0;

        while (reader.next())
        {
            const auto& arg = reader.arg();

            if (readSetupOption (reader, options.render.setup))
                continue;

            if (arg == "-o" || arg == "--output")
                output = reader.value();
            else if (arg == "-d" || arg == "--output-dir")
                folder = reader.value();
            else if (arg == "--format")
                formatName = parseFormatName (reader.value());
            else if (arg == "--bits")
                bits = parseBits (reader.value());
            else if (arg == "--rate")
                options.render.sampleRate = parseIntegerOption (arg, reader.value(), 1, maxSampleRate);
            else if (arg == "--block")
                options.render.blockSize = parseIntegerOption (arg, reader.value(), 1, maxBlockSize);
            else if (arg == "--tail")
                options.render.tailSeconds = parseSecondsOption (arg, reader.value(), maxTailSeconds);
            else if (arg == "--tap")
                options.render.tap = parseTap (reader.value());
            else if (arg == "-q" || arg == "--quiet")
                options.quiet = true;
            else if (arg == "--help" || arg == "-h")
            {
                options.command = Command::help;
                options.helpTopic = Command::render;
                return;
            }
            else if (arg.startsWith ("-"))
                unexpected (arg);
            else
                inputs.add (arg);
        }

        if (inputs.isEmpty())
            throw CliError ("render needs an input MIDI file");

        if (output.isNotEmpty() && folder.isNotEmpty())
            throw CliError ("give either -o FILE or -d FOLDER, not both");

        if (output.isEmpty() && folder.isEmpty())
            throw CliError ("render needs an output file: -o OUT.wav (or -d FOLDER for several inputs)");

        if (output.isNotEmpty())
        {
            if (inputs.size() > 1)
                throw CliError ("-o takes one input; use -d FOLDER to render several files");

            if (formatName)
                throw CliError ("--format goes with -d; with -o the file's extension names the format");

            const auto target = resolvePath (output);
            options.format = makeOutputFormat (audioFileTypeOf (target), bits);
            options.jobs.push_back ({ resolvePath (inputs[0]), target });
        }
        else
        {
            options.format = makeOutputFormat (formatName.value_or (AudioFileType::wav), bits);
            options.createOutputFolder = true;
            const auto dir = resolvePath (folder);

            for (const auto& name : inputs)
            {
                const auto input = resolvePath (name);
                const auto target = dir.getChildFile (input.getFileNameWithoutExtension()
                                                      + fileExtension (options.format.type));

                for (const auto& job : options.jobs)
                    if (job.output == target)
                        throw CliError ((job.input.getFullPathName() + " and " + input.getFullPathName()
                                         + " would both write " + target.getFullPathName())
                                            .toStdString());

                options.jobs.push_back ({ input, target });
            }
        }

        for (const auto& job : options.jobs)
            if (job.input == job.output)
                throw CliError (("the output file must not be the input file: " + job.input.getFullPathName())
                                    .toStdString());
    }

    void parseState (ArgumentReader& reader, Options& options)
    {
        juce::String output;

        while (reader.next())
        {
            const auto& arg = reader.arg();

            if (readSetupOption (reader, options.render.setup))
                continue;

            if (arg == "-o" || arg == "--output")
                output = reader.value();
            else if (arg == "--help" || arg == "-h")
            {
                options.command = Command::help;
                options.helpTopic = Command::state;
                return;
            }
            else
                unexpected (arg);
        }

        if (output.isEmpty())
            throw CliError ("state needs an output file: -o FILE");

        options.stateOutput = resolvePath (output);
    }

    void parseFilters (ArgumentReader& reader, Options& options)
    {
        while (reader.next())
        {
            const auto& arg = reader.arg();

            if (arg == "--rate")
                options.filterRate = parseIntegerOption (arg, reader.value(), 1, maxSampleRate);
            else if (arg == "--help" || arg == "-h")
            {
                options.command = Command::help;
                options.helpTopic = Command::filters;
                return;
            }
            else
                unexpected (arg);
        }
    }

    void parseNoArguments (ArgumentReader& reader, Options& options)
    {
        while (reader.next())
        {
            if (reader.arg() == "--help" || reader.arg() == "-h")
            {
                options.helpTopic = options.command;
                options.command = Command::help;
                return;
            }

            unexpected (reader.arg());
        }
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
    {
        const auto suggestion = closestParameterId (id);
        throw CliError (("unknown parameter '" + id + "'"
                         + (suggestion.isNotEmpty() ? "; did you mean '" + suggestion + "'?" : juce::String())
                         + " ('quarbell params' lists them)")
                            .toStdString());
    }

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

juce::String closestParameterId (const juce::String& text)
{
    std::vector<const char*> ids;

    for (const auto& info : parameterTable)
        ids.push_back (info.id);

    return closestName (text, ids);
}

int findPreset (const juce::String& name)
{
    for (int i = 0; i < numFactoryPresets; ++i)
        if (name == factoryPresetsNames[(size_t) i])
            return i;

    juce::StringArray names;

    // Double quotes: one name holds an apostrophe.
    const auto inQuotes = [] (const juce::String& s) { return "\"" + s + "\""; };

    for (const char* preset : factoryPresetsNames)
        names.add (inQuotes (preset));

    const auto suggestion = closestName (name, factoryPresetsNames);
    throw CliError (("unknown preset " + inQuotes (name)
                     + (suggestion.isNotEmpty() ? "; did you mean " + inQuotes (suggestion) + "?" : juce::String())
                     + " The presets are: " + names.joinIntoString (", "))
                        .toStdString());
}

Options parseArguments (const juce::StringArray& args)
{
    Options options;

    if (args.isEmpty())
        throw CliError ("no command given (try 'quarbell --help')");

    const auto& first = args[0];
    ArgumentReader reader (args);

    if (first == "--help" || first == "-h" || first == "help")
    {
        options.command = Command::help;
        return options;
    }

    if (first == "--version")
    {
        options.command = Command::version;
        return options;
    }

    if (first == "render")
        parseRender (reader, options);
    else if (first == "state")
    {
        options.command = Command::state;
        parseState (reader, options);
    }
    else if (first == "filters")
    {
        options.command = Command::filters;
        parseFilters (reader, options);
    }
    else if (first == "presets" || first == "params")
    {
        options.command = first == "presets" ? Command::presets : Command::params;
        parseNoArguments (reader, options);
    }
    else
        throw CliError (("unknown command '" + first + "' (try 'quarbell --help')").toStdString());

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

AudioFileType audioFileTypeOf (const juce::File& file)
{
    const auto extension = file.getFileExtension().toLowerCase();

    if (extension == ".wav")
        return AudioFileType::wav;

    if (extension == ".aif" || extension == ".aiff")
        return AudioFileType::aiff;

    if (extension == ".flac")
        return AudioFileType::flac;

    throw CliError (("cannot write " + file.getFullPathName() + ": "
                     + (extension.isEmpty() ? juce::String ("no file extension") : "unsupported extension '" + extension + "'")
                     + " (use .wav, .aif, .aiff or .flac)")
                        .toStdString());
}

OutputFormat makeOutputFormat (AudioFileType type, int bitsPerSample)
{
    // JUCE writes floats only into WAV; its AIFF and FLAC writers take integers.
    if (type == AudioFileType::wav)
        return { type, bitsPerSample == 0 ? 32 : bitsPerSample };

    if (bitsPerSample == 32)
        throw CliError ((juce::String (type == AudioFileType::aiff ? "AIFF" : "FLAC")
                         + " output takes --bits 16 or 24; 32-bit float needs WAV")
                            .toStdString());

    return { type, bitsPerSample == 0 ? 24 : bitsPerSample };
}

juce::String fileExtension (AudioFileType type)
{
    switch (type)
    {
        case AudioFileType::aiff: return ".aiff";
        case AudioFileType::flac: return ".flac";
        case AudioFileType::wav:
        default: return ".wav";
    }
}

juce::String describe (const OutputFormat& format)
{
    const char* names[] { "WAV", "AIFF", "FLAC" };
    return juce::String (format.bitsPerSample) + (format.bitsPerSample == 32 ? "-bit float " : "-bit ")
           + names[(int) format.type];
}

juce::String usageText (Command topic)
{
    switch (topic)
    {
        case Command::render:
            return "usage: quarbell render IN.mid -o OUT.wav [options]\n"
                   "       quarbell render IN.mid... -d FOLDER [--format wav|aiff|flac] [options]\n"
                   "\n"
                   "Renders Standard MIDI Files (format 0 or 1, all tracks, tempo changes\n"
                   "honoured) through the organ. MIDI channel 1 plays the upper manual,\n"
                   "channel 2 the lower manual; with the split keyboard on, any channel plays\n"
                   "both, divided at middle C. Controller 1 (mod wheel) at 65 or more turns\n"
                   "the Leslie fast, below 65 slow.\n"
                   "\n"
                   "output:\n"
                   "  -o, --output FILE    the file to write; its extension picks the format:\n"
                   "                       .wav, .aif/.aiff or .flac\n"
                   "  -d, --output-dir DIR one file per input, DIR/NAME.wav (or .aiff, .flac)\n"
                   "  --format F           wav, aiff or flac, with -d (default wav)\n"
                   "  --bits N             16, 24 or 32; default 32-bit float for WAV, 24 for\n"
                   "                       AIFF and FLAC (which take only 16 or 24)\n"
                   "  -q, --quiet          prints nothing but errors\n"
                   "\n"
                   "sound:\n"
                   "  --preset NAME        starts from a factory preset ('quarbell presets');\n"
                   "                       the split keyboard switch stays as it was\n"
                   "  --state FILE         starts from a saved settings blob, before --preset\n"
                   "  --set ID=VALUE       sets a parameter in its own range after the preset,\n"
                   "                       e.g. drawbar3=4.5, vcMode=3, leslieOnOff=off;\n"
                   "                       repeatable ('quarbell params' lists them)\n"
                   "\n"
                   "rendering:\n"
                   "  --rate HZ            sample rate, 1 to 768000, default 48000\n"
                   "  --block N            block size in samples, 1 to 8192, default 512\n"
                   "  --tail SECONDS       time rendered after the last MIDI event, 0 to 60,\n"
                   "                       default 2.5\n"
                   "  --tap STAGE          writes the signal as it leaves a stage instead of the\n"
                   "                       output: generator (left upper, right lower manual),\n"
                   "                       scanner, drive, reverb (mono organ on the left) or output\n"
                   "\n"
                   "On a terminal a progress bar shows on stderr for renders longer than a\n"
                   "second; each file ends with a line giving its length, peak level and speed.\n"
                   "\n"
                   "examples:\n"
                   "  quarbell render song.mid -o song.wav\n"
                   "  quarbell render song.mid -o song.flac --preset \"Mabrek Gospel\" --set FastLeslie=on\n"
                   "  quarbell render a.mid b.mid -d renders --format flac --bits 16\n"
                   "  quarbell render song.mid -o song.aiff --state mysound.bin --rate 96000\n";

        case Command::state:
            return "usage: quarbell state -o FILE [--state FILE] [--preset NAME] [--set ID=VALUE]...\n"
                   "\n"
                   "Writes a settings blob exactly as a host stores the plug-in's state: the\n"
                   "default settings, changed by --state, then --preset, then each --set. The\n"
                   "blob's XML text is printed to stdout. 'quarbell render --state FILE' reads it.\n"
                   "\n"
                   "example:\n"
                   "  quarbell state -o bright.bin --preset \"Purple Rock\" --set percussion=off\n";

        case Command::filters:
            return "usage: quarbell filters [--rate HZ]\n"
                   "\n"
                   "Prints the filter coefficient sets the organ binds at a sample rate (default\n"
                   "48000; at a rate without fitted sets of its own the organ uses those of the\n"
                   "nearest rate and designs the two high-passes for the rate itself):\n"
                   "preamp, low-cut, horn, horn-high-pass and bass, in that order.\n"
                   "\n"
                   + filterFormatText();

        case Command::presets:
        case Command::params:
        case Command::version:
        case Command::help:
        default:
            return "usage: quarbell render IN.mid... (-o OUT.wav | -d FOLDER) [options]\n"
                   "       quarbell state -o FILE [--state FILE] [--preset NAME] [--set ID=VALUE]...\n"
                   "       quarbell filters [--rate HZ]\n"
                   "       quarbell presets | params\n"
                   "       quarbell --help | COMMAND --help | --version\n"
                   "\n"
                   "Quarbell, a tonewheel organ with a rotary speaker, on the command line.\n"
                   "\n"
                   "commands:\n"
                   "  render    renders MIDI files to WAV, AIFF or FLAC ('quarbell render --help')\n"
                   "  state     writes a settings blob as a host saves it, and prints its XML\n"
                   "  filters   prints the filter coefficient sets bound at a sample rate\n"
                   "  presets   lists the factory presets\n"
                   "  params    lists the parameters with their ranges and defaults\n"
                   "\n"
                   "Errors go to stderr as one line starting 'quarbell: error: ', with exit\n"
                   "status 2; no output file is left behind.\n"
                   "\n"
                   "examples:\n"
                   "  quarbell render examples/demo.mid -o demo.wav\n"
                   "  quarbell render examples/gospel.mid -o gospel.flac --preset \"Mabrek Gospel\"\n"
                   "  quarbell render a.mid b.mid -d out --set leslieOnOff=off --set drawbar3=0\n"
                   "  quarbell state -o jazz.bin --preset \"Corvo Jazz\" --set FastLeslie=on\n"
                   "  quarbell filters --rate 44100\n"
                   "\n"
                   + filterFormatText();
    }
}

juce::String filterFormatText()
{
    return "Filter format: per set, a header line\n"
           "  # NAME N sections at R Hz\n"
           "(with \" (B Hz set)\" appended when a fitted set of rate B stands in for R), then N\n"
           "lines of one second-order section each, \"b0 b1 b2 a0 a1 a2\" (a0 is 1), and a\n"
           "line \"gain G\" with the overall gain applied after the last section. Numbers\n"
           "have 9 significant digits and are separated by single spaces. A section\n"
           "computes y = b0 x + z1; z1 = b1 x - a1 y + z2; z2 = b2 x - a2 y.\n";
}

juce::String presetListText()
{
    juce::String text;

    for (int i = 0; i < numFactoryPresets; ++i)
        text << juce::String (i + 1).paddedLeft (' ', 2) << "  " << factoryPresetsNames[(size_t) i] << '\n';

    return text;
}

juce::String parameterTableText()
{
    struct Row
    {
        juce::String cells[5];
    };

    std::vector<Row> rows { { { "#", "ID", "name", "range", "default" } } };

    const auto number = [] (float v) { return juce::String (v); };

    for (size_t i = 0; i < parameterTable.size(); ++i)
    {
        const auto& info = parameterTable[i];
        const bool toggle = info.kind == ParameterKind::toggle;
        const auto range = toggle ? juce::String ("off/on")
                                  : number (info.minimum) + " to " + number (info.maximum)
                                        + (info.kind == ParameterKind::integer ? " (whole)" : "");
        const auto value = toggle ? juce::String (info.defaultValue >= 0.5f ? "on" : "off") : number (info.defaultValue);

        rows.push_back ({ { juce::String (i), info.id, juce::String ("\"") + info.name + "\"", range, value } });
    }

    int widths[5] {};

    for (const auto& row : rows)
        for (int c = 0; c < 5; ++c)
            widths[c] = std::max (widths[c], row.cells[c].length());

    juce::String text;

    for (const auto& row : rows)
    {
        juce::String line = row.cells[0].paddedLeft (' ', widths[0]);

        for (int c = 1; c < 5; ++c)
            line << "  " << row.cells[c].paddedRight (' ', c == 4 ? 0 : widths[c]);

        text << line.trimEnd() << '\n';
    }

    text << "\nDrawbars: 0 is pulled fully out (loudest), 8 pushed in (silent).\n";
    return text;
}

} // namespace quarbell::cli

#pragma once

#include <engine/PluginProcessor.h>

#include <vector>

namespace quarbell::cli
{

// One --set ID=VALUE, with VALUE already checked against the parameter's range.
struct ParameterSetting
{
    juce::String id;
    float value = 0.0f;
};

// How the organ is set up before the first block, applied in this order:
// a saved settings blob, a factory preset, then the single settings.
struct OrganSetup
{
    juce::File stateFile;  // none when it is the default File
    int presetIndex = -1;  // 0-based into the factory presets, or -1
    std::vector<ParameterSetting> parameters;
};

struct RenderSettings
{
    int sampleRate = 48000;
    int blockSize = 512;
    double tailSeconds = 2.5;
    VelmoranAudioProcessor::Tap tap = VelmoranAudioProcessor::Tap::output;
    OrganSetup setup;
};

enum class AudioFileType
{
    wav,
    aiff,
    flac
};

struct OutputFormat
{
    AudioFileType type = AudioFileType::wav;
    int bitsPerSample = 32; // 32 means float, and only WAV takes it
};

// One MIDI file and the audio file it renders into.
struct RenderJob
{
    juce::File input;
    juce::File output;
};

enum class Command
{
    render,
    state,
    filters,
    presets,
    params,
    help,
    version
};

struct Options
{
    Command command = Command::render;
    Command helpTopic = Command::help; // with Command::help: the command asked about, or help itself

    std::vector<RenderJob> jobs;
    OutputFormat format;
    RenderSettings render;
    bool quiet = false;
    bool createOutputFolder = false; // -d makes its folder; -o needs an existing one

    juce::File stateOutput;  // quarbell state -o
    int filterRate = 48000;  // quarbell filters --rate
};

constexpr int maxSampleRate = 768000;
constexpr int maxBlockSize = 8192;
constexpr double maxTailSeconds = 60.0;

// Parses the arguments after the program name. Relative paths resolve against
// the working directory. Throws CliError.
Options parseArguments (const juce::StringArray& args);

// Parses "ID=VALUE" for a parameter of quarbell::parameterTable. Toggles take
// on/off/true/false/1/0. Throws CliError.
ParameterSetting parseParameterSetting (const juce::String& text);

// The ID closest to a mistyped one, or empty when none is close enough to be a
// plausible typo.
juce::String closestParameterId (const juce::String& text);

// Index of a factory preset by its exact name. Throws CliError listing the names.
int findPreset (const juce::String& name);

// Parses a stage name for --tap: generator, scanner, drive, reverb or output.
// Throws CliError.
VelmoranAudioProcessor::Tap parseTap (const juce::String& text);

// The type named by a file's extension (.wav, .aif, .aiff, .flac, any case).
// Throws CliError naming the file.
AudioFileType audioFileTypeOf (const juce::File& file);

// Checks a bit depth against a type; 0 picks the type's default. Throws CliError.
OutputFormat makeOutputFormat (AudioFileType type, int bitsPerSample);

juce::String fileExtension (AudioFileType type);
juce::String describe (const OutputFormat& format); // "24-bit FLAC", "32-bit float WAV"

juce::String usageText (Command topic = Command::help);
juce::String filterFormatText(); // how `quarbell filters` lays out its output
juce::String presetListText();
juce::String parameterTableText();

} // namespace quarbell::cli

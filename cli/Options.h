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

struct RenderSettings
{
    int sampleRate = 48000;
    int blockSize = 512;
    double tailSeconds = 2.0;
    VelmoranAudioProcessor::Tap tap = VelmoranAudioProcessor::Tap::output;
    std::vector<ParameterSetting> parameters;
};

enum class Command
{
    render,
    help,
    version
};

struct Options
{
    Command command = Command::render;
    juce::File input;
    juce::File output;
    RenderSettings render;
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

// Parses a stage name for --tap: generator, scanner, drive, reverb or output.
// Throws CliError.
VelmoranAudioProcessor::Tap parseTap (const juce::String& text);

juce::String usageText();

} // namespace quarbell::cli

#pragma once

#include <engine/PluginProcessor.h>
#include <engine/Settings.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A processor whose parameters the settings functions read and write.
class SettingsTest : public ::testing::Test
{
protected:
    const quarbell::ParameterList& parameters() const { return processor.getParameters(); }

    float normalised (const char* id) const { return processor.findParameter (id)->getValue(); }
    float value (const char* id) const
    {
        auto* parameter = processor.findParameter (id);
        return parameter->convertFrom0to1 (parameter->getValue());
    }
    void setNormalised (const char* id, float v) const { setNormalised (*processor.findParameter (id), v); }
    static void setNormalised (juce::AudioProcessorParameter& parameter, float v) { parameter.setValue (v); }

    std::vector<float> snapshot() const
    {
        std::vector<float> values;
        for (auto* parameter : parameters())
            values.push_back (parameter->getValue());
        return values;
    }

    std::vector<char> save() const
    {
        juce::MemoryBlock block;
        quarbell::writeSettingsBlob (parameters(), block);
        const auto* bytes = static_cast<const char*> (block.getData());
        return { bytes, bytes + block.getSize() };
    }

    bool restore (const std::vector<char>& blob) const
    {
        return quarbell::restoreSettingsBlob (parameters(), blob.data(), static_cast<int> (blob.size()));
    }

    // The framework's blob layout around any text: magic, length, text, zero byte.
    static std::vector<char> blobOf (const std::string& text)
    {
        std::vector<char> blob { 'V', 'C', '2', '!' };
        const auto length = static_cast<std::uint32_t> (text.size() + 1);
        for (int i = 0; i < 4; ++i)
            blob.push_back (static_cast<char> ((length >> (8 * i)) & 0xff));
        blob.insert (blob.end(), text.begin(), text.end());
        blob.push_back (0);
        return blob;
    }

    static std::vector<char> blobOfElement (const std::string& element)
    {
        return blobOf ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> " + element);
    }

    VelmoranAudioProcessor processor;
};

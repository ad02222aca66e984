#include "Settings.h"

#include "FactoryPresets.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace quarbell
{

namespace
{
    constexpr const char* xmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

    // Fixed-point decimals by magnitude: about 16 significant digits, enough
    // to carry any 32-bit value widened to double without loss.
    int fixedDecimals (double magnitude)
    {
        if (magnitude < 1.0)
        {
            if (magnitude >= 1.0e-1)
                return 16;
            if (magnitude >= 1.0e-2)
                return 17;
            if (magnitude >= 1.0e-3)
                return 18;
            if (magnitude >= 1.0e-4)
                return 19;
            return 20;
        }

        if (magnitude < 1.0e1)
            return 15;
        if (magnitude < 1.0e2)
            return 14;
        if (magnitude < 1.0e3)
            return 13;
        if (magnitude < 1.0e4)
            return 12;
        if (magnitude < 1.0e5)
            return 11;
        return 10;
    }

    // to_chars is locale-independent: a host's LC_NUMERIC cannot turn the point into a comma.
    std::string printed (double value, std::chars_format format, int precision)
    {
        char buffer[64];
        const auto result = std::to_chars (buffer, buffer + sizeof (buffer), value, format, precision);
        return std::string (buffer, result.ptr);
    }

    // "0.62500" -> "0.625", "1.000" -> "1.0".
    void trimTrailingZeros (std::string& number)
    {
        const auto point = number.find ('.');

        if (point == std::string::npos)
            return;

        auto last = number.find_last_not_of ('0');

        if (last == point)
            ++last;

        number.erase (last + 1);
    }

    // "1.50000000000000e-06" -> "1.5e-6", "1.00000000000000e+07" -> "1.0e7".
    std::string scientific (double value)
    {
        const auto text = printed (value, std::chars_format::scientific, 14);
        const auto e = text.find ('e');

        if (e == std::string::npos)
            return text;

        auto mantissa = text.substr (0, e);
        trimTrailingZeros (mantissa);

        auto exponent = text.substr (e + 1);
        const bool negative = ! exponent.empty() && exponent[0] == '-';
        const auto digits = exponent.find_first_not_of ("+-0");

        return mantissa + 'e' + (negative ? "-" : "") + (digits == std::string::npos ? "0" : exponent.substr (digits));
    }

    bool isDigit (char c) { return c >= '0' && c <= '9'; }

    bool isSpace (char c) { return c == ' ' || (c >= 9 && c <= 13); }

    // For a decimal [begin, end) that a double cannot hold: too large, or too small?
    bool exceedsDouble (const char* begin, const char* end)
    {
        long long scale = 0; // decimal position of the first significant digit
        bool significant = false;
        const char* p = begin;

        for (; p < end && isDigit (*p); ++p)
        {
            significant = significant || *p != '0';
            if (significant)
                ++scale;
        }

        if (p < end && *p == '.')
            for (++p; p < end && isDigit (*p) && ! significant; ++p)
            {
                significant = *p != '0';
                if (! significant)
                    --scale;
            }

        while (p < end && *p != 'e' && *p != 'E')
            ++p;

        long long exponent = 0;

        if (p < end)
        {
            ++p;
            const bool negative = *p == '-';
            if (*p == '-' || *p == '+')
                ++p;

            // Saturate: any exponent this large decides the answer on its own.
            for (; p < end && isDigit (*p); ++p)
                exponent = std::min (exponent * 10 + (*p - '0'), 1000000000LL);

            if (negative)
                exponent = -exponent;
        }

        return significant && scale + exponent > 0;
    }

    // A double narrowed to float: values beyond float's range would be undefined, so clamp them.
    float toFloat (double value)
    {
        constexpr double largest = std::numeric_limits<float>::max();
        return static_cast<float> (std::clamp (value, -largest, largest));
    }

    void writeLittleEndian32 (char* destination, std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            destination[i] = static_cast<char> ((value >> (8 * i)) & 0xff);
    }

    std::uint32_t readLittleEndian32 (const unsigned char* source)
    {
        return static_cast<std::uint32_t> (source[0]) | (static_cast<std::uint32_t> (source[1]) << 8)
               | (static_cast<std::uint32_t> (source[2]) << 16) | (static_cast<std::uint32_t> (source[3]) << 24);
    }

    // The XML reader recurses per nested element and expands DTD entities
    // recursively, so a hostile text could exhaust the stack; it also loops
    // forever on a processing instruction followed by text inside an element.
    // A settings document needs none of these (its declaration comes first),
    // so refuse such texts before parsing.
    bool isSafeToParse (const std::string& text)
    {
        if (text.find ("<!DOCTYPE") != std::string::npos)
            return false;

        const auto firstMarkup = text.find ('<');

        if (firstMarkup == std::string::npos)
            return false;

        const auto afterDeclaration = text.compare (firstMarkup, 2, "<?") == 0 ? firstMarkup + 2 : 0;

        if (text.find ("<?", afterDeclaration) != std::string::npos)
            return false;

        int markup = 0;

        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '<' && (i + 1 == text.size() || text[i + 1] != '/'))
                if (++markup > maxSettingsMarkup)
                    return false;

        return true;
    }

    bool isSettingsElement (const juce::XmlElement& element)
    {
        return element.getTagName().equalsIgnoreCase (settingsTag);
    }

    void appendUtf8 (std::string& out, std::uint32_t c)
    {
        if (c < 0x80)
        {
            out += static_cast<char> (c);
        }
        else if (c < 0x800)
        {
            out += static_cast<char> (0xc0 | (c >> 6));
            out += static_cast<char> (0x80 | (c & 0x3f));
        }
        else if (c < 0x10000)
        {
            out += static_cast<char> (0xe0 | (c >> 12));
            out += static_cast<char> (0x80 | ((c >> 6) & 0x3f));
            out += static_cast<char> (0x80 | (c & 0x3f));
        }
        else
        {
            out += static_cast<char> (0xf0 | (c >> 18));
            out += static_cast<char> (0x80 | ((c >> 12) & 0x3f));
            out += static_cast<char> (0x80 | ((c >> 6) & 0x3f));
            out += static_cast<char> (0x80 | (c & 0x3f));
        }
    }

    // One well-formed UTF-8 sequence at [p, end): its length and code point, or 0.
    std::size_t decodeSequence (const unsigned char* p, const unsigned char* end, std::uint32_t& codePoint)
    {
        const unsigned lead = p[0];
        std::size_t length = 0;
        std::uint32_t minimum = 0;

        if (lead < 0x80)
        {
            codePoint = lead;
            return 1;
        }
        if (lead >= 0xc2 && lead <= 0xdf)
        {
            length = 2;
            minimum = 0x80;
            codePoint = lead & 0x1f;
        }
        else if (lead >= 0xe0 && lead <= 0xef)
        {
            length = 3;
            minimum = 0x800;
            codePoint = lead & 0x0f;
        }
        else if (lead >= 0xf0 && lead <= 0xf4)
        {
            length = 4;
            minimum = 0x10000;
            codePoint = lead & 0x07;
        }
        else
        {
            return 0;
        }

        if (static_cast<std::size_t> (end - p) < length)
            return 0;

        for (std::size_t i = 1; i < length; ++i)
        {
            if ((p[i] & 0xc0) != 0x80)
                return 0;
            codePoint = (codePoint << 6) | (p[i] & 0x3f);
        }

        const bool surrogate = codePoint >= 0xd800 && codePoint <= 0xdfff;
        return codePoint < minimum || codePoint > 0x10ffff || surrogate ? 0 : length;
    }
} // namespace

std::string formatSettingsValue (double value)
{
    if (! std::isfinite (value))
        return printed (value, std::chars_format::general, 1);

    const double magnitude = std::abs (value);

    if (magnitude >= 1.0e6 || (magnitude <= 1.0e-5 && value != 0.0))
        return scientific (value);

    if (std::trunc (value) == value)
        return printed (value, std::chars_format::fixed, 1);

    auto text = printed (value, std::chars_format::fixed, fixedDecimals (magnitude));
    trimTrailingZeros (text);
    return text;
}

double parseSettingsValue (const char* text)
{
    if (text == nullptr)
        return 0.0;

    const char* p = text;

    while (isSpace (*p))
        ++p;

    const bool negative = *p == '-';

    if (*p == '-' || *p == '+')
        ++p;

    const char* begin = p;
    int digits = 0;

    for (; isDigit (*p); ++p)
        ++digits;

    if (*p == '.')
        for (++p; isDigit (*p); ++p)
            ++digits;

    if (digits == 0)
        return 0.0;

    const char* end = p;

    // An exponent counts only with at least one digit: "2e" reads as 2.
    if (*p == 'e' || *p == 'E')
    {
        const char* q = p + 1;

        if (*q == '-' || *q == '+')
            ++q;

        if (isDigit (*q))
        {
            while (isDigit (*q))
                ++q;
            end = q;
        }
    }

    double magnitude = 0.0;
    const auto result = std::from_chars (begin, end, magnitude, std::chars_format::general);

    if (result.ec == std::errc::result_out_of_range)
        magnitude = exceedsDouble (begin, end) ? std::numeric_limits<double>::infinity() : 0.0;

    return negative ? -magnitude : magnitude;
}

std::string settingsElementText (const ParameterList& parameters)
{
    std::string text = std::string ("<") + settingsTag;

    for (auto* parameter : parameters)
    {
        auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter);

        if (withId == nullptr || withId->paramID.isEmpty())
            continue;

        text += ' ';
        text += withId->paramID.toStdString();
        text += "=\"";
        text += formatSettingsValue (static_cast<double> (parameter->getValue()));
        text += '"';
    }

    return text + "/>";
}

void writeSettingsBlob (const ParameterList& parameters, juce::MemoryBlock& destination)
{
    const std::string text = std::string (xmlDeclaration) + ' ' + settingsElementText (parameters);
    const std::size_t size = 8 + text.size() + 1;

    destination.setSize (size, false);
    auto* bytes = static_cast<char*> (destination.getData());

    writeLittleEndian32 (bytes, settingsMagic);
    writeLittleEndian32 (bytes + 4, static_cast<std::uint32_t> (size - 9));
    std::memcpy (bytes + 8, text.data(), text.size());
    bytes[size - 1] = 0;
}

std::string sanitiseUtf8 (const char* data, std::size_t size)
{
    std::string out;
    out.reserve (size);

    const auto* p = reinterpret_cast<const unsigned char*> (data);
    const auto* end = p + size;

    while (p < end && *p != 0)
    {
        std::uint32_t codePoint = 0;
        const auto length = decodeSequence (p, end, codePoint);

        if (length == 0)
        {
            appendUtf8 (out, 0xfffd);
            ++p;
            continue;
        }

        out.append (reinterpret_cast<const char*> (p), length);
        p += length;
    }

    return out;
}

std::unique_ptr<juce::XmlElement> parseSettingsBlob (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes < 9)
        return {};

    const auto* bytes = static_cast<const unsigned char*> (data);

    if (readLittleEndian32 (bytes) != settingsMagic)
        return {};

    const auto length = static_cast<std::int32_t> (readLittleEndian32 (bytes + 4));

    if (length <= 0)
        return {};

    // A length beyond the data means the text runs to the end of the data.
    const auto textSize = std::min (static_cast<std::size_t> (sizeInBytes - 8), static_cast<std::size_t> (length));
    const auto text = sanitiseUtf8 (reinterpret_cast<const char*> (bytes + 8), textSize);

    if (text.empty() || ! isSafeToParse (text))
        return {};

    auto element = juce::parseXML (juce::String::fromUTF8 (text.data(), static_cast<int> (text.size())));

    if (element == nullptr || ! isSettingsElement (*element))
        return {};

    return element;
}

void applySettings (const juce::XmlElement& settings, const ParameterList& parameters, const juce::String& excludedId)
{
    for (auto* parameter : parameters)
    {
        auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter);

        if (withId == nullptr || withId->paramID.isEmpty() || withId->paramID == excludedId)
            continue;

        // A missing attribute leaves the parameter untouched, so a value the
        // audio thread writes meanwhile (split learn, rotor speed) survives.
        if (! settings.hasAttribute (withId->paramID))
            continue;

        const double value = parseSettingsValue (settings.getStringAttribute (withId->paramID).toRawUTF8());

        // The parameter's own normalised setter: silent, no host notification.
        parameter->setValue (toFloat (value));
    }
}

bool restoreSettingsBlob (const ParameterList& parameters, const void* data, int sizeInBytes)
{
    const auto settings = parseSettingsBlob (data, sizeInBytes);

    if (settings == nullptr)
        return false;

    applySettings (*settings, parameters);
    return true;
}

bool applyFactoryPreset (const ParameterList& parameters, int index)
{
    if (index < 0 || index >= numFactoryPresets)
        return false;

    const auto settings = juce::parseXML (juce::String (factoryPresetsXml[static_cast<std::size_t> (index)]));

    if (settings == nullptr || ! isSettingsElement (*settings))
        return false;

    // The split switch belongs to the player's keyboard set-up, not to the sound.
    applySettings (*settings, parameters, "splitkeyboard");
    return true;
}

} // namespace quarbell

#include <engine/Settings.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

using quarbell::formatSettingsValue;
using quarbell::parseSettingsValue;

TEST (SettingsNumber, FormatsEachMagnitudeBandAsTheSavedStateSpellsIt)
{
    struct Case
    {
        double value;
        const char* text;
    };

    const Case cases[] {
        // Whole numbers keep one decimal.
        { 0.0, "0.0" },
        { 1.0, "1.0" },
        { -1.0, "-1.0" },
        { 364.0, "364.0" },
        // 16 decimals from 0.1 to 1, trailing zeros removed.
        { 0.625, "0.625" },
        { 0.5, "0.5" },
        { 0.3, "0.3" },
        { -0.625, "-0.625" },
        { double (0.47f), "0.4699999988079071" },
        { double (0.4f), "0.4000000059604645" },
        { double (0.1f), "0.1000000014901161" },
        { double (0.99999994f), "0.9999999403953552" },
        // 17 decimals from 0.01.
        { double (0.099999994f), "0.09999999403953552" },
        { double (0.05f), "0.05000000074505806" },
        // 18 decimals from 0.001.
        { double (0.01f), "0.009999999776482582" },
        { double (0.005f), "0.004999999888241291" },
        // 19 decimals from 0.0001.
        { double (0.0005f), "0.0005000000237487257" },
        // 20 decimals below that, down to 1e-5 exclusive.
        { double (0.00005f), "0.00004999999873689376" },
        // Scientific with 15 significant digits at or below 1e-5 and from 1e6.
        { 1.0e-5, "1.0e-5" },
        { double (1.0e-5f), "9.99999974737875e-6" },
        { double (1.0e-6f), "9.99999997475243e-7" },
        { -2.5e-7, "-2.5e-7" },
        { 1.0e6, "1.0e6" },
        { 1234567.8901234567, "1.23456789012346e6" },
        { 1.0e20, "1.0e20" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (formatSettingsValue (c.value), c.text) << "value " << c.value;
}

TEST (SettingsNumber, ReadsTheLeadingDecimalNumberAndAnythingElseAsZero)
{
    const double infinity = std::numeric_limits<double>::infinity();

    struct Case
    {
        const char* text;
        double value;
    };

    const Case cases[] {
        { "0.5", 0.5 },
        { "0.4699999988079071", 0.4699999988079071 },
        { " \t\n0.25", 0.25 },
        { "-1.5", -1.5 },
        { "+2", 2.0 },
        { "1e-3", 0.001 },
        { "2E2", 200.0 },
        { "2.5e+1", 25.0 },
        { "9.99999974737875e-6", 9.99999974737875e-6 },
        { ".5", 0.5 },
        { "5.", 5.0 },
        { "0.75abc", 0.75 },
        { "2e", 2.0 },
        { "2e+", 2.0 },
        { "1 2", 1.0 },
        { "large", 0.0 },
        { "", 0.0 },
        { "-", 0.0 },
        { ".", 0.0 },
        { "e5", 0.0 },
        { "inf", 0.0 },
        { "nan", 0.0 },
        { "0x10", 0.0 },
        { "--1", 0.0 },
        { "1e400", infinity },
        { "-1e400", -infinity },
        { "1e-400", 0.0 },
        { "0.0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000001",
          0.0 },
        { "1000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "000000000000000000000000",
          infinity },
        { "0.001e309", 1.0e306 },
        { "1e99999999999999999999", infinity },
    };

    for (const auto& c : cases)
        EXPECT_EQ (parseSettingsValue (c.text), c.value) << "text \"" << c.text << '"';

    EXPECT_EQ (parseSettingsValue (nullptr), 0.0);
}

TEST (SettingsNumber, EveryFloatSurvivesTheTextRoundTrip)
{
    std::mt19937 random (7);
    std::uniform_int_distribution<std::uint32_t> bits;

    for (int i = 0; i < 200000; ++i)
    {
        float value;
        const auto pattern = bits (random);
        std::memcpy (&value, &pattern, sizeof (value));

        if (! std::isfinite (value))
            continue;

        const auto text = formatSettingsValue (double (value));
        ASSERT_EQ (float (parseSettingsValue (text.c_str())), value) << text;
    }
}

// The framework writes doubles into XML attributes with the same fixed-point
// rules; its scientific form has 16 significant digits where ours has 15, so
// there only the value read back is compared.
TEST (SettingsNumber, MatchesTheFrameworkAttributeTextInTheFixedPointRange)
{
    std::mt19937 random (11);
    std::uniform_real_distribution<float> unit (0.0f, 1.0f);
    juce::XmlElement element ("X");

    auto frameworkText = [&element] (double value)
    {
        element.setAttribute ("v", value);
        return element.getStringAttribute ("v").toStdString();
    };

    for (int i = 0; i < 20000; ++i)
    {
        const double value = double (unit (random)) * (i % 2 == 0 ? 1.0 : 0.001);

        if (value <= 1.0e-5)
            continue;

        ASSERT_EQ (formatSettingsValue (value), frameworkText (value));
    }

    for (const double value : { double (1.0e-6f), double (3.0e-6f), 1.0e-7, 2.0e6 })
        EXPECT_EQ (float (parseSettingsValue (formatSettingsValue (value).c_str())),
                   float (juce::String (frameworkText (value)).getDoubleValue()));
}

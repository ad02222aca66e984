#include "SettingsTestSupport.h"

#include <cstring>
#include <random>

namespace
{
// The defaults' normalised values: drawbars 0/8 and 8/8, 0.4 -> 0.4f,
// key click 1 of 0..5 -> 0.2f, vcMode 1 of 0..5 -> 0.2f, room 25 of 10..100
// -> 15/90, reverb mix 0.21f, leakage 0.2f, attenuation 0.7 of 0.2..0.95.
const std::string defaultText
    = "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <QUARBELLSETTINGS"
      " drawbar0=\"0.0\" drawbar1=\"0.0\" drawbar2=\"0.0\" drawbar3=\"1.0\" drawbar4=\"1.0\" drawbar5=\"1.0\""
      " drawbar6=\"1.0\" drawbar7=\"1.0\" drawbar8=\"1.0\""
      " lowdrawbar0=\"0.0\" lowdrawbar1=\"0.0\" lowdrawbar2=\"0.0\" lowdrawbar3=\"1.0\" lowdrawbar4=\"1.0\""
      " lowdrawbar5=\"1.0\" lowdrawbar6=\"1.0\" lowdrawbar7=\"1.0\" lowdrawbar8=\"1.0\""
      " upperLowerBalance=\"0.5\" leslieHQBass=\"0.4000000059604645\" leslieGain=\"0.0\" leslieOnOff=\"1.0\""
      " keyClickLevel=\"0.2000000029802322\" FastLeslie=\"0.0\" percussion=\"0.0\" percVol=\"1.0\""
      " percSpeed=\"0.0\" percFreq=\"0.0\" splitkeyboard=\"0.0\" splitlearn=\"0.0\" vcUpOnOff=\"0.0\""
      " vcDownOnOff=\"0.0\" vcMode=\"0.2000000029802322\" roomSize=\"0.1666666716337204\""
      " reverbMix=\"0.2099999934434891\" leakageLevel=\"0.2000000029802322\""
      " reverbAttenuation=\"0.6666666865348816\"/>";

std::uint32_t word (const std::vector<char>& blob, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char> (blob[offset + std::size_t (i)]);
    return value;
}

// Every parameter at a value of its own kind, different from its default.
void setAllNonDefault (const quarbell::ParameterList& parameters, unsigned seed)
{
    std::mt19937 random (seed);
    std::uniform_real_distribution<float> unit (0.0f, 1.0f);

    for (auto* parameter : parameters)
        parameter->setValue (unit (random));
}
} // namespace

TEST_F (SettingsTest, DefaultBlobIsTheExactFrameworkLayoutAroundTheExactText)
{
    const auto blob = save();

    ASSERT_EQ (blob.size(), 8 + defaultText.size() + 1);
    EXPECT_EQ (std::string (blob.data(), 4), "VC2!");
    EXPECT_EQ (word (blob, 0), 0x21324356u);
    EXPECT_EQ (word (blob, 4), blob.size() - 9);
    EXPECT_EQ (std::string (blob.data() + 8, blob.size() - 9), defaultText);
    EXPECT_EQ (blob.back(), 0);
}

TEST_F (SettingsTest, SavingTwiceGivesIdenticalBytesWithLengthAndFinalZero)
{
    setAllNonDefault (parameters(), 1);
    const auto first = save();
    const auto second = save();

    EXPECT_EQ (first, second);
    EXPECT_EQ (word (first, 4), first.size() - 9);
    EXPECT_EQ (first.back(), 0);
    EXPECT_EQ (std::memchr (first.data() + 8, 0, first.size() - 9), nullptr) << "zero byte inside the text";
}

TEST_F (SettingsTest, SavingReplacesWhateverTheBlockHeld)
{
    juce::MemoryBlock block (100000, true);
    quarbell::writeSettingsBlob (parameters(), block);

    EXPECT_EQ (block.getSize(), 8 + defaultText.size() + 1);
    EXPECT_EQ (std::string (static_cast<const char*> (block.getData()) + 8, defaultText.size()), defaultText);
}

// The framework's own wrapper and reader agree with ours byte for byte.
TEST_F (SettingsTest, BlobEqualsTheFrameworkWrapperOfTheSameElement)
{
    setAllNonDefault (parameters(), 2);
    const auto blob = save();

    juce::XmlElement element ("QUARBELLSETTINGS");
    for (auto* parameter : parameters())
    {
        auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameter);
        element.setAttribute (withId->paramID, quarbell::formatSettingsValue (double (parameter->getValue())));
    }

    juce::MemoryBlock framework;
    juce::AudioProcessor::copyXmlToBinary (element, framework);
    const auto* bytes = static_cast<const char*> (framework.getData());
    EXPECT_EQ (blob, std::vector<char> (bytes, bytes + framework.getSize()));

    const auto read = juce::AudioProcessor::getXmlFromBinary (blob.data(), int (blob.size()));
    ASSERT_NE (read, nullptr);
    EXPECT_TRUE (read->isEquivalentTo (&element, false));
}

TEST_F (SettingsTest, RestoringASavedBlobBringsBackEveryParameter)
{
    setAllNonDefault (parameters(), 3);
    const auto saved = snapshot();
    const auto blob = save();

    // Each parameter's own normalised-to-range conversion may round; the blob
    // itself must not add anything to that.
    VelmoranAudioProcessor reference;
    for (int i = 0; i < reference.getParameters().size(); ++i)
        setNormalised (*reference.getParameters()[i], saved[std::size_t (i)]);
    std::vector<float> expected;
    for (auto* parameter : reference.getParameters())
        expected.push_back (parameter->getValue());

    setAllNonDefault (parameters(), 4);
    ASSERT_NE (snapshot(), expected);

    EXPECT_TRUE (restore (blob));
    EXPECT_EQ (snapshot(), expected);

    for (std::size_t i = 0; i < saved.size(); ++i)
        EXPECT_NEAR (snapshot()[i], saved[i], 1.0e-6f) << "parameter " << i;
}

TEST_F (SettingsTest, SingleAttributeChangesOnlyItsParameter)
{
    setAllNonDefault (parameters(), 5);
    auto expected = snapshot();
    expected[0] = 1.0f;

    EXPECT_TRUE (restore (blobOfElement ("<QUARBELLSETTINGS drawbar0=\"1\"/>")));

    EXPECT_EQ (snapshot(), expected);
    EXPECT_EQ (value ("drawbar0"), 8.0f);
}

TEST_F (SettingsTest, RootTagIgnoresCaseButAttributeNamesDoNot)
{
    const auto before = snapshot();

    EXPECT_TRUE (restore (blobOfElement ("<quarbellsettings Drawbar1=\"1\" ROOMSIZE=\"1\" drawbar2=\"0.5\"/>")));

    auto expected = before;
    expected[2] = 0.5f;
    EXPECT_EQ (snapshot(), expected);
}

TEST_F (SettingsTest, WordReadsAsNormalisedZero)
{
    setNormalised ("roomSize", 0.75f);

    EXPECT_TRUE (restore (blobOfElement ("<QUARBELLSETTINGS roomSize=\"large\"/>")));

    EXPECT_EQ (normalised ("roomSize"), 0.0f);
    EXPECT_EQ (value ("roomSize"), 10.0f);
}

TEST_F (SettingsTest, FirstOfDuplicateAttributesWins)
{
    EXPECT_TRUE (restore (blobOfElement ("<QUARBELLSETTINGS reverbMix=\"0.25\" reverbMix=\"0.75\"/>")));

    EXPECT_EQ (normalised ("reverbMix"), 0.25f);
}

TEST_F (SettingsTest, ValuesOutsideTheUnitRangeGoThroughEachParametersSetter)
{
    EXPECT_TRUE (restore (blobOfElement ("<QUARBELLSETTINGS drawbar0=\"5\" drawbar1=\"-3\" drawbar2=\"1e400\""
                                         " vcMode=\"0.55\" percussion=\"7\" splitlearn=\"-1e999\"/>")));

    EXPECT_EQ (value ("drawbar0"), 8.0f);
    EXPECT_EQ (value ("drawbar1"), 0.0f);
    EXPECT_EQ (value ("drawbar2"), 8.0f);
    EXPECT_EQ (value ("vcMode"), 3.0f) << "integer parameters round to a whole step";
    EXPECT_GE (normalised ("percussion"), 0.5f) << "on/off keeps the value and reads as on";
    EXPECT_TRUE (std::isfinite (normalised ("splitlearn")));
    EXPECT_LT (normalised ("splitlearn"), 0.5f);
}

TEST_F (SettingsTest, TextEndsAtTheLengthFieldOrTheFirstZeroByte)
{
    // Length beyond the data: the text runs to the end of the data.
    auto longer = blobOfElement ("<QUARBELLSETTINGS drawbar0=\"0.25\"/>");
    longer[4] = 0x7f;
    longer.pop_back();
    EXPECT_TRUE (restore (longer));
    EXPECT_EQ (normalised ("drawbar0"), 0.25f);

    // Bytes after the length are not text.
    auto trailing = blobOfElement ("<QUARBELLSETTINGS drawbar0=\"0.5\"/>");
    trailing.insert (trailing.end(), { '<', 'x', '>', '\x01' });
    EXPECT_TRUE (restore (trailing));
    EXPECT_EQ (normalised ("drawbar0"), 0.5f);

    // A zero byte ends the text early.
    auto zero = blobOfElement ("<QUARBELLSETTINGS drawbar0=\"0.75\"/>");
    zero.insert (zero.end() - 1, { '\0', '<', '/', 'x' });
    zero[4] = static_cast<char> (zero.size() - 9);
    EXPECT_TRUE (restore (zero));
    EXPECT_EQ (normalised ("drawbar0"), 0.75f);
}

TEST_F (SettingsTest, RefusedBlobsChangeNothing)
{
    setAllNonDefault (parameters(), 6);
    const auto before = snapshot();
    const auto valid = blobOfElement ("<QUARBELLSETTINGS drawbar0=\"0.5\" drawbar1=\"0.5\"/>");

    auto withLength = [&valid] (std::uint32_t length)
    {
        auto blob = valid;
        for (int i = 0; i < 4; ++i)
            blob[4 + std::size_t (i)] = static_cast<char> ((length >> (8 * i)) & 0xff);
        return blob;
    };
    auto wrongMagic = valid;
    wrongMagic[3] = '?';
    auto cutShort = valid;
    cutShort.resize (valid.size() / 2);
    auto garbage = std::vector<char> (valid.size());
    std::mt19937 random (9);
    for (auto& byte : garbage)
        byte = static_cast<char> (random());

    struct Case
    {
        const char* what;
        std::vector<char> blob;
    };

    const Case cases[] {
        { "empty", {} },
        { "header only", std::vector<char> (valid.begin(), valid.begin() + 8) },
        { "wrong magic", wrongMagic },
        { "length zero", withLength (0) },
        { "length negative", withLength (0x80000000u) },
        { "length minus one", withLength (0xffffffffu) },
        { "length cuts the element", withLength (30) },
        { "data cut short", cutShort },
        { "random bytes", garbage },
        { "magic and random bytes", [&garbage] { auto b = garbage; std::memcpy (b.data(), "VC2!", 4); return b; }() },
        { "not xml", blobOf ("drawbar0=1") },
        { "empty text", blobOf ("") },
        { "only a zero byte", blobOf (std::string (1, '\0') + "<QUARBELLSETTINGS drawbar0=\"0.5\"/>") },
        { "other root", blobOfElement ("<QUARBELL drawbar0=\"0.5\"/>") },
        { "unclosed", blobOfElement ("<QUARBELLSETTINGS drawbar0=\"0.5\">") },
        { "bad child", blobOfElement ("<QUARBELLSETTINGS drawbar0=\"0.5\"><x></QUARBELLSETTINGS>") },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        EXPECT_FALSE (restore (c.blob));
        EXPECT_FALSE (quarbell::restoreSettingsBlob (parameters(), c.blob.data(), -int (c.blob.size())));
        EXPECT_EQ (snapshot(), before);
    }

    EXPECT_FALSE (quarbell::restoreSettingsBlob (parameters(), nullptr, 100));
    EXPECT_EQ (snapshot(), before);
}

// The XML reader recurses per nested element and per DTD entity and can loop
// forever; such texts must be refused before they reach it.
TEST_F (SettingsTest, HostileXmlIsRefusedBeforeItCanHangOrExhaustTheStack)
{
    const auto before = snapshot();

    std::string deep = "<QUARBELLSETTINGS drawbar0=\"0.5\">";
    for (int i = 0; i < 2000000; ++i)
        deep += "<a>";

    const std::string entities = "<!DOCTYPE QUARBELLSETTINGS [ <!ENTITY a \"&a;\"> ]>"
                                 "<QUARBELLSETTINGS drawbar0=\"&a;\"/>";

    // The reader never returns from an instruction followed by text inside an element.
    const std::string instruction = "<QUARBELLSETTINGS drawbar0=\"0.5\"><?x?>b</QUARBELLSETTINGS>";

    EXPECT_FALSE (restore (blobOfElement (deep)));
    EXPECT_FALSE (restore (blobOfElement (entities)));
    EXPECT_FALSE (restore (blobOfElement (instruction)));
    EXPECT_FALSE (restore (blobOf (instruction)));
    EXPECT_EQ (snapshot(), before);

    // The declaration itself, with or without leading white space, is fine.
    EXPECT_TRUE (restore (blobOf ("\n <?xml version=\"1.0\"?><QUARBELLSETTINGS drawbar0=\"0.5\"/>")));
    EXPECT_TRUE (restore (blobOf ("<QUARBELLSETTINGS drawbar1=\"0.5\"/>")));
    EXPECT_EQ (normalised ("drawbar0"), 0.5f);
    EXPECT_EQ (normalised ("drawbar1"), 0.5f);
}

TEST_F (SettingsTest, MalformedUtf8IsReplacedNotTrusted)
{
    struct Case
    {
        std::string bytes;
        std::string text;
    };

    const std::string replacement = "\xEF\xBF\xBD";
    const Case cases[] {
        { "abc", "abc" },
        { "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB9", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB9" },
        { std::string ("ab\0cd", 5), "ab" },
        { "\xFF", replacement },
        { "a\xE2\x82", "a" + replacement + replacement },
        { "\xC0\xAF", replacement + replacement },
        { "\xED\xA0\x80", replacement + replacement + replacement },
        { "\xF4\x90\x80\x80", replacement + replacement + replacement + replacement },
    };

    for (const auto& c : cases)
        EXPECT_EQ (quarbell::sanitiseUtf8 (c.bytes.data(), c.bytes.size()), c.text);

    // Only the bytes handed over are read, even inside an unfinished sequence.
    const char cut[] = { 'a', '\xF0', '\x9F', '\x8E', '\xB9' };
    EXPECT_EQ (quarbell::sanitiseUtf8 (cut, 3), "a" + replacement + replacement);

    EXPECT_TRUE (restore (blobOfElement ("<QUARBELLSETTINGS drawbar0=\"0.5\xFF\" drawbar1=\"\xC0\"/>")));
    EXPECT_EQ (normalised ("drawbar0"), 0.5f);
    EXPECT_EQ (normalised ("drawbar1"), 0.0f);
}

#include "InstrumentRoles.h"

namespace hoopvane::tools::demo
{
namespace
{
    /** The lower-case words of a name; brackets, dashes and slashes separate words. */
    juce::StringArray wordsOf (const juce::String& name)
    {
        juce::StringArray words;
        juce::String word;
        for (auto c : name.toLowerCase() + " ")
        {
            if (juce::CharacterFunctions::isLetterOrDigit (c))
            {
                word += juce::String::charToString (c);
            }
            else if (word.isNotEmpty())
            {
                words.add (word);
                word.clear();
            }
        }
        return words;
    }

    bool hasWord (const juce::StringArray& words, std::initializer_list<const char*> candidates)
    {
        for (auto* candidate : candidates)
            if (words.contains (candidate))
                return true;
        return false;
    }

    bool hasWordStarting (const juce::StringArray& words, std::initializer_list<const char*> prefixes)
    {
        for (const auto& word : words)
            for (auto* prefix : prefixes)
                if (word.startsWith (prefix))
                    return true;
        return false;
    }

    /** Other articulations of a drum or cymbal: not the plain sound the groove needs. */
    bool isOtherArticulation (const juce::StringArray& words)
    {
        return hasWordStarting (words, { "rim", "roll", "side", "stick", "bell", "cup", "choke", "flink", "swish", "pedal", "foot", "semi", "off", "splash", "china", "brush" });
    }

    /** Which tom: words like "floor"/"low", "mid", "high"/"hi", else a number 1 … 3. A name
        joined to "tom" ("tomhi2", "tom1") gives its letters and its number as words too. */
    std::optional<Drum> tomOf (const juce::StringArray& words)
    {
        juce::StringArray hints (words);
        for (const auto& word : words)
        {
            if (word.startsWith ("tom") && word.length() > 3)
            {
                hints.add (word.substring (3).retainCharacters ("abcdefghijklmnopqrstuvwxyz"));
                hints.add (word.substring (3).retainCharacters ("0123456789"));
            }
        }

        if (hasWordStarting (hints, { "floor" }) || hasWord (hints, { "low", "lo" }))
            return Drum::tom3;
        if (hasWordStarting (hints, { "mid" }))
            return Drum::tom2;
        if (hasWord (hints, { "high", "hi", "rack" }))
            return Drum::tom1;

        for (auto [number, tom] : { std::pair { "1", Drum::tom1 }, { "2", Drum::tom2 }, { "3", Drum::tom3 } })
            if (hints.contains (number))
                return tom;
        return std::nullopt;
    }

    std::optional<InstrumentRole> hiHatOf (const juce::StringArray& words)
    {
        if (hasWord (words, { "open", "opened", "op" }))
            return InstrumentRole { Drum::hihat, true };
        return InstrumentRole { Drum::hihat, false };
    }
} // namespace

std::optional<InstrumentRole> roleOfInstrument (const juce::String& instrumentName)
{
    const auto words = wordsOf (instrumentName);
    const auto joined = words.joinIntoString (" ");
    if (isOtherArticulation (words))
        return std::nullopt;

    if (hasWordStarting (words, { "kick" }) || joined.contains ("bass drum") || hasWord (words, { "bassdrum", "bd" }))
        return InstrumentRole { Drum::kick };
    if (hasWordStarting (words, { "snare" }))
        return InstrumentRole { Drum::snare };
    if (hasWordStarting (words, { "hihat", "hat" }) || hasWord (words, { "hh" }))
        return hiHatOf (words);
    if (hasWordStarting (words, { "crash" }) && ! joined.contains ("ride"))
        return InstrumentRole { Drum::crash };
    if (hasWordStarting (words, { "ride" }) && ! joined.contains ("crash"))
        return InstrumentRole { Drum::ride };
    if (hasWordStarting (words, { "tom" }))
        if (auto tom = tomOf (words))
            return InstrumentRole { *tom };
    return std::nullopt;
}
} // namespace hoopvane::tools::demo

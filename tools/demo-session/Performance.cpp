#include "Performance.h"

namespace hoopvane::tools::demo
{
namespace
{
    constexpr double slowestTempo = 106.0; // sixteenth kicks stay under 142 ms apart
    constexpr double fastestTempo = 118.0;
    constexpr double preRollSeconds = 0.25;
    constexpr double tailSeconds = 2.5;
    constexpr int slotsPerBar = 16;
    constexpr int barsPerSection = 4;
    constexpr int fillStartSlot = 8;

    constexpr double grooveTimingMs = 1.5;
    constexpr double tightTimingMs = 1.0;

    const std::vector<std::vector<int>> kickPatterns { { 0, 8 }, { 0, 8, 10 }, { 0, 6, 8 }, { 0, 3, 8, 11 }, { 0, 7, 8, 14 } };
    const std::vector<int> ghostSlots { 2, 6, 7, 9, 10, 14, 15 };

    struct SectionStyle
    {
        bool ride = false;
        bool hatSixteenths = false;
        bool rideEighths = false;
        int kickPattern = 0;
        double ghostChance = 0.0;
        bool thirtySecondFill = false;
    };

    /** Sections of four bars; a short remainder joins the last section, and a single section
        is split so every session has both a hi-hat and a ride section. */
    std::vector<int> sectionLengths (int bars)
    {
        std::vector<int> lengths;
        for (int remaining = bars; remaining > 0; remaining -= barsPerSection)
            lengths.push_back (std::min (remaining, barsPerSection));
        if (lengths.size() > 1 && lengths.back() < 2)
        {
            lengths[lengths.size() - 2] += lengths.back();
            lengths.pop_back();
        }
        if (lengths.size() == 1)
            lengths = { (bars + 1) / 2, bars / 2 };
        return lengths;
    }

    SectionStyle chooseStyle (bool ride, SeededRandom& random)
    {
        SectionStyle style;
        style.ride = ride;
        style.hatSixteenths = random.chance (0.5);
        style.rideEighths = random.chance (0.6);
        style.kickPattern = random.integer (0, (int) kickPatterns.size() - 1);
        style.ghostChance = random.between (0.15, 0.35);
        style.thirtySecondFill = random.chance (0.5);
        return style;
    }

    /** Splits a fill's strokes over high, mid and low tom, each tom at least twice. */
    std::array<int, 3> tomGroups (int strokes, SeededRandom& random)
    {
        constexpr int leastPerTom = 2;
        std::array<int, 3> groups { leastPerTom, leastPerTom, leastPerTom };
        for (int extra = strokes - 3 * leastPerTom; extra > 0; --extra)
            ++groups[(size_t) random.integer (0, 2)];
        return groups;
    }

    class Drummer
    {
    public:
        Drummer (double bpm, double rate, SeededRandom& randomToUse)
            : sixteenthSeconds (60.0 / bpm / 4.0), sampleRate (rate), random (randomToUse)
        {
        }

        void playSection (int firstBar, int bars, const SectionStyle& style)
        {
            const int doubleKickBar = style.ride ? std::min (1, bars - 2) : -1;
            for (int i = 0; i < bars; ++i)
            {
                const bool lastBar = i == bars - 1;
                if (i == doubleKickBar)
                    playDoubleKickBar (firstBar + i, i == 0);
                else
                    playGrooveBar (firstBar + i, style, i == 0, lastBar ? fillStartSlot : slotsPerBar);
                if (lastBar)
                    playFill (firstBar + i, style.thirtySecondFill);
            }
        }

        void playFinalHit (int bar)
        {
            hit (bar, 0, Drum::crash, velocity (120, 4), grooveTimingMs);
            hit (bar, 0, Drum::kick, velocity (118, 4), grooveTimingMs);
        }

        std::vector<PerformedHit> takeHits()
        {
            std::stable_sort (hits.begin(), hits.end(), [] (const auto& a, const auto& b)
                              { return a.sample < b.sample; });
            return std::move (hits);
        }

    private:
        void playGrooveBar (int bar, const SectionStyle& style, bool crashOnOne, int endSlot)
        {
            playTimekeeping (bar, style, crashOnOne, endSlot);
            for (auto slot : kickPatterns[(size_t) style.kickPattern])
                if (slot < endSlot)
                    hit (bar, slot, Drum::kick, velocity (slot % 8 == 0 ? 108 : 96, 6), grooveTimingMs);
            for (auto slot : { 4, 12 })
                if (slot < endSlot)
                    hit (bar, slot, Drum::snare, velocity (112, 6), grooveTimingMs);
            playGhostNotes (bar, style.ghostChance, endSlot);
        }

        void playTimekeeping (int bar, const SectionStyle& style, bool crashOnOne, int endSlot)
        {
            if (crashOnOne)
                hit (bar, 0, Drum::crash, velocity (110, 5), grooveTimingMs);

            const int step = style.ride ? (style.rideEighths ? 2 : 4) : (style.hatSixteenths ? 1 : 2);
            const bool openHatAtEnd = ! style.ride && endSlot == slotsPerBar && random.chance (0.5);
            for (int slot = crashOnOne ? step : 0; slot < endSlot; slot += step)
            {
                const int accent = slot % 4 == 0 ? 100 : (slot % 2 == 0 ? 76 : 58);
                const bool open = openHatAtEnd && slot == 14;
                hit (bar, slot, style.ride ? Drum::ride : Drum::hihat, velocity (open ? 92 : accent, 5), grooveTimingMs, open);
            }

            // With the ride, the left foot keeps the hi-hat on two and four.
            if (style.ride)
                for (auto slot : { 4, 12 })
                    if (slot < endSlot)
                        hit (bar, slot, Drum::hihat, velocity (52, 5), grooveTimingMs);
        }

        void playGhostNotes (int bar, double chance, int endSlot)
        {
            std::vector<int> played;
            for (auto slot : ghostSlots)
                if (slot < endSlot && random.chance (chance))
                    played.push_back (slot);
            if (played.empty())
                played.push_back (ghostSlots[(size_t) random.integer (0, (endSlot < slotsPerBar ? 2 : (int) ghostSlots.size()) - 1)]);

            for (auto slot : played)
                hit (bar, slot, Drum::snare, std::clamp (velocity (30, 5), 12, 44), grooveTimingMs);
        }

        /** The second half of the bar on the toms, high to low, growing louder, with the kick
            on the beats; sixteenths, or sixteenths then thirty-seconds. */
        void playFill (int bar, bool thirtySeconds)
        {
            std::vector<double> slots;
            for (int slot = fillStartSlot; slot < slotsPerBar; ++slot)
            {
                slots.push_back (slot);
                if (thirtySeconds && slot >= 12)
                    slots.push_back (slot + 0.5);
            }

            const auto groups = tomGroups ((int) slots.size(), random);
            size_t stroke = 0;
            for (int tom = 0; tom < 3; ++tom)
            {
                for (int i = 0; i < groups[(size_t) tom]; ++i, ++stroke)
                {
                    const auto rising = 92 + (int) (20.0 * (double) stroke / (double) slots.size());
                    const auto leadHand = stroke % 2 == 0 ? 4 : -4;
                    hit (bar, slots[stroke], std::array { Drum::tom1, Drum::tom2, Drum::tom3 }[(size_t) tom], velocity (rising + leadHand, 4), tightTimingMs);
                }
            }
            for (auto slot : { 8, 12 })
                hit (bar, slot, Drum::kick, velocity (100, 5), tightTimingMs);
        }

        /** Sixteenths on the kick with both feet (the right one a little stronger), the
            backbeat on the snare and quarters on the ride. */
        void playDoubleKickBar (int bar, bool crashOnOne)
        {
            for (int slot = 0; slot < slotsPerBar; ++slot)
                hit (bar, slot, Drum::kick, velocity (slot % 2 == 0 ? 104 : 94, 4), tightTimingMs);
            for (auto slot : { 4, 12 })
                hit (bar, slot, Drum::snare, velocity (114, 5), grooveTimingMs);
            for (int slot = 0; slot < slotsPerBar; slot += 4)
            {
                const bool crash = crashOnOne && slot == 0;
                hit (bar, slot, crash ? Drum::crash : Drum::ride, velocity (crash ? 112 : 96, 5), grooveTimingMs);
            }
        }

        int velocity (int centre, int spread)
        {
            return std::clamp ((int) std::lround (centre + spread * random.gaussian()), 1, 127);
        }

        void hit (int bar, double slot, Drum drum, int strokeVelocity, double timingMs, bool open = false)
        {
            const auto seconds = preRollSeconds + (bar * slotsPerBar + slot) * sixteenthSeconds + 0.001 * timingMs * random.gaussian();
            const auto sample = std::max<juce::int64> (0, (juce::int64) std::llround (seconds * sampleRate));
            hits.push_back ({ sample, drum, strokeVelocity, open });
        }

        double sixteenthSeconds;
        double sampleRate;
        SeededRandom& random;
        std::vector<PerformedHit> hits;
    };
} // namespace

Performance performSession (double lengthSeconds, double sampleRate, SeededRandom& random)
{
    Performance performance;
    performance.beatsPerMinute = std::round (random.between (slowestTempo, fastestTempo));
    const auto barSeconds = 240.0 / performance.beatsPerMinute;
    performance.bars = std::max (2, (int) std::floor ((lengthSeconds - preRollSeconds - tailSeconds) / barSeconds));

    Drummer drummer (performance.beatsPerMinute, sampleRate, random);
    int bar = 0;
    bool ride = false;
    for (auto length : sectionLengths (performance.bars))
    {
        drummer.playSection (bar, length, chooseStyle (ride, random));
        bar += length;
        ride = ! ride;
    }
    drummer.playFinalHit (bar);
    performance.hits = drummer.takeHits();
    return performance;
}
} // namespace hoopvane::tools::demo

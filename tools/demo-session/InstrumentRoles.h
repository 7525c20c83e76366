#pragma once

#include "SessionDrums.h"

#include <optional>

namespace hoopvane::tools::demo
{
/** What a kit instrument plays in the session: one of the drums, and for the hi-hat whether it
    is the open one (the closed one is the hi-hat's main sound). */
struct InstrumentRole
{
    Drum drum = Drum::kick;
    bool openHiHat = false;

    bool operator== (const InstrumentRole&) const = default;
};

/** Reads the role from a Hydrogen instrument name such as "Tom High (Tama Superstar 12\")",
    "Pearl Tom Floor" or "Closed HH". Names that are none of the session's drums, or another
    articulation of one (rim shot, ride bell, pedal hi-hat, choke…), give nothing. */
std::optional<InstrumentRole> roleOfInstrument (const juce::String& instrumentName);
} // namespace hoopvane::tools::demo

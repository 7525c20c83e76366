#pragma once

#include <juce_core/juce_core.h>

namespace hoopvane
{
/** A new instance id: a random version-4 UUID as 32 lowercase hex digits. Never saved. */
juce::String makeInstanceId();

/** The 32-bit hash that addresses an instance wherever its id string would be too costly:
    hash = hash * 101 + code point, wrapping. Spelled out rather than taken from
    juce::String::hashCode(), whose multiplier differs between framework versions: instances of
    different builds in one host must agree on it. */
juce::int32 hashInstanceId (const juce::String& id) noexcept;
} // namespace hoopvane

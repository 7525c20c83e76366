#include "InstanceIdentity.h"

namespace hoopvane
{
juce::String makeInstanceId()
{
    return juce::Uuid().toString();
}

juce::int32 hashInstanceId (const juce::String& id) noexcept
{
    juce::uint32 hash = 0;
    for (auto p = id.getCharPointer(); ! p.isEmpty();)
        hash = hash * 101u + (juce::uint32) p.getAndAdvance();
    return (juce::int32) hash;
}
} // namespace hoopvane

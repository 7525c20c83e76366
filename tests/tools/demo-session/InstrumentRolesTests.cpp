#include "InstrumentRoles.h"

#include <gtest/gtest.h>

// Instrument names as they appear in the drumkit.xml files of Debian's hydrogen-drumkits.
namespace hoopvane::tools::demo
{
namespace
{
    struct NamedRole
    {
        const char* name;
        std::optional<InstrumentRole> role;
    };

    void PrintTo (const NamedRole& namedRole, std::ostream* stream) { *stream << '"' << namedRole.name << '"'; }

    class InstrumentRolesTest : public ::testing::TestWithParam<NamedRole>
    {
    };

    TEST_P (InstrumentRolesTest, ReadsTheRoleFromTheName)
    {
        const auto role = roleOfInstrument (GetParam().name);
        ASSERT_EQ (role.has_value(), GetParam().role.has_value());
        if (role.has_value())
        {
            EXPECT_EQ (*role, *GetParam().role);
        }
    }

    const NamedRole names[] {
        { "Kick (Tama Superstar 22\")", InstrumentRole { Drum::kick } },
        { "BassDrum", InstrumentRole { Drum::kick } },
        { "c3 - bass drum 1", InstrumentRole { Drum::kick } },
        { "Snare (Pearl Free Floating Maple 14x3.5)", InstrumentRole { Drum::snare } },
        { "Snare Rimshot (Pearl Free Floating Maple 14x3.5)", std::nullopt },
        { "Pearl Side Stick", std::nullopt },
        { "Tom High (Tama Superstar 12\")", InstrumentRole { Drum::tom1 } },
        { "Tom Mid (Tama Superstar 13\")", InstrumentRole { Drum::tom2 } },
        { "Tom Low (Tama Superstar 16\")", InstrumentRole { Drum::tom3 } },
        { "Pearl Tom 1", InstrumentRole { Drum::tom1 } },
        { "Pearl Tom 2", InstrumentRole { Drum::tom2 } },
        { "Pearl Tom Floor", InstrumentRole { Drum::tom3 } },
        { "c4 - middle tom", InstrumentRole { Drum::tom2 } },
        { "tomhi2", InstrumentRole { Drum::tom1 } },
        { "Ride (Custom, Zagrebin 22\")", InstrumentRole { Drum::ride } },
        { "Ride Bell (Custom, Zagrebin 22\")", std::nullopt },
        { "Crash/Ride (Paiste Rude Crash/Ride 18\")", std::nullopt },
        { "Crash (Paiste Rude Thin 18\")", InstrumentRole { Drum::crash } },
        { "Hi-Hat Closed (Paiste Alpha Metal edge 14\")", InstrumentRole { Drum::hihat, false } },
        { "Closed HH", InstrumentRole { Drum::hihat, false } },
        { "Sabian Hat Open", InstrumentRole { Drum::hihat, true } },
        { "Hi-Hat Pedal (Paiste Alpha Metal edge 14\")", std::nullopt },
        { "Sabian Hat Semi-Open", std::nullopt },
        { "Tambourine (Pearl PTM-10GH)", std::nullopt },
    };

    INSTANTIATE_TEST_SUITE_P (HydrogenKits, InstrumentRolesTest, ::testing::ValuesIn (names), [] (const auto& testInfo)
                              { return juce::String (testInfo.param.name).retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789").toStdString(); });
} // namespace
} // namespace hoopvane::tools::demo

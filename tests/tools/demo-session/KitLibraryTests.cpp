#include "KitLibrary.h"
#include "SampleBank.h"
#include "common/AudioFiles.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

// A tiny Hydrogen kit written for the test: layered and single-file instruments, an articulation
// to skip, and samples at 44.1 kHz.
namespace hoopvane::tools::demo
{
namespace
{
    constexpr double sampleFileRate = 44100.0;
    constexpr int sampleLength = 441;

    const char* const tinyKitXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<drumkit_info xmlns="http://www.hydrogen-music.org/drumkit">
  <name>Tiny</name>
  <instrumentList>
    <instrument><name>Kick</name>
      <layer><filename>kick-soft.wav</filename><min>0</min><max>0.5</max><gain>1</gain></layer>
      <layer><filename>kick-hard.wav</filename><min>0.5</min><max>1</max><gain>1</gain></layer>
    </instrument>
    <instrument><name>Snare Rimshot</name><filename>click.wav</filename></instrument>
    <instrument><name>Snare</name><filename>snare.wav</filename></instrument>
    <instrument><name>Tom Hi</name><filename>click.wav</filename></instrument>
    <instrument><name>Tom Mid</name><filename>click.wav</filename></instrument>
    <instrument><name>Floor Tom</name><filename>click.wav</filename></instrument>
    <instrument><name>Closed HH</name><filename>click.wav</filename></instrument>
    <instrument><name>Open HH</name><filename>click.wav</filename></instrument>
    <instrument><name>Crash</name><filename>click.wav</filename></instrument>
    <instrument><name>Ride</name><filename>click.wav</filename></instrument>
  </instrumentList>
</drumkit_info>
)";

    /** A decaying tone that starts after a little silence, as recorded samples do. */
    juce::AudioBuffer<float> decayingTone (float peak)
    {
        juce::AudioBuffer<float> buffer (2, sampleLength);
        buffer.clear();
        for (int i = 20; i < sampleLength; ++i)
            for (int channel = 0; channel < 2; ++channel)
                buffer.setSample (channel, i, peak * std::exp (-0.02f * (float) (i - 20)) * std::cos (0.3f * (float) i));
        return buffer;
    }

    class KitLibraryTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            const auto kit = library.getChildFile ("Tiny");
            ASSERT_TRUE (kit.createDirectory().wasOk());
            ASSERT_TRUE (kit.getChildFile ("drumkit.xml").replaceWithText (tinyKitXml));
            for (auto [name, peak] : { std::pair { "kick-soft.wav", 0.2f }, { "kick-hard.wav", 0.8f }, { "snare.wav", 0.5f }, { "click.wav", 0.5f } })
            {
                juce::String error;
                ASSERT_TRUE (writeFloatWav (kit.getChildFile (name), decayingTone (peak), sampleFileRate, error)) << error;
            }

            // A kit without toms is installed but cannot make a session.
            const auto incomplete = library.getChildFile ("NoToms");
            ASSERT_TRUE (incomplete.createDirectory().wasOk());
            ASSERT_TRUE (incomplete.getChildFile ("drumkit.xml").replaceWithText (juce::String (tinyKitXml).replace ("Tom", "Bongo")));
        }

        void TearDown() override { library.deleteRecursively(); }

        juce::File library = makeUniqueTemporaryFolder ("hoopvane-kits");
    };

    TEST_F (KitLibraryTest, ReadsLayeredAndSingleFileInstrumentsSkippingOtherArticulations)
    {
        juce::String error;
        const auto kit = KitLibrary (library).load ("tiny", error);
        ASSERT_TRUE (kit.has_value()) << error;

        const auto& kick = kit->instrumentFor (Drum::kick).layers;
        ASSERT_EQ (kick.size(), 2u);
        EXPECT_EQ (kick[1].file.getFileName(), "kick-hard.wav");
        EXPECT_FLOAT_EQ (kick[1].minVelocity, 0.5f);

        ASSERT_EQ (kit->instrumentFor (Drum::snare).layers.size(), 1u);
        EXPECT_EQ (kit->instrumentFor (Drum::snare).layers[0].file.getFileName(), "snare.wav");
        EXPECT_EQ (kit->instrumentFor (Drum::tom3).name, "Floor Tom");
        EXPECT_TRUE (kit->openHiHat.has_value());
    }

    TEST_F (KitLibraryTest, ResamplesToTheSessionRateAndPicksLayersByVelocity)
    {
        juce::String error;
        const auto kit = KitLibrary (library).load ("Tiny", error);
        ASSERT_TRUE (kit.has_value()) << error;

        const auto kitRateBank = SampleBank::load (*kit, std::nullopt, error);
        ASSERT_TRUE (kitRateBank.has_value()) << error;
        EXPECT_EQ (kitRateBank->getSampleRate(), sampleFileRate);

        const auto bank = SampleBank::load (*kit, 48000.0, error);
        ASSERT_TRUE (bank.has_value()) << error;
        const auto& soft = bank->layerFor (Drum::kick, 20);
        const auto& hard = bank->layerFor (Drum::kick, 120);
        ASSERT_NE (&soft, &hard);

        const auto peak = [] (const LayerSample& layer)
        {
            float result = 0.0f;
            for (auto x : layer.audio)
                result = std::max (result, std::abs (x) * layer.gain);
            return result;
        };
        EXPECT_LT (peak (soft), 0.5f * peak (hard)) << "the soft layer keeps its recorded level";

        // The silence before the tone is trimmed, so the layer starts at its hit.
        const auto expectedLength = (sampleLength - 20) * 48000.0 / sampleFileRate;
        EXPECT_NEAR ((double) hard.audio.size(), expectedLength, 25.0);
        EXPECT_GT (std::abs (hard.audio.front()), 0.0f);
    }

    TEST_F (KitLibraryTest, UnknownKitListsOnlyTheKitsThatCanMakeASession)
    {
        juce::String error;
        EXPECT_FALSE (KitLibrary (library).load ("Missing", error).has_value());
        EXPECT_TRUE (error.contains ("\"Missing\"")) << error;
        EXPECT_TRUE (error.contains ("Tiny")) << error;
        EXPECT_FALSE (error.contains ("NoToms")) << error;

        EXPECT_FALSE (KitLibrary (library).load ("NoToms", error).has_value());
        EXPECT_TRUE (error.contains ("high tom")) << error;
    }

    TEST (KitLibrary, MissingKitFolderSaysWhichPackageToInstall)
    {
        juce::String error;
        const auto nowhere = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("no-drumkits-" + juce::Uuid().toString());
        EXPECT_FALSE (KitLibrary (nowhere).load ("ForzeeStereo", error).has_value());
        EXPECT_TRUE (error.contains ("hydrogen-drumkits")) << error;
        EXPECT_TRUE (error.contains (nowhere.getFullPathName())) << error;
    }
} // namespace
} // namespace hoopvane::tools::demo

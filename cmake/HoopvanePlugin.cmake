set(HOOPVANE_COMPANY_WEBSITE "https://tarvex.audio")
set(HOOPVANE_LV2_URI "${HOOPVANE_COMPANY_WEBSITE}/plugins/hoopvane")

juce_add_plugin(Hoopvane
    PRODUCT_NAME "Hoopvane"
    VERSION 1.0.0
    COMPANY_NAME "Tarvex"
    COMPANY_WEBSITE "${HOOPVANE_COMPANY_WEBSITE}"
    COMPANY_EMAIL "support@tarvex.audio"
    BUNDLE_ID "audio.tarvex.hoopvane"
    PLUGIN_MANUFACTURER_CODE Trvx
    PLUGIN_CODE Hpvn
    FORMATS VST3 LV2
    LV2URI "${HOOPVANE_LV2_URI}"
    VST3_CATEGORIES Fx Drum Dynamics Mono Tools
    IS_SYNTH FALSE
    NEEDS_MIDI_INPUT FALSE
    NEEDS_MIDI_OUTPUT FALSE
    IS_MIDI_EFFECT FALSE
    EDITOR_WANTS_KEYBOARD_FOCUS TRUE
    COPY_PLUGIN_AFTER_BUILD FALSE)

target_sources(Hoopvane PRIVATE
    source/processor/HoopvaneAudioProcessor.cpp
    source/processor/InstanceIdentity.cpp
    source/processor/MessageThreadDuties.cpp
    source/processor/ParameterLayout.cpp
    source/processor/ParameterSnapshotReader.cpp
    source/editor/HoopvaneEditor.cpp)

target_include_directories(Hoopvane PUBLIC ${CMAKE_SOURCE_DIR}/source)

# Debian's JUCE 7.0.5 may ignore LV2URI and fall back to the bare product name, which lilv
# hosts cannot open, so the URI is also defined explicitly.
target_compile_definitions(Hoopvane
    PUBLIC
        JucePlugin_LV2URI="${HOOPVANE_LV2_URI}"
        JUCE_WEB_BROWSER=0
        JUCE_USE_CURL=0
        JUCE_USE_FLAC=0
        JUCE_USE_OGGVORBIS=0
        JUCE_VST3_CAN_REPLACE_VST2=0
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_REPORT_APP_USAGE=0
        JUCE_MODAL_LOOPS_PERMITTED=0)

target_link_libraries(Hoopvane
    PRIVATE
        juce::juce_audio_utils
        hoopvane_warnings
    PUBLIC
        hoopvane_core
        juce::juce_recommended_config_flags)

# Tests and tools link the plug-in's shared code instead of compiling JUCE again; they need the
# same include paths and definitions as its sources. (Not set on Hoopvane itself: its format
# wrappers define their own JucePlugin_Build_* values.)
add_library(hoopvane_plugin_code INTERFACE)
target_link_libraries(hoopvane_plugin_code INTERFACE Hoopvane)
target_include_directories(hoopvane_plugin_code INTERFACE $<TARGET_PROPERTY:Hoopvane,INCLUDE_DIRECTORIES>)
target_compile_definitions(hoopvane_plugin_code INTERFACE $<TARGET_PROPERTY:Hoopvane,COMPILE_DEFINITIONS>)

set(HOOPVANE_VST3_BUNDLE "${CMAKE_BINARY_DIR}/Hoopvane_artefacts/${CMAKE_BUILD_TYPE}/VST3/Hoopvane.vst3")
set(HOOPVANE_LV2_BUNDLE "${CMAKE_BINARY_DIR}/Hoopvane_artefacts/${CMAKE_BUILD_TYPE}/LV2/Hoopvane.lv2")

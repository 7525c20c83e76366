#pragma once

/** Identifiers of the 29 host parameters, in host index order. Saved projects and automation
    address parameters by these strings: never rename one. */
namespace hoopvane::paramId
{
inline constexpr const char* sens = "SENS";
inline constexpr const char* range = "RANGE";
inline constexpr const char* sustain = "SUSTAIN";
inline constexpr const char* attack = "ATTACK";
inline constexpr const char* boostFreq = "BOOST_FREQ";
inline constexpr const char* cutFreq = "CUT_FREQ";
inline constexpr const char* resGain = "RES_GAIN";
inline constexpr const char* resMode = "RES_MODE";
inline constexpr const char* mode = "MODE";
inline constexpr const char* bypass = "BYPASS";
inline constexpr const char* context = "CONTEXT";
inline constexpr const char* ghostMode = "GHOST_MODE";
inline constexpr const char* rejectLow = "REJ_LOW";
inline constexpr const char* rejectMid = "REJ_MID";
inline constexpr const char* rejectHigh = "REJ_HIGH";
inline constexpr const char* listen = "LISTEN";
inline constexpr const char* calibrate = "CALIBRATE";
inline constexpr const char* scSource = "SC_SRC";
inline constexpr const char* link = "LINK";
inline constexpr const char* stickType = "STICK_TYPE";
inline constexpr const char* beaterType = "BEATER_TYPE";
inline constexpr const char* wireType = "WIRE_TYPE";
inline constexpr const char* lfTight = "LF_TIGHT";
inline constexpr const char* snarePos = "SNARE_POS";
inline constexpr const char* sustainTest = "SUSTAIN_TEST";
inline constexpr const char* outHpfFreq = "OUT_HPF_FREQ";
inline constexpr const char* outHpfSlope = "OUT_HPF_SLOPE";
inline constexpr const char* outLpfFreq = "OUT_LPF_FREQ";
inline constexpr const char* outLpfSlope = "OUT_LPF_SLOPE";
} // namespace hoopvane::paramId

#pragma once

namespace hoopvane
{
/** The raw parameter values of one block, filled by the processor before every engine call.
    Plain data: the audio thread owns its copy for the whole block. */
struct ParameterSnapshot
{
    float sens = 0.85f;
    float rangeDb = -18.0f;
    float sustainMs = 150.0f;
    float attack = 0.0f;
    float boostFreq = 80.0f;
    float cutFreq = 150.0f;
    float resGainDb = 0.0f;
    int resMode = 0;
    int mode = 2;
    bool context = true;
    bool ghostMode = true;
    bool bypass = false;
    int listen = 0;
    bool learn = false;
    int scSource = 0;
    bool link = false;
    // Captured for the host, automation and saved state; no stage depends on them.
    int stickType = 0;
    int beaterType = 1;
    int wireType = 1;
    float lfTightDb = 0.0f;
    int snarePos = 0;
    int sustainTest = 1;
    float hpfFreq = 20.0f;
    int hpfSlope = 0;
    float lpfFreq = 20000.0f;
    int lpfSlope = 0;
};
} // namespace hoopvane

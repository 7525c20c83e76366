#include "AttackEnhancer.h"

#include <algorithm>
#include <cmath>

namespace hoopvane
{
namespace
{
    constexpr double activeAbove = 0.01;
    constexpr double redesignStep = 0.001;

    constexpr double shelfHz = 3500.0, shelfQ = 0.55, shelfRangeDb = 4.0; // alpha = sin w / 1.1
    constexpr double peakHz = 4500.0, peakQ = 1.4, peakRangeDb = 2.0; // alpha = sin w / 2.8

    constexpr double levelHighPassHz = 800.0, levelHighPassQ = 0.707;
    constexpr double levelSmoothing = 0.05; // weight of the previous smoothed level
    constexpr double riseAttackMs = 0.03, riseReleaseMs = 5.0, riseScale = 10.0;
    constexpr double edgeAttackMs = 0.05, edgeReleaseMs = 8.0;
    constexpr double edgeWeight = 4.0, riseWeight = 6.0;

    // Only a clear transient of an open gate is enhanced; anything less adds nothing, so no
    // offset is left behind between hits.
    constexpr double triggerAbove = 0.1;
    constexpr double amountScale = 0.5;
    constexpr double driveIntoTanh = 2.0;
} // namespace

void AttackEnhancer::prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;
    designed = false;
    if (active)
        design (attack);

    levelHighPassCoefficients = rbj::highPass (sampleRate, levelHighPassHz, levelHighPassQ);
    riseFollower.setAttack (AttackReleaseFollower::coefficientFor (riseAttackMs, sampleRate));
    riseFollower.setRelease (AttackReleaseFollower::coefficientFor (riseReleaseMs, sampleRate));
    edgeFollower.setAttack (AttackReleaseFollower::coefficientFor (edgeAttackMs, sampleRate));
    edgeFollower.setRelease (AttackReleaseFollower::coefficientFor (edgeReleaseMs, sampleRate));
    reset();
}

void AttackEnhancer::reset() noexcept
{
    clearStates();
    smoothedLevel = 0.0;
    transientSum = 0.0;
    transientCount = 0;
}

void AttackEnhancer::clearStates() noexcept
{
    for (auto* states : { &shelfStates, &peakStates })
        for (auto& s : *states)
            s.reset();

    levelHighPass.reset();
    riseFollower.reset();
    edgeFollower.reset();
}

void AttackEnhancer::beginBlock (double newAttack) noexcept
{
    attack = newAttack;
    const bool nowActive = attack > activeAbove;

    // Switched on again, the filters start from rest rather than from the states they were left
    // with; the smoothed level has followed the input all along.
    if (nowActive && ! active)
        clearStates();
    active = nowActive;

    if (active && needsRedesign (attack))
        design (attack);
}

bool AttackEnhancer::needsRedesign (double newAttack) const noexcept
{
    return ! designed || std::abs (newAttack - designedAttack) > redesignStep;
}

void AttackEnhancer::design (double newAttack) noexcept
{
    shelfCoefficients = rbj::highShelf (sampleRate, shelfHz, shelfQ, shelfRangeDb * newAttack);
    peakCoefficients = rbj::peaking (sampleRate, peakHz, peakQ, peakRangeDb * newAttack);
    designedAttack = newAttack;
    designed = true;
}

//==============================================================================
void AttackEnhancer::process (double& left, double& right, double levelInput, double gateValue, double hLeft, double hRight) noexcept
{
    ++transientCount;
    if (! active)
    {
        smoothedLevel = levelInput;
        return;
    }

    const double t = detectTransient (levelInput);
    transientSum += t;

    left = shape (0, left);
    right = shape (1, right);

    const double trigger = gateValue * t;
    if (trigger > triggerAbove)
    {
        const double amount = trigger * attack * amountScale;
        left += amount * (std::tanh (driveIntoTanh * hLeft) - hLeft);
        right += amount * (std::tanh (driveIntoTanh * hRight) - hRight);
    }
}

double AttackEnhancer::detectTransient (double level) noexcept
{
    const double rise = riseFollower.process (riseScale * std::max (0.0, level - smoothedLevel));
    smoothedLevel = flushTiny ((1.0 - levelSmoothing) * level + levelSmoothing * smoothedLevel);
    const double edge = edgeFollower.process (std::abs (levelHighPass.process (levelHighPassCoefficients, level)));
    return std::clamp (edgeWeight * edge + riseWeight * rise, 0.0, 1.0);
}

double AttackEnhancer::shape (int channel, double x) noexcept
{
    const auto c = (size_t) channel;
    return peakStates[c].process (peakCoefficients, shelfStates[c].process (shelfCoefficients, x));
}

double AttackEnhancer::takeMeanTransient() noexcept
{
    const double mean = transientCount > 0 ? transientSum / transientCount : 0.0;
    transientSum = 0.0;
    transientCount = 0;
    return mean;
}
} // namespace hoopvane

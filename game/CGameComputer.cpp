// Layer 2: the computer opponent; blue takes one decision every 12 ticks.
// Calls the economy, the move magnets and the grid's area test; called by
// the tick.

#include <algorithm>

#include "game/CGame.h"
#include "tlib/TRandom.h"

void CGame::UpdateComputer()
{
    if (aiCountdown == 0) {
        aiCountdown = kAiInterval;
        TakeDecision(aiStep);
        ++aiStep;
    }
    --aiCountdown;
}

void CGame::TakeDecision(int step)
{
    if (step < 4) {
        ProduceRobots(1);
    } else if (step < 900) {
        const int e = energy[1];
        int robotWeight = 0;
        int magnetWeight = 0;
        int laserWeight = 0;
        LotteryWeights(robotWeight, magnetWeight, laserWeight);
        const int total = robotWeight + magnetWeight + laserWeight;
        if (total == 0)
            return;
        const int k = tlib::Random() % total;
        if (k < robotWeight)
            ProduceRobots(1);
        else if (k < robotWeight + magnetWeight) {
            if (e >= kMagnetCost)
                ComputerBuild(false);
        } else if (e >= kLaserCost) {
            ComputerBuild(true);
        }
    } else if (step < 1284) {
        // A band of pushing move magnets over rows 32..37.
        AddMoveMagnet((step - 900) % 64, (step - 900) / 64 + 32, 2, 1);
    } else if (step < 1400) {
        // Nothing.
    } else if (step < 5496) {
        // Lifts the band in the same order; rows 38 and beyond hold none.
        RemoveMoveMagnet((step - 1400) % 64, (step - 1400) / 64 + 32, 1);
    }
}

void CGame::LotteryWeights(int& robotWeight, int& magnetWeight, int& laserWeight) const
{
    const int rR = robotCount[0];
    const int rM = magnetCount[0];
    const int rL = laserCount[0];
    const int bR = robotCount[1];
    const int bM = magnetCount[1];
    const int bL = laserCount[1];
    const int e = energy[1];

    int R = 0;
    int M = 0;
    int L = 0;
    if (rR > 10)
        M = (rR - 9) / 10 - bM / 5;
    if (rM > 5)
        L = (rM - 2) / 3 - bL / 5;
    if (rL > 6)
        R = rL;
    if (e < 60)
        R = R + (60 - e) * 2 + 8 - std::max(0, rR - 30);
    if (2 * bR < rR)
        R = R + rR - 2 * bR + 10;
    if (R < 0)
        R = 0;
    if (bR < 40)
        R = R + 10;
    if (e < 80) {
        M = (80 - e) * 4;
        L = (80 - e) * 5;
        R = R + 1;
    } else if (e > 150) {
        M = M + 60;
        L = L + 50;
    }
    robotWeight = std::max(R, 0);
    magnetWeight = std::max(M, 0);
    laserWeight = std::max(L, 0);
}

void CGame::ComputerBuild(bool laser)
{
    for (int attempt = 0; attempt < 5000; ++attempt) {
        const int x = tlib::Random() % 64;
        const int y = tlib::Random() % 64;
        if (IsAreaFree(x, y, 2, 2) && IsNearOwnStructure(x, y, 1)) {
            if (laser)
                BuildLaser(x, y, 1);
            else
                BuildMagnet(x, y, 1);
            return;
        }
    }
}

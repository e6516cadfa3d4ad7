// Layer 1: magnets, lasers and laser shots. Calls the grid only; called by
// the tick (and by the tools' scenes, which fire shots).

#include <cmath>

#include "game/CGame.h"
#include "tlib/TRandom.h"

void CGame::UpdateMagnets()
{
    for (int side = 0; side < 2; ++side) {
        int i = 0;
        while (i < magnetCount[side]) {
            CMagnet& magnet = magnets[side][i];
            if (magnet.destroyed) {
                // RemoveMagnet clears every laser's and shot's reference to it.
                RemoveMagnet(side, i);
                continue;
            }
            if (magnet.charge < kMagnetCharge)
                ++magnet.charge;
            if (magnet.charge == kMagnetCharge) {
                CRobot* victim = FindMagnetVictim(magnet);
                if (victim != nullptr) {
                    victim->dead = true;
                    magnet.charge = 0;
                    if (energy[side] >= kCaptureCost)
                        energy[side] -= kCaptureCost;
                }
            }
            ++i;
        }
    }
}

CRobot* CGame::FindMagnetVictim(const CMagnet& magnet)
{
    // At most 17 x 17 cells lie in the scanned square.
    CRobot* candidates[17 * 17];
    int count = 0;
    for (int row = magnet.y - 8; row <= magnet.y + 8; ++row) {
        if (row < 0 || row >= kGridSize)
            continue;
        const int dy = row - magnet.y;
        for (int col = magnet.x - 8; col <= magnet.x + 8; ++col) {
            if (col < 0 || col >= kGridSize)
                continue;
            const int dx = col - magnet.x;
            if (dx * dx + dy * dy > kMagnetReach2)
                continue;
            CLocObject* object = At(col, row);
            if (object != nullptr && object->isUnit && object->side != magnet.side)
                candidates[count++] = static_cast<CRobot*>(object);
        }
    }
    if (count == 0)
        return nullptr;
    return candidates[tlib::Random() % count];
}

void CGame::UpdateLasers()
{
    // Shots, from the oldest.
    int s = 0;
    while (s < shotCount) {
        CLaserShot& shot = shots[s];
        ++shot.step;
        if (shot.step < shot.steps) {
            shot.curX = shot.startX + (shot.endX - shot.startX) * shot.step / shot.steps;
            shot.curY = shot.startY + (shot.endY - shot.startY) * shot.step / shot.steps;
            ++s;
        } else {
            if (shot.target != nullptr)
                shot.target->destroyed = true;
            RemoveShot(s);
        }
    }

    for (int side = 0; side < 2; ++side) {
        const int other = 1 - side;
        int i = 0;
        while (i < laserCount[side]) {
            CLaser& laser = lasers[side][i];

            // Wear: enemy robots in the 3 x 3 block around the lowest-x,
            // lowest-y cell, one health each per tick.
            for (int dy = -1; dy <= 1 && laser.health > 0; ++dy) {
                const int y = laser.y + dy;
                if (y < 0 || y >= kGridSize)
                    continue;
                for (int dx = -1; dx <= 1; ++dx) {
                    const int x = laser.x + dx;
                    if (x < 0 || x >= kGridSize)
                        continue;
                    const CLocObject* object = At(x, y);
                    if (object != nullptr && object->isUnit && object->side == other) {
                        if (--laser.health <= 0)
                            break;
                    }
                }
            }
            if (laser.health <= 0) {
                RemoveLaser(side, i);
                continue;
            }

            if (laser.target == nullptr) {
                if (magnetCount[other] > 0) {
                    CMagnet& target = magnets[other][tlib::Random() % magnetCount[other]];
                    laser.target = &target;
                    laser.aimTimer = 0;
                    laser.angle = static_cast<float>(
                        std::atan2(static_cast<double>(target.y - laser.y), static_cast<double>(target.x - laser.x)));
                }
            } else {
                const int t = laser.aimTimer++;
                if (t == kLaserAimTicks) {
                    laser.aimTimer = 0;
                    FireLaserShot(laser);
                    laser.target = nullptr;
                }
            }
            ++i;
        }
    }
}

void CGame::FireLaserShot(CLaser& laser)
{
    // The list is sized so that it cannot fill; a shot that found it full
    // would be dropped rather than written past the end.
    if (laser.target == nullptr || shotCount >= kShotCapacity)
        return;
    const CMagnet& target = *laser.target;
    CLaserShot& shot = shots[shotCount];
    shot.startX = static_cast<int>(laser.x * 2.5);
    shot.startY = static_cast<int>(laser.y * 2.5);
    shot.endX = static_cast<int>(target.x * 2.5);
    shot.endY = static_cast<int>(target.y * 2.5);
    const int dx = shot.endX - shot.startX;
    const int dy = shot.endY - shot.startY;
    shot.angle = static_cast<float>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)));
    shot.curX = shot.startX;
    shot.curY = shot.startY;
    shot.step = 0;
    shot.steps = static_cast<int>((dx * dx + dy * dy) * kShotFlightFactor);
    shot.target = laser.target;
    ++shotCount;
}

#include "tools/shot/Scenes.h"

#include "game/CGame.h"
#include "tlib/TRandom.h"

namespace {

// Builds a magnet or a laser for side at the free spot nearest to (x, y)
// (searching rings up to 6 cells out) where the building rules allow it.
// Returns whether one was built.
bool BuildNear(CGame& game, int side, bool laser, int x, int y)
{
    for (int r = 0; r <= 6; ++r) {
        for (int dy = -r; dy <= r; ++dy) {
            for (int dx = -r; dx <= r; ++dx) {
                if (dx != -r && dx != r && dy != -r && dy != r)
                    continue; // only the ring at distance r
                const int cx = x + dx, cy = y + dy;
                if (!game.IsAreaFree(cx, cy, 2, 2) || !game.IsNearOwnStructure(cx, cy, side))
                    continue;
                const int before = laser ? game.laserCount[side] : game.magnetCount[side];
                if (laser)
                    game.BuildLaser(cx, cy, side);
                else
                    game.BuildMagnet(cx, cy, side);
                if ((laser ? game.laserCount[side] : game.magnetCount[side]) > before)
                    return true;
            }
        }
    }
    return false;
}

// Puts a robot of side on a free cell, bypassing the factory.
void PutRobot(CGame& game, int side, int x, int y, int facing)
{
    CRobot& robot = game.robots[side][game.robotCount[side]++];
    robot = CRobot();
    robot.facing = facing;
    game.Place(robot, x, y, 1, 1, side);
}

} // namespace

void BuildShowcaseScene(CGame& game)
{
    tlib::SeedRandom(20261207);
    game.NewGame();
    game.tool = CGame::TOOL_NONE;
    game.cursorX = -1;
    game.previewModel = nullptr;

    // More robots around both factories.
    game.ProduceRobots(0);
    game.ProduceRobots(1);
    game.ProduceRobots(0);
    game.ProduceRobots(1);

    // Red: magnets either side of the factory, lasers behind it.
    BuildNear(game, 0, false, 27, 56);
    BuildNear(game, 0, false, 37, 56);
    BuildNear(game, 0, true, 32, 52);
    BuildNear(game, 0, false, 31, 47);
    // Blue: the same, mirrored.
    BuildNear(game, 1, false, 26, 6);
    BuildNear(game, 1, false, 36, 6);
    BuildNear(game, 1, true, 31, 10);

    // A red shot half-way to a blue magnet.
    if (game.laserCount[0] > 0 && game.magnetCount[1] > 0) {
        CLaser& laser = game.lasers[0][0];
        laser.target = &game.magnets[1][0];
        game.FireLaserShot(laser);
        if (game.shotCount > 0) {
            CLaserShot& shot = game.shots[game.shotCount - 1];
            shot.step = shot.steps / 2;
            shot.curX = shot.startX + (shot.endX - shot.startX) * shot.step / (shot.steps > 0 ? shot.steps : 1);
            shot.curY = shot.startY + (shot.endY - shot.startY) * shot.step / (shot.steps > 0 ? shot.steps : 1);
        }
    }

    // Red's move magnets: one attracting, pushing ones up, right and down-left.
    game.AddMoveMagnet(18, 40, 4, 0);
    game.AddMoveMagnet(46, 42, 1, 0);
    game.AddMoveMagnet(40, 30, 5, 0);
    game.AddMoveMagnet(22, 26, 6, 0);
    // Blue's are never drawn.
    game.AddMoveMagnet(32, 20, 7, 1);
}

void BuildWorstCaseScene(CGame& game)
{
    tlib::SeedRandom(1);
    game.NewGame();
    game.tool = CGame::TOOL_NONE;
    game.cursorX = -1;
    game.previewModel = nullptr;
    game.shotCount = 0;

    // Robots fill each side's half from its own edge inwards.
    for (int side = 0; side < 2; ++side) {
        for (int row = 0; row < CGame::kGridSize / 2 && game.robotCount[side] < CGame::kRobotLimit; ++row) {
            const int y = side == 0 ? CGame::kGridSize - 1 - row : row;
            for (int x = 0; x < CGame::kGridSize && game.robotCount[side] < CGame::kRobotLimit; ++x)
                if (game.IsAreaFree(x, y, 1, 1))
                    PutRobot(game, side, x, y, (x + y) % 8);
        }
    }

    // Every free 2 x 2 area: magnets and lasers in turn, of the half's side.
    int turn = 0;
    for (int y = 0; y + 1 < CGame::kGridSize; ++y) {
        for (int x = 0; x + 1 < CGame::kGridSize; ++x) {
            if (!game.IsAreaFree(x, y, 2, 2))
                continue;
            const int side = y < CGame::kGridSize / 2 ? 1 : 0;
            if (turn++ % 2 == 0 && game.magnetCount[side] < CGame::kMagnetCapacity) {
                CMagnet& magnet = game.magnets[side][game.magnetCount[side]++];
                magnet = CMagnet();
                game.Place(magnet, x, y, 2, 2, side);
            } else {
                CLaser& laser = game.lasers[side][game.laserCount[side]++];
                laser = CLaser();
                laser.angle = CGame::kLaserBuiltAngle;
                laser.health = CGame::kLaserHealth;
                game.Place(laser, x, y, 2, 2, side);
            }
        }
    }

    // 256 move magnets per side, of every type, spread over the field.
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < 256; ++i)
            game.AddMoveMagnet((i * 5) % CGame::kGridSize, (i / 64) * 16 + 3 + side, i % 9, side);

    game.energy[0] = game.energy[1] = 1000;
}

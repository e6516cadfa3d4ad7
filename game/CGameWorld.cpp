// Layer 2: a new world. The camera and projections, the empty grid with the
// two factories, the trees, the starting counts and the initial robots.
// Calls the grid and the economy (ProduceRobots); called by loading
// (CGameLoad.cpp), the simulator and the tools.

#include <cmath>

#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "tlib/TRandom.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

} // namespace

void CGame::BuildWorld()
{
    // 1. Camera.
    cameraPos = Orvel::CVector(80.0, 180.0, 10.0);
    cameraRoll = 0.0;
    cameraPitch = 0.0;
    cameraYaw = -kPi / 2.0;

    // 2. Projections.
    const double n = 2.0;
    const double f = 1024.0;
    projection3D = Orvel::CMatrix();
    projection3D.m[0][2] = f / (f - n);
    projection3D.m[0][3] = 1.0;
    projection3D.m[1][0] = 2.0;
    projection3D.m[2][1] = 8.0 / 3.0;
    projection3D.m[3][2] = -n * f / (f - n);
    projectionMap = Orvel::CMatrix();
    projectionMap.m[0][0] = 0.0075;
    projectionMap.m[1][1] = -0.01;
    projectionMap.m[2][2] = -0.015625;
    projectionMap.m[3][0] = -0.8;
    projectionMap.m[3][1] = 0.8;
    projectionMap.m[3][2] = 0.9;
    projectionMap.m[3][3] = 1.0;

    // 3. View mode.
    viewMode = VIEW_MAP;

    // 4. Empty grid.
    for (CLocObject*& cell : grid)
        cell = nullptr;

    // 5. Factories, red then blue.
    static const int kFactoryX[2] = {32, 31};
    static const int kFactoryY[2] = {58, 5};
    for (int side = 0; side < 2; ++side)
        Place(factories[side], kFactoryX[side], kFactoryY[side], 2, 3, side);

    // 6. Trees.
    PlaceTrees();

    // 7. Counts, tool, energies, computer, shots.
    for (int side = 0; side < 2; ++side) {
        robotCount[side] = 0;
        magnetCount[side] = 0;
        laserCount[side] = 0;
        moveMagnetCount[side] = 0;
        energy[side] = kStartEnergy;
    }
    tool = TOOL_NONE;
    ticksPlayed = 0;
    aiCountdown = 0;
    aiStep = 0;
    shotCount = 0;
}

void CGame::PlaceInitialRobots()
{
    ProduceRobots(0);
    ProduceRobots(1);
}

void CGame::NewGame()
{
    BuildWorld();
    showHelp = gShowHelp;
    state = STATE_PLAYING;
    PlaceInitialRobots();
}

void CGame::PlaceTrees()
{
    static const int kCentres[5][2] = {{10, 10}, {53, 10}, {10, 53}, {53, 53}, {32, 32}};
    treeCount = 0;
    for (int tree = 0; tree < kTreeCapacity; ++tree) {
        for (int attempt = 0; attempt < 5000; ++attempt) {
            const int* centre = kCentres[tlib::Random() % 5];
            const double a = (tlib::Random() % 100) * kPi * 0.02;
            const double r = std::pow(static_cast<double>(tlib::Random() % 2048), 1.0 / 3.0);
            const int x = static_cast<int>(centre[0] + r * std::cos(a));
            const int y = static_cast<int>(centre[1] + r * std::sin(a));
            if (x >= 0 && x < kGridSize && y >= 0 && y < kGridSize && At(x, y) == nullptr) {
                CTree& t = trees[treeCount++];
                t = CTree();
                t.wood = kTreeWood;
                Place(t, x, y, 1, 1, -1);
                break;
            }
        }
    }
}

#include "game/CGame.h"

#include <cmath>

#include "game/GameGlobals.h"
#include "tlib/TRandom.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The building rules shared by magnets and lasers: when side can pay cost,
// the 2 x 2 cells at (x, y) are free and near one of its own structures, and
// list has room, takes list's next entry, places it there and charges cost.
// Returns the new structure for the caller to finish, or null when refused
// (nothing changed).
template <class T>
T* BuildStructure(CGame& game, T* list, int32_t& count, int capacity, int cost, int x, int y, int side)
{
    if (game.energy[side] < cost || !game.IsAreaFree(x, y, 2, 2) || !game.IsNearOwnStructure(x, y, side))
        return nullptr;
    if (count >= capacity)
        return nullptr;
    T& structure = list[count++];
    structure = T();
    structure.x = x;
    structure.y = y;
    structure.width = 2;
    structure.height = 2;
    structure.side = side;
    game.Occupy(&structure);
    game.energy[side] -= cost;
    return &structure;
}

} // namespace

const float CGame::kMoveMagnetAngles[9] = {
    static_cast<float>(5.0 * kPi / 4.0), static_cast<float>(3.0 * kPi / 2.0),
    static_cast<float>(7.0 * kPi / 4.0), static_cast<float>(kPi),
    0.0f,                                0.0f,
    static_cast<float>(3.0 * kPi / 4.0), static_cast<float>(kPi / 2.0),
    static_cast<float>(kPi / 4.0),
};

CGame::CGame()
    : cameraPos(80.0, 180.0, 10.0), cameraYaw(-kPi / 2.0)
{
}

CGame::~CGame()
{
    ReleaseResources();
    delete loaderThread;
}

// ---------------------------------------------------------------- loading

void CGame::PostLoad(uint32_t message, int step)
{
    if (postMessage != nullptr)
        postMessage(window, message, static_cast<uintptr_t>(step), 0);
}

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
    viewMode = 1;

    // 4. Empty grid.
    for (CLocObject*& cell : grid)
        cell = nullptr;

    // 5. Factories, red then blue.
    static const int kFactoryX[2] = {32, 31};
    static const int kFactoryY[2] = {58, 5};
    for (int side = 0; side < 2; ++side) {
        CFactory& factory = factories[side];
        factory.x = kFactoryX[side];
        factory.y = kFactoryY[side];
        factory.width = 2;
        factory.height = 3;
        factory.side = side;
        factory.isUnit = false;
        Occupy(&factory);
    }

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
    tool = 0;
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
    state = 0;
    PlaceInitialRobots();
}

void CGame::Load()
{
    BuildWorld();

    PostLoad(kMsgLoadProgress, 1);
    LoadModelFile(MODEL_MAP, "Map.dat");
    PostLoad(kMsgLoadProgress, 2);
    LoadModelFile(MODEL_TREE, "Tree.dat");
    PostLoad(kMsgLoadProgress, 3);
    LoadModelFile(MODEL_RED_FACTORY, "RedFactory.dat");
    PostLoad(kMsgLoadProgress, 4);
    LoadModelFile(MODEL_RED_ROBOT, "RedRobot.dat");
    PostLoad(kMsgLoadProgress, 5);
    LoadModelFile(MODEL_RED_MAGNET, "RedMagnet.dat");
    PostLoad(kMsgLoadProgress, 6);
    LoadModelFile(MODEL_RED_LASER, "RedLaser.dat");
    PostLoad(kMsgLoadProgress, 7);
    LoadModelFile(MODEL_BLUE_FACTORY, "BlueFactory.dat");
    PostLoad(kMsgLoadProgress, 8);
    LoadModelFile(MODEL_BLUE_ROBOT, "BlueRobot.dat");
    PostLoad(kMsgLoadProgress, 9);
    LoadModelFile(MODEL_BLUE_MAGNET, "BlueMagnet.dat");
    PostLoad(kMsgLoadProgress, 10);
    LoadModelFile(MODEL_BLUE_LASER, "BlueLaser.dat");
    PostLoad(kMsgLoadProgress, 11);
    LoadModelFile(MODEL_LASER_SHOT, "LaserShot.dat");
    LoadModelFile(MODEL_MOVE_MAGNET0, "MoveMagnet0.dat");
    PostLoad(kMsgLoadProgress, 12);
    LoadModelFile(MODEL_MOVE_MAGNET1, "MoveMagnet1.dat");
    PostLoad(kMsgLoadProgress, 13);
    LoadModelFile(MODEL_RED_X, "RedX.dat");

    PostLoad(kMsgLoadProgress, 14);
    LoadImageFile(&energyIcon, "Energy.bmp", 96, 96);
    PostLoad(kMsgLoadProgress, 15);
    LoadImageFile(&controlPanel, "ControlUI.bmp", 256, 768);
    PostLoad(kMsgLoadProgress, 16);
    showHelp = gShowHelp;
    LoadImageFile(&helpText, "HelpText.bmp", 599, 212);
    PostLoad(kMsgLoadProgress, 17);
    state = 0;
    LoadImageFile(&loseScreen, "LoseScreen.bmp", 1024, 768);
    PostLoad(kMsgLoadProgress, 18);
    LoadImageFile(&winScreen, "WinScreen.bmp", 1024, 768);
    PostLoad(kMsgLoadProgress, 19);

    PlaceInitialRobots();
    PostLoad(kMsgLoadDone, 0);
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
                t.x = x;
                t.y = y;
                t.width = 1;
                t.height = 1;
                t.wood = kTreeWood;
                Occupy(&t);
                break;
            }
        }
    }
}

// ---------------------------------------------------------------- grid

CLocObject* CGame::Occupy(CLocObject* object)
{
    for (int y = object->y; y < object->y + object->height; ++y)
        for (int x = object->x; x < object->x + object->width; ++x)
            grid[y * kGridSize + x] = object;
    return object;
}

bool CGame::IsAreaFree(int x, int y, int width, int height) const
{
    if (x < 0 || y < 0 || x + width > kGridSize || y + height > kGridSize)
        return false;
    for (int row = y; row < y + height; ++row)
        for (int col = x; col < x + width; ++col)
            if (grid[row * kGridSize + col] != nullptr)
                return false;
    return true;
}

void CGame::MoveObject(CLocObject* object, int dx, int dy)
{
    Vacate(object);
    object->x += dx;
    object->y += dy;
    Occupy(object);
}

void CGame::Vacate(CLocObject* object)
{
    for (int y = object->y; y < object->y + object->height; ++y)
        for (int x = object->x; x < object->x + object->width; ++x)
            grid[y * kGridSize + x] = nullptr;
}

// ---------------------------------------------------------------- removal

void CGame::RemoveRobot(int side, int index)
{
    CRobot* list = robots[side];
    const int count = robotCount[side];
    for (int i = index; i + 1 < count; ++i) {
        list[i] = list[i + 1];
        Occupy(&list[i]);
    }
    robotCount[side] = count - 1;
}

void CGame::RemoveMagnet(int side, int index)
{
    CMagnet* list = magnets[side];
    const int count = magnetCount[side];
    CMagnet* removed = &list[index];
    CMagnet* end = &list[count];
    // References to the removed magnet become none; references to the ones
    // that move down follow them.
    auto repoint = [removed, end](CMagnet*& target) {
        if (target == removed)
            target = nullptr;
        else if (target > removed && target < end)
            --target;
    };
    CLaser* enemyLasers = lasers[1 - side];
    for (int i = 0; i < laserCount[1 - side]; ++i)
        repoint(enemyLasers[i].target);
    for (int i = 0; i < shotCount; ++i)
        repoint(shots[i].target);
    for (int i = index; i + 1 < count; ++i) {
        list[i] = list[i + 1];
        Occupy(&list[i]);
    }
    magnetCount[side] = count - 1;
}

void CGame::RemoveLaser(int side, int index)
{
    CLaser* list = lasers[side];
    const int count = laserCount[side];
    for (int i = index; i + 1 < count; ++i) {
        list[i] = list[i + 1];
        Occupy(&list[i]);
    }
    laserCount[side] = count - 1;
}

void CGame::RemoveTree(int index)
{
    for (int i = index; i + 1 < treeCount; ++i) {
        trees[i] = trees[i + 1];
        Occupy(&trees[i]);
    }
    --treeCount;
}

void CGame::RemoveShot(int index)
{
    for (int i = index; i + 1 < shotCount; ++i)
        shots[i] = shots[i + 1];
    --shotCount;
}

// ---------------------------------------------------------------- tick

void CGame::Update()
{
    if (state != 0)
        return;

    // 1 and 2: the player's input and the view key, or a scripted player.
    if (playerActions != nullptr) {
        playerActions->Apply(*this);
    } else {
        UpdatePlayerInput();
        UpdateViewToggle();
    }
    // 3.
    gShowCursor = (viewMode == 1);
    // 4 to 8.
    UpdateComputer();
    UpdateRobots();
    UpdateMagnets();
    UpdateLasers();
    UpdateTrees();
    // 9. Red is tested first: when both sides lose their last robots in one
    // tick, red has lost.
    if (robotCount[0] == 0)
        state = 2;
    else if (robotCount[1] == 0)
        state = 1;
    // 10.
    if (playerActions == nullptr)
        UpdateHelpToggle();
}

// ---------------------------------------------------------------- economy

void CGame::ProduceRobots(int side)
{
    for (int i = 0; i < 4; ++i) {
        if (robotCount[side] >= kRobotLimit || energy[side] < kRobotCost)
            return;
        if (SpawnRobot(side))
            energy[side] -= kRobotCost;
    }
}

bool CGame::SpawnRobot(int side)
{
    if (robotCount[side] >= kRobotCapacity)
        return false;
    const int cx = factories[side].x;
    const int cy = factories[side].y + 1;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const double a = (tlib::Random() % 100) * kPi * 0.02;
        const int r = tlib::Random() % 10;
        const int x = static_cast<int>(cx + r * std::cos(a));
        const int y = static_cast<int>(cy + r * std::sin(a));
        if (x >= 0 && x < kGridSize && y >= 0 && y < kGridSize && At(x, y) == nullptr) {
            CRobot& robot = robots[side][robotCount[side]++];
            robot = CRobot();
            robot.x = x;
            robot.y = y;
            robot.width = 1;
            robot.height = 1;
            robot.side = side;
            robot.isUnit = true;
            robot.facing = tlib::Random() % 8;
            robot.moveTimer = 0;
            robot.dead = false;
            Occupy(&robot);
            return true;
        }
    }
    return false;
}

void CGame::BuildMagnet(int x, int y, int side)
{
    // A new magnet starts uncharged (its defaults).
    BuildStructure(*this, magnets[side], magnetCount[side], kMagnetCapacity, kMagnetCost, x, y, side);
}

void CGame::BuildLaser(int x, int y, int side)
{
    CLaser* laser = BuildStructure(*this, lasers[side], laserCount[side], kLaserCapacity, kLaserCost, x, y, side);
    if (laser == nullptr)
        return;
    laser->angle = static_cast<float>(kPi);  // no target, aim timer 0 (its defaults)
    laser->health = kLaserHealth;
}

bool CGame::IsNearOwnStructure(int x, int y, int side) const
{
    for (int row = y - 7; row <= y + 7; ++row) {
        if (row < 0 || row >= kGridSize)
            continue;
        for (int col = x - 7; col <= x + 7; ++col) {
            if (col < 0 || col >= kGridSize)
                continue;
            const int dx = col - x;
            const int dy = row - y;
            if (dx * dx + dy * dy > kBuildReach2)
                continue;
            const CLocObject* object = At(col, row);
            if (object != nullptr && object->side == side && !object->isUnit)
                return true;
        }
    }
    return false;
}

void CGame::UpdateTrees()
{
    int i = 0;
    while (i < treeCount) {
        CTree& tree = trees[i];
        bool felled = false;
        for (int dy = -1; dy <= 1 && !felled; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = tree.x + dx;
                const int y = tree.y + dy;
                if (x < 0 || x >= kGridSize || y < 0 || y >= kGridSize)
                    continue;
                const CLocObject* object = At(x, y);
                if (object == nullptr || !object->isUnit)
                    continue;
                --tree.wood;
                if (tree.wood < 1) {
                    // Dead robots not yet removed still harvest.
                    energy[object->side] += kTreeEnergy;
                    Vacate(&tree);
                    RemoveTree(i);
                    felled = true;
                    break;
                }
            }
        }
        if (!felled)
            ++i;
    }
}

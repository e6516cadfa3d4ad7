#pragma once
// CGame is the whole game: the map and its occupancy grid, both sides'
// factories, robots, magnets, lasers and move magnets, the trees, the shots in
// flight, the energy of each side, the camera, the player's tool and the
// models and pictures the game draws.
//
// Threads: Load runs once on the loading thread (StartLoading starts it);
// after the done message everything runs on the main thread. Every draw of
// tlib::Random() happens in a fixed order, so one seed gives one game.
//
// Storage: every entity lives in a fixed-capacity array inside the object;
// entries 0..count-1 are live, adding appends, removing shifts the later
// entries down one (keeping their order) and re-points their grid cells and
// the target references. Nothing is allocated while the game is played.
// The object is large (about a megabyte): create it with new.
//
// Sides: 0 red (the player), 1 blue (the computer); the other side is 1 - s.

#include <cstdint>
#include <thread>

#include "engine/CMatrix.h"
#include "engine/CVector.h"
#include "engine/D3D9.h"
#include "game/CFactory.h"
#include "game/CLaser.h"
#include "game/CLaserShot.h"
#include "game/CLocObject.h"
#include "game/CMagnet.h"
#include "game/CMoveMagnet.h"
#include "game/CRobot.h"
#include "game/CTree.h"
#include "game/IPlayerActions.h"

namespace Orvel {
class DXDevice;
class DXModel;
class DXOverlay;
} // namespace Orvel

class CGame {
public:
    // Field size in cells.
    static constexpr int kGridSize = 64;
    static constexpr int kCellCount = kGridSize * kGridSize;

    // List capacities. Robots: ProduceRobots stops at kRobotLimit per side.
    // Magnets and lasers: the grid holds at most 1024 structures of 2 x 2.
    // Move magnets: one per cell and side at most, so a side's list cannot
    // overflow. Shots: a laser fires at most once per 202 ticks and a flight
    // lasts at most 352 ticks (corner to corner), so each laser has at most
    // two shots in flight; two per laser of both full laser lists bounds the
    // list, and FireLaserShot drops a shot rather than overflow it.
    static constexpr int kRobotCapacity = 4096;
    static constexpr int kRobotLimit = 1024;
    static constexpr int kMagnetCapacity = 1024;
    static constexpr int kLaserCapacity = 1024;
    static constexpr int kMoveMagnetCapacity = kCellCount;
    static constexpr int kTreeCapacity = 128;
    static constexpr int kShotCapacity = 2 * 2 * kLaserCapacity;

    // Rules.
    static constexpr int kStartEnergy = 100;
    static constexpr int kRobotCost = 1;
    static constexpr int kMagnetCost = 3;
    static constexpr int kLaserCost = 7;
    static constexpr int kCaptureCost = 4;
    static constexpr int kTreeEnergy = 8;
    static constexpr int kTreeWood = 100;
    static constexpr int kMoveInterval = 15;     // ticks between a robot's steps
    static constexpr int kMagnetCharge = 95;     // ticks to charge a capture
    static constexpr int kMagnetReach2 = 64;     // squared cells
    static constexpr int kBuildReach2 = 49;      // squared cells
    static constexpr int kLaserHealth = 58;
    static constexpr int kLaserAimTicks = 200;   // the shot leaves when aimTimer was 200
    static constexpr double kShotFlightFactor = 0.00732421875;  // steps per squared world unit
    static constexpr int kAiInterval = 12;       // ticks between the computer's decisions

    // Window messages the loading posts (first parameter: step 1..19).
    static constexpr uint32_t kMsgLoadProgress = 1024;
    static constexpr uint32_t kMsgLoadDone = 1025;
    static constexpr int kLoadSteps = 19;

    // Models, in the order they are loaded and released.
    enum ModelId {
        MODEL_MAP,
        MODEL_TREE,
        MODEL_RED_FACTORY,
        MODEL_RED_ROBOT,
        MODEL_RED_MAGNET,
        MODEL_RED_LASER,
        MODEL_BLUE_FACTORY,
        MODEL_BLUE_ROBOT,
        MODEL_BLUE_MAGNET,
        MODEL_BLUE_LASER,
        MODEL_LASER_SHOT,
        MODEL_MOVE_MAGNET0,
        MODEL_MOVE_MAGNET1,
        MODEL_RED_X,
        MODEL_COUNT
    };
    // The side's model of a kind: MODEL_RED_xxx + side * kSideModelStride.
    static constexpr int kSideModelStride = MODEL_BLUE_FACTORY - MODEL_RED_FACTORY;

    // Posts one window message for the loading sequence. The app provides it
    // (posting to the window's queue); it may be called from the loading thread.
    using PostMessageFn = void (*)(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam);

    // Builds the matrices, the camera and the entity arrays; counts, energies
    // and timers are 0 until Load or NewGame sets them.
    CGame();
    // Releases the models and pictures (see ReleaseResources).
    ~CGame();
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // ---- Loading (the thread functions live in game/CGameThread.cpp) ----

    // Stores the window and the device, starts the loading thread running
    // Load, keeps its handle, returns kLoadSteps. Main thread, once.
    int StartLoading(HWND window, Orvel::DXDevice* device);
    // Waits up to 1000 ms for the loading thread and releases its handle.
    void WaitForLoader();
    // The loading thread's body: runs game->Load(), returns 0.
    static uint32_t LoaderThreadProc(CGame* game);

    // The whole loading sequence: BuildWorld, the 14 models and 5 pictures
    // with progress messages 1..19, the initial robots, then the done message.
    // An exception from a loader ends it; the done message is then not posted.
    void Load();
    // World steps of Load, in its order: camera, projections, view mode, empty
    // grid, factories, PlaceTrees, counts, tool, energies, computer state,
    // shots. Draws from the random generator (the trees).
    void BuildWorld();
    // ProduceRobots for red, then for blue: the last world step of Load.
    void PlaceInitialRobots();
    // A game as Load builds it, without models or pictures: BuildWorld,
    // showHelp from gShowHelp, state 0, PlaceInitialRobots.
    void NewGame();

    // ---- Occupancy grid (no bounds checks except in IsAreaFree) ----
    CLocObject* Occupy(CLocObject* object);
    bool IsAreaFree(int x, int y, int width, int height) const;
    void MoveObject(CLocObject* object, int dx, int dy);
    void Vacate(CLocObject* object);
    // The object at a cell inside the grid, or null.
    CLocObject* At(int x, int y) const { return grid[y * kGridSize + x]; }

    // ---- The tick ----

    // One tick (20 ms). Does nothing unless state is 0.
    void Update();
    // Hooks of the controls (game/CGameControls.cpp): tick steps 1, 2 and 10.
    void UpdatePlayerInput();
    void UpdateViewToggle();
    void UpdateHelpToggle();
    // Draws one frame (game/CGameRender.cpp). Main thread, after loading.
    void Render();

    // ---- Economy and building (refusals are silent) ----
    void ProduceRobots(int side);
    bool SpawnRobot(int side);
    void BuildMagnet(int x, int y, int side);
    void BuildLaser(int x, int y, int side);
    bool IsNearOwnStructure(int x, int y, int side) const;
    void UpdateTrees();

    // ---- Robots and move magnets ----
    void UpdateRobots();
    // type 0..8 of the pad (3 * row + column); 4 attracts, the others push.
    void AddMoveMagnet(int x, int y, int type, int side);
    void RemoveMoveMagnet(int x, int y, int side);
    // The Clear button: the side's move-magnet count becomes 0.
    void ClearMoveMagnets(int side);
    // Adds the spacing pushes of the robot's own side and its side's move
    // magnets to (vx, vy), in list order: the steering of one move step
    // after the wander draw.
    void AddSteering(const CRobot& robot, double& vx, double& vy) const;
    // The same sum as the robot pass computes it (four robots at a time);
    // equal bit for bit to AddSteering.
    void AddSteeringVectorised(const CRobot& robot, double& vx, double& vy);

    // ---- Magnets, lasers and shots ----
    void UpdateMagnets();
    CRobot* FindMagnetVictim(const CMagnet& magnet);
    void UpdateLasers();
    void FireLaserShot(CLaser& laser);

    // ---- Computer opponent ----
    void UpdateComputer();
    // The lottery weights of a decision (robots, magnets, lasers), from the
    // current counts and blue's energy; each >= 0.
    void LotteryWeights(int& robotWeight, int& magnetWeight, int& laserWeight) const;

    // ---- List removal: order-preserving; re-points grid cells and targets ----
    void RemoveRobot(int side, int index);
    void RemoveMagnet(int side, int index);
    void RemoveLaser(int side, int index);
    void RemoveTree(int index);
    void RemoveShot(int index);

    // ---- Data (read by rendering and the controls) ----

    std::thread* loaderThread = nullptr;  // owned; set by StartLoading
    HWND window = nullptr;                // receives the loading messages
    PostMessageFn postMessage = nullptr;  // null: the loading posts nothing
    IPlayerActions* playerActions = nullptr;  // not owned; see IPlayerActions

    int32_t state = 0;  // 0 playing; 1 blue has no robots left; 2 red has none
    bool showHelp = false;
    Orvel::DXDevice* device = nullptr;  // not owned

    Orvel::DXOverlay* loseScreen = nullptr;    // owned; shown in state 1
    Orvel::DXOverlay* winScreen = nullptr;     // owned; shown in state 2
    Orvel::DXOverlay* helpText = nullptr;      // owned
    Orvel::DXOverlay* energyIcon = nullptr;    // owned
    Orvel::DXOverlay* controlPanel = nullptr;  // owned

    Orvel::CMatrix projection3D;
    Orvel::CMatrix projectionMap;
    Orvel::CVector cameraPos;  // world units
    double cameraRoll = 0.0;   // radians
    double cameraPitch = 0.0;
    double cameraYaw = 0.0;

    Orvel::DXModel* models[MODEL_COUNT] = {};  // owned

    int32_t viewMode = 1;  // 1 map view, 0 walk view

    // Cell y * 64 + x: the object occupying it, or null. Not owning.
    CLocObject* grid[kCellCount] = {};

    CFactory factories[2];

    CRobot robots[2][kRobotCapacity];
    int32_t robotCount[2] = {0, 0};
    CMagnet magnets[2][kMagnetCapacity];
    int32_t magnetCount[2] = {0, 0};
    CLaser lasers[2][kLaserCapacity];
    int32_t laserCount[2] = {0, 0};
    CMoveMagnet moveMagnets[2][kMoveMagnetCapacity];
    int32_t moveMagnetCount[2] = {0, 0};

    int32_t tool = 0;      // 0 none, 1 magnet, 2 laser, 3..11 move magnet type tool-3, 13 eraser
    int32_t cursorX = -1;  // cursor cell; x -1: not on the map
    int32_t cursorY = 0;
    Orvel::DXModel* previewModel = nullptr;  // not owned: one of models
    float previewAngle = 0.0f;

    CTree trees[kTreeCapacity];
    int32_t treeCount = 0;

    int32_t energy[2] = {0, 0};
    int32_t aiCountdown = 0;  // ticks to the next decision
    int32_t aiStep = 0;       // decisions taken so far

    CLaserShot shots[kShotCapacity];
    int32_t shotCount = 0;

private:
    void PostLoad(uint32_t message, int step);
    void PlaceTrees();
    void TakeDecision(int step);
    void ComputerBuild(bool laser);

    // Model and picture steps of Load (game/CGameLoad.cpp): load one file
    // from the data folder into a slot owned by this object.
    void LoadModelFile(ModelId id, const char* fileName);
    void LoadImageFile(Orvel::DXOverlay** slot, const char* fileName, int width, int height);
    // Releases the models in ModelId order, then energyIcon, controlPanel,
    // helpText, loseScreen and winScreen (game/CGameLoad.cpp).
    void ReleaseResources();

    // Push directions of the pad types, as stored floats.
    static const float kMoveMagnetAngles[9];

    // Positions of the robots of the side being moved, as floats, kept in
    // step with its list during UpdateRobots for the spacing sums.
    float mSpacingX[kRobotCapacity];
    float mSpacingY[kRobotCapacity];
    void SpacingSum(int count, int x, int y, double& sumX, double& sumY) const;
    void AddMoveMagnetPushes(int side, int x, int y, double& vx, double& vy) const;
};

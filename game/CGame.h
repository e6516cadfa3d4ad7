#pragma once
// CGame is the whole game: the map and its occupancy grid, both sides'
// factories, robots, magnets, lasers and move magnets, the trees, the shots in
// flight, the energy of each side, the camera, the player's tool and the
// models and pictures the game draws.
//
// Its operations live in files of layers; each calls only the layers below
// it, never back up:
//   simulation (the library game_sim; needs no drawing engine)
//     0 CGameGrid.cpp      the occupancy grid, placing, removing list entries
//     1 CGameEconomy.cpp   robot production, building, harvesting
//       CGameRobots.cpp    the robot pass, move magnets
//       CGameWeapons.cpp   magnets, lasers, shots
//     2 CGameWorld.cpp     a new world
//       CGameComputer.cpp  the computer opponent
//       CGameControls.cpp  the player's controls and camera
//       CReplayScript.cpp  a scripted red player (IPlayerActions)
//     3 CGame.cpp          construction and the order of the tick
//   drawing and loading (the library game, on the engine)
//       CGameLoad.cpp      the loading sequence, models and pictures
//       CGameThread.cpp    the loading thread
//       CGameRender.cpp    drawing the world and the HUD (reads only)
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
#include "game/CFactory.h"
#include "game/CLaser.h"
#include "game/CLaserShot.h"
#include "game/CLocObject.h"
#include "game/CMagnet.h"
#include "game/CMoveMagnet.h"
#include "game/CRobot.h"
#include "game/CTree.h"
#include "game/IGameObserver.h"
#include "game/IPlayerActions.h"
#include "game/SPlayerInput.h"

// The simulation holds the engine's objects by pointer only.
namespace Orvel {
class DXDevice;
class DXModel;
class DXOverlay;
} // namespace Orvel

// The window that receives the loading messages (as the window layer has it).
typedef void* HWND;

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
    static constexpr float kLaserBuiltAngle = static_cast<float>(3.14159265358979323846);  // pi
    static constexpr int kLaserAimTicks = 200;   // the shot leaves when aimTimer was 200
    static constexpr double kShotFlightFactor = 0.00732421875;  // steps per squared world unit
    static constexpr int kAiInterval = 12;       // ticks between the computer's decisions

    // Where the HUD draws red's energy figure (overlay units, its digits'
    // top-left corner); the app puts its labels beside it.
    static constexpr int32_t kEnergyFigureX = 140;
    static constexpr int32_t kEnergyFigureY = 68;

    // Window messages the loading posts (first parameter: step 1..19).
    static constexpr uint32_t kMsgLoadProgress = 1024;
    static constexpr uint32_t kMsgLoadDone = 1025;
    static constexpr int kLoadSteps = 19;

    // The state of the game. It leaves STATE_PLAYING once, when a side has
    // no robots left, and never returns.
    enum GameState : int32_t {
        STATE_PLAYING = 0,
        STATE_BLUE_LOST = 1,  // blue has no robots left: the player has won
        STATE_RED_LOST = 2,   // red has no robots left: the player has lost
    };

    // The player's view.
    enum ViewMode : int32_t {
        VIEW_WALK = 0,  // the free camera: mouse look, W, A, S and D
        VIEW_MAP = 1,   // the field from above, with the control panel
    };

    // The map view's tool: what a left click on the map does.
    enum Tool : int32_t {
        TOOL_NONE = 0,
        TOOL_MAGNET = 1,
        TOOL_LASER = 2,
        // A move magnet of the pad's type tool - TOOL_PUSH_UP_LEFT (3 * row +
        // column); the centre attracts, the others push as named, up being
        // towards row 0 of the map view.
        TOOL_PUSH_UP_LEFT = 3,
        TOOL_PUSH_UP = 4,
        TOOL_PUSH_UP_RIGHT = 5,
        TOOL_PUSH_LEFT = 6,
        TOOL_ATTRACT = 7,
        TOOL_PUSH_RIGHT = 8,
        TOOL_PUSH_DOWN_LEFT = 9,
        TOOL_PUSH_DOWN = 10,
        TOOL_PUSH_DOWN_RIGHT = 11,
        // 12 is no tool.
        TOOL_ERASER = 13,  // removes red's move magnets
    };
    // The tool of the pad's move-magnet type 0..8, and the type of a tool.
    static Tool MoveMagnetTool(int type) { return static_cast<Tool>(TOOL_PUSH_UP_LEFT + type); }
    static bool IsMoveMagnetTool(Tool t) { return t >= TOOL_PUSH_UP_LEFT && t <= TOOL_PUSH_DOWN_RIGHT; }
    static int MoveMagnetType(Tool t) { return t - TOOL_PUSH_UP_LEFT; }

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
    // Releases what loading acquired: the models and pictures (see
    // ReleaseResources), the loading thread's handle.
    ~CGame();
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // ---- Loading (CGameLoad.cpp; the thread functions in CGameThread.cpp) ----

    // Stores the window and the device, starts the loading thread running
    // Load, keeps its handle, returns kLoadSteps. Main thread, once.
    int StartLoading(HWND window, Orvel::DXDevice* device);
    // Joins the loading thread (waits until it has ended, however long that
    // takes) and releases its handle; does nothing when there is none.
    void WaitForLoader();
    // The loading thread's body: runs game->Load(), returns 0.
    static uint32_t LoaderThreadProc(CGame* game);

    // The whole loading sequence: BuildWorld, the 14 models and 5 pictures
    // with progress messages 1..19, the initial robots, then the done message.
    // An exception from a loader ends it; the done message is then not posted.
    void Load();
    // ---- A new world (CGameWorld.cpp) ----

    // World steps of Load, in its order: camera, projections, view mode, empty
    // grid, factories, PlaceTrees, counts, tool, energies, computer state,
    // shots. Draws from the random generator (the trees).
    void BuildWorld();
    // ProduceRobots for red, then for blue: the last world step of Load.
    void PlaceInitialRobots();
    // A game as Load builds it, without models or pictures: BuildWorld,
    // showHelp from gShowHelp, STATE_PLAYING, PlaceInitialRobots.
    void NewGame();

    // ---- Occupancy grid (CGameGrid.cpp; no bounds checks except in IsAreaFree) ----
    CLocObject* Occupy(CLocObject* object);
    bool IsAreaFree(int x, int y, int width, int height) const;
    void MoveObject(CLocObject* object, int dx, int dy);
    void Vacate(CLocObject* object);
    // The object at a cell inside the grid, or null.
    CLocObject* At(int x, int y) const { return grid[y * kGridSize + x]; }
    // Puts an object on the grid: sets its cells (x, y, width, height) and
    // its side, then occupies them. Every object is placed through here. The
    // caller makes sure the area is inside the grid and free.
    void Place(CLocObject& object, int x, int y, int width, int height, int side);

    // ---- List removal (CGameGrid.cpp): order-preserving ----
    // Removing entry index vacates its cells, shifts the later entries down
    // one and re-points their cells; removing a magnet also clears the laser
    // and shot targets that referred to it and re-points those that referred
    // to a magnet that moved down.
    void RemoveRobot(int side, int index);
    void RemoveMagnet(int side, int index);
    void RemoveLaser(int side, int index);
    void RemoveTree(int index);
    void RemoveShot(int index);

    // ---- The tick (CGame.cpp; the controls in CGameControls.cpp) ----

    // The most world ticks one timer tick runs (the fastest game speed).
    static constexpr int kMaxWorldTicks = 8;

    // One timer tick (20 ms) with the player's input gathered for it: the
    // one entry point of the app, the replay player and the tools.
    //   - The key presses of the record are noted; nothing more happens
    //     unless the game is being played.
    //   - Once: the walk view's camera or the map view's controls (step 1),
    //     the view key and the camera height (step 2), the cursor flag
    //     (step 3). With acceptActions false (a paused game) the map view
    //     sees no button: no panel button, tool, build or erase acts, while
    //     the cursor cell still follows the mouse.
    //   - worldTicks times (0 while paused, 2 or 4 for a faster game), while
    //     the game is being played: a scripted red player's actions, then the
    //     world (steps 4 to 9: computer, robots, magnets, lasers, trees, the
    //     end test). Each counts in ticksPlayed and is told to the observer.
    //   - Once: the help key (step 10).
    // The camera and the keys therefore go at the timer's pace whatever the
    // speed; a scripted player applies its actions per world tick as before.
    void Tick(const SPlayerInput& input, int worldTicks, bool acceptActions);
    // The game at its normal speed: Tick(input, 1, true).
    void Update(const SPlayerInput& input) { Tick(input, 1, true); }
    // Steps of the controls: the key presses of the record are noted
    // (keyPressPending) before anything else; tick steps 1, 2 and 10.
    void LatchKeyPresses(const SPlayerInput& input);
    void UpdatePlayerInput(const SPlayerInput& input);
    void UpdateViewToggle();
    void UpdateHelpToggle();
    // Draws one frame (game/CGameRender.cpp). Main thread, after loading.
    void Render();

    // ---- Economy and building (CGameEconomy.cpp; refusals are silent) ----
    void ProduceRobots(int side);
    bool SpawnRobot(int side);
    void BuildMagnet(int x, int y, int side);
    void BuildLaser(int x, int y, int side);
    bool IsNearOwnStructure(int x, int y, int side) const;
    void UpdateTrees();

    // ---- Robots and move magnets (CGameRobots.cpp) ----
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
    // The same sum from the robot pass's table of spacing quotients; equal
    // bit for bit to AddSteering.
    void AddSteeringFromTable(const CRobot& robot, double& vx, double& vy);
    // The robot pass with every steering sum from AddSteering: the reference
    // that UpdateRobots equals bit for bit (for tests).
    void UpdateRobotsPlain();

    // ---- Magnets, lasers and shots (CGameWeapons.cpp) ----
    void UpdateMagnets();
    CRobot* FindMagnetVictim(const CMagnet& magnet);
    void UpdateLasers();
    void FireLaserShot(CLaser& laser);

    // ---- Computer opponent (CGameComputer.cpp) ----
    void UpdateComputer();
    // The lottery weights of a decision (robots, magnets, lasers), from the
    // current counts and blue's energy; each >= 0.
    void LotteryWeights(int& robotWeight, int& magnetWeight, int& laserWeight) const;

    // ---- Data (read by rendering and the controls) ----

    std::thread* loaderThread = nullptr;  // owned; set by StartLoading
    HWND window = nullptr;                // receives the loading messages
    PostMessageFn postMessage = nullptr;  // null: the loading posts nothing
    IPlayerActions* playerActions = nullptr;  // not owned; see IPlayerActions
    IGameObserver* observer = nullptr;        // not owned; see IGameObserver

    GameState state = STATE_PLAYING;
    // World ticks played since the world was built (BuildWorld sets 0).
    int32_t ticksPlayed = 0;
    bool showHelp = false;
    Orvel::DXDevice* device = nullptr;  // not owned

    Orvel::DXOverlay* loseScreen = nullptr;    // owned; shown in STATE_BLUE_LOST
    Orvel::DXOverlay* winScreen = nullptr;     // owned; shown in STATE_RED_LOST
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

    ViewMode viewMode = VIEW_MAP;

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

    Tool tool = TOOL_NONE;
    int32_t cursorX = -1;  // cursor cell; x -1: not on the map
    int32_t cursorY = 0;
    Orvel::DXModel* previewModel = nullptr;  // not owned: one of models
    float previewAngle = 0.0f;

    CTree trees[kTreeCapacity];
    int32_t treeCount = 0;

    // Per key (SPlayerInput::Key): pressed since the controls last asked for
    // it. The controls ask where the tick reads the key (W, A, S and D in
    // the walk view's step 1, Space in step 2, F1 in step 10, only while the
    // game is being played), and asking takes the press: a press made while
    // nothing asks, such as W in the map view, counts once, at the first
    // tick that asks.
    bool keyPressPending[SPlayerInput::KEY_COUNT] = {};

    int32_t energy[2] = {0, 0};
    int32_t aiCountdown = 0;  // ticks to the next decision
    int32_t aiStep = 0;       // decisions taken so far

    CLaserShot shots[kShotCapacity];
    int32_t shotCount = 0;

private:
    // The one removal of an entry of a fixed list of count entries (see
    // RemoveRobot): vacates the entry's cells before anything moves.
    template <class T>
    void RemoveEntry(T* list, int32_t& count, int index);

    // Steps 4 to 9 of the tick, with a scripted player's actions before them.
    void StepWorld();
    void PostLoad(uint32_t message, int step);
    void PlaceTrees();
    void TakeDecision(int step);
    void ComputerBuild(bool laser);

    // Model and picture steps of Load (game/CGameLoad.cpp): load one file
    // from the data folder into a slot owned by this object.
    void LoadModelFile(ModelId id, const char* fileName);
    void LoadImageFile(Orvel::DXOverlay** slot, const char* fileName, int width, int height);
    // Releases the models in ModelId order, then energyIcon, controlPanel,
    // helpText, loseScreen and winScreen, then the loading thread's handle
    // (game/CGameLoad.cpp).
    void ReleaseResources();
    // Set to ReleaseResources by loading as it acquires the first resource,
    // so that a game that never loaded (the simulator) needs no engine to be
    // destroyed. Resources put into models or the pictures by anyone else
    // stay theirs.
    void (CGame::*mReleaseLoaded)() = nullptr;

    // Push directions of the pad types, as stored floats.
    static const float kMoveMagnetAngles[9];

    // Where in the table of spacing quotients the robots of the side being
    // moved are, kept in step with its list during the robot pass.
    int32_t mSpacingOffsets[kRobotCapacity];
    void RobotPass(bool plainSteering);
    void AddMoveMagnetPushes(int side, int x, int y, double& vx, double& vy) const;
};

// Drawing the world and the HUD, on top of the simulation: reads the game,
// changes nothing in it and calls no other file of the game; calls the
// engine and the frame's sprite list. Main thread, between the device
// frame's start and finish, after Update.
//
// Sprites are only queued here (AddSprite, DrawNumber): the frame draws them
// over the 3D scene after Render returns, in the order queued. Models are
// drawn at once with the transforms set just before them: the projection and
// view of the current camera, and per model a world matrix built as
// Rotation(0, 0, heading) * Translation(position) (row vectors: turn first,
// then move). Cell (x, y) stands at world (2.5 x, 2.5 y, 0). There is no
// culling: everything is drawn every frame.

#include "engine/CMatrix.h"
#include "engine/DXDevice.h"
#include "engine/DXModel.h"
#include "game/CGame.h"
#include "game/GameSprites.h"

using Orvel::CMatrix;
using Orvel::CVector;

namespace {

constexpr double kPi = 3.14159265358979323846;
// World units per cell.
constexpr double kCellSize = 2.5;
// The ground model covers 40 x 40 world units; the field is 4 x 4 of them.
constexpr int kGroundTiles = 4;
constexpr double kGroundTileSize = 40.0;
// A laser model points along +y: it is turned by its angle less a quarter
// turn, taken as this float.
constexpr float kLaserModelTurn = 1.5707964f;
// Shots fly this high above the ground (world units).
constexpr double kShotHeight = 2.0;

// HUD positions, overlay units.
constexpr int kHelpX = 24, kHelpY = 532;
constexpr int kEnergyIconX = 32, kEnergyIconY = 32;
constexpr int kControlPanelX = 768;

CMatrix AtCell(int x, int y)
{
    return CMatrix::Translation(CVector(kCellSize * x, kCellSize * y, 0.0));
}

CMatrix TurnedAtCell(double angle, int x, int y)
{
    return CMatrix::Rotation(0.0, 0.0, angle) * AtCell(x, y);
}

// The turn of a laser's model for a laser at angle.
float LaserModelTurn(float angle)
{
    return angle - kLaserModelTurn;
}

} // namespace

void CGame::Render()
{
    // The end pictures go with the states by their files: blue out of
    // robots shows "LoseScreen.bmp", red out of robots "WinScreen.bmp". Our
    // LoseScreen.bmp says that the player won, so each shows the right end.
    if (state == STATE_BLUE_LOST) {
        AddSprite(loseScreen, 0, 0, false);
        return;
    }
    if (state == STATE_RED_LOST) {
        AddSprite(winScreen, 0, 0, false);
        return;
    }

    if (showHelp)
        AddSprite(helpText, kHelpX, kHelpY, false);
    AddSprite(energyIcon, kEnergyIconX, kEnergyIconY, false);
    DrawNumber(energy[0], kEnergyFigureX, kEnergyFigureY);

    if (viewMode == VIEW_WALK) {
        device->SetTransform(D3DTS_PROJECTION, projection3D);
        device->SetTransform(D3DTS_VIEW, CMatrix::Translation(-cameraPos) *
                                             CMatrix::Rotation(-cameraRoll, -cameraPitch, -cameraYaw));
    } else {
        device->SetTransform(D3DTS_PROJECTION, projectionMap);
        device->SetTransform(D3DTS_VIEW, CMatrix::Identity());
        AddSprite(controlPanel, kControlPanelX, 0, false);
    }

    for (int i = 0; i < kGroundTiles; ++i) {
        for (int j = 0; j < kGroundTiles; ++j) {
            device->SetTransform(D3DTS_WORLD,
                                 CMatrix::Translation(CVector(kGroundTileSize * j, kGroundTileSize * i, 0.0)));
            models[MODEL_MAP]->Render();
        }
    }

    for (int i = 0; i < treeCount; ++i) {
        device->SetTransform(D3DTS_WORLD, AtCell(trees[i].x, trees[i].y));
        models[MODEL_TREE]->Render();
    }

    // Robots marked dead but not yet removed are drawn like the others.
    for (int side = 0; side < 2; ++side) {
        const int sideModels = side * kSideModelStride;
        Orvel::DXModel* robotModel = models[MODEL_RED_ROBOT + sideModels];
        for (int i = 0; i < robotCount[side]; ++i) {
            const CRobot& robot = robots[side][i];
            device->SetTransform(D3DTS_WORLD, TurnedAtCell(robot.facing * kPi * 0.25, robot.x, robot.y));
            robotModel->Render();
        }
        Orvel::DXModel* magnetModel = models[MODEL_RED_MAGNET + sideModels];
        for (int i = 0; i < magnetCount[side]; ++i) {
            device->SetTransform(D3DTS_WORLD, AtCell(magnets[side][i].x, magnets[side][i].y));
            magnetModel->Render();
        }
        Orvel::DXModel* laserModel = models[MODEL_RED_LASER + sideModels];
        for (int i = 0; i < laserCount[side]; ++i) {
            const CLaser& laser = lasers[side][i];
            device->SetTransform(D3DTS_WORLD, TurnedAtCell(LaserModelTurn(laser.angle), laser.x, laser.y));
            laserModel->Render();
        }
    }

    // Shot positions are world units already.
    for (int i = 0; i < shotCount; ++i) {
        const CLaserShot& shot = shots[i];
        device->SetTransform(D3DTS_WORLD, CMatrix::Rotation(0.0, 0.0, shot.angle) *
                                              CMatrix::Translation(CVector(shot.curX, shot.curY, kShotHeight)));
        models[MODEL_LASER_SHOT]->Render();
    }

    // The factory model's origin is one world unit right of its lowest cell.
    for (int side = 0; side < 2; ++side) {
        device->SetTransform(D3DTS_WORLD, CMatrix::Translation(CVector(kCellSize * factories[side].x - 1.0,
                                                                       kCellSize * factories[side].y, 0.0)));
        models[MODEL_RED_FACTORY + side * kSideModelStride]->Render();
    }

    // Only red's move magnets are shown: blue's are the computer's secret.
    for (int i = 0; i < moveMagnetCount[0]; ++i) {
        const CMoveMagnet& mark = moveMagnets[0][i];
        if (mark.kind == 1) {
            device->SetTransform(D3DTS_WORLD, TurnedAtCell(mark.angle, mark.x, mark.y));
            models[MODEL_MOVE_MAGNET1]->Render();
        } else {
            device->SetTransform(D3DTS_WORLD, AtCell(mark.x, mark.y));
            models[MODEL_MOVE_MAGNET0]->Render();
        }
    }

    // The placement preview, in both views, at the last cursor cell. The
    // laser tool's preview angle is a new laser's angle, and the laser is
    // previewed turned as it will stand once built.
    if (tool != TOOL_NONE && cursorX != -1 && previewModel != nullptr) {
        const float turn = tool == TOOL_LASER ? LaserModelTurn(previewAngle) : previewAngle;
        device->SetTransform(D3DTS_WORLD, TurnedAtCell(turn, cursorX, cursorY));
        previewModel->Render();
    }
}

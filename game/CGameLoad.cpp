// Loading, on top of the simulation: the sequence with its progress
// messages, the models and pictures, and their release. These are the only
// functions of the game that reach the engine's loaders and own its
// resources. Calls the world builder (CGameWorld.cpp) and the engine; called
// by the loading thread (CGameThread.cpp) and tests.
//
// Load runs on the loading thread (the device's back end serialises device
// use). Without a device (tests of the sequence) the slots stay empty.

#include "engine/DXModel.h"
#include "engine/DXOverlay.h"
#include "engine/LoadModel.h"
#include "engine/LoadOverlay.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"

void CGame::PostLoad(uint32_t message, int step)
{
    if (postMessage != nullptr)
        postMessage(window, message, static_cast<uintptr_t>(step), 0);
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
    state = STATE_PLAYING;
    LoadImageFile(&loseScreen, "LoseScreen.bmp", 1024, 768);
    PostLoad(kMsgLoadProgress, 18);
    LoadImageFile(&winScreen, "WinScreen.bmp", 1024, 768);
    PostLoad(kMsgLoadProgress, 19);

    PlaceInitialRobots();
    PostLoad(kMsgLoadDone, 0);
}

void CGame::LoadModelFile(ModelId id, const char* fileName)
{
    mReleaseLoaded = &CGame::ReleaseResources;
    delete models[id];
    models[id] = nullptr;
    if (device != nullptr) {
        models[id] = Orvel::LoadModel(device, fileName);
    }
}

void CGame::LoadImageFile(Orvel::DXOverlay** slot, const char* fileName, int width, int height)
{
    mReleaseLoaded = &CGame::ReleaseResources;
    delete *slot;
    *slot = nullptr;
    if (device != nullptr) {
        *slot = Orvel::LoadOverlay(device, fileName, width, height, false);
    }
}

void CGame::ReleaseResources()
{
    for (Orvel::DXModel*& model : models) {
        delete model;
        model = nullptr;
    }
    Orvel::DXOverlay** images[] = {&energyIcon, &controlPanel, &helpText, &loseScreen, &winScreen};
    for (Orvel::DXOverlay** image : images) {
        delete *image;
        *image = nullptr;
    }
    previewModel = nullptr;
    delete loaderThread;
    loaderThread = nullptr;
}

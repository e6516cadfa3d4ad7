// The model and picture steps of loading. These are the only functions of
// the game that reach the engine's loaders and own its resources.
//
// TO COMPLETE when the engine library is linked into `game`: load with
// Orvel::LoadModel(device, fileName) and Orvel::LoadOverlay(device, fileName,
// width, height, false) (engine/LoadModel.h, engine/LoadOverlay.h) and
// release with delete. Until then the slots stay empty, so the world, the
// tick and the loading order can be built and tested without a device.

#include "game/CGame.h"

void CGame::LoadModelFile(ModelId id, const char* fileName)
{
    (void)fileName;
    models[id] = nullptr;
}

void CGame::LoadImageFile(Orvel::DXOverlay** slot, const char* fileName, int width, int height)
{
    (void)fileName;
    (void)width;
    (void)height;
    *slot = nullptr;
}

void CGame::ReleaseResources()
{
    for (Orvel::DXModel*& model : models)
        model = nullptr;
    energyIcon = nullptr;
    controlPanel = nullptr;
    helpText = nullptr;
    loseScreen = nullptr;
    winScreen = nullptr;
}

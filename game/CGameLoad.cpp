// The model and picture steps of loading. These are the only functions of
// the game that reach the engine's loaders and own its resources. They run
// on the loading thread (the device's back end serialises device use).
// Without a device (the simulator, tests of the world) the slots stay empty.

#include "engine/DXModel.h"
#include "engine/DXOverlay.h"
#include "engine/LoadModel.h"
#include "engine/LoadOverlay.h"
#include "game/CGame.h"

void CGame::LoadModelFile(ModelId id, const char* fileName)
{
    delete models[id];
    models[id] = nullptr;
    if (device != nullptr) {
        models[id] = Orvel::LoadModel(device, fileName);
    }
}

void CGame::LoadImageFile(Orvel::DXOverlay** slot, const char* fileName, int width, int height)
{
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
}

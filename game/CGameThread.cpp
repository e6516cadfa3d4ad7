// The loading thread. Load runs on it once; the main thread does not touch
// the game until the done message has arrived.

#include "game/CGame.h"

int CGame::StartLoading(HWND aWindow, Orvel::DXDevice* aDevice)
{
    window = aWindow;
    device = aDevice;
    loaderThread = new std::thread(LoaderThreadProc, this);
    return kLoadSteps;
}

void CGame::WaitForLoader()
{
    if (loaderThread != nullptr) {
        if (loaderThread->joinable())
            loaderThread->join();
        delete loaderThread;
        loaderThread = nullptr;
    }
}

uint32_t CGame::LoaderThreadProc(CGame* game)
{
    game->Load();
    return 0;
}

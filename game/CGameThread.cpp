// The loading thread, on top of loading (CGameLoad.cpp): Load runs on it
// once; the main thread does not touch the game until the done (or failed)
// message has arrived. Calls Load only.

#include <cstdio>
#include <exception>

#include "game/CGame.h"
#include "game/LoadingThread.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"

namespace {

SLoaderFailure gLoaderFailure = {};

void RecordFailure(const char* message, bool hasCode, int32_t code)
{
    std::snprintf(gLoaderFailure.message, sizeof gLoaderFailure.message, "%s",
                  message != nullptr ? message : "(no message)");
    gLoaderFailure.hasCode = hasCode;
    gLoaderFailure.code = code;
}

} // namespace

const SLoaderFailure& LoaderFailure()
{
    return gLoaderFailure;
}

int CGame::StartLoading(HWND aWindow, Orvel::DXDevice* aDevice)
{
    window = aWindow;
    device = aDevice;
    mReleaseLoaded = &CGame::ReleaseResources;
    loaderThread = new std::thread(LoaderThreadProc, this);
    return kLoadSteps;
}

// The thread posts the done message as its last act, so the join returns at
// once when called on that message. Called when loading was cut short (the
// window closed), it waits for the whole sequence: the game object must not
// be deleted under the loader.
void CGame::WaitForLoader()
{
    if (loaderThread != nullptr) {
        if (loaderThread->joinable()) {
            loaderThread->join();
        }
        delete loaderThread;
        loaderThread = nullptr;
    }
}

uint32_t CGame::LoaderThreadProc(CGame* game)
{
    bool failed = true;
    try {
        game->Load();
        failed = false;
    } catch (const tlib::TException& e) {
        RecordFailure(e.Message(), false, 0);
    } catch (const DXException& e) {
        RecordFailure(e.Message(), true, e.Code());
    } catch (const std::exception& e) {
        RecordFailure(e.what(), false, 0);
    } catch (...) {
        RecordFailure("unknown error", false, 0);
    }
    if (failed && game->postMessage != nullptr) {
        game->postMessage(game->window, kMsgLoadFailed, 0, 0);
    }
    return 0;
}

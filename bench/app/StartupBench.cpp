// Start-up to the first game frame, and the loading sequence alone, on the
// OpenGL back end in a headless context (this machine's software renderer)
// at 1024 x 768, with the generated Data folder. The window layer is the
// tests' fake: its timer ticks as fast as the program takes the ticks.

#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "app/AppGlobals.h"
#include "app/Startup.h"
#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "game/CGame.h"
#include "input/CKeyLatch.h"
#include "input/KeyState.h"
#include "platform/gl/GLProvider.h"
#include "tests/app/AppFakes.h"
#include "tlib/TRandom.h"

namespace {

// Runs the benchmark in a folder holding GameSettings.ini and a link to the
// generated Data; false when there is no Data.
bool EnterRunFolder()
{
    static std::string folder;
    if (folder.empty()) {
        struct stat st;
        if (stat(TAVRIN_DATA_DIR "/Title.bmp", &st) != 0) {
            return false;
        }
        char pattern[] = "/tmp/tavrin-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            return false;
        }
        folder = pattern;
        if (symlink(TAVRIN_DATA_DIR, (folder + "/Data").c_str()) != 0) {
            return false;
        }
        FILE* settings = std::fopen((folder + "/GameSettings.ini").c_str(), "wb");
        if (settings == nullptr) {
            return false;
        }
        std::fputs("MouseSensitivity=200\nXResolution=1024\nYResolution=768\nShowHelp=true\n", settings);
        std::fclose(settings);
    }
    return chdir(folder.c_str()) == 0;
}

void BM_StartupToFirstGameFrame(benchmark::State& state)
{
    if (!EnterRunFolder()) {
        state.SkipWithError("no generated Data folder");
        return;
    }
    OrvelGL::GLProvider graphics(OrvelGL::GLContextMode::Headless);
    for (auto _ : state) {
        FakeWindowLayer windows;
        HeadlessMouse mouse;
        CKeyLatch keys;
        SetKeySource(&keys);
        // Escape in the first tick after loading: that tick still draws the
        // first game frame, then the program ends.
        windows.onTick = [&](int) {
            if (gLoaded) {
                keys.KeyDown(VK_ESCAPE, false);
            }
        };
        SAppPlatform platform{&windows, &graphics, &mouse, nullptr};
        int status = RunApp(platform);
        SetKeySource(nullptr);
        if (status != 0) {
            state.SkipWithError("the program failed");
            return;
        }
        state.counters["ticks"] = windows.ticks;
    }
}
BENCHMARK(BM_StartupToFirstGameFrame)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_LoadingSequence(benchmark::State& state)
{
    if (!EnterRunFolder()) {
        state.SkipWithError("no generated Data folder");
        return;
    }
    OrvelGL::GLProvider provider(OrvelGL::GLContextMode::Headless);
    Orvel::DXGraphics graphics(provider);
    Orvel::DXDevice* device = graphics.CreateDevice(nullptr, 1024, 768);
    for (auto _ : state) {
        CGame* game = new CGame();
        game->device = device;
        tlib::SeedRandom(1);
        game->Load();
        state.PauseTiming();
        delete game;
        state.ResumeTiming();
    }
    delete device;
}
BENCHMARK(BM_LoadingSequence)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

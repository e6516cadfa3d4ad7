// tavrin-window-bench: the game's frame as the player pays for it. The real
// start-up (InitDisplay, InitGame with its loading thread) on the SDL window
// layer and the OpenGL device in window mode, then the real tick (UpdateFrame
// and DrawFrame, Present into the window) at the game's 50 ticks a second.
// Only the mouse is a stand-in (it never moves), so nothing grabs the pointer.
//
// Per configuration (scene x view) it reports, over the measured ticks, the
// CPU time of the whole process per tick (every thread: the software
// renderer's workers do most of the work), of the main thread alone, and
// the wall time of a tick; medians and the mean, and the share of one core
// that the process takes at 50 ticks a second; and the OpenGL draw calls and
// merged instances per tick.
//
// Run it in a folder holding Data, on an X display with a window manager
// that makes windows full screen (bench/window/window_bench.sh sets that
// up). The window gets the screen's size; the back buffer has the size of
// --backbuffer (1024 x 768 unless told otherwise, as a default
// GameSettings.ini has).
//
// Usage: tavrin-window-bench [--ticks N] [--backbuffer WxH] [--label TEXT]
//                            [--scene opening|worst] [--view map|walk]
// (--scene and --view keep only those configurations, for profiling one.)
// Exit status 0, 1 on a failure (message on stderr), 2 on bad usage.

#include <SDL.h>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/ErrorReport.h"
#include "app/FrameTick.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/TForm.h"
#include "engine/DXDevice.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "platform/gl/GLProvider.h"
#include "platform/sdl/SDLWindowLayer.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"
#include "tlib/TRandom.h"
#include "tools/shot/HeadlessMouse.h"
#include "tools/shot/Scenes.h"

namespace {

constexpr long kTickNs = 20000000L; // the game's timer: 20 ms
constexpr int kSettleTicks = 50;    // before measuring: the window manager sizes the window
constexpr int kRebuildTicks = 250;  // the worst case is rebuilt (outside the measure) as fights thin it out

double Seconds(const timespec& t)
{
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double Now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return Seconds(t);
}

double CpuSeconds(int who)
{
    rusage usage;
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

double Mean(const std::vector<double>& v)
{
    double sum = 0.0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0.0 : sum / double(v.size());
}

// Drops the window system's events (expose, focus, sizes): after loading no
// message of the game's own is posted any more.
void DrainEvents()
{
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

// Sleeps until the next 20 ms slot after the previous tick's; a late tick
// delays the next one (no burst), as the window layer's timer does.
void WaitForSlot(timespec& slot)
{
    slot.tv_nsec += kTickNs;
    if (slot.tv_nsec >= 1000000000L) {
        slot.tv_nsec -= 1000000000L;
        ++slot.tv_sec;
    }
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (Seconds(now) >= Seconds(slot))
        slot = now;
    else
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &slot, nullptr);
}

enum class Scene { Opening, WorstCase };

void SetScene(Scene scene, CGame::ViewMode view)
{
    if (scene == Scene::WorstCase) {
        BuildWorstCaseScene(*gGame);
    } else {
        tlib::SeedRandom(1);
        gGame->NewGame();
    }
    gGame->viewMode = view;
}

struct Figures {
    std::vector<double> cpu, mainCpu, wall;
    double elapsed = 0.0, cpuTotal = 0.0;
    OrvelGL::SDrawCounts drawn = {}; // over the measured ticks
};

OrvelGL::SDrawCounts DrawCounts()
{
    OrvelGL::SDrawCounts counts{};
    OrvelGL::ReadDrawCounts(gDevice->Device(), counts);
    return counts;
}

Figures Measure(Scene scene, CGame::ViewMode view, int ticks)
{
    SetScene(scene, view);
    timespec slot;
    clock_gettime(CLOCK_MONOTONIC, &slot);
    for (int i = 0; i < kSettleTicks; ++i) {
        DrainEvents();
        UpdateFrame();
        DrawFrame();
        WaitForSlot(slot);
    }
    Figures f;
    const OrvelGL::SDrawCounts before = DrawCounts();
    for (int i = 0; i < ticks; ++i) {
        if (scene == Scene::WorstCase && i > 0 && i % kRebuildTicks == 0) {
            SetScene(scene, view);
            clock_gettime(CLOCK_MONOTONIC, &slot);
        }
        DrainEvents();
        const double cpu0 = CpuSeconds(RUSAGE_SELF), main0 = CpuSeconds(RUSAGE_THREAD), wall0 = Now();
        UpdateFrame();
        DrawFrame();
        const double cpu1 = CpuSeconds(RUSAGE_SELF), main1 = CpuSeconds(RUSAGE_THREAD), wall1 = Now();
        f.cpu.push_back((cpu1 - cpu0) * 1e3);
        f.mainCpu.push_back((main1 - main0) * 1e3);
        f.wall.push_back((wall1 - wall0) * 1e3);
        // The wait until the next tick counts too: a renderer thread that
        // works on after Present is paid for there.
        WaitForSlot(slot);
        const double cpu2 = CpuSeconds(RUSAGE_SELF), wall2 = Now();
        f.cpu.back() += (cpu2 - cpu1) * 1e3;
        f.cpuTotal += cpu2 - cpu0;
        f.elapsed += wall2 - wall0;
    }
    const OrvelGL::SDrawCounts after = DrawCounts();
    f.drawn = OrvelGL::SDrawCounts{after.drawCalls - before.drawCalls, after.instancedRuns - before.instancedRuns,
                                   after.instances - before.instances};
    return f;
}

// Loads the game through the window procedure, as the message loop would.
bool FinishLoading()
{
    HWND window = gForm->Handle();
    while (!gLoaded) {
        MSG message;
        if (!gWindows->IsWindow(window) || gWindows->GetMessage(&message, nullptr) != 1)
            return false;
        gWindows->DispatchMessage(&message);
    }
    return true;
}

struct Options {
    int ticks = 250, width = 1024, height = 768;
    std::string label = "-", scene, view;
};

int Run(const Options& options)
{
    const int ticks = options.ticks, width = options.width, height = options.height;
    SDLWindowLayer windows(true);
    HeadlessMouse mouse;
    OrvelGL::GLProvider graphics(OrvelGL::GLContextMode::Window);
    BeginRun(&windows);
    gMessageBox = nullptr;
    SSettings settings;
    settings.xResolution = width;
    settings.yResolution = height;
    UseSettings(settings);
    int status = 0;
    try {
        InitDisplay(graphics);
        InitGame(mouse);
        if (!FinishLoading())
            throw tlib::TException("tavrin-window-bench - Loading failed");
        int drawableWidth = 0, drawableHeight = 0;
        SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(gForm->Handle()), &drawableWidth, &drawableHeight);
        struct {
            const char* name;
            Scene scene;
            CGame::ViewMode view;
        } const configurations[] = {{"opening", Scene::Opening, CGame::VIEW_MAP},
                                    {"opening", Scene::Opening, CGame::VIEW_WALK},
                                    {"worst", Scene::WorstCase, CGame::VIEW_MAP},
                                    {"worst", Scene::WorstCase, CGame::VIEW_WALK}};
        for (const auto& c : configurations) {
            const char* viewName = c.view == CGame::VIEW_MAP ? "map" : "walk";
            if ((!options.scene.empty() && options.scene != c.name) || (!options.view.empty() && options.view != viewName))
                continue;
            const Figures f = Measure(c.scene, c.view, ticks);
            SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(gForm->Handle()), &drawableWidth, &drawableHeight);
            std::printf("%-10s %4dx%-4d %4dx%-4d %-7s %-4s %5d %8.2f %8.2f %8.2f %8.2f %6.0f%% %6.0f %6.0f\n",
                        options.label.c_str(), drawableWidth, drawableHeight, width, height, c.name, viewName, ticks, Median(f.cpu), Mean(f.cpu),
                        Median(f.mainCpu), Median(f.wall), 100.0 * f.cpuTotal / f.elapsed,
                        double(f.drawn.drawCalls) / ticks, double(f.drawn.instances) / ticks);
            std::fflush(stdout);
        }
    } catch (const tlib::TException& e) {
        std::fprintf(stderr, "%s\n", e.Message());
        status = 1;
    } catch (const DXException& e) {
        std::fprintf(stderr, "%s (0x%08X)\n", e.Message(), unsigned(e.Code()));
        status = 1;
    }
    Shutdown();
    gWindows = nullptr;
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    bool usable = true;
    for (int i = 1; i < argc && usable; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[++i] : nullptr;
        if (value == nullptr)
            usable = false;
        else if (arg == "--ticks")
            options.ticks = std::atoi(value);
        else if (arg == "--backbuffer")
            usable = std::sscanf(value, "%dx%d", &options.width, &options.height) == 2;
        else if (arg == "--label")
            options.label = value;
        else if (arg == "--scene")
            options.scene = value;
        else if (arg == "--view")
            options.view = value;
        else
            usable = false;
    }
    if (!usable || options.ticks < 1 || options.width < 1 || options.height < 1) {
        std::fprintf(stderr, "usage: tavrin-window-bench [--ticks N] [--backbuffer WxH] [--label TEXT] "
                             "[--scene opening|worst] [--view map|walk]\n");
        return 2;
    }
    const int status = Run(options);
    SDL_Quit();
    return status;
}

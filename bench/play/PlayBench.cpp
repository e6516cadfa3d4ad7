// A full tick plus frame at the worst case the rules allow (1024 robots per
// side, every free 2 x 2 area built over, 256 move magnets per side),
// through the real shell offscreen: UpdateFrame (mouse, Update) and
// DrawFrame (Render, the overlay pass, Present). On the recording device
// (recording off: the cost of the game and the engine alone) and on the
// OpenGL back end headless at 1024 x 768 (Mesa's software renderer when
// there is no GPU). The game's 50 ticks a second leave 20 ms per tick.
//
// The scene is rebuilt every kRebuildTicks ticks (outside the timing) so
// that fights do not thin it out. Run from anywhere: it works in the build
// folder that holds the Data folder.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <memory>

#include "app/AppGlobals.h"
#include "app/FrameTick.h"
#include "game/CGame.h"
#include "game/SPlayerInput.h"
#include "platform/recording/RecordingProvider.h"
#include "tools/shot/HeadlessApp.h"
#include "tools/shot/Scenes.h"
#ifdef TAVRIN_PLAY_BENCH_GL
#include "platform/gl/GLEglContext.h"
#include "platform/gl/GLProvider.h"
#endif

namespace {

constexpr int kRebuildTicks = 250;

enum class Step { TickAndFrame, UpdateOnly, FrameOnly };

// log: the recording back end's, to report device calls per frame; or null.
void Run(benchmark::State& state, ID3D9Provider& provider, Step step, const RecordingLog* log = nullptr)
{
    if (chdir(TAVRIN_BUILD_DIR) != 0) {
        state.SkipWithError("cannot enter the build folder");
        return;
    }
    std::unique_ptr<HeadlessApp> app(new HeadlessApp(provider));
    if (!app->FinishLoading()) {
        state.SkipWithError("loading failed");
        return;
    }
    BuildWorstCaseScene(*gGame);
    for (int i = 0; i < 3; ++i)
        app->Tick();
    int ticks = 0;
    const int draws = log ? log->Count("DrawPrimitive") : 0;
    const int transforms = log ? log->Count("SetTransform") : 0;
    const int materials = log ? log->Count("SetMaterial") : 0;
    for (auto _ : state) {
        switch (step) {
        case Step::TickAndFrame:
            app->Tick();
            break;
        case Step::UpdateOnly:
            gGame->Update(SPlayerInput());
            break;
        case Step::FrameOnly:
            DrawFrame();
            break;
        }
        if (++ticks % kRebuildTicks == 0) {
            state.PauseTiming();
            BuildWorstCaseScene(*gGame);
            state.ResumeTiming();
        }
    }
    if (log != nullptr && step != Step::UpdateOnly) {
        state.counters["draws/frame"] = double(log->Count("DrawPrimitive") - draws) / ticks;
        state.counters["transforms/frame"] = double(log->Count("SetTransform") - transforms) / ticks;
        state.counters["materials/frame"] = double(log->Count("SetMaterial") - materials) / ticks;
    }
    state.counters["robots"] = gGame->robotCount[0] + gGame->robotCount[1];
    state.counters["magnets"] = gGame->magnetCount[0] + gGame->magnetCount[1];
    state.counters["lasers"] = gGame->laserCount[0] + gGame->laserCount[1];
}

void BM_Recording_TickAndFrame(benchmark::State& state)
{
    RecordingProvider provider;
    provider.SetRecording(false);
    Run(state, provider, Step::TickAndFrame, &provider.Log());
}
BENCHMARK(BM_Recording_TickAndFrame)->Unit(benchmark::kMillisecond)->Iterations(500);

void BM_Recording_UpdateOnly(benchmark::State& state)
{
    RecordingProvider provider;
    provider.SetRecording(false);
    Run(state, provider, Step::UpdateOnly);
}
BENCHMARK(BM_Recording_UpdateOnly)->Unit(benchmark::kMillisecond)->Iterations(500);

void BM_Recording_FrameOnly(benchmark::State& state)
{
    RecordingProvider provider;
    provider.SetRecording(false);
    Run(state, provider, Step::FrameOnly);
}
BENCHMARK(BM_Recording_FrameOnly)->Unit(benchmark::kMillisecond)->Iterations(500);

#ifdef TAVRIN_PLAY_BENCH_GL
void RunGL(benchmark::State& state, Step step)
{
    if (!OrvelGL::GLEglContext::DisplayAvailable()) {
        state.SkipWithError("no headless EGL display");
        return;
    }
    OrvelGL::GLProvider provider(OrvelGL::GLContextMode::Headless);
    Run(state, provider, step);
}

void BM_GL_TickAndFrame(benchmark::State& state)
{
    RunGL(state, Step::TickAndFrame);
}
BENCHMARK(BM_GL_TickAndFrame)->Unit(benchmark::kMillisecond)->Iterations(300)->UseRealTime();

void BM_GL_FrameOnly(benchmark::State& state)
{
    RunGL(state, Step::FrameOnly);
}
BENCHMARK(BM_GL_FrameOnly)->Unit(benchmark::kMillisecond)->Iterations(300)->UseRealTime();
#endif

} // namespace

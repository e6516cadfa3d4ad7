// The real frame of the game on the OpenGL back end, headless at 1024 x 768:
// start-up and loading through the shell run offscreen, then DrawFrame alone
// (the world, the HUD and the overlay pass, Present) followed by glFinish,
// so that the time includes the renderer's threads finishing the frame.
// Opening: a new game as loading leaves it, in the view it starts in and in
// the other one. Worst case: the heaviest state the rules allow; also with
// the merging of repeated models into instanced draws turned off, and in the
// walk view. Counters: OpenGL draw calls and instances per frame.
// Run from anywhere: it enters the build folder that holds the Data folder.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include "app/AppGlobals.h"
#include "app/FrameTick.h"
#include "engine/DXDevice.h"
#include "game/CGame.h"
#include "platform/gl/GLProvider.h"
#include "tools/shot/HeadlessApp.h"
#include "tools/shot/Scenes.h"

namespace {

enum class Scene { Opening, OpeningOtherView, WorstCase, WorstCaseUnmerged, WorstCaseWalk };

void GameFrame(benchmark::State& state, Scene scene)
{
    if (chdir(TAVRIN_BUILD_DIR) != 0) {
        state.SkipWithError("cannot enter the build folder");
        return;
    }
    OrvelGL::GLProvider provider(OrvelGL::GLContextMode::Headless);
    if (!provider.LoadLibrary()) {
        state.SkipWithError("no headless EGL display");
        return;
    }
    std::unique_ptr<HeadlessApp> app(new HeadlessApp(provider));
    if (!app->FinishLoading()) {
        state.SkipWithError("loading failed");
        return;
    }
    const bool worst = scene == Scene::WorstCase || scene == Scene::WorstCaseUnmerged || scene == Scene::WorstCaseWalk;
    if (worst)
        BuildWorstCaseScene(*gGame);
    if (scene == Scene::OpeningOtherView || scene == Scene::WorstCaseWalk)
        gGame->viewMode = gGame->viewMode == CGame::VIEW_MAP ? CGame::VIEW_WALK : CGame::VIEW_MAP;
    IDirect3DDevice9* device = gDevice->Device();
    OrvelGL::SetMerging(device, scene != Scene::WorstCaseUnmerged);
    for (int i = 0; i < 3; ++i) // first uses lay out buffers and textures
        DrawFrame();
    glFinish();
    OrvelGL::SDrawCounts before{}, after{};
    OrvelGL::ReadDrawCounts(device, before);
    for (auto _ : state) {
        DrawFrame();
        glFinish();
    }
    OrvelGL::ReadDrawCounts(device, after);
    const double frames = double(state.iterations());
    state.counters["view"] = gGame->viewMode;
    state.counters["robots"] = gGame->robotCount[0] + gGame->robotCount[1];
    state.counters["draws"] = double(after.drawCalls - before.drawCalls) / frames;
    state.counters["instances"] = double(after.instances - before.instances) / frames;
}

double Min(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

} // namespace

BENCHMARK_CAPTURE(GameFrame, Opening, Scene::Opening)
    ->ComputeStatistics("min", Min)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(GameFrame, OpeningOtherView, Scene::OpeningOtherView)
    ->ComputeStatistics("min", Min)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(GameFrame, WorstCase, Scene::WorstCase)
    ->ComputeStatistics("min", Min)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(GameFrame, WorstCaseUnmerged, Scene::WorstCaseUnmerged)
    ->ComputeStatistics("min", Min)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(GameFrame, WorstCaseWalk, Scene::WorstCaseWalk)
    ->ComputeStatistics("min", Min)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

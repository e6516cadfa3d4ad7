// What a screenshot costs, at 1024 x 768 on the OpenGL back end in a headless
// context (this machine's software renderer), with the generated Data: the
// part on the frame's path (reading the back buffer back and handing it to
// the writing thread) and the part off it (the PNG encoding of that thread).

#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "engine/DXDevice.h"
#include "engine/PngFile.h"
#include "platform/gl/GLProvider.h"
#include "tools/shot/HeadlessApp.h"

namespace {

// The game's first frame, drawn headless; null without Data or OpenGL.
struct SFrame {
    OrvelGL::GLProvider provider{OrvelGL::GLContextMode::Headless};
    std::unique_ptr<HeadlessApp> app;
};

std::unique_ptr<SFrame> DrawFirstFrame()
{
    struct stat st;
    if (stat(TAVRIN_DATA_DIR "/Title.bmp", &st) != 0)
        return nullptr;
    char pattern[] = "/tmp/tavrin-bench-shot-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0 || symlink(TAVRIN_DATA_DIR, "Data") != 0)
        return nullptr;
    std::unique_ptr<SFrame> frame(new SFrame());
    if (!frame->provider.LoadLibrary())
        return nullptr;
    frame->app.reset(new HeadlessApp(frame->provider));
    if (!frame->app->FinishLoading())
        return nullptr;
    frame->app->Tick();
    return frame;
}

void BM_ScreenshotReadBack(benchmark::State& state)
{
    std::unique_ptr<SFrame> frame = DrawFirstFrame();
    if (!frame) {
        state.SkipWithError("no generated Data folder or no headless OpenGL");
        return;
    }
    for (auto _ : state) {
        std::vector<uint32_t> pixels; // a shot's own pixels, as the frame hands them over
        UINT width = 0, height = 0;
        OrvelGL::ReadBackBuffer(gDevice->Device(), pixels, width, height);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_ScreenshotReadBack)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_ScreenshotEncodePng(benchmark::State& state)
{
    std::unique_ptr<SFrame> frame = DrawFirstFrame();
    std::vector<uint32_t> pixels;
    UINT width = 0, height = 0;
    if (!frame || FAILED(OrvelGL::ReadBackBuffer(gDevice->Device(), pixels, width, height))) {
        state.SkipWithError("no generated Data folder or no headless OpenGL");
        return;
    }
    size_t bytes = 0;
    for (auto _ : state) {
        std::string error;
        bytes = Orvel::EncodePng(int(width), int(height), pixels.data(), false, &error).size();
    }
    state.counters["file_kb"] = double(bytes) / 1024.0;
}
BENCHMARK(BM_ScreenshotEncodePng)->Unit(benchmark::kMillisecond);

} // namespace

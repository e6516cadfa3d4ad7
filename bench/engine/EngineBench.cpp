// Costs of the engine on the recording device with recording off (the
// device itself costs next to nothing): building and drawing models,
// drawing sprites, loading a full-screen picture.

#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/DXDevice.h"
#include "engine/DXModel.h"
#include "engine/DXModelCreator.h"
#include "engine/DXOverlay.h"
#include "engine/LoadOverlay.h"
#include "platform/recording/RecordingDevice.h"
#include "serial/SModelCreatorData.h"

namespace {

// faces fans of 6 vertices over materials materials, interleaved.
SerialLib::SModelCreatorData Record(int faces, int materials)
{
    SerialLib::SModelCreatorData data;
    for (int k = 0; k < 64; ++k)
        data.AddVertex(static_cast<float>(k), static_cast<float>(k % 7), 1.0f);
    for (int m = 0; m < materials; ++m)
        data.materialList.Append(SerialLib::SMaterialData());
    for (int f = 0; f < faces; ++f) {
        const int32_t base = (f * 5) % 58;
        data.AddFace({base, base + 1, base + 2, base + 3, base + 4, base + 5});
        data.faceMaterialList.Append(f % materials);
    }
    return data;
}

struct Device {
    Device() : log(std::make_shared<RecordingLog>()), device(new RecordingDevice(log)) { log->SetRecording(false); }
    std::shared_ptr<RecordingLog> log;
    Orvel::DXDevice device;
};

void BM_BuildModel(benchmark::State& state)
{
    Device d;
    const SerialLib::SModelCreatorData data = Record(static_cast<int>(state.range(0)), 4);
    for (auto _ : state) {
        Orvel::DXModelCreator creator(data);
        Orvel::DXModel model(&d.device, creator);
        benchmark::DoNotOptimize(model.GroupCount());
    }
}
BENCHMARK(BM_BuildModel)->Arg(40)->Arg(400)->Arg(2000);

void BM_RenderModel(benchmark::State& state)
{
    Device d;
    Orvel::DXModelCreator creator(Record(40, 4));
    Orvel::DXModel model(&d.device, creator);
    d.device.StartFrame();
    for (auto _ : state)
        model.Render();
    d.device.FinishFrame();
    state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(BM_RenderModel);

void BM_DrawSprite(benchmark::State& state)
{
    Device d;
    std::vector<uint32_t> pixels(32 * 32, 0xFF000000u);
    Orvel::DXOverlay sprite(&d.device, 21, 23, 32, 32, pixels.data());
    d.device.StartFrame();
    for (auto _ : state)
        sprite.DrawCentred(&d.device, 512, 384);
    d.device.FinishFrame();
}
BENCHMARK(BM_DrawSprite);

void BM_LoadFullScreenPicture(benchmark::State& state)
{
    char folder[] = "/tmp/tavrin-bench-engine-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    const std::string data = std::string(folder) + "/Data";
    const std::string file = data + "/Screen.bmp";
    std::vector<uint8_t> bytes(54 + 1024 * 768 * 3);
    for (size_t i = 54; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 31);
    char previous[4096];
    FILE* out = nullptr;
    if (mkdir(data.c_str(), 0700) == 0 && (out = std::fopen(file.c_str(), "wb"))) {
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    if (!out || !getcwd(previous, sizeof(previous)) || chdir(folder) != 0) {
        state.SkipWithError("cannot prepare the picture");
        return;
    }
    Device d;
    for (auto _ : state)
        delete Orvel::LoadOverlay(&d.device, "Screen.bmp", 1024, 768, false);
    if (chdir(previous) != 0)
        std::abort();
    std::remove(file.c_str());
    rmdir(data.c_str());
    rmdir(folder);
}
BENCHMARK(BM_LoadFullScreenPicture)->Unit(benchmark::kMillisecond);

} // namespace

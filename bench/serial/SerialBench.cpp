// Reading and writing a model of typical size: 1000 quads with normals and
// 4 materials (about 60 KB). Reading from a file pays one unbuffered read per
// type byte, length, tag and value run.

#include "serial/CSerialDataBufferLoad.h"
#include "serial/CSerialDataLoad.h"
#include "serial/CSerialDataWrite.h"
#include "serial/SModelCreatorData.h"
#include "tlib/TString.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace SerialLib;

namespace {

SModelCreatorData MakeModel() {
    SModelCreatorData model;
    for (int i = 0; i < 1000; ++i) {
        for (int k = 0; k < 4; ++k)
            model.AddVertex(float(i), float(k), float(i * k) * 0.5f);
        model.AddFace({4 * i, 4 * i + 1, 4 * i + 2, 4 * i + 3});
        model.AddFaceNormals({i % 6, i % 6, i % 6, i % 6});
        model.faceMaterialList.Append(i % 4);
    }
    for (int n = 0; n < 6; ++n)
        model.AddNormal(float(n == 0) - float(n == 1), float(n == 2) - float(n == 3), float(n == 4) - float(n == 5));
    for (int m = 0; m < 4; ++m) {
        SMaterialData material;
        material.diffuse = SColourData(0.25f * m, 0.5f, 1, 1);
        material.power = float(m);
        model.materialList.Append(material);
    }
    return model;
}

void BM_ReadModelFromMemory(benchmark::State& state) {
    SModelCreatorData source = MakeModel();
    std::vector<uint8_t> bytes = WriteSerialData(source, "Model");
    for (auto _ : state) {
        SModelCreatorData model;
        CSerialDataBufferLoad::Load(bytes.data(), bytes.size(), model, "Model");
        benchmark::DoNotOptimize(model.faceList.GetCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_ReadModelFromMemory);

void BM_ReadModelFromFile(benchmark::State& state) {
    SModelCreatorData source = MakeModel();
    std::string path = "/tmp/tavrin_serial_bench_" + std::to_string(getpid()) + ".dat";
    WriteSerialFile(path.c_str(), source, "Model");
    for (auto _ : state) {
        SModelCreatorData model;
        CSerialDataLoad loader(tlib::TString("%s", path.c_str()));
        loader.ReadData(model, "Model");
        benchmark::DoNotOptimize(model.faceList.GetCount());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadModelFromFile);

void BM_WriteModel(benchmark::State& state) {
    SModelCreatorData model = MakeModel();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteSerialData(model, "Model").size());
}
BENCHMARK(BM_WriteModel);

} // namespace

#include "tests/assets/AssetTestData.h"

#include "engine/DXModelCreator.h"
#include "serial/CSerialDataLoad.h"
#include "serial/SModelCreatorData.h"
#include "tlib/TString.h"
#include "tools/assets/CDataWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <stdexcept>

#ifndef TAVRIN_FONT_DIR
#define TAVRIN_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

namespace assettest {

namespace {

// A temporary folder removed with everything in it when the process ends.
struct ScratchFolder {
    ScratchFolder()
    {
        char pattern[] = "/tmp/tavrin-assets-test-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            throw std::runtime_error("cannot make a temporary folder");
        path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

} // namespace

const std::string& GeneratedRoot()
{
    static ScratchFolder folder;
    static bool written = false;
    if (!written) {
        Assets::CDataWriter::WriteAll(folder.path + "/Data", TAVRIN_FONT_DIR);
        written = true;
    }
    return folder.path;
}

std::string DataPath(const std::string& name) { return GeneratedRoot() + "/Data/" + name; }

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        throw std::runtime_error("cannot open " + path);
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    return bytes;
}

LoadedModel LoadThroughCreator(const std::string& name)
{
    SerialLib::SModelCreatorData record;
    {
        SerialLib::CSerialDataLoad loader(tlib::TString("%s", DataPath(name).c_str()));
        loader.ReadData(record, "Model");
    }
    Orvel::DXModelCreator creator(record);
    creator.BuildModel();
    LoadedModel model;
    model.vertexFormat = creator.VertexFormat();
    model.materialCount = static_cast<int>(creator.Materials().size());
    model.groupCount = static_cast<int>(creator.Groups().size());
    for (const D3DMATERIAL9& m : creator.Materials()) {
        float c[9] = {m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, m.Ambient.r, m.Ambient.g,
                      m.Ambient.b, m.Emissive.r, m.Emissive.g, m.Emissive.b};
        model.colours.insert(model.colours.end(), c, c + 9);
    }
    const int stride = creator.VertexSize() / 4;
    const std::vector<uint8_t>& bytes = creator.VertexData();
    for (const Orvel::SMaterialGroup& group : creator.Groups()) {
        for (int i = group.firstFace; i <= group.lastFace; ++i) {
            Face face;
            face.material = group.material;
            face.sameNormals = true;
            int first = creator.FaceFirstVertex()[static_cast<size_t>(i)];
            int count = creator.FaceDrawCounts()[static_cast<size_t>(i)];
            for (int v = 0; v < count; ++v) {
                float f[6] = {0, 0, 0, 0, 0, 0};
                std::memcpy(f, bytes.data() + static_cast<size_t>(first + v) * static_cast<size_t>(stride) * 4,
                            static_cast<size_t>(stride) * 4);
                face.xyz.insert(face.xyz.end(), f, f + 3);
                if (v == 0)
                    std::memcpy(face.normal, f + 3, sizeof face.normal);
                else if (std::memcmp(face.normal, f + 3, sizeof face.normal) != 0)
                    face.sameNormals = false;
            }
            model.faces.push_back(face);
        }
    }
    return model;
}

} // namespace assettest

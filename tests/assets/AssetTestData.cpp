#include "tests/assets/AssetTestData.h"

#include "engine/DXModelCreator.h"
#include "serial/CSerialDataLoad.h"
#include "serial/SModelCreatorData.h"
#include "tlib/TString.h"
#include "tools/assets/CDataWriter.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

namespace assettest {

const char* const kModelNames[14] = {
    "Map.dat",         "Tree.dat",        "RedFactory.dat", "RedRobot.dat",   "RedMagnet.dat", "RedLaser.dat",
    "BlueFactory.dat", "BlueRobot.dat",   "BlueMagnet.dat", "BlueLaser.dat",  "LaserShot.dat", "MoveMagnet0.dat",
    "MoveMagnet1.dat", "RedX.dat"};

const std::string& GeneratedRoot()
{
    // Written on first use; removed with everything in it when the process ends.
    static struct Folder {
        std::string path = std::filesystem::temp_directory_path() / ("tavrin-assets-test-" + std::to_string(getpid()));
        Folder() { Assets::CDataWriter::WriteAll(path + "/Data", TAVRIN_FONT_DIR); }
        ~Folder() { std::filesystem::remove_all(path, ignored); }
        std::error_code ignored;
    } folder;
    return folder.path;
}

std::string DataPath(const std::string& name) { return GeneratedRoot() + "/Data/" + name; }

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot open " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

LoadedModel LoadThroughCreator(const std::string& name)
{
    SerialLib::SModelCreatorData record;
    SerialLib::CSerialDataLoad(tlib::TString("%s", DataPath(name).c_str())).ReadData(record, "Model");
    Orvel::DXModelCreator creator(record);
    creator.BuildModel();
    if (creator.VertexSize() != 24)
        throw std::runtime_error(name + ": vertices are not position + normal");
    LoadedModel model;
    model.groupCount = static_cast<int>(creator.Groups().size());
    model.materials = creator.Materials();
    for (const Orvel::SMaterialGroup& group : creator.Groups())
        for (int i = group.firstFace; i <= group.lastFace; ++i) {
            Face face{{}, {0, 0, 0}, true, group.material};
            const size_t first = static_cast<size_t>(creator.FaceFirstVertex()[static_cast<size_t>(i)]);
            for (size_t v = 0; v < static_cast<size_t>(creator.FaceDrawCounts()[static_cast<size_t>(i)]); ++v) {
                float f[6];
                std::memcpy(f, creator.VertexData().data() + (first + v) * sizeof f, sizeof f);
                face.v.push_back({f[0], f[1], f[2]});
                if (v == 0)
                    face.normal = {f[3], f[4], f[5]};
                else if (face.normal.x != f[3] || face.normal.y != f[4] || face.normal.z != f[5])
                    face.sameNormals = false;
            }
            model.faces.push_back(face);
        }
    return model;
}

} // namespace assettest

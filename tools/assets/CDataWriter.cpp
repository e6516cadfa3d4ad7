#include "tools/assets/CDataWriter.h"

#include "tools/assets/CModelRecord.h"
#include "tools/assets/CModelSet.h"
#include "tools/assets/CPictureSet.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace Assets {

namespace {

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot create '" + path + "'");
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    int closed = std::fclose(file);
    if (written != bytes.size() || closed != 0)
        throw std::runtime_error("cannot write '" + path + "'");
}

} // namespace

void CDataWriter::WriteAll(const std::string& dataDir, const std::string& fontDir)
{
    // Fonts first: a missing font fails before anything is written.
    CPictureSet pictures(fontDir);
    std::filesystem::create_directories(dataDir);
    for (const std::string& name : CModelSet::Names())
        WriteBytes(dataDir + "/" + name, CModelRecord::Encode(CModelSet::Build(name)));
    for (const SPictureEntry& entry : CPictureSet::Entries())
        WriteBytes(dataDir + "/" + entry.name, pictures.Build(entry.name).EncodeBmp());
}

} // namespace Assets

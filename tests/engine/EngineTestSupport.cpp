#include "tests/engine/EngineTestSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace enginetest {

ScratchFolder::ScratchFolder()
{
    std::filesystem::path base = std::filesystem::temp_directory_path() / "tavrin-engine-XXXXXX";
    std::string pattern = base.string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    mPath = pattern;
    std::filesystem::create_directory(mPath + "/Data");
    mPrevious = std::filesystem::current_path().string();
    std::filesystem::current_path(mPath);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::current_path(mPrevious, ignored);
    std::filesystem::remove_all(mPath, ignored);
}

void ScratchFolder::WriteData(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    FILE* file = std::fopen(DataPath(name).c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + name);
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

} // namespace enginetest

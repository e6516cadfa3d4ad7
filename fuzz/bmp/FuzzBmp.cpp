// Loads arbitrary bytes as a bitmap through LoadOverlay on the recording
// device. Input: byte 0 picks the width (1..64), byte 1 the height (1..64),
// bit 0 of byte 2 the translucent flag; the rest is the file's content.
// Any TException or DXException is an accepted outcome; a crash, a leak or
// a texel outside the loader's four kinds is a finding.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/DXDevice.h"
#include "engine/DXOverlay.h"
#include "engine/DXTexture.h"
#include "engine/LoadOverlay.h"
#include "platform/recording/RecordingDevice.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"

namespace {

char gFolder[] = "/tmp/tavrin-fuzz-bmp-XXXXXX";

void RemoveScratchFolder()
{
    std::remove((std::string(gFolder) + "/Data/fuzz.bmp").c_str());
    rmdir((std::string(gFolder) + "/Data").c_str());
    rmdir(gFolder);
}

// A private folder with Data/ inside, removed at exit. It is the working
// directory only while one input is loaded: the fuzzer itself reads and
// writes its corpus relative to the original one.
bool MakeScratchFolder()
{
    if (!mkdtemp(gFolder))
        return false;
    std::atexit(RemoveScratchFolder);
    const std::string data = std::string(gFolder) + "/Data";
    return mkdir(data.c_str(), 0700) == 0;
}

class InScratchFolder {
public:
    InScratchFolder() : mOk(getcwd(mPrevious, sizeof(mPrevious)) != nullptr && chdir(gFolder) == 0) {}
    ~InScratchFolder()
    {
        if (mOk && chdir(mPrevious) != 0)
            std::abort();
    }
    bool Ok() const { return mOk; }

private:
    char mPrevious[4096];
    bool mOk;
};

bool ValidTexel(uint32_t texel, uint32_t alpha)
{
    if (texel == 0x00FFFFFFu || texel == 0x7F7F7F7Fu)
        return true;
    const uint32_t colour = texel & 0x00FFFFFFu;
    return (texel & 0xFF000000u) == alpha && colour != 0x00FFFFFFu && colour != 0x00FF00FFu;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = MakeScratchFolder();
    if (!ready || size < 3)
        return 0;
    const int width = 1 + data[0] % 64;
    const int height = 1 + data[1] % 64;
    const bool translucent = (data[2] & 1) != 0;

    InScratchFolder inFolder;
    if (!inFolder.Ok())
        return 0;
    FILE* file = std::fopen("Data/fuzz.bmp", "wb");
    if (!file)
        return 0;
    if (size > 3)
        std::fwrite(data + 3, 1, size - 3, file);
    std::fclose(file);

    auto log = std::make_shared<RecordingLog>();
    log->SetRecording(false);
    Orvel::DXDevice device(new RecordingDevice(log));
    try {
        std::unique_ptr<Orvel::DXOverlay> overlay(Orvel::LoadOverlay(&device, "fuzz.bmp", width, height, translucent));
        const auto* texture = static_cast<const RecordingTexture*>(overlay->Texture()->Texture());
        const uint32_t alpha = translucent ? 0xCF000000u : 0xFF000000u;
        for (UINT y = 0; y < texture->Height(); ++y) {
            for (UINT x = 0; x < texture->Width(); ++x) {
                const uint32_t texel = texture->Texel(x, y);
                const bool inside = x < static_cast<UINT>(width) && y < static_cast<UINT>(height);
                if (inside ? !ValidTexel(texel, alpha) : texel != 0x00FFFFFFu)
                    std::abort();
            }
        }
    } catch (tlib::TException&) {
    } catch (DXException&) {
    }
    return 0;
}

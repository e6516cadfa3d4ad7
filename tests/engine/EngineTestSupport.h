#pragma once
// The prelude of the engine tests (GoogleTest and the standard containers
// they use) and their shared helpers: a recording device wrapped in a
// DXDevice, calls and failures as text, and a scratch Data/ folder that
// becomes the working directory (the loaders read Data/<name>).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "platform/recording/RecordingDevice.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"

namespace enginetest {

// What a call raised: "DXException(<code>) <message>", "TException <message>" or "nothing".
inline std::string Dx(const std::string& message, HRESULT code = 0)
{
    return "DXException(" + std::to_string(code) + ") " + message;
}
template <class F>
std::string RaisedBy(F&& f)
{
    try {
        f();
    } catch (DXException& e) {
        return Dx(e.Message() ? e.Message() : "", e.Code());
    } catch (tlib::TException& e) {
        return std::string("TException ") + e.Message();
    }
    return "nothing";
}

// Calls as "Name arg arg ...", SetMaterial with its diffuse red in hundredths.
inline std::vector<std::string> Describe(const std::vector<RecordedCall>& calls)
{
    std::vector<std::string> out;
    for (const RecordedCall& call : calls) {
        out.push_back(call.Name());
        for (int64_t arg : call.args)
            out.back() += " " + std::to_string(arg);
        if (call.op == RecOp::SetMaterial)
            out.back() += " " + std::to_string(static_cast<int>(call.material.Diffuse.r * 100));
    }
    return out;
}

// The floats of a recorded vertex stream.
inline std::vector<float> FloatsOf(const std::vector<uint8_t>& bytes)
{
    std::vector<float> out(bytes.size() / 4);
    std::memcpy(out.data(), bytes.data(), out.size() * 4);
    return out;
}

// A DXDevice on a recording device made through the whole graphics path;
// every device object must be released by the end of the test.
class DeviceFixture : public ::testing::Test {
protected:
    void TearDown() override
    {
        device.reset();
        graphics.reset();
        EXPECT_EQ(provider.Log().LiveObjects(), 0) << "a device object was not released";
    }
    RecordingLog& Log() { return provider.Log(); }

    RecordingProvider provider;
    std::unique_ptr<Orvel::DXGraphics> graphics = std::make_unique<Orvel::DXGraphics>(provider);
    std::unique_ptr<Orvel::DXDevice> device{graphics->CreateDevice(nullptr, 1024, 768)};
    RecordingDevice* recording = provider.Log().LastDevice(); // owned by device
};

// A fresh folder with an empty Data/ inside, the working directory while
// the object lives; the previous one is restored and the folder removed.
class ScratchFolder {
public:
    ScratchFolder() : mPrevious(std::filesystem::current_path())
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-engine-XXXXXX").string();
        mPath = mkdtemp(pattern.data()) ? pattern : throw std::runtime_error("no scratch folder");
        std::filesystem::create_directory(mPath / "Data");
        std::filesystem::current_path(mPath);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(mPrevious, ignored);
        std::filesystem::remove_all(mPath, ignored);
    }

private:
    std::filesystem::path mPrevious, mPath;
};

} // namespace enginetest

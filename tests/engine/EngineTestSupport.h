#pragma once
// Shared helpers of the engine tests: a recording device wrapped in a
// DXDevice, the outcome of a call that should raise, and a scratch folder
// with a Data/ subfolder that becomes the working directory.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "platform/recording/RecordingDevice.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"

namespace enginetest {

// What a call raised: the type, the message and (for DXException) the code.
struct Raised {
    std::string type; // "DXException", "TException" or "nothing"
    std::string message;
    HRESULT code = 0;
};

template <class F>
Raised RaisedBy(F&& f)
{
    try {
        f();
    } catch (DXException& e) {
        return Raised{"DXException", e.Message() ? e.Message() : "", e.Code()};
    } catch (tlib::TException& e) {
        return Raised{"TException", e.Message(), 0};
    }
    return Raised{"nothing", "", 0};
}

#define EXPECT_DX_RAISES(call, text, hr)                                                                              \
    do {                                                                                                             \
        const ::enginetest::Raised raised_ = ::enginetest::RaisedBy([&] { call; });                                  \
        EXPECT_EQ(raised_.type, "DXException");                                                                      \
        EXPECT_EQ(raised_.message, text);                                                                            \
        EXPECT_EQ(raised_.code, static_cast<HRESULT>(hr));                                                           \
    } while (0)

// A DXDevice on a recording device made through the whole graphics path.
class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        graphics = std::make_unique<Orvel::DXGraphics>(provider);
        device.reset(graphics->CreateDevice(nullptr, 1024, 768));
        recording = provider.Log().LastDevice();
        ASSERT_NE(recording, nullptr);
    }
    void TearDown() override
    {
        device.reset();
        graphics.reset();
        EXPECT_EQ(provider.Log().LiveObjects(), 0) << "a device object was not released";
    }
    RecordingLog& Log() { return provider.Log(); }

    RecordingProvider provider;
    std::unique_ptr<Orvel::DXGraphics> graphics;
    std::unique_ptr<Orvel::DXDevice> device;
    RecordingDevice* recording = nullptr; // owned by device
};

// The floats of a recorded vertex stream.
inline std::vector<float> FloatsOf(const std::vector<uint8_t>& bytes)
{
    std::vector<float> out(bytes.size() / 4);
    std::memcpy(out.data(), bytes.data(), out.size() * 4);
    return out;
}

// A fresh folder with an empty Data/ inside, the working directory while
// the object lives; the previous directory is restored and the folder
// removed afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Writes Data/<name>.
    void WriteData(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::string DataPath(const std::string& name) const { return mPath + "/Data/" + name; }

private:
    std::string mPath;
    std::string mPrevious;
};

} // namespace enginetest

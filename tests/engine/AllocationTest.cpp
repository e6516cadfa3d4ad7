// Drawing a frame must allocate nothing once the recording device only
// counts: this binary's operator new is replaced by one that counts
// (AllocationCounter.cpp).

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/DXModel.h"
#include "engine/DXModelCreator.h"
#include "engine/DXOverlay.h"
#include "serial/SModelCreatorData.h"
#include "tests/engine/EngineTestSupport.h"

long AllocationCount(); // AllocationCounter.cpp

namespace {

class AllocationTest : public enginetest::DeviceFixture {};

TEST_F(AllocationTest, AFrameOfModelsAndSpritesAllocatesNothingWithRecordingOff)
{
    SerialLib::SModelCreatorData data;
    for (int k = 0; k < 6; ++k)
        data.AddVertex(static_cast<float>(k), 1.0f, 2.0f);
    data.AddFace({0, 1, 2, 3});
    data.AddFace({2, 3, 4, 5});
    data.materialList.Append(SerialLib::SMaterialData());
    data.faceMaterialList.Append(0);
    Orvel::DXModelCreator creator(data);
    Orvel::DXModel model(device.get(), creator);
    std::vector<uint32_t> pixels(32 * 32, 0xFF000000);
    Orvel::DXOverlay sprite(device.get(), 21, 23, 32, 32, pixels.data());
    const Orvel::CMatrix world = Orvel::CMatrix::Identity();

    provider.SetRecording(false);
    const auto frame = [&] {
        device->StartFrame();
        device->SetTransform(D3DTS_WORLD, world);
        model.Render();
        sprite.DrawCentred(device.get(), 512, 384);
        sprite.Draw(device.get(), 10, 10, 0, 0);
        device->FinishFrame();
    };
    frame();
    const long before = AllocationCount();
    for (int i = 0; i < 10; ++i)
        frame();
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_EQ(Log().Count("DrawPrimitiveUP"), 44);
    EXPECT_EQ(Log().Count("DrawPrimitive"), 22);
}

} // namespace

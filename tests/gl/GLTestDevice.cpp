#include "tests/gl/GLTestDevice.h"

#include <string>
#include <utility>

void GLDeviceTest::SetUp()
{
    EXPECT_EQ(mProvider.Direct3DCreate9(D3D_SDK_VERSION), nullptr) << "made before LoadLibrary";
    const std::string missing = devicetest::OpenDevice(mProvider, kWidth, kHeight, mD3D, mDevice);
    if (!missing.empty())
        GTEST_SKIP() << missing;
    ASSERT_NE(mDevice, nullptr);
}

void GLDeviceTest::TearDown()
{
    if (mDevice != nullptr && mDevice->Release() != 0)
        ADD_FAILURE() << "a test leaked a resource";
    if (mD3D != nullptr)
        mD3D->Release();
}

void GLDeviceTest::Frame(D3DCOLOR clear, const std::function<void()>& draws)
{
    ASSERT_EQ(mDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0), D3D_OK);
    ASSERT_EQ(mDevice->BeginScene(), D3D_OK);
    draws();
    ASSERT_EQ(mDevice->EndScene(), D3D_OK);
    ASSERT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    UINT width = 0, height = 0;
    ASSERT_EQ(OrvelGL::ReadBackBuffer(mDevice, mPixels, width, height), D3D_OK);
    ASSERT_EQ(width * height, kWidth * kHeight);
}

void GLDeviceTest::OverlayState(bool blend, bool alphaTest)
{
    using States = std::initializer_list<std::pair<D3DRENDERSTATETYPE, DWORD>>;
    for (auto [state, value] : States{{D3DRS_ALPHABLENDENABLE, blend}, {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
                                      {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}, {D3DRS_ALPHATESTENABLE, alphaTest},
                                      {D3DRS_ALPHAREF, 8}, {D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL},
                                      {D3DRS_ZENABLE, FALSE}, {D3DRS_ZWRITEENABLE, FALSE}, {D3DRS_LIGHTING, FALSE}})
        mDevice->SetRenderState(state, value);
    ModelState();
    D3DMATRIX projection = IdentityMatrix();
    projection.m[1][1] = -1.0f;
    mDevice->SetTransform(D3DTS_PROJECTION, &projection);
}

void GLDeviceTest::ModelState()
{
    mDevice->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    D3DMATRIX identity = IdentityMatrix();
    for (D3DTRANSFORMSTATETYPE t : {D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_WORLD})
        mDevice->SetTransform(t, &identity);
    mDevice->SetFVF(D3DFVF_XYZ);
}

void GLDeviceTest::DrawSprite(IDirect3DTexture9* texture, float x, float y, float w, float h)
{
    // Screen position (pixel centres at integers) -> -1..1 before the y flip.
    auto sx = [](float v) { return (v - 0.5f) * 2.0f / float(kWidth) - 1.0f; };
    auto sy = [](float v) { return (v - 0.5f) * 2.0f / float(kHeight) - 1.0f; };
    float l = sx(x), r = sx(x + w), t = sy(y), b = sy(y + h);
    const float triangles[2][3][5] = {{{l, t, 0, 0, 0}, {r, t, 0, 1, 0}, {l, b, 0, 0, 1}},
                                      {{r, t, 0, 1, 0}, {r, b, 0, 1, 1}, {l, b, 0, 0, 1}}};
    ASSERT_EQ(mDevice->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1), D3D_OK);
    ASSERT_EQ(mDevice->SetTexture(0, texture), D3D_OK);
    for (const auto& triangle : triangles)
        ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 20), D3D_OK);
    ASSERT_EQ(mDevice->SetTexture(0, nullptr), D3D_OK);
}

void GLDeviceTest::DrawQuad(float z)
{
    const float quad[4][3] = {{-1, 1, z}, {1, 1, z}, {1, -1, z}, {-1, -1, z}};
    ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, 12), D3D_OK);
}

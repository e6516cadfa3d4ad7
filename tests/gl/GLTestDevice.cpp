#include "tests/gl/GLTestDevice.h"

#include <cstring>

D3DMATRIX IdentityMatrix()
{
    D3DMATRIX m;
    std::memset(&m, 0, sizeof m);
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

D3DMATRIX OverlayProjection()
{
    D3DMATRIX m = IdentityMatrix();
    m.m[1][1] = -1.0f;
    return m;
}

void GLDeviceTest::SetUp()
{
    mProvider.reset(new OrvelGL::GLProvider(OrvelGL::GLContextMode::Headless));
    if (!mProvider->LoadLibrary())
        GTEST_SKIP() << "no EGL surfaceless display on this machine: OpenGL pixel tests skipped";
    ASSERT_TRUE(mProvider->HasDirect3DCreate9());
    mD3D = mProvider->Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(mD3D, nullptr);
    D3DPRESENT_PARAMETERS parameters;
    std::memset(&parameters, 0, sizeof parameters);
    parameters.BackBufferWidth = kWidth;
    parameters.BackBufferHeight = kHeight;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    parameters.Flags = 0x13;
    HRESULT hr = mD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters,
                                    &mDevice);
    if (hr == D3DERR_NOTAVAILABLE)
        GTEST_SKIP() << "no OpenGL 3.3 core context from EGL on this machine: OpenGL pixel tests skipped";
    ASSERT_EQ(hr, D3D_OK);
    ASSERT_NE(mDevice, nullptr);
}

void GLDeviceTest::TearDown()
{
    if (mDevice != nullptr) {
        EXPECT_EQ(mDevice->Release(), 0u) << "a test leaked a resource";
    }
    if (mD3D != nullptr)
        mD3D->Release();
    if (mProvider)
        mProvider->FreeLibrary();
}

void GLDeviceTest::Read()
{
    ASSERT_EQ(OrvelGL::ReadBackBuffer(mDevice, mPixels, mReadWidth, mReadHeight), D3D_OK);
    ASSERT_EQ(mReadWidth, kWidth);
    ASSERT_EQ(mReadHeight, kHeight);
}

int GLDeviceTest::CountPixels(uint32_t colour) const
{
    int count = 0;
    for (uint32_t p : mPixels)
        count += p == colour;
    return count;
}

void GLDeviceTest::BeginFrame(D3DCOLOR clear)
{
    ASSERT_EQ(mDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0), D3D_OK);
    ASSERT_EQ(mDevice->BeginScene(), D3D_OK);
}

void GLDeviceTest::EndFrame()
{
    ASSERT_EQ(mDevice->EndScene(), D3D_OK);
    ASSERT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

void GLDeviceTest::OverlayState(bool blend, bool alphaTest)
{
    mDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
    mDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    mDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    mDevice->SetRenderState(D3DRS_ALPHATESTENABLE, alphaTest);
    mDevice->SetRenderState(D3DRS_ALPHAREF, 8);
    mDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    mDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    mDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    mDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    D3DMATRIX identity = IdentityMatrix(), projection = OverlayProjection();
    mDevice->SetTransform(D3DTS_PROJECTION, &projection);
    mDevice->SetTransform(D3DTS_VIEW, &identity);
    mDevice->SetTransform(D3DTS_WORLD, &identity);
}

void GLDeviceTest::DrawSprite(IDirect3DTexture9* texture, float x, float y, float w, float h)
{
    // Screen position X (pixel centres at integers) -> -1..1 before the y flip.
    auto sx = [](float v) { return v * 2.0f / float(kWidth) - 1.0f; };
    auto sy = [](float v) { return v * 2.0f / float(kHeight) - 1.0f; };
    float left = sx(x - 0.5f), right = sx(x + w - 0.5f), top = sy(y - 0.5f), bottom = sy(y + h - 0.5f);
    TexturedVertex topLeft{left, top, 0, 0, 0}, topRight{right, top, 0, 1, 0};
    TexturedVertex bottomLeft{left, bottom, 0, 0, 1}, bottomRight{right, bottom, 0, 1, 1};
    TexturedVertex first[3] = {topLeft, topRight, bottomLeft};
    TexturedVertex second[3] = {topRight, bottomRight, bottomLeft};
    ASSERT_EQ(mDevice->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1), D3D_OK);
    ASSERT_EQ(mDevice->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, first, sizeof(TexturedVertex)), D3D_OK);
    ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, second, sizeof(TexturedVertex)), D3D_OK);
    ASSERT_EQ(mDevice->SetTexture(0, nullptr), D3D_OK);
}

IDirect3DTexture9* GLDeviceTest::MakeTexture(UINT width, UINT height, const std::vector<uint32_t>& texels)
{
    IDirect3DTexture9* staging = nullptr;
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(mDevice->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, nullptr),
              D3D_OK);
    EXPECT_EQ(mDevice->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr),
              D3D_OK);
    if (staging == nullptr || texture == nullptr)
        return nullptr;
    D3DLOCKED_RECT locked;
    EXPECT_EQ(staging->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < height; ++y)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch, texels.data() + size_t(y) * width,
                    width * 4);
    EXPECT_EQ(staging->UnlockRect(0), D3D_OK);
    EXPECT_EQ(mDevice->UpdateTexture(staging, texture), D3D_OK);
    staging->Release();
    return texture;
}

IDirect3DVertexBuffer9* GLDeviceTest::MakeBuffer(const void* bytes, UINT length, DWORD fvf)
{
    IDirect3DVertexBuffer9* buffer = nullptr;
    EXPECT_EQ(mDevice->CreateVertexBuffer(length, 0, fvf, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    if (buffer == nullptr)
        return nullptr;
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, bytes, length);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    return buffer;
}

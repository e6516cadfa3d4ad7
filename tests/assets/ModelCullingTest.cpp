// The models on screen, through the OpenGL back end: with the device's
// default culling (triangles that appear counter-clockwise removed) every
// model looks exactly as it does with no culling at all, in both views, so
// no outside face is lost; culling the other way round loses most of it.

#include "tests/assets/AssetTestData.h"

#include "engine/CMatrix.h"
#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "engine/DXModel.h"
#include "engine/LoadModel.h"
#include "platform/gl/GLProvider.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using Orvel::CMatrix;
using Orvel::CVector;

namespace {

constexpr int kSize = 256;

CMatrix MapViewZoomed(double zoom, double cx, double cy)
{
    // The map view's projection (x right, y down, z towards the viewer),
    // magnified and centred on (cx, cy).
    CMatrix m;
    m.m[0][0] = 0.0075 * zoom;
    m.m[1][1] = -0.01 * zoom;
    m.m[2][2] = -0.015625;
    m.m[3][0] = -m.m[0][0] * cx;
    m.m[3][1] = -m.m[1][1] * cy;
    m.m[3][2] = 0.9;
    m.m[3][3] = 1.0;
    return m;
}

CMatrix Projection3D()
{
    CMatrix m;
    m.m[0][2] = 1024.0 / 1022.0;
    m.m[0][3] = 1.0;
    m.m[1][0] = 2.0;
    m.m[2][1] = 8.0 / 3.0;
    m.m[3][2] = -2.0 * 1024.0 / 1022.0;
    m.m[3][3] = 1.0;
    return m;
}

// The walk view's camera transform at eye, turned towards target (the game
// builds it as Translation(-position) then Rotation(0, -pitch, -yaw)).
CMatrix LookAt(const CVector& eye, const CVector& target)
{
    double dx = target.x - eye.x, dy = target.y - eye.y, dz = target.z - eye.z;
    double yaw = std::atan2(dy, dx), pitch = std::atan2(dz, std::hypot(dx, dy));
    CMatrix a = CMatrix::Translation(-eye) * CMatrix::Rotation(0.0, -pitch, -yaw);
    CMatrix b = CMatrix::Translation(-eye) * CMatrix::Rotation(0.0, pitch, -yaw);
    return std::fabs(a.TransformPoint(target).z) <= std::fabs(b.TransformPoint(target).z) ? a : b;
}

class ModelCulling : public ::testing::Test {
protected:
    void SetUp() override
    {
        OrvelGL::GLProvider probe(OrvelGL::GLContextMode::Headless);
        if (!probe.LoadLibrary())
            GTEST_SKIP() << "no EGL surfaceless display: on-screen model checks skipped";
        probe.FreeLibrary();
        provider = std::make_unique<OrvelGL::GLProvider>(OrvelGL::GLContextMode::Headless);
        try {
            graphics = std::make_unique<Orvel::DXGraphics>(*provider);
            device.reset(graphics->CreateDevice(nullptr, kSize, kSize));
        } catch (const DXException& e) {
            GTEST_SKIP() << "no OpenGL device: " << e.Message();
        }
        device->clearColour = 0x003668D8;
        IDirect3DDevice9* d = device->Device();
        d->SetRenderState(D3DRS_LIGHTING, 1);
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {0.315f, 0.35f, 0.2625f, 0.0f};
        light.Direction = {1.0f, 0.8f, -1.0f};
        d->SetLight(0, &light);
        d->LightEnable(0, 1);
        d->SetRenderState(D3DRS_AMBIENT, 0x00686E5D);
    }

    void TearDown() override
    {
        device.reset();
        graphics.reset();
        provider.reset();
    }

    std::vector<uint32_t> Render(Orvel::DXModel* model, const CMatrix& projection, const CMatrix& view,
                                 const CMatrix& world, DWORD cull)
    {
        device->Device()->SetRenderState(D3DRS_CULLMODE, cull);
        device->StartFrame();
        device->SetTransform(D3DTS_PROJECTION, projection);
        device->SetTransform(D3DTS_VIEW, view);
        device->SetTransform(D3DTS_WORLD, world);
        if (model)
            model->Render();
        std::vector<uint32_t> pixels;
        UINT w = 0, h = 0;
        EXPECT_EQ(OrvelGL::ReadBackBuffer(device->Device(), pixels, w, h), D3D_OK);
        device->FinishFrame();
        device->Device()->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        return pixels;
    }

    static int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
    {
        int n = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            n += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
        return n;
    }

    std::unique_ptr<OrvelGL::GLProvider> provider;
    std::unique_ptr<Orvel::DXGraphics> graphics;
    std::unique_ptr<Orvel::DXDevice> device;
};

} // namespace

TEST_F(ModelCulling, DefaultCullingKeepsEveryOutsideFaceInBothViews)
{
    const char* names[] = {"Tree.dat",        "RedFactory.dat", "RedRobot.dat",  "RedMagnet.dat",  "RedLaser.dat",
                           "BlueFactory.dat", "BlueRobot.dat",  "BlueMagnet.dat", "BlueLaser.dat", "LaserShot.dat",
                           "MoveMagnet0.dat", "MoveMagnet1.dat", "RedX.dat"};
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(assettest::GeneratedRoot());
    for (const char* name : names) {
        SCOPED_TRACE(name);
        std::unique_ptr<Orvel::DXModel> model;
        try {
            model.reset(Orvel::LoadModel(device.get(), name));
        } catch (const tlib::TException& e) {
            ADD_FAILURE() << e.Message();
            continue;
        } catch (const DXException& e) {
            ADD_FAILURE() << e.Message();
            continue;
        }
        const double turn = 0.6;
        CMatrix world = CMatrix::Rotation(0.0, 0.0, turn);
        struct View {
            const char* what;
            CMatrix projection, view;
        };
        // Above (the map view, magnified about 6 times) and from the side
        // and a little above (the walk view's camera, from two sides).
        View views[] = {
            {"map view", MapViewZoomed(6.0, 1.0, 1.0), CMatrix::Identity()},
            {"walk view from +y", Projection3D(), LookAt(CVector(1.0, 22.0, 9.0), CVector(1.0, 1.0, 1.0))},
            {"walk view from -x", Projection3D(), LookAt(CVector(-20.0, 1.0, 5.0), CVector(1.0, 1.0, 1.0))},
        };
        for (const View& v : views) {
            SCOPED_TRACE(v.what);
            std::vector<uint32_t> empty = Render(nullptr, v.projection, v.view, world, D3DCULL_CCW);
            std::vector<uint32_t> culled = Render(model.get(), v.projection, v.view, world, D3DCULL_CCW);
            std::vector<uint32_t> open = Render(model.get(), v.projection, v.view, world, D3DCULL_NONE);
            std::vector<uint32_t> reversed = Render(model.get(), v.projection, v.view, world, D3DCULL_CW);
            int covered = Differing(empty, open);
            EXPECT_GT(covered, 40) << "the model is not in view";
            // Silhouette pixels may be decided by a back face at equal depth.
            EXPECT_LE(Differing(culled, open), covered / 50 + 3);
            EXPECT_GT(Differing(reversed, open), covered / 4);
        }
    }
    std::filesystem::current_path(previous);
}

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

using Orvel::CMatrix;
using Orvel::CVector;

namespace {

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

int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        n += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    return n;
}

} // namespace

TEST(ModelCulling, DefaultCullingKeepsEveryOutsideFaceInBothViews)
{
    // Skipped where no EGL display can be made (the library does not load).
    OrvelGL::GLProvider provider(OrvelGL::GLContextMode::Headless);
    std::unique_ptr<Orvel::DXGraphics> graphics;
    std::unique_ptr<Orvel::DXDevice> device;
    try {
        graphics = std::make_unique<Orvel::DXGraphics>(provider);
        device.reset(graphics->CreateDevice(nullptr, 256, 256));
    } catch (const DXException& e) {
        GTEST_SKIP() << "no OpenGL device: " << e.Message();
    }
    device->clearColour = 0x003668D8;
    IDirect3DDevice9* d = device->Device();
    d->SetRenderState(D3DRS_LIGHTING, 1);
    const D3DLIGHT9 light{D3DLIGHT_DIRECTIONAL, {0.315f, 0.35f, 0.2625f, 0.0f}, {}, {}, {}, {1.0f, 0.8f, -1.0f},
                          0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    d->SetLight(0, &light);
    d->LightEnable(0, 1);
    d->SetRenderState(D3DRS_AMBIENT, 0x00686E5D);

    // The game's projections (CMatrix() is 0 but for [3][3] = 1); the map
    // view's (x right, y down, z towards the viewer) magnified 6 times about (1, 1).
    CMatrix mapView, walkView;
    mapView.m[0][0] = 0.045, mapView.m[1][1] = -0.06, mapView.m[2][2] = -0.015625;
    mapView.m[3][0] = -0.045, mapView.m[3][1] = 0.06, mapView.m[3][2] = 0.9;
    walkView.m[0][2] = 1024.0 / 1022.0, walkView.m[0][3] = 1.0, walkView.m[1][0] = 2.0, walkView.m[2][1] = 8.0 / 3.0;
    walkView.m[3][2] = -2.0 * 1024.0 / 1022.0;
    // Above (the map view) and from the side and a little above (the walk
    // view's camera, from two sides), the model turned a little.
    const struct {
        const char* what;
        CMatrix projection, view;
    } views[] = {
        {"map view", mapView, CMatrix::Identity()},
        {"walk view from +y", walkView, LookAt(CVector(1.0, 22.0, 9.0), CVector(1.0, 1.0, 1.0))},
        {"walk view from -x", walkView, LookAt(CVector(-20.0, 1.0, 5.0), CVector(1.0, 1.0, 1.0))},
    };
    // LoadModel reads "Data\<name>" relative to the working folder.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(assettest::GeneratedRoot());
    for (const char* name : assettest::kModelNames) {
        SCOPED_TRACE(name);
        std::unique_ptr<Orvel::DXModel> model;
        try {
            model.reset(Orvel::LoadModel(device.get(), name));
        } catch (const tlib::TException& e) {
            ADD_FAILURE() << e.Message();
            continue;
        }
        for (const auto& v : views) {
            SCOPED_TRACE(v.what);
            auto render = [&](Orvel::DXModel* drawn, DWORD cull) {
                d->SetRenderState(D3DRS_CULLMODE, cull);
                device->StartFrame();
                device->SetTransform(D3DTS_PROJECTION, v.projection);
                device->SetTransform(D3DTS_VIEW, v.view);
                device->SetTransform(D3DTS_WORLD, CMatrix::Rotation(0.0, 0.0, 0.6));
                if (drawn)
                    drawn->Render();
                std::vector<uint32_t> pixels;
                UINT w = 0, h = 0;
                EXPECT_EQ(OrvelGL::ReadBackBuffer(d, pixels, w, h), D3D_OK);
                device->FinishFrame();
                return pixels;
            };
            std::vector<uint32_t> open = render(model.get(), D3DCULL_NONE);
            int covered = Differing(render(nullptr, D3DCULL_CCW), open);
            EXPECT_GT(covered, 40) << "the model is not in view";
            // Silhouette pixels may be decided by a back face at equal depth.
            EXPECT_LE(Differing(render(model.get(), D3DCULL_CCW), open), covered / 50 + 3);
            EXPECT_GT(Differing(render(model.get(), D3DCULL_CW), open), covered / 4);
        }
    }
    std::filesystem::current_path(previous);
}

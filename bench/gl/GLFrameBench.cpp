// Frame cost of the OpenGL device on a synthetic game-shaped frame, drawn
// headless at 1024 x 768: N models of K faces (fans of 4 to 8 vertices, three
// materials, one world transform each), drawn face by face as the model
// renderer does, the ground's 16 tiles, then ~60 overlay sprites of two
// one-triangle draws each. A frame = Clear, BeginScene, draws, EndScene,
// Present and glFinish.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include "engine/D3D9.h"
#include "platform/gl/GLFixedFunction.h"
#include "platform/gl/GLProvider.h"

namespace {

using OrvelGL::IdentityMatrix;

D3DMATRIX Perspective(float fovY, float aspect, float zn, float zf)
{
    D3DMATRIX m;
    std::memset(&m, 0, sizeof m);
    float ys = 1.0f / std::tan(fovY / 2), xs = ys / aspect;
    m.m[0][0] = xs;
    m.m[1][1] = ys;
    m.m[2][2] = zf / (zf - zn);
    m.m[2][3] = 1.0f;
    m.m[3][2] = -zn * zf / (zf - zn);
    return m;
}

// Left-handed look-at with z up.
D3DMATRIX LookAt(const float eye[3], const float at[3])
{
    float z[3] = {at[0] - eye[0], at[1] - eye[1], at[2] - eye[2]};
    float zl = std::sqrt(z[0] * z[0] + z[1] * z[1] + z[2] * z[2]);
    for (float& v : z)
        v /= zl;
    const float up[3] = {0, 0, 1};
    float x[3] = {up[1] * z[2] - up[2] * z[1], up[2] * z[0] - up[0] * z[2], up[0] * z[1] - up[1] * z[0]};
    float xl = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (float& v : x)
        v /= xl;
    float y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
    D3DMATRIX m = IdentityMatrix();
    for (int i = 0; i < 3; ++i) {
        m.m[i][0] = x[i];
        m.m[i][1] = y[i];
        m.m[i][2] = z[i];
    }
    m.m[3][0] = -(x[0] * eye[0] + x[1] * eye[1] + x[2] * eye[2]);
    m.m[3][1] = -(y[0] * eye[0] + y[1] * eye[1] + y[2] * eye[2]);
    m.m[3][2] = -(z[0] * eye[0] + z[1] * eye[1] + z[2] * eye[2]);
    return m;
}

uint32_t gSeed = 12345;
float Unit()
{
    gSeed = gSeed * 1664525u + 1013904223u;
    return float(gSeed >> 8) / float(1u << 24);
}

// A model as the model renderer holds it: a vertex buffer, faces grouped by material.
struct Model {
    IDirect3DVertexBuffer9* buffer = nullptr;
    std::vector<int> first, count;     // per face, in drawing order
    std::vector<int> groupEnd;         // exclusive end face of each material group
    std::vector<D3DMATERIAL9> materials;
};

Model MakeModel(IDirect3DDevice9* device, int faces, float size)
{
    Model model;
    std::vector<float> data;
    int vertex = 0;
    for (int f = 0; f < faces; ++f) {
        int n = 4 + int(Unit() * 5.0f); // 4..8
        float cx = (Unit() - 0.5f) * size, cy = (Unit() - 0.5f) * size, cz = Unit() * size;
        float nx = Unit() - 0.5f, ny = Unit() - 0.5f, nz = Unit();
        float r = size * 0.25f;
        model.first.push_back(vertex);
        model.count.push_back(n);
        for (int k = 0; k < n; ++k) {
            // Clockwise seen from above, so roughly half the faces face the camera.
            float a = -6.2831853f * float(k) / float(n);
            data.insert(data.end(), {cx + r * std::cos(a), cy + r * std::sin(a), cz, nx, ny, nz});
        }
        vertex += n;
    }
    UINT length = UINT(data.size() * sizeof(float));
    device->CreateVertexBuffer(length, 0, D3DFVF_XYZ | D3DFVF_NORMAL, D3DPOOL_DEFAULT, &model.buffer, nullptr);
    void* bytes = nullptr;
    model.buffer->Lock(0, 0, &bytes, 0);
    std::memcpy(bytes, data.data(), length);
    model.buffer->Unlock();
    for (int g = 1; g <= 3; ++g)
        model.groupEnd.push_back(faces * g / 3);
    for (int g = 0; g < 3; ++g) {
        D3DMATERIAL9 m;
        std::memset(&m, 0, sizeof m);
        m.Diffuse = {Unit(), Unit(), Unit(), 1.0f};
        m.Ambient = m.Diffuse;
        model.materials.push_back(m);
    }
    return model;
}

void Render(IDirect3DDevice9* device, const Model& model)
{
    device->SetStreamSource(0, model.buffer, 0, 24);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    int face = 0;
    for (size_t g = 0; g < model.groupEnd.size(); ++g) {
        device->SetMaterial(&model.materials[g]);
        for (; face < model.groupEnd[g]; ++face)
            device->DrawPrimitive(D3DPT_TRIANGLEFAN, UINT(model.first[face]), UINT(model.count[face] - 2));
    }
}

struct Scene {
    std::unique_ptr<OrvelGL::GLProvider> provider;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    Model ground;
    std::vector<Model> kinds;
    std::vector<D3DMATRIX> worlds;
    std::vector<int> kindOf;
    std::vector<IDirect3DTexture9*> textures;

    bool Make(int models, int faces)
    {
        provider.reset(new OrvelGL::GLProvider(OrvelGL::GLContextMode::Headless));
        if (!provider->LoadLibrary() || (d3d = provider->Direct3DCreate9(D3D_SDK_VERSION)) == nullptr)
            return false;
        D3DPRESENT_PARAMETERS p;
        std::memset(&p, 0, sizeof p);
        p.BackBufferWidth = 1024;
        p.BackBufferHeight = 768;
        p.BackBufferFormat = D3DFMT_X8R8G8B8;
        p.EnableAutoDepthStencil = TRUE;
        p.AutoDepthStencilFormat = D3DFMT_D16;
        if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &p, &device)))
            return false;
        // Start-up state of the game.
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHAREF, 8);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        D3DLIGHT9 light;
        std::memset(&light, 0, sizeof light);
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {0.315f, 0.35f, 0.2625f, 0.0f};
        light.Direction = {1.0f, 0.8f, -1.0f};
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        device->SetRenderState(D3DRS_AMBIENT, 0x00686E5D);

        // The ground: one 40 x 40 tile of 2 big faces, drawn 16 times.
        ground = MakeModel(device, 2, 40.0f);
        for (int kind = 0; kind < 8; ++kind)
            kinds.push_back(MakeModel(device, faces, 2.0f));
        for (int i = 0; i < models; ++i) {
            D3DMATRIX w = IdentityMatrix();
            float a = Unit() * 6.2831853f;
            w.m[0][0] = std::cos(a);
            w.m[0][1] = std::sin(a);
            w.m[1][0] = -std::sin(a);
            w.m[1][1] = std::cos(a);
            w.m[3][0] = Unit() * 160.0f;
            w.m[3][1] = Unit() * 160.0f;
            worlds.push_back(w);
            kindOf.push_back(i % 8);
        }
        for (int t = 0; t < 12; ++t) {
            IDirect3DTexture9 *staging = nullptr, *texture = nullptr;
            device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, nullptr);
            device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr);
            D3DLOCKED_RECT locked;
            staging->LockRect(0, &locked, nullptr, 0);
            for (int k = 0; k < 64 * 64; ++k)
                static_cast<uint32_t*>(locked.pBits)[k] = (k % 7 == 0) ? 0x00FFFFFFu : 0xCF000000u | (gSeed += 77);
            staging->UnlockRect(0);
            device->UpdateTexture(staging, texture);
            staging->Release();
            textures.push_back(texture);
        }
        return true;
    }

    void Frame(int sprites)
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x003668D8, 1.0f, 0);
        device->BeginScene();
        D3DMATRIX projection = Perspective(0.785f, 4.0f / 3.0f, 1.0f, 500.0f);
        const float eye[3] = {80, -40, 90}, at[3] = {80, 80, 0};
        D3DMATRIX view = LookAt(eye, at);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        device->SetTransform(D3DTS_VIEW, &view);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                D3DMATRIX w = IdentityMatrix();
                w.m[3][0] = 40.0f * float(j) + 20.0f;
                w.m[3][1] = 40.0f * float(i) + 20.0f;
                device->SetTransform(D3DTS_WORLD, &w);
                Render(device, ground);
            }
        for (size_t i = 0; i < worlds.size(); ++i) {
            device->SetTransform(D3DTS_WORLD, &worlds[i]);
            Render(device, kinds[size_t(kindOf[i])]);
        }
        // The overlay pass.
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ZENABLE, FALSE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        D3DMATRIX overlay = IdentityMatrix(), identity = IdentityMatrix();
        overlay.m[1][1] = -1.0f;
        device->SetTransform(D3DTS_PROJECTION, &overlay);
        device->SetTransform(D3DTS_VIEW, &identity);
        device->SetTransform(D3DTS_WORLD, &identity);
        for (int s = 0; s < sprites; ++s) {
            float x = float(s % 10) * 0.18f - 0.95f, y = float(s / 10) * 0.3f - 0.95f;
            float vertices[4][5] = {{x, y, 0, 0, 0}, {x + 0.1f, y, 0, 0.6f, 0}, {x, y + 0.13f, 0, 0, 0.6f},
                                    {x + 0.1f, y + 0.13f, 0, 0.6f, 0.6f}};
            float first[15], second[15];
            std::memcpy(first, vertices[0], 20);
            std::memcpy(first + 5, vertices[1], 20);
            std::memcpy(first + 10, vertices[2], 20);
            std::memcpy(second, vertices[1], 20);
            std::memcpy(second + 5, vertices[3], 20);
            std::memcpy(second + 10, vertices[2], 20);
            IDirect3DTexture9* texture = textures[size_t(s) % textures.size()];
            for (const float* tri : {first, second}) {
                device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
                device->SetTexture(0, texture);
                device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, 20);
                device->SetTexture(0, nullptr);
            }
        }
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_ZENABLE, TRUE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        glFinish();
    }

    ~Scene()
    {
        for (IDirect3DTexture9* t : textures)
            t->Release();
        ground.buffer->Release();
        for (Model& m : kinds)
            m.buffer->Release();
        if (device != nullptr)
            device->Release();
        if (d3d != nullptr)
            d3d->Release();
    }
};

void Frame(benchmark::State& state)
{
    Scene scene;
    if (!scene.Make(int(state.range(0)), int(state.range(1)))) {
        state.SkipWithError("no headless OpenGL context on this machine");
        return;
    }
    scene.Frame(60); // first use uploads buffers and textures
    for (auto _ : state)
        scene.Frame(60);
    state.counters["faces"] = double(state.range(0) * state.range(1));
}

} // namespace

// Opening of a game: ~300 models of 40 faces. Worst case: ~3500 models.
// With --benchmark_repetitions the minimum is reported too: on a shared
// machine it is the best estimate of the uncontended frame time.
BENCHMARK(Frame)
    ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
    ->Args({0, 40})
    ->Args({300, 1})
    ->Args({300, 40})
    ->Args({1000, 40})
    ->Args({3500, 1})
    ->Args({3500, 40})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

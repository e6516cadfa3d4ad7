#include "tools/assets/CAssetPreview.h"

#include "tools/assets/CDataWriter.h"
#include "tools/assets/CGlyphRenderer.h"
#include "tools/assets/CModelSet.h"
#include "tools/assets/CPictureSet.h"

#include "engine/CMatrix.h"
#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "engine/DXModel.h"
#include "engine/DXOverlay.h"
#include "engine/LoadModel.h"
#include "engine/LoadOverlay.h"
#include "platform/gl/GLProvider.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace Assets {

namespace {

using Orvel::CMatrix;
using Orvel::CVector;

constexpr int kScreenW = 1024;
constexpr int kScreenH = 768;
constexpr int kTile = 256;
constexpr uint32_t kClearColour = 0x003668D8; // the game's clear colour

// The two projections of the game.
CMatrix ProjectionMap()
{
    CMatrix m;
    m.m[0][0] = 0.0075;
    m.m[1][1] = -0.01;
    m.m[2][2] = -0.015625;
    m.m[3][0] = -0.8;
    m.m[3][1] = 0.8;
    m.m[3][2] = 0.9;
    m.m[3][3] = 1.0;
    return m;
}

CMatrix Projection3D()
{
    const double n = 2.0, f = 1024.0;
    CMatrix m;
    m.m[0][2] = f / (f - n);
    m.m[0][3] = 1.0;
    m.m[1][0] = 2.0;
    m.m[2][1] = 8.0 / 3.0;
    m.m[3][2] = -n * f / (f - n);
    m.m[3][3] = 1.0;
    return m;
}

// The map view's projection magnified `zoom` times with world (cx, cy) at the
// screen centre: same axes and handedness as the game's map view.
CMatrix ZoomedMap(double zoom, double cx, double cy)
{
    CMatrix m = ProjectionMap();
    m.m[0][0] *= zoom;
    m.m[1][1] *= zoom;
    m.m[3][0] = -m.m[0][0] * cx;
    m.m[3][1] = -m.m[1][1] * cy;
    return m;
}

// The walk view's camera transform, as the game builds it.
CMatrix WalkView(const CVector& pos, double pitch, double yaw)
{
    return CMatrix::Translation(-pos) * CMatrix::Rotation(0.0, -pitch, -yaw);
}

// A camera at `eye` looking at `target`: yaw from the ground direction, and
// the pitch sign that brings the target to the middle of the screen.
CMatrix LookAt(const CVector& eye, const CVector& target)
{
    double dx = target.x - eye.x, dy = target.y - eye.y, dz = target.z - eye.z;
    double yaw = std::atan2(dy, dx);
    double pitch = std::atan2(dz, std::sqrt(dx * dx + dy * dy));
    CMatrix a = WalkView(eye, pitch, yaw), b = WalkView(eye, -pitch, yaw);
    CVector ta = a.TransformPoint(target), tb = b.TransformPoint(target);
    return std::fabs(ta.z) <= std::fabs(tb.z) ? a : b;
}

class CPreviewDevice {
public:
    CPreviewDevice() : provider(OrvelGL::GLContextMode::Headless), graphics(provider)
    {
        device.reset(graphics.CreateDevice(nullptr, kScreenW, kScreenH));
        device->clearColour = kClearColour;
        // The render states, light and ambient of the game's start-up.
        IDirect3DDevice9* d = device->Device();
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        d->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
        d->SetRenderState(D3DRS_ALPHAREF, 8);
        d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        d->SetRenderState(D3DRS_LIGHTING, 1);
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {0.315f, 0.35f, 0.2625f, 0.0f};
        light.Direction = {1.0f, 0.8f, -1.0f};
        d->SetLight(0, &light);
        d->LightEnable(0, 1);
        d->SetRenderState(D3DRS_AMBIENT, 0x00686E5D);
    }

    Orvel::DXDevice* Device() { return device.get(); }

    void Begin(const CMatrix& projection, const CMatrix& view)
    {
        device->StartFrame();
        device->SetTransform(D3DTS_PROJECTION, projection);
        device->SetTransform(D3DTS_VIEW, view);
    }

    void Draw(Orvel::DXModel* model, const CMatrix& world)
    {
        device->SetTransform(D3DTS_WORLD, world);
        model->Render();
    }

    // The overlay pass of a frame: sprites drawn in order over the scene.
    struct SSprite {
        Orvel::DXOverlay* image;
        int x, y;
    };
    void Overlay(const std::vector<SSprite>& sprites)
    {
        IDirect3DDevice9* d = device->Device();
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        d->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
        d->SetRenderState(D3DRS_ZENABLE, 0);
        d->SetRenderState(D3DRS_ZWRITEENABLE, 0);
        d->SetRenderState(D3DRS_LIGHTING, 0);
        CMatrix flip = CMatrix::Identity();
        flip.m[1][1] = -1.0;
        device->SetTransform(D3DTS_PROJECTION, flip);
        device->SetTransform(D3DTS_VIEW, CMatrix::Identity());
        device->SetTransform(D3DTS_WORLD, CMatrix::Identity());
        for (const SSprite& s : sprites)
            s.image->Draw(device.get(), s.x, s.y, 0, 0);
        d->SetRenderState(D3DRS_LIGHTING, 1);
        d->SetRenderState(D3DRS_ZENABLE, 1);
        d->SetRenderState(D3DRS_ZWRITEENABLE, 1);
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
        d->SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    }

    // Reads the frame back and presents it.
    CBitmapImage End()
    {
        std::vector<uint32_t> pixels;
        UINT w = 0, h = 0;
        if (OrvelGL::ReadBackBuffer(device->Device(), pixels, w, h) != 0)
            throw std::runtime_error("preview: reading the back buffer failed");
        device->FinishFrame();
        CBitmapImage image(static_cast<int>(w), static_cast<int>(h));
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x)
                image.Set(static_cast<int>(x), static_cast<int>(y), pixels[y * w + x] & 0xFFFFFF);
        return image;
    }

private:
    OrvelGL::GLProvider provider;
    Orvel::DXGraphics graphics;
    std::unique_ptr<Orvel::DXDevice> device;
};

CBitmapImage Crop(const CBitmapImage& image, int x0, int y0, int w, int h)
{
    CBitmapImage out(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.Set(x, y, image.Get(std::clamp(x0 + x, 0, image.Width() - 1), std::clamp(y0 + y, 0, image.Height() - 1)));
    return out;
}

struct SFootprint {
    int w, h;     // cells
    double dx;    // the game's drawing offset in x (the factory's -1)
};

SFootprint FootprintOf(const std::string& name)
{
    if (name.find("Factory") != std::string::npos)
        return {2, 3, -1.0};
    if (name.find("Magnet.dat") != std::string::npos || name.find("Laser.dat") != std::string::npos)
        return name == "LaserShot.dat" ? SFootprint{0, 0, 0.0} : SFootprint{2, 2, 0.0};
    if (name == "Map.dat" || name == "LaserShot.dat")
        return {0, 0, 0.0};
    return {1, 1, 0.0};
}

// Dotted lines on the cell boundaries around the object's anchor cell and a
// dark frame around the cells the object occupies (world 0..2.5 w, 0..2.5 h
// before the game's offset), as the pointer maps them.
void MarkCells(CBitmapImage& tile, double zoomPx, double cx, double cy, const SFootprint& fp)
{
    auto sx = [&](double wx) { return kTile / 2.0 + (wx - cx) * zoomPx; };
    auto sy = [&](double wy) { return kTile / 2.0 + (wy - cy) * zoomPx; };
    for (int k = -6; k <= 8; ++k) {
        int px = static_cast<int>(std::lround(sx(2.5 * k))), py = static_cast<int>(std::lround(sy(2.5 * k)));
        for (int t = 0; t < kTile; t += 4) {
            tile.Set(px, t, 0x203040);
            tile.Set(t, py, 0x203040);
        }
    }
    if (fp.w > 0) {
        int x0 = static_cast<int>(std::lround(sx(0.0))), y0 = static_cast<int>(std::lround(sy(0.0)));
        int x1 = static_cast<int>(std::lround(sx(2.5 * fp.w))), y1 = static_cast<int>(std::lround(sy(2.5 * fp.h)));
        tile.FrameRect(x0 - 1, y0 - 1, x1 + 2, y1 + 2, 2, 0x000000);
    }
}

struct SBounds {
    double x0, y0, z0, x1, y1, z1;
};

SBounds BoundsOf(const std::string& name)
{
    CMeshBuilder mesh = CModelSet::Build(name);
    SBounds b{1e9, 1e9, 1e9, -1e9, -1e9, -1e9};
    for (const SVec3& p : mesh.Positions()) {
        b.x0 = std::min(b.x0, p.x);
        b.y0 = std::min(b.y0, p.y);
        b.z0 = std::min(b.z0, p.z);
        b.x1 = std::max(b.x1, p.x);
        b.y1 = std::max(b.y1, p.y);
        b.z1 = std::max(b.z1, p.z);
    }
    return b;
}

void RenderModels(CPreviewDevice& pd, std::map<std::string, Orvel::DXModel*>& models, CGlyphRenderer& font,
                  const std::string& outDir)
{
    const std::vector<std::string>& names = CModelSet::Names();
    const int columns = 4, labelH = 22;
    int rows = (static_cast<int>(names.size()) + columns - 1) / columns;
    CBitmapImage sheet(columns * (2 * kTile + 12) + 12, rows * (kTile + labelH + 12) + 12, 0x202428);
    Orvel::DXModel* ground = models["Map.dat"];
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        Orvel::DXModel* model = models[name];
        SBounds b = BoundsOf(name);
        SFootprint fp = FootprintOf(name);
        bool isMap = name == "Map.dat";
        // Model centre in world units as the game places it at cell (0, 0).
        double cx = (b.x0 + b.x1) / 2.0 + fp.dx, cy = (b.y0 + b.y1) / 2.0;
        double pxPerUnit = isMap ? 5.6 : 24.0;
        double zoom = pxPerUnit / 3.84; // the map view shows 3.84 pixels per world unit
        CMatrix world = CMatrix::Translation(CVector(fp.dx, 0.0, name == "LaserShot.dat" ? 2.0 : 0.0));

        // Map view, seen from above.
        pd.Begin(ZoomedMap(zoom, cx, cy), CMatrix::Identity());
        if (!isMap)
            pd.Draw(ground, CMatrix::Translation(CVector(-20.0, -20.0, 0.0)));
        pd.Draw(model, world);
        CBitmapImage top = Crop(pd.End(), kScreenW / 2 - kTile / 2, kScreenH / 2 - kTile / 2, kTile, kTile);
        if (!isMap)
            MarkCells(top, pxPerUnit, cx, cy, fp);

        // Walk view, from the side and a little above, from the red end (+y)
        // looking towards blue, turned a little so two sides show.
        double size = std::max({b.x1 - b.x0, b.y1 - b.y0, b.z1 - b.z0});
        double distance = isMap ? 60.0 : std::max(9.0, 4.2 * size);
        double cz = name == "LaserShot.dat" ? 2.0 : (b.z0 + b.z1) / 2.0;
        CVector target(cx, cy, cz);
        CVector eye(cx - 0.45 * distance, cy + 0.85 * distance, cz + 0.45 * distance);
        pd.Begin(Projection3D(), LookAt(eye, target));
        if (!isMap)
            pd.Draw(ground, CMatrix::Translation(CVector(cx - 20.0, cy - 20.0, 0.0)));
        pd.Draw(model, world);
        CBitmapImage side = Crop(pd.End(), kScreenW / 2 - kTile / 2, kScreenH / 2 - kTile / 2, kTile, kTile);

        int col = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
        int x = 12 + col * (2 * kTile + 12), y = 12 + row * (kTile + labelH + 12);
        font.Draw(sheet, name + "   (map view | walk view)", x, y + 15, 14, 0xE8D070);
        sheet.Blit(top, x, y + labelH, 0x1000000);
        sheet.Blit(side, x + kTile, y + labelH, 0x1000000);
    }
    sheet.WritePng(outDir + "/models.png");
}

// A world like the one of a game in progress, at fixed cells.
struct SScene {
    struct SThing {
        std::string model;
        double x, y, turn;
    };
    std::vector<SThing> things;
};

SScene MakeScene()
{
    SScene s;
    auto add = [&s](const char* model, double cellX, double cellY, double turn = 0.0) {
        s.things.push_back({model, cellX, cellY, turn});
    };
    // Trees around the five cluster centres, at fixed offsets.
    const int centres[5][2] = {{10, 10}, {53, 10}, {10, 53}, {53, 53}, {32, 32}};
    const int offsets[9][2] = {{0, 0}, {2, 1}, {-1, 3}, {-3, -1}, {1, -3}, {4, -2}, {-4, 2}, {3, 4}, {-2, -4}};
    for (const auto& c : centres)
        for (const auto& o : offsets)
            add("Tree.dat", c[0] + o[0], c[1] + o[1]);
    // Robots of both sides around their factories, in all eight facings.
    for (int f = 0; f < 8; ++f) {
        add("RedRobot.dat", 29 + f, 55, f * kPi * 0.25);
        add("BlueRobot.dat", 28 + f, 10, f * kPi * 0.25);
    }
    add("RedRobot.dat", 33, 31, 0.0);  // beside the middle trees
    add("BlueRobot.dat", 31, 33, kPi);
    add("RedMagnet.dat", 27, 50);
    add("BlueMagnet.dat", 36, 13);
    double redAim = std::atan2(13.0 - 50.0, 36.0 - 38.0), blueAim = std::atan2(50.0 - 14.0, 27.0 - 26.0);
    add("RedLaser.dat", 38, 50, redAim - 1.5707964);
    add("BlueLaser.dat", 26, 14, blueAim - 1.5707964);
    // A shot from the red laser towards the blue magnet, a third of the way.
    s.things.push_back({"LaserShot.dat", (38 * 2.5 + (36 - 38) * 2.5 / 3.0) / 2.5,
                        (50 * 2.5 + (13 - 50) * 2.5 / 3.0) / 2.5, redAim});
    add("MoveMagnet0.dat", 20, 40);
    add("MoveMagnet1.dat", 23, 40, 0.0);
    add("MoveMagnet1.dat", 25, 40, kPi / 2.0);
    add("MoveMagnet1.dat", 27, 40, 5.0 * kPi / 4.0);
    add("RedX.dat", 30, 40);
    return s;
}

void DrawScene(CPreviewDevice& pd, std::map<std::string, Orvel::DXModel*>& models, const SScene& scene)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            pd.Draw(models["Map.dat"], CMatrix::Translation(CVector(40.0 * j, 40.0 * i, 0.0)));
    for (const SScene::SThing& t : scene.things) {
        double z = t.model == "LaserShot.dat" ? 2.0 : 0.0;
        pd.Draw(models[t.model], CMatrix::Rotation(0.0, 0.0, t.turn) *
                                     CMatrix::Translation(CVector(2.5 * t.x, 2.5 * t.y, z)));
    }
    pd.Draw(models["RedFactory.dat"], CMatrix::Translation(CVector(2.5 * 32 - 1.0, 2.5 * 58, 0.0)));
    pd.Draw(models["BlueFactory.dat"], CMatrix::Translation(CVector(2.5 * 31 - 1.0, 2.5 * 5, 0.0)));
}

void RenderScenes(CPreviewDevice& pd, std::map<std::string, Orvel::DXModel*>& models,
                  std::map<std::string, Orvel::DXOverlay*>& pictures, const std::string& outDir)
{
    SScene scene = MakeScene();
    // The map view with a magnet being placed at cell (44, 30): the pointer
    // sits a few pixels into that cell, as the controls map it.
    int cellX = 44, cellY = 30;
    int pointerX = 102 + (cellX * 615 + 63) / 64 + 3, pointerY = 78 + (cellY * 615 + 63) / 64 + 3;
    pd.Begin(ProjectionMap(), CMatrix::Identity());
    DrawScene(pd, models, scene);
    pd.Draw(models["RedMagnet.dat"], CMatrix::Translation(CVector(2.5 * cellX, 2.5 * cellY, 0.0)));
    std::vector<CPreviewDevice::SSprite> sprites = {
        {pictures["HelpText.bmp"], 24, 532},
        {pictures["Energy.bmp"], 32, 32},
        {pictures["n9.bmp"], 140, 68},
        {pictures["n7.bmp"], 140 + 21, 68},
        {pictures["ControlUI.bmp"], 768, 0},
        {pictures["Cursor.bmp"], pointerX, pointerY},
    };
    pd.Overlay(sprites);
    pd.End().WritePng(outDir + "/scene-map.png");

    // The walk view from the start camera.
    pd.Begin(Projection3D(), WalkView(CVector(80.0, 180.0, 15.0), 0.0, -kPi / 2.0));
    DrawScene(pd, models, scene);
    pd.Overlay({{pictures["Energy.bmp"], 32, 32}, {pictures["n9.bmp"], 140, 68}, {pictures["n7.bmp"], 161, 68}});
    pd.End().WritePng(outDir + "/scene-walk-start.png");

    // The walk view close to the red base, looking at the robots and the laser.
    pd.Begin(Projection3D(), LookAt(CVector(70.0, 160.0, 12.0), CVector(88.0, 132.0, 0.0)));
    DrawScene(pd, models, scene);
    pd.End().WritePng(outDir + "/scene-walk-near.png");
}

// The pictures as the game shows them: white keyed out, magenta as a
// half-transparent grey, over the clear colour.
CBitmapImage Composite(const CBitmapImage& picture, uint32_t behind)
{
    CBitmapImage out(picture.Width(), picture.Height(), behind);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            uint32_t c = picture.Get(x, y);
            if (c == kTransparent)
                continue;
            if (c == kHalfGrey) {
                uint32_t mixed = 0;
                for (int shift = 0; shift <= 16; shift += 8)
                    mixed |= ((((behind >> shift) & 0xFF) + 0x7F) / 2) << shift;
                out.Set(x, y, mixed);
            } else {
                out.Set(x, y, c);
            }
        }
    return out;
}

CBitmapImage Half(const CBitmapImage& image)
{
    CBitmapImage out(image.Width() / 2, image.Height() / 2);
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            out.Set(x, y, image.Get(2 * x, 2 * y));
    return out;
}

void RenderPictureSheet(const std::string& fontDir, CGlyphRenderer& font, const std::string& outDir)
{
    CPictureSet set(fontDir);
    const uint32_t behind = kClearColour & 0xFFFFFF;
    CBitmapImage sheet(1400, 1000, 0x202428);
    auto place = [&](const std::string& name, int x, int y, bool half) {
        CBitmapImage picture = Composite(set.Build(name), behind);
        font.Draw(sheet, name + (half ? " (half size)" : ""), x, y + 14, 13, 0xE8D070);
        sheet.Blit(half ? Half(picture) : picture, x, y + 20, 0x1000000);
    };
    place("ControlUI.bmp", 16, 16, false);
    place("Title.bmp", 300, 16, false);
    place("Energy.bmp", 880, 16, false);
    place("Cursor.bmp", 1000, 16, false);
    int x = 1110;
    for (int d = 0; d < 10; ++d) {
        std::string name = "n" + std::to_string(d) + ".bmp";
        CBitmapImage digit = Composite(set.Build(name), behind);
        sheet.Blit(digit, x, 36, 0x1000000);
        x += digit.Width();
    }
    font.Draw(sheet, "n0.bmp .. n9.bmp", 1110, 30, 13, 0xE8D070);
    place("HelpText.bmp", 300, 270, false);
    place("LoseScreen.bmp", 300, 520, true);
    place("WinScreen.bmp", 830, 520, true);
    sheet.WritePng(outDir + "/pictures.png");
}

} // namespace

void CAssetPreview::Run(const std::string& outDir, const std::string& fontDir)
{
    std::filesystem::create_directories(outDir);
    std::string out = std::filesystem::absolute(outDir).string();
    CDataWriter::WriteAll(out + "/Data", fontDir);
    CGlyphRenderer font(fontDir + "/DejaVuSans-Bold.ttf");

    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(out); // the engine reads "Data\<name>" from here
    std::map<std::string, Orvel::DXModel*> models;
    std::map<std::string, Orvel::DXOverlay*> pictures;
    try {
        CPreviewDevice pd;
        try {
            for (const std::string& name : CModelSet::Names())
                models[name] = Orvel::LoadModel(pd.Device(), name.c_str());
            for (const SPictureEntry& entry : CPictureSet::Entries())
                pictures[entry.name] = Orvel::LoadOverlay(pd.Device(), entry.name.c_str(), entry.width,
                                                          entry.height, entry.name == "Cursor.bmp");
            RenderModels(pd, models, font, out);
            RenderScenes(pd, models, pictures, out);
        } catch (...) {
            for (auto& m : models)
                delete m.second;
            for (auto& p : pictures)
                delete p.second;
            throw;
        }
        for (auto& m : models)
            delete m.second;
        for (auto& p : pictures)
            delete p.second;
    } catch (...) {
        std::filesystem::current_path(previous);
        throw;
    }
    std::filesystem::current_path(previous);
    RenderPictureSheet(fontDir, font, out);
}

} // namespace Assets

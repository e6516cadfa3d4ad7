// CGame::Render on the recording device: which models are drawn in which
// order with which world transform, the cameras of both views (checked by
// where they put points on the screen), the HUD sprites, the placement
// preview and the end pictures.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "engine/DXModel.h"
#include "engine/DXModelCreator.h"
#include "game/CGame.h"
#include "game/GameSprites.h"
#include "platform/recording/RecordingProvider.h"
#include "serial/SModelCreatorData.h"

namespace {

using Orvel::DXOverlay;
using Point = std::array<double, 4>;

constexpr double kPi = 3.14159265358979323846;

// in * m for a recorded row-major matrix.
Point Apply(const std::vector<float>& m, const Point& in)
{
    Point out{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out[c] += in[r] * m[r * 4 + c];
    return out;
}

// A world matrix that turns by angle about z, then moves to (x, y, z).
void ExpectWorld(const std::vector<float>& w, double x, double y, double z, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double expected[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(w[i], expected[i], i < 12 ? 1e-6 : 1e-4) << "element " << i;
}

using Sprite = std::tuple<DXOverlay*, int, int>;

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        graphics.reset(new Orvel::DXGraphics(provider));
        device = graphics->CreateDevice(nullptr, 1024, 768);
        game.reset(new CGame());
        game->BuildWorld();
        game->showHelp = true;
        game->device = device;
        // Distinct one-triangle models, owned by the game; the k-th vertex buffer made is model k's.
        for (int i = 0; i < CGame::MODEL_COUNT; ++i) {
            SerialLib::SModelCreatorData data;
            data.AddVertex(0.0f, 0.0f, 0.0f);
            data.AddVertex(1.0f, 0.0f, 0.0f);
            data.AddVertex(0.0f, 1.0f, static_cast<float>(i));
            data.AddFace({0, 1, 2});
            Orvel::DXModelCreator creator(data);
            game->models[i] = new Orvel::DXModel(device, creator);
            buffers.push_back(provider.Log().CallsOf("CreateVertexBuffer").back()->created);
        }
        // Render only queues pictures by pointer: distinct tokens suffice.
        auto token = [this](int i) { return reinterpret_cast<DXOverlay*>(&tokens[i]); };
        game->loseScreen = token(0), game->winScreen = token(1), game->helpText = token(2);
        game->energyIcon = token(3), game->controlPanel = token(4);
        for (int d = 0; d < 10; ++d)
            gDigitImages[d] = token(5 + d);

        // Trees, red robots (one dead) and a blue one, a magnet and a laser a
        // side, a shot, red move magnets of both kinds and a blue one.
        CGame& g = *game;
        g.treeCount = 2;
        g.trees[0].x = 3, g.trees[0].y = 4, g.trees[1].x = 60, g.trees[1].y = 61;
        g.robotCount[0] = 2, g.robotCount[1] = 1;
        g.robots[0][0].x = 10, g.robots[0][0].y = 20, g.robots[0][0].facing = 2;
        g.robots[0][1].x = 11, g.robots[0][1].y = 21, g.robots[0][1].facing = 0, g.robots[0][1].dead = true;
        g.robots[1][0].x = 30, g.robots[1][0].y = 5, g.robots[1][0].facing = 7;
        g.magnetCount[0] = g.magnetCount[1] = g.laserCount[0] = g.laserCount[1] = 1;
        g.magnets[0][0].x = 34, g.magnets[0][0].y = 52, g.magnets[1][0].x = 30, g.magnets[1][0].y = 10;
        g.lasers[0][0].x = 36, g.lasers[0][0].y = 52, g.lasers[0][0].angle = 3.1415927f;
        g.lasers[1][0].x = 28, g.lasers[1][0].y = 10, g.lasers[1][0].angle = 0.0f;
        g.shotCount = 1;
        g.shots[0].curX = 50, g.shots[0].curY = 60, g.shots[0].angle = 1.5707964f;
        g.moveMagnetCount[0] = g.moveMagnetCount[1] = 0;
        g.AddMoveMagnet(5, 6, 4, 0);
        g.AddMoveMagnet(7, 8, 7, 0); // pushes down: angle pi / 2
        g.AddMoveMagnet(9, 9, 4, 1);
        g.energy[0] = 305;
    }

    void TearDown() override
    {
        game->loseScreen = game->winScreen = game->helpText = game->energyIcon = game->controlPanel = nullptr;
        std::fill(std::begin(gDigitImages), std::end(gDigitImages), nullptr);
        game.reset();
        delete device;
    }

    // One frame of the game inside a device scene; calls holds Render's calls only.
    void RenderFrame()
    {
        gSprites.Clear();
        device->StartFrame();
        provider.Log().Clear();
        game->Render();
        calls = provider.Log().Calls();
        device->FinishFrame();
    }

    // The model of each draw (one stream source per DXModel::Render) and the
    // world matrix set last before it.
    std::vector<std::pair<int, std::vector<float>>> Draws() const
    {
        std::vector<std::pair<int, std::vector<float>>> draws;
        std::vector<float> world(16, 0.0f);
        for (const RecordedCall& call : calls) {
            if (call.op == RecOp::SetTransform && call.args[0] == D3DTS_WORLD)
                world = call.floats;
            if (call.op == RecOp::SetStreamSource)
                draws.emplace_back(std::find(buffers.begin(), buffers.end(), call.args[1]) - buffers.begin(), world);
        }
        return draws;
    }

    // Normalised device coordinates (x, y, z over w, then w) of a world point
    // under the frame's projection and view, its first two calls.
    Point Screen(double x, double y, double z) const
    {
        const Point c = Apply(calls.at(0).floats, Apply(calls.at(1).floats, {x, y, z, 1.0}));
        return {c[0] / c[3], c[1] / c[3], c[2] / c[3], c[3]};
    }

    // The queued sprites as (image, x, y); a centred one reads as image null.
    std::vector<Sprite> Sprites() const
    {
        std::vector<Sprite> sprites;
        for (int i = 0; i < gSprites.Count(); ++i) {
            const Orvel::CDrawSprite& s = gSprites.Item(i);
            sprites.emplace_back(s.centred ? nullptr : s.image, s.x, s.y);
        }
        return sprites;
    }

    RecordingProvider provider;
    std::unique_ptr<Orvel::DXGraphics> graphics;
    Orvel::DXDevice* device = nullptr;
    std::vector<int64_t> buffers;
    char tokens[15] = {};
    std::unique_ptr<CGame> game;
    std::vector<RecordedCall> calls;
};

TEST_F(RenderTest, EveryKindOfObjectIsDrawnInOrderWithItsWorldTransformThenTheHudIsQueued)
{
    game->tool = 1;
    game->cursorX = 40;
    game->cursorY = 41;
    game->previewModel = game->models[CGame::MODEL_RED_MAGNET];
    RenderFrame();
    struct Row {
        int model;
        double x, y, z, angle;
        const char* what;
    };
    std::vector<Row> rows;
    for (int k = 0; k < 16; ++k)
        rows.push_back({CGame::MODEL_MAP, 40.0 * (k % 4), 40.0 * (k / 4), 0, 0, "ground, 40-unit tiles row by row"});
    const Row rest[] = {
        {CGame::MODEL_TREE, 7.5, 10, 0, 0, "tree (3, 4): 2.5 units a cell"},
        {CGame::MODEL_TREE, 150, 152.5, 0, 0, "tree (60, 61)"},
        {CGame::MODEL_RED_ROBOT, 25, 50, 0, kPi / 2, "red robot (10, 20), facing 2: a quarter turn"},
        {CGame::MODEL_RED_ROBOT, 27.5, 52.5, 0, 0, "a dead robot is still drawn"},
        {CGame::MODEL_RED_MAGNET, 85, 130, 0, 0, "red magnet (34, 52)"},
        {CGame::MODEL_RED_LASER, 90, 130, 0, kPi / 2, "red laser at angle pi: turned by pi - pi/2"},
        {CGame::MODEL_BLUE_ROBOT, 75, 12.5, 0, 7 * kPi / 4, "blue robot (30, 5), facing 7"},
        {CGame::MODEL_BLUE_MAGNET, 75, 25, 0, 0, "blue magnet (30, 10)"},
        {CGame::MODEL_BLUE_LASER, 70, 25, 0, -kPi / 2, "blue laser at angle 0: turned by -pi/2"},
        {CGame::MODEL_LASER_SHOT, 50, 60, 2, kPi / 2, "shot: world units, 2 above the ground"},
        {CGame::MODEL_RED_FACTORY, 79, 145, 0, 0, "red factory: one unit left of cell (32, 58)"},
        {CGame::MODEL_BLUE_FACTORY, 76.5, 12.5, 0, 0, "blue factory (31, 5)"},
        {CGame::MODEL_MOVE_MAGNET0, 12.5, 15, 0, 0, "attracting move magnet (5, 6): not turned"},
        {CGame::MODEL_MOVE_MAGNET1, 17.5, 20, 0, kPi / 2, "pushing move magnet (7, 8): turned to push down"},
        {CGame::MODEL_RED_MAGNET, 100, 102.5, 0, 0, "preview at the cursor cell (40, 41)"},
    };
    rows.insert(rows.end(), std::begin(rest), std::end(rest));
    // The HUD: help, the energy icon, the energy 305 digit by digit, the panel last.
    EXPECT_EQ(Sprites(), (std::vector<Sprite>{{game->helpText, 24, 532}, {game->energyIcon, 32, 32},
                                              {gDigitImages[3], 140, 68}, {gDigitImages[0], 158, 68},
                                              {gDigitImages[5], 179, 68}, {game->controlPanel, 768, 0}}));
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), rows.size()) << "blue's move magnet is never drawn";
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "draw " << i << ": " << rows[i].what);
        EXPECT_EQ(draws[i].first, rows[i].model);
        ExpectWorld(draws[i].second, rows[i].x, rows[i].y, rows[i].z, rows[i].angle);
    }

    // The preview stays in the walk view, turned by its angle; it needs a tool and a cell.
    game->viewMode = 0;
    game->previewAngle = 1.5707964f;
    RenderFrame();
    ASSERT_EQ(Draws().size(), rows.size());
    ExpectWorld(Draws().back().second, 100, 102.5, 0, kPi / 2);
    game->tool = 0;
    RenderFrame();
    EXPECT_EQ(Draws().size(), rows.size() - 1);
    game->tool = 1;
    game->cursorX = -1;
    RenderFrame();
    EXPECT_EQ(Draws().size(), rows.size() - 1);
}

TEST_F(RenderTest, WalkViewLooksAlongTheCamerasYawAndPitchAndHasNoPanel)
{
    game->viewMode = 0;
    game->cameraPos = Orvel::CVector(80, 180, 15);
    game->showHelp = false;
    game->energy[0] = 0;
    RenderFrame();
    EXPECT_EQ(Sprites(), (std::vector<Sprite>{{game->energyIcon, 32, 32}, {gDigitImages[0], 140, 68}}));
    ASSERT_GE(calls.size(), 2u);
    ASSERT_EQ(calls[0].args[0], D3DTS_PROJECTION); // then the view, then the models
    ASSERT_EQ(calls[1].args[0], D3DTS_VIEW);
    // From the start the camera looks along -y: a point 10 ahead at eye
    // height is mid-screen, one to the east right of it, one above higher.
    const Point ahead = Screen(80, 170, 15);
    EXPECT_NEAR(ahead[0], 0, 1e-6);
    EXPECT_NEAR(ahead[1], 0, 1e-6);
    EXPECT_TRUE(ahead[3] > 0 && ahead[2] > 0 && ahead[2] < 1) << "in front of the camera, within depth";
    EXPECT_GT(Screen(81, 170, 15)[0], 0);
    EXPECT_GT(Screen(80, 170, 16)[1], 0);
    EXPECT_LT(Screen(80, 190, 15)[3], 0) << "what lies behind is behind";
    // A larger yaw (the mouse moved right) turns the view right: what was
    // ahead moves left; a smaller pitch (moved down) looks down: it moves up.
    game->cameraYaw += 0.2;
    RenderFrame();
    EXPECT_LT(Screen(80, 170, 15)[0], 0);
    game->cameraYaw -= 0.2;
    game->cameraPitch = -0.2;
    RenderFrame();
    EXPECT_NEAR(Screen(80, 170, 15)[0], 0, 1e-6);
    EXPECT_GT(Screen(80, 170, 15)[1], 0);
}

TEST_F(RenderTest, EndPicturesAreDrawnAloneWithoutTouchingTheDevice)
{
    game->tool = 1;
    game->cursorX = 5;
    game->previewModel = game->models[CGame::MODEL_RED_MAGNET];
    for (int state : {1, 2}) {
        for (int view : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "state " << state << ", view " << view);
            game->state = state;
            game->viewMode = view;
            RenderFrame();
            EXPECT_TRUE(calls.empty()) << "no transform, no model";
            EXPECT_EQ(Sprites(), std::vector<Sprite>{Sprite(state == 1 ? game->loseScreen : game->winScreen, 0, 0)});
        }
    }
}

} // namespace

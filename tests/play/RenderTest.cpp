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
        game->BuildWorld();
        game->showHelp = true;
        game->device = device.get();
        // One-triangle models, owned by the test; the k-th vertex buffer made is model k's.
        SerialLib::SModelCreatorData data;
        data.AddVertex(0.0f, 0.0f, 0.0f);
        data.AddVertex(1.0f, 0.0f, 0.0f);
        data.AddVertex(0.0f, 1.0f, 0.0f);
        data.AddFace({0, 1, 2});
        for (int i = 0; i < CGame::MODEL_COUNT; ++i) {
            Orvel::DXModelCreator creator(data);
            game->models[i] = new Orvel::DXModel(device.get(), creator);
            buffers.push_back(provider.Log().CallsOf("CreateVertexBuffer").back()->created);
        }
        // Render only queues pictures by pointer: distinct tokens suffice.
        auto token = [this](int i) { return reinterpret_cast<DXOverlay*>(&tokens[i]); };
        game->loseScreen = token(0), game->winScreen = token(1), game->helpText = token(2);
        game->energyIcon = token(3), game->controlPanel = token(4);
        for (int d = 0; d < 10; ++d)
            gDigitImages[d] = token(5 + d);

        // A tree, red robots (one dead) and a blue one, a magnet and a laser a
        // side, a shot, red move magnets of both kinds and a blue one.
        CGame& g = *game;
        auto put = [](auto& object, int x, int y) { object.x = x, object.y = y; };
        g.treeCount = 1, g.robotCount[0] = 2, g.robotCount[1] = 1, g.shotCount = 1;
        g.magnetCount[0] = g.magnetCount[1] = g.laserCount[0] = g.laserCount[1] = 1;
        put(g.trees[0], 3, 4), put(g.robots[0][0], 10, 20), put(g.robots[0][1], 11, 21), put(g.robots[1][0], 30, 5);
        g.robots[0][0].facing = 2, g.robots[0][1].facing = 0, g.robots[0][1].dead = true, g.robots[1][0].facing = 7;
        put(g.magnets[0][0], 34, 52), put(g.magnets[1][0], 30, 10), put(g.lasers[0][0], 36, 52);
        put(g.lasers[1][0], 28, 10), g.lasers[0][0].angle = 3.1415927f, g.lasers[1][0].angle = 0.0f;
        g.shots[0].curX = 50, g.shots[0].curY = 60, g.shots[0].angle = 1.5707964f;
        g.moveMagnetCount[0] = g.moveMagnetCount[1] = 0;
        g.AddMoveMagnet(5, 6, 4, 0);
        g.AddMoveMagnet(7, 8, 7, 0); // pushes down: angle pi / 2
        g.AddMoveMagnet(9, 9, 4, 1);
        g.energy[0] = 305;
    }

    void TearDown() override
    {
        for (Orvel::DXModel*& model : game->models) {
            delete model;
            model = nullptr;
        }
        game->loseScreen = game->winScreen = game->helpText = game->energyIcon = game->controlPanel = nullptr;
        std::fill(std::begin(gDigitImages), std::end(gDigitImages), nullptr);
    }

    // One frame of the game inside a device scene: calls holds Render's calls,
    // draws the model of each draw (one stream source per DXModel::Render)
    // with the world matrix set last before it.
    void RenderFrame()
    {
        gSprites.Clear();
        device->StartFrame();
        provider.Log().Clear();
        game->Render();
        calls = provider.Log().Calls();
        device->FinishFrame();
        draws.clear();
        std::vector<float> world(16, 0.0f);
        for (const RecordedCall& call : calls) {
            if (call.op == RecOp::SetTransform && call.args[0] == D3DTS_WORLD)
                world = call.floats;
            if (call.op == RecOp::SetStreamSource)
                draws.emplace_back(std::find(buffers.begin(), buffers.end(), call.args[1]) - buffers.begin(), world);
        }
    }

    // Normalised device coordinates (x, y, z over w, then w) of a world point
    // under the frame's view and projection, its second and first calls.
    Point Screen(double x, double y, double z) const
    {
        Point p{x, y, z, 1.0};
        for (int m : {1, 0}) {
            Point out{};
            for (int c = 0; c < 4; ++c)
                for (int r = 0; r < 4; ++r)
                    out[c] += p[r] * calls.at(m).floats[r * 4 + c];
            p = out;
        }
        return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
    }

    // The queued sprites as (image, x, y); a centred one reads as image null.
    std::vector<Sprite> Sprites() const
    {
        std::vector<Sprite> sprites;
        for (int i = 0; i < gSprites.Count(); ++i)
            sprites.emplace_back(gSprites.Item(i).centred ? nullptr : gSprites.Item(i).image, gSprites.Item(i).x,
                                 gSprites.Item(i).y);
        return sprites;
    }

    RecordingProvider provider;
    Orvel::DXGraphics graphics{provider};
    std::unique_ptr<Orvel::DXDevice> device{graphics.CreateDevice(nullptr, 1024, 768)};
    std::unique_ptr<CGame> game{new CGame()};
    std::vector<int64_t> buffers;
    char tokens[15] = {};
    std::vector<RecordedCall> calls;
    std::vector<std::pair<int, std::vector<float>>> draws;
};

TEST_F(RenderTest, EveryKindOfObjectIsDrawnInOrderWithItsTransformInBothViewsThenTheHud)
{
    game->tool = CGame::TOOL_MAGNET;
    game->cursorX = 40;
    game->cursorY = 41;
    game->previewModel = game->models[CGame::MODEL_RED_MAGNET];
    RenderFrame();
    struct Row { int model; double x, y, z, angle; const char* what; };
    std::vector<Row> rows;
    for (int k = 0; k < 16; ++k)
        rows.push_back({CGame::MODEL_MAP, 40.0 * (k % 4), 40.0 * (k / 4), 0, 0, "ground, 40-unit tiles row by row"});
    const Row rest[] = {
        {CGame::MODEL_TREE, 7.5, 10, 0, 0, "tree (3, 4): 2.5 units a cell"},
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
    ASSERT_EQ(draws.size(), rows.size()) << "blue's move magnet is never drawn";
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "draw " << i << ": " << rows[i].what);
        EXPECT_EQ(draws[i].first, rows[i].model);
        ExpectWorld(draws[i].second, rows[i].x, rows[i].y, rows[i].z, rows[i].angle);
    }

    // The walk view: the same models, the preview
    // turned by its angle; without a tool no preview.
    game->viewMode = CGame::VIEW_WALK;
    game->previewAngle = 1.5707964f;
    game->cameraPos = Orvel::CVector(80, 180, 15);
    RenderFrame();
    ASSERT_EQ(draws.size(), rows.size());
    ExpectWorld(draws.back().second, 100, 102.5, 0, kPi / 2);
    // From the start the camera looks along -y: a point 10 ahead at eye
    // height is mid-screen, one to the east right of it.
    const Point ahead = Screen(80, 170, 15);
    EXPECT_NEAR(ahead[0], 0, 1e-6);
    EXPECT_NEAR(ahead[1], 0, 1e-6);
    EXPECT_GT(ahead[3], 0) << "in front of the camera";
    EXPECT_GT(ahead[2], 0) << "within depth";
    EXPECT_LT(ahead[2], 1) << "within depth";
    EXPECT_GT(Screen(81, 170, 15)[0], 0);
    game->cameraPitch = -0.2; // the mouse moved down
    game->tool = CGame::TOOL_NONE;
    RenderFrame();
    EXPECT_GT(Screen(80, 170, 15)[1], 0) << "looking down moves what is ahead up the screen";
    EXPECT_EQ(draws.size(), rows.size() - 1);
}

// The laser tool previews the laser as it will stand once built: turned as
// the red laser that the scene holds (angle pi), bit for bit, in both views.
TEST_F(RenderTest, TheLaserPreviewIsTurnedAsANewLaser)
{
    ASSERT_EQ(game->lasers[0][0].angle, CGame::kLaserBuiltAngle);
    game->tool = CGame::TOOL_LASER;
    game->previewModel = game->models[CGame::MODEL_RED_LASER];
    game->previewAngle = CGame::kLaserBuiltAngle;
    game->cursorX = 40;
    game->cursorY = 41;
    for (CGame::ViewMode view : {CGame::VIEW_MAP, CGame::VIEW_WALK}) {
        SCOPED_TRACE(testing::Message() << "view " << view);
        game->viewMode = view;
        RenderFrame();
        std::vector<std::vector<float>> laserTurns;
        for (const auto& draw : draws)
            if (draw.first == CGame::MODEL_RED_LASER)
                laserTurns.emplace_back(draw.second.begin(), draw.second.begin() + 12);
        ASSERT_EQ(laserTurns.size(), 2u) << "the red laser, then the preview";
        EXPECT_EQ(laserTurns[1], laserTurns[0]);
        ExpectWorld(draws.back().second, 100, 102.5, 0, kPi / 2);
    }
}

TEST_F(RenderTest, EndPicturesAreDrawnAloneWithoutTouchingTheDevice)
{
    game->tool = CGame::TOOL_MAGNET;
    game->cursorX = 5;
    game->previewModel = game->models[CGame::MODEL_RED_MAGNET];
    for (CGame::GameState state : {CGame::STATE_BLUE_LOST, CGame::STATE_RED_LOST}) {
        for (CGame::ViewMode view : {CGame::VIEW_WALK, CGame::VIEW_MAP}) {
            SCOPED_TRACE(testing::Message() << "state " << state << ", view " << view);
            game->state = state;
            game->viewMode = view;
            RenderFrame();
            EXPECT_TRUE(calls.empty()) << "no transform, no model";
            EXPECT_EQ(Sprites(), std::vector<Sprite>{Sprite(state == CGame::STATE_BLUE_LOST ? game->loseScreen : game->winScreen, 0, 0)});
        }
    }
}

} // namespace

// CGame::Render on the recording device: which models are drawn in which
// order with which world transform, the cameras of both views (checked by
// where they put points on the screen), the HUD sprites, the placement
// preview and the end pictures.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "engine/DXModel.h"
#include "engine/DXModelCreator.h"
#include "engine/DXOverlay.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "game/GameSprites.h"
#include "platform/recording/RecordingDevice.h"
#include "serial/SModelCreatorData.h"
#include "tests/play/ScriptedInput.h"

namespace {

using Orvel::DXOverlay;

constexpr double kPi = 3.14159265358979323846;

struct Point {
    double x, y, z, w;
};

// (x, y, z, 1) * m for a recorded row-major matrix.
Point Apply(const std::vector<float>& m, double x, double y, double z)
{
    Point p;
    double in[4] = {x, y, z, 1.0};
    double out[4] = {0, 0, 0, 0};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out[c] += in[r] * m[r * 4 + c];
    p.x = out[0];
    p.y = out[1];
    p.z = out[2];
    p.w = out[3];
    return p;
}

// One model draw: which model and the world matrix it was drawn with.
struct ModelDraw {
    int model;
    std::vector<float> world;
};

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        graphics.reset(new Orvel::DXGraphics(provider));
        device = graphics->CreateDevice(nullptr, 1024, 768);
        // Fourteen distinct one-triangle models; the k-th vertex buffer is model k's.
        for (int i = 0; i < CGame::MODEL_COUNT; ++i) {
            SerialLib::SModelCreatorData data;
            data.AddVertex(0.0f, 0.0f, 0.0f);
            data.AddVertex(1.0f, 0.0f, 0.0f);
            data.AddVertex(0.0f, 1.0f, static_cast<float>(i));
            data.AddFace({0, 1, 2});
            Orvel::DXModelCreator creator(data);
            models.emplace_back(new Orvel::DXModel(device, creator));
            buffers.push_back(provider.Log().CallsOf("CreateVertexBuffer").back()->created);
        }
        const uint32_t pixels[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF};
        for (auto& picture : pictures)
            picture.reset(new DXOverlay(device, 2, 2, 2, 2, pixels));

        gShowHelp = true;
        game.reset(new CGame());
        game->BuildWorld();
        game->showHelp = true;
        game->state = 0;
        game->device = device;
        for (int i = 0; i < CGame::MODEL_COUNT; ++i)
            game->models[i] = models[i].get();
        game->loseScreen = pictures[0].get();
        game->winScreen = pictures[1].get();
        game->helpText = pictures[2].get();
        game->energyIcon = pictures[3].get();
        game->controlPanel = pictures[4].get();
        for (int d = 0; d < 10; ++d)
            gDigitImages[d] = pictures[5 + d].get();
    }

    void TearDown() override
    {
        for (Orvel::DXModel*& m : game->models)
            m = nullptr;
        game->loseScreen = game->winScreen = game->helpText = game->energyIcon = game->controlPanel = nullptr;
        game.reset();
        for (DXOverlay*& digit : gDigitImages)
            digit = nullptr;
        models.clear();
        for (auto& picture : pictures)
            picture.reset();
        delete device;
        graphics.reset();
    }

    // The scene: two trees, red robots (one dead) and a blue one, a magnet
    // and a laser per side, a shot, red move magnets of both kinds and a
    // blue one. Entities are written directly; the grid is not involved.
    void BuildScene()
    {
        game->treeCount = 2;
        game->trees[0].x = 3, game->trees[0].y = 4;
        game->trees[1].x = 60, game->trees[1].y = 61;
        game->robotCount[0] = 2;
        game->robots[0][0].x = 10, game->robots[0][0].y = 20, game->robots[0][0].facing = 2;
        game->robots[0][1].x = 11, game->robots[0][1].y = 21, game->robots[0][1].facing = 0;
        game->robots[0][1].dead = true;
        game->robotCount[1] = 1;
        game->robots[1][0].x = 30, game->robots[1][0].y = 5, game->robots[1][0].facing = 7;
        game->magnetCount[0] = 1;
        game->magnets[0][0].x = 34, game->magnets[0][0].y = 52;
        game->magnetCount[1] = 1;
        game->magnets[1][0].x = 30, game->magnets[1][0].y = 10;
        game->laserCount[0] = 1;
        game->lasers[0][0].x = 36, game->lasers[0][0].y = 52, game->lasers[0][0].angle = 3.1415927f;
        game->laserCount[1] = 1;
        game->lasers[1][0].x = 28, game->lasers[1][0].y = 10, game->lasers[1][0].angle = 0.0f;
        game->shotCount = 1;
        game->shots[0].curX = 50, game->shots[0].curY = 60, game->shots[0].angle = 1.5707964f;
        game->moveMagnetCount[0] = 0;
        game->AddMoveMagnet(5, 6, 4, 0);
        game->AddMoveMagnet(7, 8, 7, 0); // pushes down: angle pi / 2
        game->moveMagnetCount[1] = 0;
        game->AddMoveMagnet(9, 9, 4, 1);
        game->energy[0] = 305;
    }

    // Renders one frame of the game inside a device scene; the log then
    // holds Render's calls only.
    void RenderFrame()
    {
        gSprites.Clear();
        device->StartFrame();
        provider.Log().Clear();
        game->Render();
        calls = provider.Log().Calls();
        device->FinishFrame();
    }

    int ModelOfBuffer(int64_t id) const
    {
        for (size_t i = 0; i < buffers.size(); ++i)
            if (buffers[i] == id)
                return static_cast<int>(i);
        return -1;
    }

    // Each model draw (one stream source per DXModel::Render) with the world
    // matrix set last before it.
    std::vector<ModelDraw> Draws() const
    {
        std::vector<ModelDraw> draws;
        std::vector<float> world(16, 0.0f);
        for (const RecordedCall& call : calls) {
            if (call.op == RecOp::SetTransform && call.args[0] == D3DTS_WORLD)
                world = call.floats;
            if (call.op == RecOp::SetStreamSource)
                draws.push_back({ModelOfBuffer(call.args[1]), world});
        }
        return draws;
    }

    // The matrix of the first SetTransform of state in this frame.
    std::vector<float> Transform(D3DTRANSFORMSTATETYPE state) const
    {
        for (const RecordedCall& call : calls)
            if (call.op == RecOp::SetTransform && call.args[0] == state)
                return call.floats;
        ADD_FAILURE() << "no transform " << state;
        return std::vector<float>(16, 0.0f);
    }

    // Screen position (normalised device coordinates) of a world point.
    Point Screen(double x, double y, double z) const
    {
        const Point v = Apply(Transform(D3DTS_VIEW), x, y, z);
        const Point c = Apply(Transform(D3DTS_PROJECTION), v.x, v.y, v.z);
        return Point{c.x / c.w, c.y / c.w, c.z / c.w, c.w};
    }

    RecordingProvider provider;
    std::unique_ptr<Orvel::DXGraphics> graphics;
    Orvel::DXDevice* device = nullptr;
    std::vector<std::unique_ptr<Orvel::DXModel>> models;
    std::vector<uint32_t> buffers;
    std::unique_ptr<DXOverlay> pictures[15];
    std::unique_ptr<CGame> game;
    std::vector<RecordedCall> calls;
};

void ExpectAt(const ModelDraw& draw, double x, double y, double z, const char* what)
{
    EXPECT_NEAR(draw.world[12], x, 1e-4) << what;
    EXPECT_NEAR(draw.world[13], y, 1e-4) << what;
    EXPECT_NEAR(draw.world[14], z, 1e-4) << what;
    EXPECT_EQ(draw.world[15], 1.0f) << what;
}

// The model's x axis after its turn (the first row of the world matrix).
void ExpectHeading(const ModelDraw& draw, double angle, const char* what)
{
    EXPECT_NEAR(draw.world[0], std::cos(angle), 1e-6) << what;
    EXPECT_NEAR(draw.world[1], std::sin(angle), 1e-6) << what;
    EXPECT_NEAR(draw.world[4], -std::sin(angle), 1e-6) << what;
    EXPECT_NEAR(draw.world[5], std::cos(angle), 1e-6) << what;
    EXPECT_NEAR(draw.world[10], 1.0, 1e-6) << what;
}

TEST_F(RenderTest, EveryKindOfObjectIsDrawnInOrderWithItsWorldTransform)
{
    BuildScene();
    game->tool = 1;
    game->cursorX = 40;
    game->cursorY = 41;
    game->previewModel = game->models[CGame::MODEL_RED_MAGNET];
    game->previewAngle = 0.0f;
    RenderFrame();
    const std::vector<ModelDraw> draws = Draws();

    std::vector<int> expected(16, CGame::MODEL_MAP);
    const int rest[] = {CGame::MODEL_TREE,         CGame::MODEL_TREE,         CGame::MODEL_RED_ROBOT,
                        CGame::MODEL_RED_ROBOT,    CGame::MODEL_RED_MAGNET,   CGame::MODEL_RED_LASER,
                        CGame::MODEL_BLUE_ROBOT,   CGame::MODEL_BLUE_MAGNET,  CGame::MODEL_BLUE_LASER,
                        CGame::MODEL_LASER_SHOT,   CGame::MODEL_RED_FACTORY,  CGame::MODEL_BLUE_FACTORY,
                        CGame::MODEL_MOVE_MAGNET0, CGame::MODEL_MOVE_MAGNET1, CGame::MODEL_RED_MAGNET};
    expected.insert(expected.end(), std::begin(rest), std::end(rest));
    std::vector<int> drawn;
    for (const ModelDraw& d : draws)
        drawn.push_back(d.model);
    ASSERT_EQ(drawn, expected);

    // Ground tiles row by row: tile (i, j) at (40 j, 40 i).
    ExpectAt(draws[1], 40, 0, 0, "second tile");
    ExpectAt(draws[4], 0, 40, 0, "first tile of the second row");
    ExpectAt(draws[15], 120, 120, 0, "last tile");
    ExpectHeading(draws[15], 0, "tiles are not turned");
    ExpectAt(draws[16], 7.5, 10, 0, "tree (3, 4)");
    ExpectAt(draws[18], 25, 50, 0, "red robot (10, 20)");
    ExpectHeading(draws[18], kPi / 2, "facing 2 is a quarter turn");
    ExpectAt(draws[19], 27.5, 52.5, 0, "a dead robot is still drawn");
    ExpectAt(draws[20], 85, 130, 0, "red magnet (34, 52)");
    ExpectAt(draws[21], 90, 130, 0, "red laser (36, 52)");
    ExpectHeading(draws[21], kPi / 2, "a laser at angle pi is turned by pi - pi/2");
    ExpectAt(draws[22], 75, 12.5, 0, "blue robot (30, 5)");
    ExpectHeading(draws[22], 7 * kPi / 4, "facing 7");
    ExpectAt(draws[24], 70, 25, 0, "blue laser (28, 10)");
    ExpectHeading(draws[24], -kPi / 2, "a laser at angle 0 is turned by -pi/2");
    ExpectAt(draws[25], 50, 60, 2, "shot: world units, 2 above the ground");
    ExpectHeading(draws[25], kPi / 2, "shot heading");
    ExpectAt(draws[26], 79, 145, 0, "red factory: one unit left of cell (32, 58)");
    ExpectAt(draws[27], 76.5, 12.5, 0, "blue factory (31, 5)");
    ExpectAt(draws[28], 12.5, 15, 0, "attracting move magnet (5, 6)");
    ExpectHeading(draws[28], 0, "attracting move magnets are not turned");
    ExpectAt(draws[29], 17.5, 20, 0, "pushing move magnet (7, 8)");
    ExpectHeading(draws[29], kPi / 2, "turned to its push direction");
    ExpectAt(draws[30], 100, 102.5, 0, "preview at cursor cell (40, 41)");
}

TEST_F(RenderTest, MapViewShowsTheFieldSquareAndQueuesTheHud)
{
    BuildScene();
    RenderFrame();
    // The projection is set before the view, then the models follow.
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].op, RecOp::SetTransform);
    EXPECT_EQ(calls[0].args[0], D3DTS_PROJECTION);
    EXPECT_EQ(calls[1].args[0], D3DTS_VIEW);

    // The 4 x 4 tiles of 40 units span world 0..160, which lands on pixels
    // 102.4..716.8 across and 76.8..691.2 down: the map square of the controls.
    const Point topLeft = Screen(0, 0, 0);
    const Point bottomRight = Screen(160, 160, 0);
    EXPECT_NEAR((topLeft.x + 1) * 512, 102.4, 1e-3);
    EXPECT_NEAR((1 - topLeft.y) * 384, 76.8, 1e-3);
    EXPECT_NEAR((bottomRight.x + 1) * 512, 716.8, 1e-3);
    EXPECT_NEAR((1 - bottomRight.y) * 384, 691.2, 1e-3);
    EXPECT_GE(topLeft.z, 0.0);
    EXPECT_LE(topLeft.z, 1.0);

    // Help, the energy icon, the energy 305 digit by digit, the panel last.
    ASSERT_EQ(gSprites.Count(), 6);
    auto expectSprite = [](int i, DXOverlay* image, int x, int y) {
        const Orvel::CDrawSprite& s = gSprites.Item(i);
        EXPECT_EQ(s.image, image) << "sprite " << i;
        EXPECT_EQ(s.x, x) << "sprite " << i;
        EXPECT_EQ(s.y, y) << "sprite " << i;
        EXPECT_FALSE(s.centred) << "sprite " << i;
    };
    expectSprite(0, game->helpText, 24, 532);
    expectSprite(1, game->energyIcon, 32, 32);
    expectSprite(2, gDigitImages[3], 140, 68);
    expectSprite(3, gDigitImages[0], 158, 68);
    expectSprite(4, gDigitImages[5], 179, 68);
    expectSprite(5, game->controlPanel, 768, 0);

    game->showHelp = false;
    game->energy[0] = 0;
    RenderFrame();
    ASSERT_EQ(gSprites.Count(), 3);
    expectSprite(0, game->energyIcon, 32, 32);
    expectSprite(1, gDigitImages[0], 140, 68);
    expectSprite(2, game->controlPanel, 768, 0);
}

TEST_F(RenderTest, WalkCameraLooksAlongItsYawAndFollowsTheMouse)
{
    ScriptedInput input;
    gMouseSensitivity = 200.0;
    game->viewMode = 0;
    game->cameraPos = Orvel::CVector(80, 180, 15);
    RenderFrame();
    for (int i = 0; i < gSprites.Count(); ++i)
        EXPECT_NE(gSprites.Item(i).image, game->controlPanel) << "no control panel in the walk view";

    // From the start the camera looks along -y: a point 10 ahead at eye
    // height is in the middle of the screen, one to the east is right of it,
    // one above is higher.
    const Point ahead = Screen(80, 170, 15);
    EXPECT_NEAR(ahead.x, 0, 1e-6);
    EXPECT_NEAR(ahead.y, 0, 1e-6);
    EXPECT_GT(ahead.w, 0) << "in front of the camera";
    EXPECT_GT(ahead.z, 0);
    EXPECT_LT(ahead.z, 1);
    EXPECT_GT(Screen(81, 170, 15).x, 0);
    EXPECT_GT(Screen(80, 170, 16).y, 0);
    EXPECT_LT(Screen(80, 190, 15).w, 0) << "what lies behind is behind";

    // W walks towards the middle of the screen, D to its right.
    input.Hold('W', true);
    input.Hold('D', true);
    input.Poll(0, 0);
    game->UpdatePlayerInput();
    input.Hold('W', false);
    input.Hold('D', false);
    EXPECT_NEAR(game->cameraPos.x, 81, 1e-9);
    EXPECT_NEAR(game->cameraPos.y, 179, 1e-9);

    // Moving the mouse right turns the view right: what was ahead moves left.
    input.Poll(35, 0);
    game->UpdatePlayerInput();
    RenderFrame();
    EXPECT_LT(Screen(81, 169, 15).x, 0);
    // Moving it down looks down: what was ahead moves up the screen.
    input.Poll(-35, 35);
    game->UpdatePlayerInput();
    RenderFrame();
    EXPECT_NEAR(Screen(81, 169, 15).x, 0, 1e-6);
    EXPECT_GT(Screen(81, 169, 15).y, 0);
}

TEST_F(RenderTest, PreviewNeedsAToolAndACellAndStaysInTheWalkView)
{
    BuildScene();
    game->previewModel = game->models[CGame::MODEL_MOVE_MAGNET1];
    game->previewAngle = 1.5707964f;
    game->cursorX = 2;
    game->cursorY = 3;

    game->tool = 0;
    RenderFrame();
    EXPECT_EQ(Draws().back().model, CGame::MODEL_MOVE_MAGNET1) << "the last is red's pushing move magnet";
    const size_t withoutPreview = Draws().size();

    game->tool = 10;
    RenderFrame();
    ASSERT_EQ(Draws().size(), withoutPreview + 1);
    ExpectAt(Draws().back(), 5, 7.5, 0, "preview");
    ExpectHeading(Draws().back(), kPi / 2, "preview turned by its angle");

    game->viewMode = 0;
    RenderFrame();
    ASSERT_EQ(Draws().size(), withoutPreview + 1);
    ExpectAt(Draws().back(), 5, 7.5, 0, "preview in the walk view");

    game->cursorX = -1;
    RenderFrame();
    EXPECT_EQ(Draws().size(), withoutPreview);
}

TEST_F(RenderTest, EndPicturesAreDrawnAloneWithoutTouchingTheDevice)
{
    BuildScene();
    game->tool = 1;
    game->cursorX = 5;
    game->previewModel = game->models[CGame::MODEL_RED_MAGNET];
    for (int state : {1, 2}) {
        game->state = state;
        for (int view : {0, 1}) {
            game->viewMode = view;
            RenderFrame();
            EXPECT_TRUE(calls.empty()) << "state " << state << ": no transform, no model";
            ASSERT_EQ(gSprites.Count(), 1);
            const Orvel::CDrawSprite& s = gSprites.Item(0);
            EXPECT_EQ(s.image, state == 1 ? game->loseScreen : game->winScreen);
            EXPECT_EQ(s.x, 0);
            EXPECT_EQ(s.y, 0);
            EXPECT_FALSE(s.centred);
        }
    }
}

} // namespace

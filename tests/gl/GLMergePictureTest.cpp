// Merging repeated models into instanced draws changes what the player sees
// only where two faces lie at exactly the same depth: the real frame of the
// game (start-up, loading and DrawFrame of the shell run offscreen), at the
// opening and at the worst case, in both views, drawn with merging on and
// off, differs in at most 0.1 % of its pixels. Reads the generated Data
// folder of the build.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameTick.h"
#include "engine/DXDevice.h"
#include "game/CGame.h"
#include "platform/gl/GLProvider.h"
#include "tlib/TRandom.h"
#include "tools/shot/HeadlessApp.h"
#include "tools/shot/Scenes.h"

namespace {

std::vector<uint32_t> Frame(bool merging)
{
    IDirect3DDevice9* device = gDevice->Device();
    EXPECT_EQ(OrvelGL::SetMerging(device, merging), D3D_OK);
    DrawFrame();
    std::vector<uint32_t> pixels;
    UINT width = 0, height = 0;
    EXPECT_EQ(OrvelGL::ReadBackBuffer(device, pixels, width, height), D3D_OK);
    EXPECT_EQ(pixels.size(), size_t(width) * height);
    return pixels;
}

} // namespace

TEST(GLMergePictureTest, MergedFramesDifferFromUnmergedOnesInAtMostATenthOfAPercentOfPixels)
{
    const char* binary = std::getenv("TAVRIN_BINARY_DIR"); // the build folder, with Data
    ASSERT_NE(binary, nullptr) << "run through ctest";
    ASSERT_EQ(chdir(binary), 0);
    OrvelGL::GLProvider provider(OrvelGL::GLContextMode::Headless);
    if (!provider.LoadLibrary())
        GTEST_SKIP() << "no EGL surfaceless display on this machine";
    std::unique_ptr<HeadlessApp> app(new HeadlessApp(provider));
    ASSERT_TRUE(app->FinishLoading());

    const struct {
        const char* scene;
        bool worst;
        CGame::ViewMode view;
    } cases[] = {{"opening", false, CGame::VIEW_MAP},
                 {"opening", false, CGame::VIEW_WALK},
                 {"worst case", true, CGame::VIEW_MAP},
                 {"worst case", true, CGame::VIEW_WALK}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scene << (c.view == CGame::VIEW_MAP ? ", map view" : ", walk view"));
        if (c.worst) {
            BuildWorstCaseScene(*gGame);
        } else {
            tlib::SeedRandom(1);
            gGame->NewGame();
        }
        gGame->viewMode = c.view;
        Frame(true); // lays out the models' faces
        OrvelGL::SDrawCounts before{};
        ASSERT_EQ(OrvelGL::ReadDrawCounts(gDevice->Device(), before), D3D_OK);
        const std::vector<uint32_t> merged = Frame(true);
        OrvelGL::SDrawCounts after{};
        ASSERT_EQ(OrvelGL::ReadDrawCounts(gDevice->Device(), after), D3D_OK);
        const std::vector<uint32_t> unmerged = Frame(false);
        ASSERT_EQ(merged.size(), unmerged.size());

        // The merged frame did merge: more instances than instanced runs.
        const uint64_t runs = after.instancedRuns - before.instancedRuns;
        const uint64_t instances = after.instances - before.instances;
        EXPECT_GT(instances, 2 * runs) << runs << " instanced runs of " << instances << " instances";
        size_t differing = 0, sky = 0;
        for (size_t i = 0; i < merged.size(); ++i) {
            differing += merged[i] != unmerged[i];
            sky += unmerged[i] == 0xFF3668D8u;
        }
        EXPECT_LE(differing * 1000, merged.size()) << differing << " pixels differ";
        EXPECT_LT(sky * 4, merged.size() * 3) << "the frame shows little but the clear colour";
    }
}

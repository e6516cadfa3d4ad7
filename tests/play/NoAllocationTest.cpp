// Play settles into a steady state without allocation: after the first
// frames, ticks and frames of the real shell (UpdateFrame, Update, DrawFrame
// with Render and the overlay pass) on the recording device allocate
// nothing, in both views, with the busiest scene the rules allow, while the
// player uses the panel and builds.

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <utility>

#include "app/AppGlobals.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "input/DXInput.h"
#include "input/KeyState.h"
#include "platform/recording/RecordingProvider.h"
#include "tools/shot/HeadlessApp.h"
#include "tools/shot/HeadlessMouse.h"
#include "tools/shot/Scenes.h"

namespace {

std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

void* Allocate(std::size_t size)
{
    if (gCounting.load(std::memory_order_relaxed))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}

// Keys for the shell: tapped or held by the test.
struct Keys : IKeySource {
    bool down[256] = {}, tapped[256] = {};
    bool IsKeyDown(int vk) override { return down[vk & 255]; }
    bool TakeKeyPressed(int vk) override { return std::exchange(tapped[vk & 255], false); }
};

} // namespace

// The other forms of new and delete (arrays, nothrow) go through these.
void* operator new(std::size_t size)
{
    return Allocate(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

TEST(NoAllocation, TicksAndFramesAllocateNothingAfterTheFirstFrames)
{
    const char* binary = std::getenv("TAVRIN_BINARY_DIR"); // the build folder, with the Data folder
    ASSERT_NE(binary, nullptr) << "run through ctest, after the tavrin-data target";
    ASSERT_EQ(chdir(binary), 0) << binary;
    Keys keys;
    SetKeySource(&keys);
    RecordingProvider provider;
    HeadlessApp app(provider);
    ASSERT_TRUE(app.FinishLoading());
    BuildWorstCaseScene(*gGame);
    provider.SetRecording(false);
    const int robots = gGame->robotCount[0] + gGame->robotCount[1];
    ASSERT_EQ(robots, 2 * CGame::kRobotLimit);
    for (int i = 0; i < 3; ++i) // the first frames may grow the sprite list
        app.Tick();

    gCounting = true;
    // Map view: over, pressed, let go on the magnet tool, the field and the
    // robots button, then hovering; from tick 100 on the walk view: Space,
    // walk with W, F1, turn.
    const int clicks[3][2] = {{895, 67}, {400, 400}, {818, 67}};
    for (const auto& c : clicks)
        for (bool left : {false, true, false}) {
            app.Mouse().SetNext(c[0] - gInput->CursorX(), c[1] - gInput->CursorY(), left, false);
            app.Tick();
        }
    for (int i = 0; i < 200; ++i) {
        if (i == 100)
            keys.tapped[VK_SPACE] = keys.tapped[VK_F1] = keys.down['W'] = true;
        app.Mouse().SetNext(i < 100 ? 1 : 3, i < 100 ? 1 : -1, false, false);
        app.Tick();
    }
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0) << "allocations during 209 ticks of play";
    EXPECT_EQ(gGame->viewMode, CGame::VIEW_WALK) << "the walk view was exercised";
    EXPECT_EQ(gGame->state, CGame::STATE_PLAYING) << "the game was still being played";
    EXPECT_GT(provider.Log().Count("DrawPrimitive"), 209 * robots) << "every robot was drawn in every frame";

    // The count is real: a frame recorded call by call does allocate.
    provider.SetRecording(true);
    gCounting = true;
    app.Tick();
    gCounting = false;
    EXPECT_GT(gAllocations.load(), 0);
    SetKeySource(nullptr);
}

// The pace of the world and the windowed size: what each timer tick runs at
// every speed, the ends of the speed steps, the two causes of a pause, and
// the window's size on screens of every shape.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CGamePace.h"
#include "app/CPlayerComforts.h"
#include "game/CGame.h"

namespace {

// The world ticks of the next n timer ticks, -1 for a tick that refuses
// actions (paused).
std::vector<int> Steps(CGamePace& pace, int n)
{
    std::vector<int> steps;
    for (int i = 0; i < n; ++i) {
        const CGamePace::SStep step = pace.Next();
        EXPECT_EQ(step.acceptActions, !pace.Paused());
        steps.push_back(step.acceptActions ? step.worldTicks : -1);
    }
    return steps;
}

} // namespace

TEST(GamePaceTest, EachSpeedRunsItsWorldTicksPerTimerTickAndThePauseRunsNone)
{
    // From 1x: the number of + (positive) or - presses, then six ticks.
    const struct {
        int presses;
        std::vector<int> steps;
        int speed;
    } rows[] = {
        {0, {1, 1, 1, 1, 1, 1}, 2},
        {-1, {0, 1, 0, 1, 0, 1}, 1}, // half speed: every second tick, actions every tick
        {1, {2, 2, 2, 2, 2, 2}, 4},
        {2, {4, 4, 4, 4, 4, 4}, 8},
        {3, {4, 4, 4, 4, 4, 4}, 8},  // 4x is the fastest
        {-3, {0, 1, 0, 1, 0, 1}, 1}, // 1/2x the slowest
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.presses);
        CGamePace pace;
        for (int i = 0; i < row.presses; ++i)
            EXPECT_EQ(pace.Faster(), i < 2) << "a step past the end changes nothing";
        for (int i = 0; i > row.presses; --i)
            EXPECT_EQ(pace.Slower(), i == 0);
        EXPECT_EQ(Steps(pace, 6), row.steps);
        EXPECT_EQ(pace.Speed(), row.speed);
        EXPECT_EQ(pace.AtNormalSpeed(), row.speed == 2);
    }

    // The half-speed phase starts afresh at each change of speed and goes
    // on across a pause; a pause keeps the speed.
    CGamePace pace;
    pace.Slower();
    EXPECT_EQ(Steps(pace, 3), (std::vector<int>{0, 1, 0}));
    pace.TogglePause();
    EXPECT_EQ(Steps(pace, 2), (std::vector<int>{-1, -1}));
    pace.TogglePause();
    EXPECT_EQ(Steps(pace, 2), (std::vector<int>{1, 0}));
    pace.Faster();
    pace.Slower();
    EXPECT_EQ(Steps(pace, 2), (std::vector<int>{0, 1}));
    pace.Reset();
    EXPECT_TRUE(pace.AtNormalSpeed());
    EXPECT_FALSE(pace.Paused());

    // The replay viewer's speeds, up to 8x: the most a timer tick can run.
    const int viewer[] = {1, 2, 4, 8, 2 * CGame::kMaxWorldTicks};
    CGamePace fast(viewer, 5, 1);
    while (fast.Faster()) {
    }
    EXPECT_EQ(Steps(fast, 2), (std::vector<int>{CGame::kMaxWorldTicks, CGame::kMaxWorldTicks}));
}

TEST(GamePaceTest, AFocusPauseEndsWithTheFocusAndThePlayersPauseOnlyByThePlayer)
{
    // Events in order, and whether the game is paused after each:
    // 'P' the player's key, 'L' focus lost, 'G' focus gained.
    const struct {
        const char* events;
        const char* paused;
    } rows[] = {
        {"LG", "10"},
        {"PLG", "111"},   // the player's pause outlasts the focus
        {"LPG", "100"},   // P during a focus pause ends it
        {"LPPG", "1011"}, // then P pauses for the player: the focus does not end it
        {"LLGG", "1100"},
        {"GPL", "011"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.events);
        CGamePace pace;
        std::string paused;
        for (const char* e = row.events; *e != 0; ++e) {
            if (*e == 'P')
                pace.TogglePause();
            else if (*e == 'L')
                pace.PauseForFocusLoss();
            else
                pace.ResumeAfterFocusLoss();
            paused += pace.Paused() ? '1' : '0';
        }
        EXPECT_EQ(paused, row.paused);
    }
}

TEST(WindowedSizeTest, TheBackBuffersSizeWhereItFitsElseItsShapeWithinNineTenthsOfTheScreen)
{
    const struct {
        int screenW, screenH, bufferW, bufferH, width, height;
    } rows[] = {
        {1920, 1080, 1024, 768, 1024, 768},
        {1280, 1024, 1024, 768, 1024, 768},
        {1024, 768, 1024, 768, 921, 690},   // the buffer fills the screen: 9/10 of it
        {800, 600, 1024, 768, 720, 540},
        {3840, 2160, 4000, 3000, 2592, 1944}, // limited by the height
        {1000, 3000, 1024, 768, 900, 675},    // a tall screen: limited by the width
        {0, 0, 1024, 768, 1024, 768},         // the screen is not known
        {1280, 1024, 640, 480, 640, 480},
        {10, 10, 4096, 16, 9, 1},             // never below one pixel
    };
    for (const auto& r : rows) {
        int width = 0, height = 0;
        CPlayerComforts::WindowedSize(r.screenW, r.screenH, r.bufferW, r.bufferH, &width, &height);
        EXPECT_EQ(width, r.width) << r.screenW << "x" << r.screenH << " " << r.bufferW << "x" << r.bufferH;
        EXPECT_EQ(height, r.height) << r.screenW << "x" << r.screenH << " " << r.bufferW << "x" << r.bufferH;
    }
}

// A game played by hand through the mouse and the map-view controls, and its
// replay from a script (same seed, same actions on the same ticks), are the
// same game tick for tick.

#include <gtest/gtest.h>

#include <vector>

#include "GameFixture.h"
#include "game/CReplayScript.h"
#include "tests/play/ScriptedInput.h"
#include "tlib/TRandom.h"

namespace {

struct SMouse {
    int x;
    int y;
    bool left;
};

// The first screen pixel of map cell c.
int PixelX(int c)
{
    return 102 + (c * 615 + 63) / 64;
}
int PixelY(int c)
{
    return 78 + (c * 615 + 63) / 64;
}
SMouse Cell(int x, int y, bool left)
{
    return {PixelX(x), PixelY(y), left};
}
SMouse Pad(int type, bool left)
{
    return {797 + 75 * (type % 3) + 24, 169 + 59 * (type / 3) + 24, left};
}

const SMouse kMagnetButton = {895, 67, false};
const SMouse kLaserButton = {970, 67, false};
const SMouse kRobotsButton = {820, 67, false};
const SMouse kEraserButton = {820, 369, false};
const SMouse kClearButton = {895, 369, false};

SMouse Press(SMouse m)
{
    m.left = true;
    return m;
}

} // namespace

TEST(HandAndReplay, TheSameActionsGiveTheSameGame)
{
    // Ticks 1, 2, 3, ...: where the mouse is and whether the left button is down.
    const std::vector<SMouse> hand = {
        kMagnetButton, Press(kMagnetButton),                    // 1-2: magnet tool
        Cell(30, 53, false), Cell(30, 53, true),                // 3-4: build
        Cell(30, 53, false), kLaserButton, Press(kLaserButton), // 5-7: laser tool
        Cell(35, 54, false), Cell(35, 54, true),                // 8-9: build
        Pad(4, false), Pad(4, true),                            // 10-11: attracting
        Cell(20, 40, false), Cell(20, 40, true),                // 12-13
        Cell(21, 40, false), Cell(21, 40, true),                // 14-15
        Pad(2, false), Pad(2, true),                            // 16-17: pushing up-right
        Cell(40, 45, false), Cell(40, 45, true),                // 18-19
        kEraserButton, Press(kEraserButton),                    // 20-21: eraser
        Cell(20, 40, false), Cell(20, 40, true), Cell(21, 40, true), // 22-24: erase, dragging
        kRobotsButton, Press(kRobotsButton), kRobotsButton,     // 25-27: robots
        kClearButton, Press(kClearButton),                      // 28-29: clear
    };
    CReplayScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("4 magnet 30 53\n9 laser 35 54\n13 move 20 40 4\n15 move 21 40 4\n"
                             "19 move 40 45 2\n23 erase 20 40\n24 erase 21 40\n26 robots\n29 clear\n",
                             "replay.txt", error))
        << error;

    // The hand-played game first, then its replay from the same seed.
    std::vector<uint64_t> digests;
    int builtByHand = 0;
    {
        ScriptedInput input;
        tlib::SeedRandom(21);
        std::unique_ptr<CGame> game(new CGame());
        game->NewGame();
        for (int tick = 1; tick <= 3000 && game->state == 0; ++tick) {
            const SMouse m = tick <= static_cast<int>(hand.size()) ? hand[tick - 1] : SMouse{0, 0, false};
            input.PollAt(m.x, m.y, m.left);
            game->Update();
            digests.push_back(Digest(*game));
            if (tick == 19) {
                EXPECT_EQ(game->moveMagnetCount[0], 3);
            }
            if (tick == 23) {
                EXPECT_EQ(game->moveMagnetCount[0], 2);
            }
            if (tick == 29) {
                builtByHand = game->magnetCount[0] + game->laserCount[0];
                EXPECT_EQ(game->moveMagnetCount[0], 0);
            }
        }
    }
    tlib::SeedRandom(21);
    std::unique_ptr<CGame> replayed(new CGame());
    replayed->NewGame();
    replayed->playerActions = &script;
    for (size_t tick = 0; tick < digests.size(); ++tick) {
        replayed->Update();
        ASSERT_EQ(Digest(*replayed), digests[tick]) << "tick " << tick + 1;
    }
    EXPECT_NE(replayed->state == 0, digests.size() < 3000);
    EXPECT_EQ(builtByHand, 2);
}

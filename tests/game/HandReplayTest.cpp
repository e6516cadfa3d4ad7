// A game played by hand through the mouse and the map-view controls, and its
// replay from a script (same seed, same actions on the same ticks), are the
// same game tick for tick.

#include <gtest/gtest.h>

#include <vector>

#include "GameFixture.h"
#include "game/CReplayScript.h"
#include "tests/play/ScriptedInput.h"

namespace {

struct SMouse {
    int x;
    int y;
    bool left;
};

// The mouse on the first screen pixel of map cell (x, y), or on a move-magnet pad.
SMouse Cell(int x, int y)
{
    return {102 + (x * 615 + 63) / 64, 78 + (y * 615 + 63) / 64, false};
}

SMouse Pad(int type)
{
    return {797 + 75 * (type % 3) + 24, 169 + 59 * (type / 3) + 24, false};
}

} // namespace

TEST(HandAndReplay, TheSameActionsGiveTheSameGame)
{
    // Ticks 1, 2, 3, ...: where the mouse is and whether the left button is
    // down. A click takes two ticks: over the place, then pressed there.
    std::vector<SMouse> hand;
    auto click = [&hand](SMouse m, bool release = true) {
        if (release)
            hand.push_back(m);
        m.left = true;
        hand.push_back(m);
    };
    click({895, 67, false});      // 1-2: magnet tool
    click(Cell(30, 53));          // 3-4: build
    click({970, 67, false});      // 5-6: laser tool
    click(Cell(35, 54));          // 7-8: build
    click(Pad(4));                // 9-10: attracting
    click(Cell(20, 40));          // 11-12
    click(Cell(21, 40));          // 13-14
    click(Pad(2));                // 15-16: pushing up-right
    click(Cell(40, 45));          // 17-18
    click({820, 369, false});     // 19-20: eraser
    click(Cell(20, 40));          // 21-22
    click(Cell(21, 40), false);   // 23: erase, dragging
    click({820, 67, false});      // 24-25: robots
    click({895, 369, false});     // 26-27: clear
    CReplayScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("4 magnet 30 53\n8 laser 35 54\n12 move 20 40 4\n14 move 21 40 4\n"
                             "18 move 40 45 2\n22 erase 20 40\n23 erase 21 40\n25 robots\n27 clear\n",
                             "replay.txt", error))
        << error;

    // The hand-played game first, then its replay from the same seed.
    std::vector<uint64_t> digests;
    {
        ScriptedInput input;
        const auto game = MakeNewGame(21, nullptr);
        for (size_t tick = 1; tick <= 3000 && game->state == 0; ++tick) {
            const SMouse m = tick <= hand.size() ? hand[tick - 1] : SMouse{0, 0, false};
            input.PollAt(m.x, m.y, m.left);
            game->Update();
            digests.push_back(Digest(*game));
            EXPECT_TRUE(tick != 18 || game->moveMagnetCount[0] == 3);
            EXPECT_TRUE(tick != 22 || game->moveMagnetCount[0] == 2);
            EXPECT_TRUE(tick != 27 || (game->magnetCount[0] + game->laserCount[0] == 2 && game->moveMagnetCount[0] == 0));
        }
    }
    const auto replayed = MakeNewGame(21, &script);
    for (size_t tick = 0; tick < digests.size(); ++tick) {
        replayed->Update();
        ASSERT_EQ(Digest(*replayed), digests[tick]) << "tick " << tick + 1;
    }
    EXPECT_NE(replayed->state == 0, digests.size() < 3000);
}

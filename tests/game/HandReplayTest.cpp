// A game played by hand through the mouse and the map-view controls, and its
// replay from a script (same seed, same actions on the same ticks), are the
// same game tick for tick.

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "GameFixture.h"
#include "game/CReplayScript.h"
#include "tests/play/ScriptedInput.h"

TEST(HandAndReplay, TheSameActionsGiveTheSameGame)
{
    // Ticks 1, 2, 3, ...: the mouse's screen position and whether the left
    // button is down. A click takes two ticks: over the place, then pressed.
    std::vector<std::array<int, 3>> hand;
    auto click = [&hand](int x, int y) {
        hand.push_back({x, y, 0});
        hand.push_back({x, y, 1});
    };
    auto cell = [&click](int x, int y) { click(102 + (x * 615 + 63) / 64, 78 + (y * 615 + 63) / 64); };
    auto pad = [&click](int type) { click(797 + 75 * (type % 3) + 24, 169 + 59 * (type / 3) + 24); };
    click(895, 67);   // 1-2: magnet tool
    cell(30, 53);     // 3-4: build
    click(970, 67);   // 5-6: laser tool
    cell(35, 54);     // 7-8: build
    pad(4);           // 9-10: attracting
    cell(20, 40);     // 11-12
    pad(2);           // 13-14: pushing up-right
    cell(40, 45);     // 15-16
    cell(41, 45);     // 17-18
    click(820, 369);  // 19-20: eraser
    cell(40, 45);     // 21-22
    click(820, 67);   // 23-24: robots
    click(895, 369);  // 25-26: clear
    CReplayScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("4 magnet 30 53\n8 laser 35 54\n12 move 20 40 4\n16 move 40 45 2\n18 move 41 45 2\n"
                             "22 erase 40 45\n24 robots\n26 clear\n",
                             "replay.txt", error))
        << error;

    // The hand-played game first, then its replay from the same seed.
    std::vector<uint64_t> digests;
    {
        ScriptedInput input;
        const auto game = MakeNewGame(21, nullptr);
        for (size_t tick = 1; tick <= 3000 && game->state == 0; ++tick) {
            const std::array<int, 3> m = tick <= hand.size() ? hand[tick - 1] : std::array<int, 3>{0, 0, 0};
            input.PollAt(m[0], m[1], m[2] != 0);
            game->Update();
            digests.push_back(Digest(*game));
            EXPECT_TRUE(tick != 22 || (game->moveMagnetCount[0] == 2 && game->moveMagnets[0][1].x == 41));
            EXPECT_TRUE(tick != 26 || (game->magnetCount[0] + game->laserCount[0] == 2 && game->moveMagnetCount[0] == 0));
        }
    }
    const auto replayed = MakeNewGame(21, &script);
    for (size_t tick = 0; tick < digests.size(); ++tick) {
        replayed->Update();
        ASSERT_EQ(Digest(*replayed), digests[tick]) << "tick " << tick + 1;
    }
    EXPECT_NE(replayed->state == 0, digests.size() < 3000);
}

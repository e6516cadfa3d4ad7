// Replay scripts: rejection of malformed scripts, and a scripted game.

#include <gtest/gtest.h>

#include <tuple>

#include "GameFixture.h"
#include "game/CReplayScript.h"

TEST(ReplayScript, RejectsMalformedLinesNamingFileAndLine)
{
    const char* const cases[][2] = {
        {"1 robots\n2 build 3 4\n", "s.txt:2: unknown action 'build'"},
        {"\n\n1 magnet 3\n", "s.txt:3: missing field for 'magnet'"},
        {"1 magnet 1 2+\n", "s.txt:1: field '2+' is not a number"},
        {"1 laser 64 0\n", "s.txt:1: cell coordinate 64 is outside 0..63"},
        {"1 erase 0 -1\n", "s.txt:1: cell coordinate -1 is outside 0..63"},
        {"1 move 1 1 9\n", "s.txt:1: move-magnet type 9 is outside 0..8"},
        {"5 robots\n4 robots\n", "s.txt:2: tick 4 comes after tick 5"},
        {"99999999999999999999 robots\n", "s.txt:1: tick 99999999999999999999 is outside 1..2147483647"},
        {"3\n", "s.txt:1: missing action after the tick"},
        {"3 clear now\n", "s.txt:1: unexpected field 'now'"},
    };
    for (const auto& c : cases) {
        CReplayScript script;
        std::string error;
        EXPECT_FALSE(script.Parse(c[0], "s.txt", error)) << c[0];
        EXPECT_TRUE(script.Actions().empty()) << c[0];
        EXPECT_EQ(error, c[1]);
    }
    CReplayScript script;
    std::string error;
    EXPECT_FALSE(script.LoadFile("/nonexistent/red.txt", error));
    EXPECT_EQ(error.rfind("/nonexistent/red.txt: ", 0), 0u) << error;
}

// Red builds near its base, lays and erases move magnets; blue's lasers
// answer by shooting red's magnets.
TEST(ReplayScript, AScriptedGameBuildsPaysAndLosesMagnetsToShots)
{
    CReplayScript script;
    std::string error;
    // Refused on tick 3: a magnet far from red's structures, a laser on the
    // first magnet; on tick 5, a second move magnet on one cell.
    ASSERT_TRUE(script.Parse("# opening\n\n 1\tmagnet 34 52  # near the base\r\n2 laser 30 54\n3 magnet 10 10\n"
                             "3 laser 34 52\n4 magnet 32 48\n5 move 30 40 4\n5 move 31 40 2\n5 move 31 40 6\n"
                             "6 erase 30 40\n7 move 20 45 0\n8 clear\n9 move 40 44 7\n10 robots\n",
                             "game.txt", error))
        << error;
    const auto game = MakeNewGame(4, &script);
    const int start = game->energy[0];
    const int spent[] = {3, 10, 10, 13, 13};
    // Once red only watches, every red magnet that disappears was hit by a
    // shot in the tick before.
    int destroyedByShots = 0;
    for (int tick = 1; tick <= 6000 && game->state == CGame::STATE_PLAYING; ++tick) {
        int flagged = 0;
        for (int i = 0; i < game->magnetCount[0]; ++i)
            flagged += game->magnets[0][i].destroyed;
        const int before = game->magnetCount[0];
        Play(*game, 1);
        SCOPED_TRACE(testing::Message() << "tick " << tick);
        if (tick <= 5) {
            EXPECT_EQ(game->energy[0], start - spent[tick - 1]);
        }
        if (tick == 6) {
            ASSERT_EQ(game->moveMagnetCount[0], 1);
            EXPECT_EQ(game->moveMagnets[0][0].x, 31);
        }
        if (tick == 10) {
            // Magnets, lasers and move magnets of red; the move magnet's kind and x.
            EXPECT_EQ(std::make_tuple(game->magnetCount[0], game->laserCount[0], game->moveMagnetCount[0]),
                      std::make_tuple(2, 1, 1));
            EXPECT_EQ(std::make_tuple(game->moveMagnets[0][0].kind, game->moveMagnets[0][0].x), std::make_tuple(1, 40));
        }
        if (tick > 10) {
            EXPECT_EQ(before - game->magnetCount[0], flagged) << "red magnets gone against magnets hit";
        }
        destroyedByShots += flagged;
        ASSERT_EQ(GridProblem(*game), "");
    }
    EXPECT_EQ(destroyedByShots, 2);
    EXPECT_EQ(game->magnetCount[0], 0);
}

// Replay scripts: parsing and rejection, and a scripted game.

#include <gtest/gtest.h>

#include "GameFixture.h"
#include "game/CReplayScript.h"
#include "tlib/TRandom.h"

namespace {

std::string ParseError(const std::string& text)
{
    CReplayScript script;
    std::string error;
    EXPECT_FALSE(script.Parse(text, "s.txt", error)) << text;
    EXPECT_TRUE(script.Actions().empty());
    return error;
}

} // namespace

TEST(ReplayScript, ParsesActionsCommentsAndBlankLines)
{
    CReplayScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("# opening\n\n1 robots\n 1\tmagnet 34 52  # near the base\r\n"
                             "5 laser 30 54\n5 move 0 63 8\n7 erase 0 63\n9 clear",
                             "s.txt", error))
        << error;
    const auto& a = script.Actions();
    ASSERT_EQ(a.size(), 6u);
    EXPECT_EQ(a[0].type, CReplayScript::ACTION_ROBOTS);
    EXPECT_EQ(a[1].type, CReplayScript::ACTION_MAGNET);
    EXPECT_EQ(a[1].x, 34);
    EXPECT_EQ(a[1].y, 52);
    EXPECT_EQ(a[3].type, CReplayScript::ACTION_MOVE);
    EXPECT_EQ(a[3].moveType, 8);
    EXPECT_EQ(a[3].y, 63);
    EXPECT_EQ(a[5].tick, 9);
    EXPECT_EQ(a[5].type, CReplayScript::ACTION_CLEAR);
}

TEST(ReplayScript, RejectsMalformedLinesNamingFileAndLine)
{
    EXPECT_EQ(ParseError("1 robots\n2 build 3 4\n"), "s.txt:2: unknown action 'build'");
    EXPECT_EQ(ParseError("\n\n1 magnet 3\n"), "s.txt:3: missing field for 'magnet'");
    EXPECT_EQ(ParseError("1 magnet 3 x\n"), "s.txt:1: field 'x' is not a number");
    EXPECT_EQ(ParseError("1 laser 64 0\n"), "s.txt:1: cell coordinate 64 is outside 0..63");
    EXPECT_EQ(ParseError("1 erase 0 -1\n"), "s.txt:1: cell coordinate -1 is outside 0..63");
    EXPECT_EQ(ParseError("1 move 1 1 9\n"), "s.txt:1: move-magnet type 9 is outside 0..8");
    EXPECT_EQ(ParseError("5 robots\n4 robots\n"), "s.txt:2: tick 4 comes after tick 5");
    EXPECT_EQ(ParseError("a robots\n"), "s.txt:1: tick 'a' is not a number");
    EXPECT_EQ(ParseError("0 robots\n"), "s.txt:1: tick 0 is outside 1..2147483647");
    EXPECT_EQ(ParseError("99999999999999999999 robots\n"),
              "s.txt:1: tick 99999999999999999999 is outside 1..2147483647");
    EXPECT_EQ(ParseError("3\n"), "s.txt:1: missing action after the tick");
    EXPECT_EQ(ParseError("3 clear now\n"), "s.txt:1: unexpected field 'now'");
    EXPECT_EQ(ParseError("3 magnet 1 2 3\n"), "s.txt:1: unexpected field '3'");
    EXPECT_EQ(ParseError("1 magnet 1 2+\n"), "s.txt:1: field '2+' is not a number");
}

TEST(ReplayScript, AMissingFileIsAnError)
{
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
    ASSERT_TRUE(script.Parse("1 magnet 34 52\n"
                             "2 laser 30 54\n"
                             "3 magnet 10 10\n"  // far from red's structures: refused
                             "3 laser 34 52\n"   // occupied: refused
                             "4 magnet 32 48\n"  // near the first magnet
                             "5 move 30 40 4\n5 move 31 40 2\n5 move 31 40 6\n"
                             "6 erase 30 40\n"
                             "7 move 20 45 0\n8 clear\n9 move 40 44 7\n"
                             "10 robots\n",
                             "game.txt", error))
        << error;
    tlib::SeedRandom(4);
    std::unique_ptr<CGame> game(new CGame());
    game->NewGame();
    game->playerActions = &script;
    const int start = game->energy[0];
    const int expected[] = {start - 3, start - 10, start - 10, start - 13, start - 13};
    for (int tick = 0; tick < 5; ++tick) {
        game->Update();
        EXPECT_EQ(game->energy[0], expected[tick]) << "tick " << tick + 1;
    }
    EXPECT_EQ(game->magnetCount[0], 2);
    EXPECT_EQ(game->laserCount[0], 1);
    EXPECT_EQ(game->moveMagnetCount[0], 2);
    EXPECT_EQ(game->moveMagnets[0][1].kind, 1);
    game->Update();
    ASSERT_EQ(game->moveMagnetCount[0], 1);
    EXPECT_EQ(game->moveMagnets[0][0].x, 31);
    for (int tick = 7; tick <= 10; ++tick)
        game->Update();
    ASSERT_EQ(game->moveMagnetCount[0], 1);
    EXPECT_EQ(game->moveMagnets[0][0].kind, 1);
    EXPECT_EQ(game->moveMagnets[0][0].x, 40);
    EXPECT_EQ(script.TicksPlayed(), 10);

    // From here on red only watches: every red magnet that disappears was
    // hit by a shot in the tick before.
    int destroyedByShots = 0;
    for (int tick = 11; tick <= 6000 && game->state == 0; ++tick) {
        int flagged = 0;
        for (int i = 0; i < game->magnetCount[0]; ++i)
            flagged += game->magnets[0][i].destroyed;
        const int before = game->magnetCount[0];
        game->Update();
        EXPECT_EQ(before - game->magnetCount[0], flagged) << "tick " << tick;
        destroyedByShots += flagged;
        ASSERT_EQ(GridProblem(*game), "");
    }
    EXPECT_EQ(destroyedByShots, 2);
    EXPECT_EQ(game->magnetCount[0], 0);
}

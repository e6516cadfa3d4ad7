// The occupancy grid under removal from the entity lists, the end test and
// determinism.

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "GameFixture.h"
#include "tlib/TRandom.h"

namespace {

// Every list of a world, each entry named by its x (distinct within a list),
// and every laser's and shot's target named by its magnet's x: -1 for none,
// -2 for a pointer that is not a live blue magnet.
struct SWorldIds {
    std::vector<int> robots, magnets, lasers, trees, shots, laserTargets, shotTargets;
};

template <class T>
std::vector<int> Ids(const T* list, int count)
{
    std::vector<int> ids;
    for (int i = 0; i < count; ++i) {
        if constexpr (std::is_same<T, CLaserShot>::value)
            ids.push_back(list[i].curX);
        else
            ids.push_back(list[i].x);
    }
    return ids;
}

int TargetId(const CGame& game, const CMagnet* target)
{
    if (target == nullptr)
        return -1;
    for (int i = 0; i < game.magnetCount[1]; ++i)
        if (target == &game.magnets[1][i])
            return target->x;
    return -2;
}

SWorldIds IdsOf(const CGame& game)
{
    SWorldIds ids{Ids(game.robots[0], game.robotCount[0]), Ids(game.magnets[1], game.magnetCount[1]),
                  Ids(game.lasers[0], game.laserCount[0]), Ids(game.trees, game.treeCount),
                  Ids(game.shots, game.shotCount), {}, {}};
    for (int i = 0; i < game.laserCount[0]; ++i)
        ids.laserTargets.push_back(TargetId(game, game.lasers[0][i].target));
    for (int i = 0; i < game.shotCount; ++i)
        ids.shotTargets.push_back(TargetId(game, game.shots[i].target));
    return ids;
}

} // namespace

// Five entries in each list: red robots, blue magnets, red lasers aimed at
// the magnets in reverse order, trees, and shots in flight towards the
// magnets. Removing one entry of one list takes it off the grid and out of
// its list; every other entry keeps its order, its cells and, for lasers and
// shots, the very magnet it was aimed at.
TEST(Grid, RemovingTheFirstMiddleOrLastEntryKeepsEveryOtherEntrysCellsAndTargets)
{
    const struct {
        const char* list;
        void (*remove)(CGame&, int);
        std::vector<int> SWorldIds::*ids;
    } lists[] = {
        {"robots", [](CGame& g, int i) { g.RemoveRobot(0, i); }, &SWorldIds::robots},
        {"magnets", [](CGame& g, int i) { g.RemoveMagnet(1, i); }, &SWorldIds::magnets},
        {"lasers", [](CGame& g, int i) { g.RemoveLaser(0, i); }, &SWorldIds::lasers},
        {"trees", [](CGame& g, int i) { g.RemoveTree(i); }, &SWorldIds::trees},
        {"shots", [](CGame& g, int i) { g.RemoveShot(i); }, &SWorldIds::shots},
    };
    for (const auto& list : lists) {
        for (int index : {0, 2, 4}) {
            SCOPED_TRACE(testing::Message() << list.list << ", entry " << index);
            auto game = MakeBareGame();
            for (int i = 0; i < 5; ++i) {
                const int x = 10 + 3 * i;
                PutRobot(*game, 0, x, 20);
                PutMagnet(*game, 1, x, 30);
                PutLaser(*game, 0, x, 40).target = &game->magnets[1][4 - i];
                PutTree(*game, x, 50);
                CLaserShot& shot = game->shots[game->shotCount++];
                shot.curX = x;
                shot.target = &game->magnets[1][i];
            }
            SWorldIds expected = IdsOf(*game);
            std::vector<int>& changed = expected.*list.ids;
            const int removedId = changed[index];
            changed.erase(changed.begin() + index);
            // A removed laser or shot takes its target with it; a removed
            // magnet leaves those aimed at it without a target.
            if (list.ids == &SWorldIds::lasers)
                expected.laserTargets.erase(expected.laserTargets.begin() + index);
            if (list.ids == &SWorldIds::shots)
                expected.shotTargets.erase(expected.shotTargets.begin() + index);
            if (list.ids == &SWorldIds::magnets) {
                for (std::vector<int>* targets : {&expected.laserTargets, &expected.shotTargets})
                    for (int& target : *targets)
                        target = target == removedId ? -1 : target;
            }

            list.remove(*game, index);
            EXPECT_EQ(GridProblem(*game), "");
            const SWorldIds ids = IdsOf(*game);
            EXPECT_EQ(ids.robots, expected.robots);
            EXPECT_EQ(ids.magnets, expected.magnets);
            EXPECT_EQ(ids.lasers, expected.lasers);
            EXPECT_EQ(ids.trees, expected.trees);
            EXPECT_EQ(ids.shots, expected.shots);
            EXPECT_EQ(ids.laserTargets, expected.laserTargets);
            EXPECT_EQ(ids.shotTargets, expected.shotTargets);
        }
    }
}

// Two removals in a row, then the shots land: the one whose magnet went
// lands harmlessly, the other destroys the magnet it was aimed at.
TEST(Grid, ShotsLandOnTheMagnetsTheyWereAimedAtAfterOtherMagnetsWereRemoved)
{
    auto game = MakeBareGame();
    for (int i = 0; i < 5; ++i)
        PutMagnet(*game, 1, 10 + 3 * i, 40);
    game->shots[0].target = &game->magnets[1][3];
    game->shots[1].target = &game->magnets[1][2];
    game->shotCount = 2;
    game->RemoveMagnet(1, 3);
    game->RemoveMagnet(1, 0);
    EXPECT_EQ(GridProblem(*game), "");
    EXPECT_EQ(game->shots[0].target, nullptr);
    EXPECT_EQ(game->shots[1].target, &game->magnets[1][1]);
    game->UpdateLasers();
    EXPECT_EQ(game->shotCount, 0);
    const bool destroyed[3] = {game->magnets[1][0].destroyed, game->magnets[1][1].destroyed,
                               game->magnets[1][2].destroyed};
    EXPECT_EQ(std::vector<bool>(destroyed, destroyed + 3), (std::vector<bool>{false, true, false}));
}

TEST(Game, OneSeedGivesOneGameTickForTick)
{
    std::vector<uint64_t> first;
    for (int run = 0; run < 2; ++run) {
        const auto game = MakeNewGame(2024, IdlePlayer());
        for (size_t tick = 0; tick < 3000 && game->state == CGame::STATE_PLAYING; ++tick) {
            Play(*game, 1);
            if (run == 0)
                first.push_back(StateDigest(*game));
            else
                ASSERT_EQ(StateDigest(*game), first[tick]) << "tick " << tick + 1;
        }
        EXPECT_EQ(GridProblem(*game), "");
    }
}

TEST(Game, EndTestRedFirstThenBlue)
{
    auto game = MakeBareGame();
    game->aiStep = 2000;  // the computer no longer produces
    Play(*game, 1);  // neither side has robots: red is tested first
    EXPECT_EQ(game->state, CGame::STATE_RED_LOST);
    game->state = CGame::STATE_PLAYING;
    PutRobot(*game, 0, 5, 40);
    Play(*game, 1);
    EXPECT_EQ(game->state, CGame::STATE_BLUE_LOST);
}

// tavrin-sim: plays the game headless from a seed, red either idle or
// replayed from a script, and prints the state of the game as lines of
//   tick T state S energy ER EB robots RR RB magnets MR MB lasers LR LB
//   movemagnets VR VB trees N shots H aistep A
// Exit status: 0 after a game, 1 for a script that cannot be read or is
// malformed, 2 for a wrong command line.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "game/CGame.h"
#include "game/CReplayScript.h"
#include "tlib/TRandom.h"

namespace {

const char kUsage[] = "usage: tavrin-sim --seed S [--ticks N] [--every K] [--script FILE]\n";

int Usage(const char* problem)
{
    std::fprintf(stderr, "tavrin-sim: %s\n%s", problem, kUsage);
    return 2;
}

// A decimal number 0..max with digits only.
bool ParseCount(const char* text, unsigned long long max, unsigned long long& value)
{
    if (*text == '\0')
        return false;
    unsigned long long v = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + static_cast<unsigned>(*p - '0');
        if (v > max)
            return false;
    }
    value = v;
    return true;
}

void PrintStatus(const CGame& game, long long tick)
{
    std::printf("tick %lld state %d energy %d %d robots %d %d magnets %d %d lasers %d %d "
                "movemagnets %d %d trees %d shots %d aistep %d\n",
                tick, game.state, game.energy[0], game.energy[1], game.robotCount[0], game.robotCount[1],
                game.magnetCount[0], game.magnetCount[1], game.laserCount[0], game.laserCount[1],
                game.moveMagnetCount[0], game.moveMagnetCount[1], game.treeCount, game.shotCount, game.aiStep);
}

} // namespace

int main(int argc, char** argv)
{
    bool haveSeed = false;
    unsigned long long seed = 0;
    unsigned long long ticks = 200000;
    unsigned long long every = 0;
    const char* scriptPath = nullptr;

    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (i + 1 >= argc)
            return Usage((std::string("missing value for ") + option).c_str());
        const char* value = argv[++i];
        if (std::strcmp(option, "--seed") == 0) {
            if (!ParseCount(value, 0xFFFFFFFFull, seed))
                return Usage("the seed must be a number 0..4294967295");
            haveSeed = true;
        } else if (std::strcmp(option, "--ticks") == 0) {
            if (!ParseCount(value, 0x7FFFFFFFull, ticks))
                return Usage("the tick count must be a number 0..2147483647");
        } else if (std::strcmp(option, "--every") == 0) {
            if (!ParseCount(value, 0x7FFFFFFFull, every) || every == 0)
                return Usage("the interval must be a number 1..2147483647");
        } else if (std::strcmp(option, "--script") == 0) {
            scriptPath = value;
        } else {
            return Usage((std::string("unknown option ") + option).c_str());
        }
    }
    if (!haveSeed)
        return Usage("--seed is required");

    // With no script red is idle: an empty script plays no action.
    CReplayScript script;
    if (scriptPath != nullptr) {
        std::string error;
        if (!script.LoadFile(scriptPath, error)) {
            std::fprintf(stderr, "tavrin-sim: %s\n", error.c_str());
            return 1;
        }
    }

    tlib::SeedRandom(static_cast<uint32_t>(seed));
    std::unique_ptr<CGame> game(new CGame());
    game->NewGame();
    game->playerActions = &script;

    long long tick = 0;
    long long printed = -1;
    while (tick < static_cast<long long>(ticks) && game->state == 0) {
        game->Update();
        ++tick;
        if (every != 0 && tick % static_cast<long long>(every) == 0) {
            PrintStatus(*game, tick);
            printed = tick;
        }
    }
    if (printed != tick)
        PrintStatus(*game, tick);
    return 0;
}

// tavrin-sim: plays the game headless and prints the state of the game as
// lines of
//   tick T state S energy ER EB robots RR RB magnets MR MB lasers LR LB
//   movemagnets VR VB trees N shots H aistep A
// every K world ticks (--every) and after the last one. Two ways to play:
//   --seed S [--ticks N] [--script FILE]   red idle or replayed from a script
//   --replay FILE [--verify] [--to-script OUT]
//       a recorded game, record by record as it was played. --verify
//       compares the end with the recording's footer; --to-script writes
//       red's actions as the game applied them as a script whose first line
//       is "# seed S", for --seed S --ticks T --script OUT.
// Exit status: 0 after a game; 1 for a script or replay that cannot be read,
// is malformed or cut short, or an OUT that cannot be written; 2 for a wrong
// command line; 3 when --verify finds the end unlike the recording.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "game/CGame.h"
#include "game/CReplayReader.h"
#include "game/CReplayScript.h"
#include "game/GameStateLine.h"
#include "game/GameVersion.h"
#include "game/SPlayerInput.h"
#include "tlib/TRandom.h"

namespace {

const char kUsage[] =
    "usage: tavrin-sim --seed S [--ticks N] [--every K] [--script FILE]\n"
    "       tavrin-sim --replay FILE [--every K] [--verify] [--to-script OUT]\n";

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "tavrin-sim: %s\n%s", problem.c_str(), kUsage);
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

// Prints the state every K world ticks and keeps red's actions when asked.
class CSimObserver : public IGameObserver {
public:
    CSimObserver(long long every, std::vector<SRedAction>* actions) : mEvery(every), mActions(actions) {}

    void OnRedAction(const SRedAction& action) override
    {
        if (mActions != nullptr)
            mActions->push_back(action);
    }
    void OnWorldTick(const CGame& game) override
    {
        if (mEvery != 0 && game.ticksPlayed % mEvery == 0)
            Print(game);
    }
    // The last line, unless the last world tick printed it.
    void End(const CGame& game)
    {
        if (mPrinted != game.ticksPlayed)
            Print(game);
    }

private:
    void Print(const CGame& game)
    {
        std::printf("%s\n", StateLine(game).c_str());
        mPrinted = game.ticksPlayed;
    }

    long long mEvery;
    std::vector<SRedAction>* mActions;
    long long mPrinted = -1;
};

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        const size_t end = line.find(' ', i);
        const size_t stop = end == std::string::npos ? line.size() : end;
        if (stop > i)
            words.push_back(line.substr(i, stop - i));
        i = stop + 1;
    }
    return words;
}

bool IsNumber(const std::string& word)
{
    return !word.empty() && word.find_first_not_of("-0123456789") == std::string::npos;
}

// The first field of two state lines that differs, as "energy: 57 60 played,
// 57 61 recorded"; empty when the lines are the same.
std::string FirstDifference(const std::string& played, const std::string& recorded)
{
    if (played == recorded)
        return "";
    const std::vector<std::string> a = Words(played);
    const std::vector<std::string> b = Words(recorded);
    size_t i = 0;
    while (i < a.size() || i < b.size()) {
        // A field: a name and the numbers after it.
        size_t end = i + 1;
        while ((end < a.size() && IsNumber(a[end])) || (end < b.size() && IsNumber(b[end])))
            ++end;
        std::string valuesA;
        std::string valuesB;
        for (size_t k = i; k < end; ++k) {
            valuesA += (k < a.size() ? a[k] : "?") + (k + 1 < end ? " " : "");
            valuesB += (k < b.size() ? b[k] : "?") + (k + 1 < end ? " " : "");
        }
        if (valuesA != valuesB)
            return valuesA + " played, " + valuesB + " recorded";
        i = end;
    }
    return "\"" + played + "\" played, \"" + recorded + "\" recorded";
}

bool WriteScript(const char* path, uint32_t seed, int32_t ticks, const std::vector<SRedAction>& actions)
{
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "tavrin-sim: %s: cannot write the script: %s\n", path, std::strerror(errno));
        return false;
    }
    std::fprintf(file, "# seed %u\n# %d world ticks: tavrin-sim --seed %u --ticks %d --script FILE\n", seed, ticks, seed,
                 ticks);
    for (const SRedAction& action : actions)
        std::fprintf(file, "%s\n", CReplayScript::Line(action).c_str());
    const bool failed = std::ferror(file) != 0;
    if (std::fclose(file) != 0 || failed) {
        std::fprintf(stderr, "tavrin-sim: %s: cannot write the script\n", path);
        return false;
    }
    return true;
}

int PlayScript(uint32_t seed, long long ticks, long long every, const char* scriptPath)
{
    // With no script red is idle: an empty script plays no action.
    CReplayScript script;
    if (scriptPath != nullptr) {
        std::string error;
        if (!script.LoadFile(scriptPath, error)) {
            std::fprintf(stderr, "tavrin-sim: %s\n", error.c_str());
            return 1;
        }
    }
    tlib::SeedRandom(seed);
    std::unique_ptr<CGame> game(new CGame());
    game->NewGame();
    game->playerActions = &script;
    CSimObserver observer(every, nullptr);
    game->observer = &observer;
    const SPlayerInput noInput;  // red is played by the script alone
    while (game->ticksPlayed < ticks && game->state == CGame::STATE_PLAYING)
        game->Update(noInput);
    observer.End(*game);
    return 0;
}

int PlayReplay(const char* path, long long every, bool verify, const char* scriptPath)
{
    CReplayReader reader;
    std::string error;
    if (!reader.Open(path, error)) {
        std::fprintf(stderr, "tavrin-sim: %s\n", error.c_str());
        return 1;
    }
    const SReplayHeader& header = reader.Header();
    if (std::strcmp(header.gameVersion, kGameVersion) != 0)
        std::fprintf(stderr, "tavrin-sim: %s: recorded by version %s, played by version %s\n", path, header.gameVersion,
                     kGameVersion);
    ApplyReplayHeader(header);
    std::unique_ptr<CGame> game(new CGame());
    game->NewGame();
    std::vector<SRedAction> actions;
    CSimObserver observer(every, scriptPath != nullptr ? &actions : nullptr);
    game->observer = &observer;

    SReplayRecord record;
    CReplayReader::Result result;
    while ((result = reader.Next(record)) == CReplayReader::RECORD)
        game->Tick(record.input, record.worldTicks, record.acceptActions);
    observer.End(*game);

    int status = 0;
    if (scriptPath != nullptr && !WriteScript(scriptPath, header.seed, game->ticksPlayed, actions))
        status = 1;
    if (result != CReplayReader::END) {
        std::fprintf(stderr, "tavrin-sim: %s; played %lld records to world tick %d\n", reader.Problem().c_str(),
                     static_cast<long long>(reader.Records()), game->ticksPlayed);
        return 1;
    }
    if (verify) {
        const SReplayFooter& footer = reader.Footer();
        const std::string difference = FirstDifference(StateLine(*game), footer.stateLine);
        if (!difference.empty()) {
            std::fprintf(stderr, "tavrin-sim: %s: the replay ends unlike the recording: %s\n", path, difference.c_str());
            return 3;
        }
        if (StateDigest(*game) != footer.digest) {
            std::fprintf(stderr,
                         "tavrin-sim: %s: the replay ends unlike the recording: the state line matches, the world "
                         "does not (digest %016llx played, %016llx recorded)\n",
                         path, static_cast<unsigned long long>(StateDigest(*game)),
                         static_cast<unsigned long long>(footer.digest));
            return 3;
        }
        std::fprintf(stderr, "tavrin-sim: %s: the replay ends as recorded\n", path);
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    bool haveSeed = false;
    unsigned long long seed = 0;
    unsigned long long ticks = 200000;
    bool haveTicks = false;
    unsigned long long every = 0;
    const char* scriptPath = nullptr;
    const char* replayPath = nullptr;
    const char* toScriptPath = nullptr;
    bool verify = false;

    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--verify") == 0) {
            verify = true;
            continue;
        }
        if (i + 1 >= argc)
            return Usage(std::string("missing value for ") + option);
        const char* value = argv[++i];
        if (std::strcmp(option, "--seed") == 0) {
            if (!ParseCount(value, 0xFFFFFFFFull, seed))
                return Usage("the seed must be a number 0..4294967295");
            haveSeed = true;
        } else if (std::strcmp(option, "--ticks") == 0) {
            if (!ParseCount(value, 0x7FFFFFFFull, ticks))
                return Usage("the tick count must be a number 0..2147483647");
            haveTicks = true;
        } else if (std::strcmp(option, "--every") == 0) {
            if (!ParseCount(value, 0x7FFFFFFFull, every) || every == 0)
                return Usage("the interval must be a number 1..2147483647");
        } else if (std::strcmp(option, "--script") == 0) {
            scriptPath = value;
        } else if (std::strcmp(option, "--replay") == 0) {
            replayPath = value;
        } else if (std::strcmp(option, "--to-script") == 0) {
            toScriptPath = value;
        } else {
            return Usage(std::string("unknown option ") + option);
        }
    }
    if (replayPath != nullptr) {
        if (haveSeed || haveTicks || scriptPath != nullptr)
            return Usage("--replay plays the recorded game: it takes no --seed, --ticks or --script");
        return PlayReplay(replayPath, static_cast<long long>(every), verify, toScriptPath);
    }
    if (verify || toScriptPath != nullptr)
        return Usage("--verify and --to-script need --replay");
    if (!haveSeed)
        return Usage("--seed is required");
    return PlayScript(static_cast<uint32_t>(seed), static_cast<long long>(ticks), static_cast<long long>(every),
                      scriptPath);
}

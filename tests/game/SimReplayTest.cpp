// tavrin-sim over replay files, run as a program from the build folder: a
// footer unlike the game exits 3 with the first difference; a cut file
// plays what it has and exits 1; a file that is not a replay prints nothing.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/CGame.h"
#include "tests/game/ReplayTestSupport.h"

namespace {

struct SRun {
    int status = -1;
    std::string out;
    std::string err;
};

SRun Sim(const std::string& arguments)
{
    const char* build = std::getenv("TAVRIN_BINARY_DIR");
    const std::string err = TempPath("stderr.txt");
    const std::string command =
        std::string(build != nullptr ? build : ".") + "/tools/sim/tavrin-sim " + arguments + " 2>" + err;
    SRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadBytes(err);
    return run;
}

std::string LastLine(const std::string& text)
{
    const size_t end = text.size() > 0 && text.back() == '\n' ? text.size() - 1 : text.size();
    const size_t start = text.rfind('\n', end == 0 ? 0 : end - 1);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1));
}

} // namespace

TEST(SimReplay, AnEndUnlikeTheRecordingExits3WithTheFirstDifference)
{
    const struct {
        const char* what;
        std::function<void(CGame&)> change;
        std::string message;
    } rows[] = {
        {"energy", [](CGame& g) { g.energy[1] += 1; }, ": the replay ends unlike the recording: energy "},
        {"a robot's timer", [](CGame& g) { g.robots[1][0].moveTimer += 1; },
         ": the replay ends unlike the recording: the state line matches, the world does not (digest "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string replay = TempPath("changed.tvr");
        RecordGame(replay, 2, 500, "1x", true, row.change);
        const SRun run = Sim("--replay " + replay + " --verify");
        EXPECT_EQ(run.status, 3);
        EXPECT_EQ(run.err.rfind("tavrin-sim: " + replay + row.message, 0), 0u) << run.err;
    }
}

TEST(SimReplay, ACutFilePlaysWhatItHasAndABadOnePrintsNothing)
{
    const std::string cut = TempPath("cut.tvr");
    RecordGame(cut, 2, 1000, "1x", false);
    const SRun run = Sim("--replay " + cut + " --verify");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(LastLine(run.out).rfind("tick 900 ", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "tavrin-sim: " + cut +
                           ": cut short after record 900 (the records after it were never checked); played 900 "
                           "records to world tick 900\n");

    const std::string bad = TempPath("bad.tvr");
    WriteBytes(bad, "GIF89a");
    const SRun refused = Sim("--replay " + bad);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "tavrin-sim: " + bad + ": not a replay file (it does not begin with the replay magic)\n");
}

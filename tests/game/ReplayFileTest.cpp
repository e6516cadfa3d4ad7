// Replay files: games recorded at every pace come back record for record
// and replay into the same game; a file cut anywhere plays its checked
// records and says where it stopped; bad files of every
// kind are refused with a message naming the file; a failing disk or a
// record the format cannot hold closes the recording.

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "game/CGame.h"
#include "game/CReplayReader.h"
#include "game/CReplayScript.h"
#include "game/CReplayWriter.h"
#include "game/GameGlobals.h"
#include "game/GameStateLine.h"
#include "game/GameVersion.h"
#include "tests/game/ActivePlayer.h"
#include "tests/game/ReplayTestSupport.h"
#include "tlib/TRandom.h"

namespace {

// What the player sees besides the world: the camera, the view, the help,
// the tool and the cursor cell.
std::string View(const CGame& game)
{
    return std::to_string(game.cameraPos.x) + "," + std::to_string(game.cameraPos.y) + "," +
           std::to_string(game.cameraPos.z) + " yaw " + std::to_string(game.cameraYaw) + " pitch " +
           std::to_string(game.cameraPitch) + " view " + std::to_string(game.viewMode) + " help " +
           std::to_string(game.showHelp) + " tool " + std::to_string(game.tool) + " cell " +
           std::to_string(game.cursorX) + "," + std::to_string(game.cursorY);
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

size_t HeaderLength()
{
    return 8 + 2 + 1 + std::string(kGameVersion).size() + 4 + 8 + 8 + 1 + 4;
}

} // namespace

TEST(ReplayFile, RecordsComeBackAndReplayTheSameGameAndViewAtEveryPace)
{
    // "mixed" changes through every speed and the pause.
    for (const char* pace : {"1x", "mixed"}) {
        SCOPED_TRACE(pace);
        // The settings the game reads travel in the header.
        gMouseSensitivity = 137.5;
        gShowHelp = true;
        const std::string path = TempPath(std::string(pace) + ".tvr");
        const SRecordedGame recorded = RecordGame(path, 11, 3000, pace);
        // The views the recorded game showed, played again live.
        std::vector<std::string> views;
        {
            tlib::SeedRandom(11);
            std::unique_ptr<CGame> live(new CGame());
            live->NewGame();
            for (const SReplayRecord& r : recorded.records) {
                live->Tick(r.input, r.worldTicks, r.acceptActions);
                views.push_back(View(*live));
            }
        }
        gMouseSensitivity = 200.0;
        gShowHelp = false;

        CReplayReader reader;
        std::string error;
        ASSERT_TRUE(reader.Open(path, error)) << error;
        const SReplayHeader& header = reader.Header();
        EXPECT_EQ(header.seed, 11u);
        EXPECT_EQ(header.date, 1767225600);
        EXPECT_STREQ(header.gameVersion, kGameVersion);
        ApplyReplayHeader(header);
        EXPECT_EQ(gMouseSensitivity, 137.5);
        EXPECT_TRUE(gShowHelp);
        std::unique_ptr<CGame> game(new CGame());
        game->NewGame();
        SReplayRecord record;
        size_t n = 0;
        CReplayReader::Result result;
        while ((result = reader.Next(record)) == CReplayReader::RECORD) {
            ASSERT_LT(n, recorded.records.size());
            ASSERT_TRUE(SameRecord(record, recorded.records[n])) << "record " << n + 1;
            game->Tick(record.input, record.worldTicks, record.acceptActions);
            ASSERT_EQ(StateDigest(*game), recorded.digests[n]) << "world after record " << n + 1;
            ASSERT_EQ(View(*game), views[n]) << "view after record " << n + 1;
            ++n;
        }
        ASSERT_EQ(result, CReplayReader::END) << reader.Problem();
        EXPECT_EQ(n, recorded.records.size());
        EXPECT_EQ(reader.Footer().records, static_cast<int64_t>(n));
        EXPECT_EQ(reader.Footer().stateLine, recorded.stateLine);
        EXPECT_EQ(reader.Footer().digest, recorded.digests.back());
        EXPECT_EQ(reader.Next(record), CReplayReader::END) << "the end stays the end";
    }
    gMouseSensitivity = 200.0;
    gShowHelp = false;
}

TEST(ReplayFile, AMinuteOfActivePlayTakesUnder20KB)
{
    // The size depends on the records alone: a minute of them, whether or
    // not the game would have lasted that long.
    const std::string path = TempPath("minute.tvr");
    CReplayWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Create(path, MakeReplayHeader(0), error)) << error;
    CActivePlayer player(3);
    int moving = 0;
    for (int n = 0; n < 3000; ++n) {
        const SReplayRecord record = player.Next();
        moving += record.input.dx != 0 || record.input.dy != 0;
        ASSERT_TRUE(writer.Add(record)) << writer.Error();
    }
    std::unique_ptr<CGame> game(new CGame());
    ASSERT_TRUE(writer.Finish(*game)) << writer.Error();
    EXPECT_GT(moving, 3000 * 2 / 3) << "the mouse moves in most ticks";
    const size_t size = ReadBytes(path).size();
    RecordProperty("bytes_per_minute", static_cast<int>(size));
    EXPECT_LT(size, 20u * 1024) << "a minute of play";
}

TEST(ReplayFile, RedsActionsWrittenAsAScriptPlayTheSameWorldTickForTick)
{
    int seen[SRedAction::CLEAR + 1] = {};
    for (const char* pace : {"1x", "mixed"}) {
        for (uint32_t seed : {3u, 8u}) {
            SCOPED_TRACE(testing::Message() << pace << ", seed " << seed);
            const SRecordedGame recorded = RecordGame(TempPath("script.tvr"), seed, 6000, pace);
            std::string text = "# seed " + std::to_string(seed) + "\n";
            for (const SRedAction& action : recorded.actions) {
                text += CReplayScript::Line(action) + "\n";
                ++seen[action.type];
            }
            CReplayScript script;
            std::string error;
            ASSERT_TRUE(script.Parse(text, "red.txt", error)) << error;
            ASSERT_EQ(script.Actions().size(), recorded.actions.size());
            tlib::SeedRandom(seed);
            std::unique_ptr<CGame> game(new CGame());
            game->NewGame();
            game->playerActions = &script;
            for (int32_t tick = 0; tick < recorded.worldTicks; ++tick) {
                game->Update(SPlayerInput());
                ASSERT_EQ(StateDigest(*game), recorded.worldDigests[static_cast<size_t>(tick)]) << "world tick " << tick + 1;
            }
            EXPECT_EQ(StateLine(*game), recorded.stateLine);
        }
    }
    // Every kind of action was played through the controls.
    for (int type = SRedAction::ROBOTS; type <= SRedAction::CLEAR; ++type)
        EXPECT_GT(seen[type], 0) << CReplayScript::Line(SRedAction{0, static_cast<SRedAction::Type>(type), 0, 0, 0});
}

TEST(ReplayFile, EveryCutOfAFilePlaysACheckedPrefixAndSaysWhereItStopped)
{
    const std::string path = TempPath("cut.tvr");
    const SRecordedGame recorded = RecordGame(path, 5, 1000, "mixed");
    const std::string bytes = ReadBytes(path);
    int64_t before = 0;
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        SCOPED_TRACE(testing::Message() << "cut at " << cut << " of " << bytes.size());
        CReplayReader reader;
        std::string error;
        const bool opened = reader.OpenBytes(bytes.data(), cut, "cut.tvr", error);
        if (cut < HeaderLength()) {
            ASSERT_FALSE(opened);
            EXPECT_EQ(error, cut == 0 ? "cut.tvr: not a replay file (it is empty)"
                                      : "cut.tvr: cut short inside the header (" + std::to_string(cut) + " bytes)");
            continue;
        }
        ASSERT_TRUE(opened) << error;
        SReplayRecord record;
        size_t n = 0;
        CReplayReader::Result result;
        while ((result = reader.Next(record)) == CReplayReader::RECORD) {
            ASSERT_TRUE(SameRecord(record, recorded.records[n])) << "record " << n + 1;
            ++n;
        }
        if (cut == bytes.size()) {
            EXPECT_EQ(result, CReplayReader::END) << reader.Problem();
            EXPECT_EQ(n, recorded.records.size());
            continue;
        }
        ASSERT_EQ(result, CReplayReader::CUT_SHORT) << reader.Problem();
        EXPECT_TRUE(n % kSegmentRecords == 0 || n == recorded.records.size()) << n;
        EXPECT_TRUE(StartsWith(reader.Problem(), "cut.tvr: cut short after record " + std::to_string(n) + " ("))
            << reader.Problem();
        EXPECT_GE(static_cast<int64_t>(n), before) << "a longer piece never plays less";
        before = static_cast<int64_t>(n);
    }
    EXPECT_EQ(before, static_cast<int64_t>(recorded.records.size())) << "a file without its footer plays every record";
}

TEST(ReplayFile, BadFilesAreRefusedWithTheFileAndWhatIsWrong)
{
    const std::string good = CraftReplay(std::string(2, '\0') + Checkpoint(std::string(2, '\0'), 2), 2);
    const std::string real = [] {
        const std::string path = TempPath("real.tvr");
        RecordGame(path, 2, 700, "1x");
        return ReadBytes(path);
    }();
    const size_t h = HeaderLength();
    auto with = [](std::string bytes, size_t at, char value) {
        bytes[at] = value;
        return bytes;
    };
    std::string random(4096, '\0');
    uint32_t state = 77;
    for (char& c : random)
        c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    const std::string idle151(151, '\0');

    // Open false: refused at the header. Otherwise what Next ends with.
    const struct {
        const char* name;
        std::string bytes;
        bool opens;
        CReplayReader::Result result;
        std::string message;  // after "bad.tvr: "
    } rows[] = {
        {"empty", "", false, CReplayReader::FAILED, "not a replay file (it is empty)"},
        {"random bytes", random, false, CReplayReader::FAILED, "not a replay file (it does not begin with the replay magic)"},
        {"a picture", "\x89PNG\r\n\x1a\n", false, CReplayReader::FAILED,
         "not a replay file (it does not begin with the replay magic)"},
        {"format version 2", with(good, 8, 2), false, CReplayReader::FAILED,
         "replay format version 2 is not one this game reads (it reads version 1)"},
        {"header cut", good.substr(0, 15), false, CReplayReader::FAILED, "cut short inside the header (15 bytes)"},
        {"header checksum", with(good, h - 10, '\x55'), false, CReplayReader::FAILED,
         "corrupted header (its checksum does not match)"},
        {"no version string", with(good, 10, 0), false, CReplayReader::FAILED,
         "corrupted header: a version string of 0 bytes"},
        {"a long version string", with(good, 10, 99), false, CReplayReader::FAILED,
         "corrupted header: a version string of 99 bytes"},
        {"a stream asking for a 32 KB window",
         CraftReplay(std::string(2, '\0') + Checkpoint(std::string(2, '\0'), 2), 2, "tick 0 state 0", 15), true,
         CReplayReader::FAILED, "corrupted near byte"},
        {"garbage stream", good.substr(0, h) + random.substr(0, 300), true, CReplayReader::FAILED,
         "corrupted near byte"},
        {"unknown item", CraftReplay(std::string("\0\x40", 2), 1), true, CReplayReader::FAILED,
         "corrupted: an unknown item (tag 64) after record 1"},
        {"cursor off the screen", CraftReplay("\x02" + Varint(1024) + Varint(0), 1), true, CReplayReader::FAILED,
         "corrupted: record 1 has a cursor outside the 1024 x 768 screen"},
        {"negative cursor", CraftReplay("\x02" + Varint(5) + Varint(-1), 1), true, CReplayReader::FAILED,
         "corrupted: record 1 has a cursor outside the 1024 x 768 screen"},
        {"nine world ticks", CraftReplay(std::string("\0\x08\x19", 3), 2), true, CReplayReader::FAILED,
         "corrupted: record 2 has a world tick count outside 0..8"},
        {"unknown speed bits", CraftReplay("\x08\x31", 1), true, CReplayReader::FAILED,
         "corrupted: record 1 has a speed byte with unknown bits"},
        {"a number of 35 bits", CraftReplay("\x01\xff\xff\xff\xff\x7f", 1), true, CReplayReader::FAILED,
         "corrupted: record 1 has a number of more than 32 bits"},
        {"the stream ends inside a record", CraftReplay("\x01\x85", 1), true, CReplayReader::FAILED,
         "corrupted: the stream ends inside record 1"},
        {"checkpoint miscounts", CraftReplay(std::string(3, '\0') + Checkpoint(std::string(3, '\0'), 2), 3), true,
         CReplayReader::FAILED, "corrupted: the checkpoint after record 3 does not match the records before it"},
        {"checkpoint checksum", CraftReplay(std::string(3, '\0') + Checkpoint(std::string(3, '\1'), 3), 3), true,
         CReplayReader::FAILED, "corrupted: the checkpoint after record 3 does not match the records before it"},
        {"151 records unchecked", CraftReplay(idle151 + Checkpoint(idle151, 151), 151), true, CReplayReader::FAILED,
         "corrupted: more than 150 records without a checkpoint after record 0"},
        {"records after the last checkpoint", CraftReplay(std::string(2, '\0'), 2), true, CReplayReader::FAILED,
         "corrupted: the stream ends without checking records 1 to 2"},
        {"a footer claiming a billion records",
         CraftReplay(std::string(2, '\0') + Checkpoint(std::string(2, '\0'), 2), 1000000000), true,
         CReplayReader::FAILED, "the footer claims 1000000000 records, the stream holds 2"},
        {"footer checksum", with(good, good.size() - 1, '\x7f'), true, CReplayReader::FAILED,
         "corrupted footer (its checksum does not match)"},
        {"a footer line that is not text",
         CraftReplay(std::string(2, '\0') + Checkpoint(std::string(2, '\0'), 2), 2, "tick\n2"), true,
         CReplayReader::FAILED, "corrupted footer (the state line is not text)"},
        {"bytes after the footer", good + "x", true, CReplayReader::FAILED, "corrupted: bytes after the footer"},
        {"no footer", CraftReplay(std::string(2, '\0') + Checkpoint(std::string(2, '\0'), 2), -1), true,
         CReplayReader::CUT_SHORT, "cut short after record 2 (the footer is missing)"},
        {"a byte of the stream flipped", with(real, h + (real.size() - h) / 2, '\x5a'), true, CReplayReader::FAILED,
         "corrupted"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CReplayReader reader;
        std::string error;
        const bool opened = reader.OpenBytes(row.bytes.data(), row.bytes.size(), "bad.tvr", error);
        ASSERT_EQ(opened, row.opens) << error;
        SReplayRecord record;
        CReplayReader::Result result = CReplayReader::FAILED;
        if (opened) {
            while ((result = reader.Next(record)) == CReplayReader::RECORD) {
            }
            error = reader.Problem();
        }
        EXPECT_EQ(result, row.result);
        EXPECT_TRUE(StartsWith(error, "bad.tvr: " + row.message)) << error;
        // Played to the end: still what it was.
        if (opened) {
            EXPECT_EQ(reader.Next(record), result);
        }
    }

    CReplayReader reader;
    std::string error;
    EXPECT_FALSE(reader.Open("/nonexistent/game.tvr", error));
    EXPECT_EQ(error, "/nonexistent/game.tvr: cannot open the replay: No such file or directory");
}

TEST(ReplayFile, AFailingDiskOrAnImpossibleRecordClosesTheRecording)
{
    const SReplayHeader header = MakeReplayHeader(0);
    std::string error;
    {
        // Never replaces a file; a folder that is not there.
        const std::string path = TempPath("exists.tvr");
        WriteBytes(path, "mine");
        CReplayWriter writer;
        EXPECT_FALSE(writer.Create(path, header, error));
        EXPECT_EQ(error, path + ": cannot create the replay: File exists");
        EXPECT_EQ(ReadBytes(path), "mine");
        EXPECT_FALSE(writer.Create("/nonexistent/game.tvr", header, error));
        EXPECT_EQ(error, "/nonexistent/game.tvr: cannot create the replay: No such file or directory");
        EXPECT_FALSE(writer.IsOpen());
    }
    {
        // A full disk fails at the header.
        CReplayWriter writer;
        const int fd = open("/dev/full", O_WRONLY);
        ASSERT_GE(fd, 0);
        EXPECT_FALSE(writer.Start(fd, "full.tvr", header, error));
        EXPECT_EQ(error, "full.tvr: cannot write the replay: No space left on device");
        EXPECT_FALSE(writer.Add(SReplayRecord()));
    }
    // Records the format cannot hold (the app gathers none of them).
    SReplayRecord offScreen;
    offScreen.input.cursorX = 1024;
    SReplayRecord belowScreen;
    belowScreen.input.cursorY = -1;
    SReplayRecord tooFast;
    tooFast.worldTicks = CGame::kMaxWorldTicks + 1;
    const struct {
        SReplayRecord record;
        const char* what;
    } rows[] = {
        {offScreen, "a cursor outside the 1024 x 768 screen"},
        {belowScreen, "a cursor outside the 1024 x 768 screen"},
        {tooFast, "a world tick count outside 0..8"},
    };
    for (const auto& row : rows) {
        const std::string path = TempPath("impossible.tvr");
        CReplayWriter writer;
        ASSERT_TRUE(writer.Create(path, header, error)) << error;
        EXPECT_TRUE(writer.Add(SReplayRecord()));
        EXPECT_FALSE(writer.Add(row.record));
        EXPECT_EQ(writer.Error(), path + ": record 2 has " + row.what);
        EXPECT_FALSE(writer.IsOpen());
        EXPECT_FALSE(writer.Add(SReplayRecord())) << "closed for good";
        std::unique_ptr<CGame> game(new CGame());
        EXPECT_FALSE(writer.Finish(*game));
    }
}

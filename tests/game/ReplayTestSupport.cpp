#include "tests/game/ReplayTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "game/CGame.h"
#include "game/CReplayCoder.h"
#include "game/CReplayWriter.h"
#include "game/GameStateLine.h"
#include "tests/game/ActivePlayer.h"
#include "tlib/TRandom.h"

namespace {

// Keeps what the game tells its observer.
struct SKeeper : IGameObserver {
    SRecordedGame* game;
    void OnRedAction(const SRedAction& action) override { game->actions.push_back(action); }
    void OnWorldTick(const CGame& g) override { game->worldDigests.push_back(StateDigest(g)); }
};

} // namespace

SPace PaceOf(const std::string& pace, int n)
{
    const int part = pace == "mixed" ? n / 250 % 5 : 0;
    if (part == 3)
        return {n % 2, true};
    if (part == 4)
        return n % 250 < 150 ? SPace{1, true} : SPace{0, false};
    return {1 << part, true};
}

SRecordedGame RecordGame(const std::string& path, uint32_t seed, int records, const std::string& pace, bool finish,
                         const std::function<void(CGame&)>& beforeFinish)
{
    SRecordedGame recorded;
    SKeeper keeper;
    keeper.game = &recorded;
    tlib::SeedRandom(seed);
    std::unique_ptr<CGame> game(new CGame());
    game->NewGame();
    game->observer = &keeper;

    std::unique_ptr<CReplayWriter> writer(new CReplayWriter());
    std::string error;
    EXPECT_TRUE(writer->Create(path, MakeReplayHeader(1767225600), error)) << error;
    CActivePlayer player(seed * 7 + 1);
    for (int n = 0; n < records && game->state == CGame::STATE_PLAYING; ++n) {
        SReplayRecord record = player.Next();
        const SPace p = PaceOf(pace, n);
        record.worldTicks = p.worldTicks;
        record.acceptActions = p.acceptActions;
        game->Tick(record.input, record.worldTicks, record.acceptActions);
        EXPECT_TRUE(writer->Add(record)) << writer->Error();
        recorded.records.push_back(record);
        recorded.digests.push_back(StateDigest(*game));
    }
    recorded.stateLine = StateLine(*game);
    recorded.worldTicks = game->ticksPlayed;
    if (beforeFinish)
        beforeFinish(*game);
    if (finish) {
        EXPECT_TRUE(writer->Finish(*game)) << writer->Error();
    } else {
        // A killed process closes nothing: the file keeps what was written
        // so far, not what the writer's destructor would add.
        const std::string atKill = ReadBytes(path);
        writer.reset();
        WriteBytes(path, atKill);
    }
    return recorded;
}

std::string TempPath(const std::string& name)
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/tavrin-replay-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made != nullptr ? made : "/tmp");
    }();
    static int counter = 0;
    const std::string path = folder + "/" + std::to_string(++counter) + "-" + name;
    std::remove(path.c_str());
    return path;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool SameRecord(const SReplayRecord& a, const SReplayRecord& b)
{
    const SPlayerInput& x = a.input;
    const SPlayerInput& y = b.input;
    bool same = x.dx == y.dx && x.dy == y.dy && x.cursorX == y.cursorX && x.cursorY == y.cursorY &&
                x.leftDown == y.leftDown && x.leftWasDown == y.leftWasDown && x.rightDown == y.rightDown &&
                x.rightWasDown == y.rightWasDown && a.worldTicks == b.worldTicks && a.acceptActions == b.acceptActions;
    for (int key = 0; key < SPlayerInput::KEY_COUNT; ++key)
        same = same && x.keyDown[key] == y.keyDown[key] && x.keyPressed[key] == y.keyPressed[key];
    return same;
}

namespace {

std::string LittleEndian(uint64_t v, int n)
{
    std::string bytes;
    for (int i = 0; i < n; ++i)
        bytes += static_cast<char>(v >> (8 * i));
    return bytes;
}

uint32_t Crc(const std::string& bytes)
{
    return static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

} // namespace

std::string Varint(int32_t value)
{
    uint8_t bytes[5];
    const uint32_t zigzag = (static_cast<uint32_t>(value) << 1) ^ (value < 0 ? 0xFFFFFFFFu : 0u);
    return std::string(reinterpret_cast<char*>(bytes), static_cast<size_t>(CReplayCoder::PutVarint(zigzag, bytes)));
}

std::string Checkpoint(const std::string& items, uint32_t count)
{
    uint8_t bytes[5];
    const int n = CReplayCoder::PutVarint(count, bytes);
    return "\x80" + LittleEndian(Crc(items), 4) + std::string(reinterpret_cast<char*>(bytes), static_cast<size_t>(n));
}

std::string CraftReplay(const std::string& items, int64_t footerRecords, const std::string& stateLine, int windowBits)
{
    static const std::string header = [] {
        const std::string path = TempPath("header.tvr");
        CReplayWriter writer;
        std::string error;
        EXPECT_TRUE(writer.Create(path, MakeReplayHeader(0), error)) << error;
        return ReadBytes(path);  // the header alone: nothing else is written before the first checkpoint
    }();
    z_stream z = {};
    EXPECT_EQ(deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<Bytef> stream(deflateBound(&z, static_cast<uLong>(items.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(items.data()));
    z.avail_in = static_cast<uInt>(items.size());
    z.next_out = stream.data();
    z.avail_out = static_cast<uInt>(stream.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    const size_t size = stream.size() - z.avail_out;
    deflateEnd(&z);
    std::string file = header + std::string(reinterpret_cast<char*>(stream.data()), size);
    if (footerRecords >= 0) {
        const std::string footer = "TEND" + LittleEndian(static_cast<uint64_t>(footerRecords), 4) + LittleEndian(0, 8) +
                                   LittleEndian(stateLine.size(), 2) + stateLine;
        file += footer + LittleEndian(Crc(footer), 4);
    }
    return file;
}

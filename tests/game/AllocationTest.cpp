// Ticks allocate nothing: global operator new and malloc, calloc and realloc
// (wrapped at link time) are counted while a game is played. Recording a
// game allocates nothing per tick either, and reading a replay takes memory
// that does not grow with what the file claims.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "GameFixture.h"
#include "game/CReplayReader.h"
#include "game/CReplayScript.h"
#include "game/CReplayWriter.h"
#include "tests/game/ActivePlayer.h"
#include "tests/game/ReplayTestSupport.h"

namespace {

bool gCounting = false;
long gAllocations = 0;
size_t gBytes = 0;  // asked for while counting

} // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void* __wrap_malloc(size_t size) { return gAllocations += gCounting, gBytes += gCounting ? size : 0, __real_malloc(size); }
void* __wrap_calloc(size_t count, size_t size)
{
    return gAllocations += gCounting, gBytes += gCounting ? count * size : 0, __real_calloc(count, size);
}
void* __wrap_realloc(void* block, size_t size)
{
    return gAllocations += gCounting, gBytes += gCounting ? size : 0, __real_realloc(block, size);
}
}

// Every form is replaced, so that what operator new takes from malloc is
// always given back with free. Running out of memory is not tested here.
void* operator new(size_t size) { return std::malloc(size == 0 ? 1 : size); }
void* operator new[](size_t size) { return std::malloc(size == 0 ? 1 : size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

TEST(Allocation, GamesAgainstAnIdleAndAScriptedRedAllocateNothingWhileTicking)
{
    CReplayScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("1 magnet 34 52\n2 laser 30 54\n3 magnet 32 48\n4 move 20 30 4\n"
                             "5 move 21 30 1\n6 erase 20 30\n7 robots\n400 clear\n",
                             "alloc.txt", error));
    // The idle game runs to its end; the scripted one lays, lifts and shoots.
    for (IPlayerActions* player : {IdlePlayer(), static_cast<IPlayerActions*>(&script)}) {
        const auto game = MakeNewGame(player == &script ? 4 : 12, player);
        gAllocations = 0;
        gCounting = true;
        // The counter sees operator new, through malloc. A new-expression whose
        // result is unused may be left out; a call through a volatile function
        // pointer may not.
        void* (*volatile allocate)(size_t) = ::operator new;
        void (*volatile release)(void*) noexcept = ::operator delete;
        release(allocate(sizeof(int)));
        Play(*game, 20000);
        gCounting = false;
        EXPECT_EQ(gAllocations, 1);
        EXPECT_GT(game->aiStep, 100);
        if (player != &script) {
            EXPECT_NE(game->state, CGame::STATE_PLAYING) << "the idle game ran to its end";
        }
    }
}

TEST(Allocation, RecordingAllocatesNothingPerTick)
{
    const std::string path = TempPath("alloc.tvr");
    CActivePlayer player(5);
    std::vector<SReplayRecord> records;
    for (int n = 0; n < 3000; ++n)
        records.push_back(player.Next());
    CReplayWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Create(path, MakeReplayHeader(0), error)) << error;
    gAllocations = 0;
    gCounting = true;
    for (const SReplayRecord& record : records)
        writer.Add(record);
    gCounting = false;
    EXPECT_EQ(gAllocations, 0) << "20 checkpoints written on the way";
    EXPECT_EQ(writer.Records(), 3000);
    EXPECT_GT(writer.BytesWritten(), 1000);
}

TEST(Allocation, ReadingAReplayTakesMemoryThatDoesNotGrowWithWhatItClaims)
{
    // A game of 3000 records; 40000 records in a file of a few kilobytes;
    // a footer claiming a billion records; bytes that are no replay.
    const std::string game = [] {
        const std::string path = TempPath("game.tvr");
        RecordGame(path, 5, 3000, "1x");
        return ReadBytes(path);
    }();
    std::string segments;
    const std::string idle(150, '\0');
    for (int n = 0; n < 40000 / 150; ++n)
        segments += idle + Checkpoint(idle, 150);
    const std::string many = CraftReplay(segments, 40000 / 150 * 150);
    const std::string claims = CraftReplay(idle + Checkpoint(idle, 150), 1000000000);
    const std::string junk(100, '\x42');
    // The decompressor's state and window (about 8 KB) at most, taken once
    // the header is read; error messages besides.
    const struct {
        const char* what;
        const std::string& bytes;
        size_t most;  // bytes allocated at most while reading
    } rows[] = {
        {"a game", game, 16 * 1024},
        {"many records in a small file", many, 16 * 1024},
        {"a billion claimed", claims, 16 * 1024},
        {"no replay", junk, 512},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<CReplayReader> reader(new CReplayReader());
        std::string error;
        gBytes = 0;
        gCounting = true;
        if (reader->OpenBytes(row.bytes.data(), row.bytes.size(), "r.tvr", error)) {
            SReplayRecord record;
            while (reader->Next(record) == CReplayReader::RECORD) {
            }
        }
        gCounting = false;
        EXPECT_LE(gBytes, row.most) << "a file of " << row.bytes.size() << " bytes, " << reader->Records() << " records";
    }
}

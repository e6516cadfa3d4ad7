// Recording and reading replays, one timer tick's record at a time, with
// the records of a player at work (tests/game/ActivePlayer.h): the mouse
// moving in most ticks, clicks, keys. Recording writes to a file in /tmp.
//   BM_RecordTick        one Add, averaged over whole segments (a
//                        checkpoint, a compression and a write every 150)
//   BM_RecordCheckpoint  only the Add that ends a segment: the dearest tick
//   BM_ReadTick          one Next of the reader, from memory
// Counter bytes_per_minute: the file's growth per 3000 records.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/CReplayReader.h"
#include "game/CReplayWriter.h"
#include "tests/game/ActivePlayer.h"

namespace {

// Ten minutes of records.
const std::vector<SReplayRecord>& Records()
{
    static const std::vector<SReplayRecord> records = [] {
        std::vector<SReplayRecord> r;
        CActivePlayer player(17);
        for (int n = 0; n < 30000; ++n)
            r.push_back(player.Next());
        return r;
    }();
    return records;
}

// A writer on a fresh file that is removed at once (the writer keeps it open).
std::unique_ptr<CReplayWriter> NewWriter()
{
    char path[] = "/tmp/tavrin-replay-bench-XXXXXX";
    const int fd = mkstemp(path);
    unlink(path);
    std::unique_ptr<CReplayWriter> writer(new CReplayWriter());
    std::string error;
    if (fd < 0 || !writer->Start(fd, path, MakeReplayHeader(0), error))
        std::abort();
    return writer;
}

void BM_RecordTick(benchmark::State& state)
{
    const std::vector<SReplayRecord>& records = Records();
    std::unique_ptr<CReplayWriter> writer = NewWriter();
    size_t n = 0;
    for (auto _ : state) {
        writer->Add(records[n]);
        n = n + 1 == records.size() ? 0 : n + 1;
    }
    state.counters["bytes_per_minute"] =
        static_cast<double>(writer->BytesWritten()) * 3000.0 / static_cast<double>(writer->Records());
}

void BM_RecordCheckpoint(benchmark::State& state)
{
    const std::vector<SReplayRecord>& records = Records();
    std::unique_ptr<CReplayWriter> writer = NewWriter();
    size_t n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int k = 1; k < kSegmentRecords; ++k) {
            writer->Add(records[n]);
            n = n + 1 == records.size() ? 0 : n + 1;
        }
        state.ResumeTiming();
        writer->Add(records[n]);
        n = n + 1 == records.size() ? 0 : n + 1;
    }
}

void BM_ReadTick(benchmark::State& state)
{
    char path[] = "/tmp/tavrin-replay-bench-XXXXXX";
    const int fd = mkstemp(path);
    std::string error;
    {
        CReplayWriter writer;
        if (fd < 0 || !writer.Start(fd, path, MakeReplayHeader(0), error))
            std::abort();
        for (const SReplayRecord& record : Records())
            writer.Add(record);
    }
    std::unique_ptr<CReplayReader> reader(new CReplayReader());
    SReplayRecord record;
    for (auto _ : state) {
        if (reader->Next(record) != CReplayReader::RECORD) {
            state.PauseTiming();
            if (!reader->Open(path, error))
                std::abort();
            state.ResumeTiming();
        }
    }
    unlink(path);
}

} // namespace

BENCHMARK(BM_RecordTick);
BENCHMARK(BM_RecordCheckpoint);
BENCHMARK(BM_ReadTick);

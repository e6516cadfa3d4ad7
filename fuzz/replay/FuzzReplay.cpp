// fuzz_replay: arbitrary bytes as a replay file. The reader must refuse or
// play them without a crash, a leak or undefined behaviour; every problem
// names the file; every record it hands out is one the format holds, and
// goes through the player's controls (the timer tick without its world
// ticks, which read no input) of a game built as the header says.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "game/CGame.h"
#include "game/CReplayCoder.h"
#include "game/CReplayReader.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool NamesTheFile(const std::string& problem)
{
    return problem.compare(0, 10, "fuzz.tvr: ") == 0 && problem.size() > 10;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<CReplayReader> reader(new CReplayReader());
    std::string error;
    if (!reader->OpenBytes(data, size, "fuzz.tvr", error)) {
        Require(NamesTheFile(error));
        return 0;
    }
    // One game for all inputs (a megabyte, built once), new for each as the
    // header says, with the controls' own state put back as a new object
    // has it.
    static CGame* const game = new CGame();
    ApplyReplayHeader(reader->Header());
    game->NewGame();
    game->cursorX = -1;
    game->cursorY = 0;
    for (bool& pending : game->keyPressPending)
        pending = false;
    SReplayRecord record;
    CReplayReader::Result result;
    while ((result = reader->Next(record)) == CReplayReader::RECORD) {
        Require(CReplayCoder::Check(record) == nullptr);
        game->Tick(record.input, 0, record.acceptActions);
    }
    Require(result == CReplayReader::END ? reader->Footer().records == reader->Records() : NamesTheFile(reader->Problem()));
    Require(reader->Next(record) == result);
    return 0;
}

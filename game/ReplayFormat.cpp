#include "game/ReplayFormat.h"

#include <cstring>

#include "game/GameGlobals.h"
#include "game/GameVersion.h"
#include "tlib/TRandom.h"

SReplayHeader MakeReplayHeader(int64_t date)
{
    SReplayHeader header;
    std::strncpy(header.gameVersion, kGameVersion, kMaxVersionLength);
    header.seed = tlib::RandomSeed();
    header.date = date;
    header.mouseSensitivity = gMouseSensitivity;
    header.showHelp = gShowHelp;
    return header;
}

void ApplyReplayHeader(const SReplayHeader& header)
{
    tlib::SeedRandom(header.seed);
    gMouseSensitivity = header.mouseSensitivity;
    gShowHelp = header.showHelp;
}

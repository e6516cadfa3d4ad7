#pragma once
// The game's version, as replays record it: "MAJOR.MINOR.PATCH", the
// project's version at build time.

extern const char kGameVersion[];

#pragma once
// Replay files: every timer tick of a game as the player's input record, so
// that the same seed and the same records play the same game again. This is
// the format's reference; CReplayWriter writes it, CReplayReader reads it.
//
// Integers are little-endian. A file is a header, a zlib stream of items
// and a footer.
//
// Header, plain:
//    8  magic "TAVRRPLY"
//    2  format version, kReplayFormatVersion
//    1  n: length of the game's version string, 1..kMaxVersionLength
//    n  the version string, printable ASCII
//    4  the seed the random generator was given before the world was built
//    8  the date the recording began: seconds since 1970-01-01 00:00 UTC
//    8  the mouse sensitivity the walk view turned with (IEEE 754 double)
//    1  flags: bit 0 the help picture shown at the start; the others 0
//    4  CRC-32 of the header's bytes before it
//
// Stream: the zlib format with a window of 512 bytes (windowBits 9; a
// stream that asks for more is refused), holding items, each a tag byte and
// its fields. The writer codes it by runs (Z_RLE): records repeat from one
// tick to the next, seldom from further back, and its checkpoints then cost
// the same few microseconds however the game was played.
//   tag 0x00..0x0F  one timer tick's record. Its bits say which fields
//                   follow, in this order; a field left out takes the value
//                   predicted from the record before:
//       0x01 motion   dx, dy as zigzag varints (32 bits)   predicted 0, 0
//       0x02 cursor   x, y as zigzag varints; 0..1023 x 0..767
//                     predicted: the cursor before plus the motion, held to
//                     0..1023 x 0..767 as the frame holds it
//       0x04 buttons  2 bytes: the 16 bits below XOR the prediction
//                     bit 0 left down, 1 left down before, 2 right down,
//                     3 right down before, 4..9 W A S D Space F1 down,
//                     10..15 the same keys pressed since the record before
//                     predicted: buttons and keys down as before, "down
//                     before" as the record before had them down, no press
//       0x08 speed    1 byte: bits 0..3 the world ticks run (0..8), bit 4
//                     red's actions accepted, bits 5..7 zero
//                     predicted: as the record before
//     Before the first record the record before is all zero, with 1 world
//     tick and actions accepted.
//   tag 0x80        checkpoint: 4 bytes CRC-32 of the items' bytes since the
//                   checkpoint before (or the stream's start), then the
//                   count of records among them as a varint,
//                   1..kSegmentRecords.
//   any other tag   the file is corrupted.
// The writer puts a checkpoint after every kSegmentRecords records (3 s of
// play), flushes the stream there (Z_SYNC_FLUSH) and writes what it has to
// the file, so that a file cut short by a crash or a kill loses at most the
// records after its last checkpoint. Only checked records are played. At
// the end: a checkpoint for the records left, then the stream's end.
//
// Footer, plain, after the stream's end:
//    4  magic "TEND"
//    4  count of records (timer ticks) in the stream
//    8  StateDigest of the game after the last record
//    2  n: length of the state line, 1..kMaxStateLineLength
//    n  StateLine of the game after the last record
//    4  CRC-32 of the footer's bytes before it
// Nothing follows the footer.
//
// A varint holds 7 bits a byte, lowest first, the top bit set on every byte
// but the last; zigzag maps 0, -1, 1, -2, ... to 0, 1, 2, 3, ...

#include <cstdint>

#include "game/SPlayerInput.h"

constexpr char kReplayMagic[8] = {'T', 'A', 'V', 'R', 'R', 'P', 'L', 'Y'};
constexpr char kReplayFooterMagic[4] = {'T', 'E', 'N', 'D'};
constexpr uint16_t kReplayFormatVersion = 1;
constexpr int kReplayWindowBits = 9;
constexpr int kMaxVersionLength = 32;
constexpr int kMaxStateLineLength = 255;
// Records between checkpoints: 3 seconds of 20 ms timer ticks.
constexpr int kSegmentRecords = 150;
// The screen the cursor lives on (overlay units).
constexpr int kReplayScreenWidth = 1024;
constexpr int kReplayScreenHeight = 768;

// What a game needs besides its records to be played again.
struct SReplayHeader {
    uint16_t formatVersion = kReplayFormatVersion;
    char gameVersion[kMaxVersionLength + 1] = {};  // NUL-terminated
    uint32_t seed = 0;
    int64_t date = 0;  // seconds since 1970-01-01 00:00 UTC
    double mouseSensitivity = 200.0;
    bool showHelp = false;
};

// One timer tick: the input the application gathered and what it let the
// game do with it (CGame::Tick's arguments).
struct SReplayRecord {
    SPlayerInput input;
    int32_t worldTicks = 1;  // 0..CGame::kMaxWorldTicks
    bool acceptActions = true;
};

// How the recorded game ended.
struct SReplayFooter {
    int64_t records = 0;
    uint64_t digest = 0;
    char stateLine[kMaxStateLineLength + 1] = {};  // NUL-terminated
};

// The header for a recording that begins now, from the process's state: the
// generator's seed, the game's version, the settings the game reads.
SReplayHeader MakeReplayHeader(int64_t date);

// Makes the process as the header says before a replayed world is built:
// seeds the generator, sets the mouse sensitivity and the help setting.
void ApplyReplayHeader(const SReplayHeader& header);

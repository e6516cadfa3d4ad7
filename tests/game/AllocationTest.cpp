// Ticks allocate nothing: global operator new and malloc, calloc and realloc
// (wrapped at link time) are counted while a game is played.

#include <gtest/gtest.h>

#include <cstdlib>

#include "GameFixture.h"
#include "game/CReplayScript.h"

namespace {

bool gCounting = false;
long gAllocations = 0;

} // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void* __wrap_malloc(size_t size) { return gAllocations += gCounting, __real_malloc(size); }
void* __wrap_calloc(size_t count, size_t size) { return gAllocations += gCounting, __real_calloc(count, size); }
void* __wrap_realloc(void* block, size_t size) { return gAllocations += gCounting, __real_realloc(block, size); }
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
        int* volatile probe = new int(3);  // the counter sees operator new, through malloc
        delete probe;
        Repeat(*game, &CGame::Update, 20000);
        gCounting = false;
        EXPECT_EQ(gAllocations, 1);
        EXPECT_TRUE(game->aiStep > 100 && (player == &script || game->state != 0));
    }
}

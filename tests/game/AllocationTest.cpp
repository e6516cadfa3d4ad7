// Ticks allocate nothing: global operator new and malloc, calloc and realloc
// (wrapped at link time) are counted while a game is played.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "GameFixture.h"
#include "game/CReplayScript.h"
#include "tlib/TRandom.h"

namespace {

bool gCounting = false;
long gAllocations = 0;

void Count()
{
    if (gCounting)
        ++gAllocations;
}

} // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);

void* __wrap_malloc(size_t size)
{
    Count();
    return __real_malloc(size);
}

void* __wrap_calloc(size_t count, size_t size)
{
    Count();
    return __real_calloc(count, size);
}

void* __wrap_realloc(void* block, size_t size)
{
    Count();
    return __real_realloc(block, size);
}
}

void* operator new(size_t size)
{
    Count();
    if (void* block = __real_malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, size_t) noexcept
{
    std::free(block);
}

namespace {

// Plays up to maxTicks and returns the allocations made while ticking.
long AllocationsWhilePlaying(CGame& game, int maxTicks)
{
    gAllocations = 0;
    gCounting = true;
    for (int tick = 0; tick < maxTicks && game.state == 0; ++tick)
        game.Update();
    gCounting = false;
    return gAllocations;
}

} // namespace

TEST(Allocation, TheCounterSeesAllocations)
{
    gAllocations = 0;
    gCounting = true;
    int* volatile p = new int(3);
    void* volatile q = std::malloc(10);
    void* volatile r = std::calloc(2, 10);
    gCounting = false;
    std::free(r);
    std::free(q);
    delete p;
    EXPECT_EQ(gAllocations, 3);
}

TEST(Allocation, AGameAgainstAnIdleRedAllocatesNothing)
{
    tlib::SeedRandom(12);
    std::unique_ptr<CGame> game(new CGame());
    game->NewGame();
    game->playerActions = IdlePlayer();
    EXPECT_EQ(AllocationsWhilePlaying(*game, 20000), 0);
    EXPECT_NE(game->state, 0);
}

TEST(Allocation, AScriptedGameAllocatesNothing)
{
    CReplayScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("1 magnet 34 52\n2 laser 30 54\n3 magnet 32 48\n4 move 20 30 4\n"
                             "5 move 21 30 1\n6 erase 20 30\n7 robots\n400 clear\n",
                             "alloc.txt", error));
    tlib::SeedRandom(4);
    std::unique_ptr<CGame> game(new CGame());
    game->NewGame();
    game->playerActions = &script;
    EXPECT_EQ(AllocationsWhilePlaying(*game, 20000), 0);
    EXPECT_GT(game->aiStep, 100);
}

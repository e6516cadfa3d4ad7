// A sprite-like list rebuilt every frame: cleared and refilled. After the
// first frame the list keeps its storage, so a frame allocates nothing; the
// "allocs/frame" counter shows it.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tlib/TSArray.h"
#include "tlib/TSFArray.h"

// The counting operator new below pairs malloc with free; GCC cannot see that
// through the inlined replacement and warns.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

std::atomic<long> gAllocations{0};

struct Sprite { // 16 bytes, like the overlay's queued sprite
    float x, y;
    short texture, frame;
    unsigned colour;
};

template <class List, class Value>
void Rebuild(benchmark::State& state, const Value& value)
{
    const int perFrame = static_cast<int>(state.range(0));
    List list;
    for (int i = 0; i < perFrame; ++i) // warm-up frame
        list.Append(value);
    long before = gAllocations.load();
    for (auto _ : state) {
        list.Clear();
        for (int i = 0; i < perFrame; ++i)
            list.Append(value);
        benchmark::DoNotOptimize(list.Block()->data);
    }
    long allocations = gAllocations.load() - before;
    state.counters["allocs/frame"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations() * perFrame);
}

void SpriteListRebuild(benchmark::State& state)
{
    Rebuild<tlib::TSFArray<Sprite>>(state, Sprite{1, 2, 3, 4, 0xFFFFFFFFu});
}
BENCHMARK(SpriteListRebuild)->Arg(64)->Arg(1024)->Arg(16384);

// The same with element assignment, for comparison.
void AssignedListRebuild(benchmark::State& state)
{
    Rebuild<tlib::TSArray<Sprite>>(state, Sprite{1, 2, 3, 4, 0xFFFFFFFFu});
}
BENCHMARK(AssignedListRebuild)->Arg(64)->Arg(1024)->Arg(16384);

// Growing from empty every time: what a list without kept storage would pay.
void SpriteListFromEmpty(benchmark::State& state)
{
    const int perFrame = static_cast<int>(state.range(0));
    const Sprite value{1, 2, 3, 4, 0xFFFFFFFFu};
    long before = gAllocations.load();
    for (auto _ : state) {
        tlib::TSFArray<Sprite> list;
        for (int i = 0; i < perFrame; ++i)
            list.Append(value);
        benchmark::DoNotOptimize(list.Block()->data);
    }
    long allocations = gAllocations.load() - before;
    state.counters["allocs/frame"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations() * perFrame);
}
BENCHMARK(SpriteListFromEmpty)->Arg(64)->Arg(1024)->Arg(16384);

} // namespace

// Counts every allocation of the process.
void* operator new(std::size_t size)
{
    ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

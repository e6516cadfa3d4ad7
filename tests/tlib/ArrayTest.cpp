#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "tests/tlib/MessageOf.h"
#include "tlib/TSArray.h"
#include "tlib/TSFArray.h"

namespace {

// The behaviour both block kinds share, over int elements.
template <class Handle>
class BothKinds : public ::testing::Test {};
using Handles = ::testing::Types<tlib::TSFArray<int>, tlib::TSArray<int>>;
TYPED_TEST_SUITE(BothKinds, Handles);

template <class Handle>
void Fill(Handle& array, int n)
{
    for (int i = 0; i < n; ++i)
        array.Append(i);
}

TYPED_TEST(BothKinds, CapacityGrowsByHalfFromEight)
{
    TypeParam array;
    std::vector<int> capacities;
    for (int i = 0; i < 202; ++i) {
        array.Append(i);
        if (capacities.empty() || capacities.back() != array.Capacity())
            capacities.push_back(array.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{8, 12, 18, 27, 40, 60, 90, 135, 202}));
    EXPECT_EQ(array.Item(201), 201);
    // A list refilled every frame keeps its storage.
    const int* storage = array.Block()->data;
    array.Clear();
    Fill(array, 202);
    EXPECT_EQ(array.Block()->data, storage);
}

TYPED_TEST(BothKinds, CopiesShareUntilOneChangesOrClears)
{
    TypeParam a, c;
    Fill(a, 5);
    TypeParam b(a);
    c = a;
    EXPECT_EQ(b.Item(4), 4); // reading never unshares
    EXPECT_EQ(a.RefCount(), 3);
    b.Append(5);
    c.ItemForWrite(0) = 42;
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_EQ(c.Item(0), 42);
    a = a;
    EXPECT_EQ(a.Item(4), 4);
    EXPECT_EQ(a.Item(0), 0);

    // Clearing a shared block gives a private one of capacity max(8, count).
    for (auto [n, capacity] : {std::pair{20, 20}, {1, 8}, {0, 0}}) {
        TypeParam original;
        Fill(original, n);
        TypeParam copy(original);
        copy.Clear();
        EXPECT_NE(copy.Block(), original.Block());
        EXPECT_EQ(copy.Count(), 0);
        EXPECT_EQ(copy.Capacity(), capacity) << n;
        EXPECT_EQ(original.Count(), n);
    }
}

TYPED_TEST(BothKinds, MisuseRaisesTheBlockMessages)
{
    using Block = std::remove_pointer_t<decltype(TypeParam().Block())>;
    const std::string prefix = Block::Name();
    TypeParam array;
    const std::string outOfBounds = prefix + "::Item() - Item index out of bounds";
    EXPECT_EQ(MessageOf([&] { array.Item(0); }), outOfBounds);
    Fill(array, 2);
    for (int index : {-1, 2, INT_MIN})
        EXPECT_EQ(MessageOf([&] { array.Item(index); }), outOfBounds) << index;
    EXPECT_EQ(MessageOf([&] { array.Block()->AllocArray(0); }), prefix + "::AllocArray() - minItems == 0");
    Block broken;
    broken.refCount = -1;
    EXPECT_EQ(MessageOf([&] { broken.Release(); }), prefix + "::Release() - Invalid array");
    EXPECT_EQ(broken.refCount, -1);
    // A count at the largest int cannot grow: the guard raises before any overflow.
    array.Block()->count = INT_MAX;
    EXPECT_THROW(array.Append(3), tlib::TException);
    array.Block()->count = 2;
    // An element of the array itself, appended while the storage is full.
    Fill(array, 6);
    array.Append(array.Item(3));
    EXPECT_EQ(array.Capacity(), 12);
    EXPECT_EQ(array.Item(8), 1); // elements 0 1 0 1 2 3 4 5
}

// An element that counts its lives (ASan reports one destroyed or assigned after its storage is freed).
struct Counted {
    static std::vector<int> counts; // constructed, assigned, destroyed
    int value;
    Counted(int v = -1) : value(v) { ++counts[0]; }
    Counted(const Counted& other) : value(other.value) { ++counts[0]; }
    Counted& operator=(const Counted& other) { value = other.value; ++counts[1]; return *this; }
    ~Counted() { ++counts[2]; }
};
std::vector<int> Counted::counts(3);
using Counts = std::vector<int>;
Counts Take() { return std::exchange(Counted::counts, Counts(3)); }

TEST(TArrayElements, GrowthAssignsLiveElementsAndDestroysTheOldStorageOnce)
{
    Take();
    {
        const Counted eight(8);
        tlib::TSArray<Counted> array;
        for (int i = 0; i < 8; ++i)
            array.Append(Counted(i));
        // eight, eight temporaries and a storage of 8; each temporary assigned, then destroyed
        EXPECT_EQ(Take(), (Counts{1 + 8 + 8, 8, 8}));
        array.Append(eight);
        // a default-constructed storage of 12, the live elements and the new one
        // assigned, every element of the old storage destroyed
        EXPECT_EQ(Take(), (Counts{12, 8 + 1, 8}));
        EXPECT_EQ(array.Item(8).value, 8);

        // A private copy assigns only the live elements; the original is untouched.
        tlib::TSArray<Counted> copy(array);
        copy.ItemForWrite(0).value = 99;
        EXPECT_EQ(Take(), (Counts{9, 9, 0}));
        EXPECT_EQ(array.Item(0).value, 0);
    }
    EXPECT_EQ(Take(), (Counts{0, 0, 12 + 9 + 1})); // both storages and the local value
}

} // namespace

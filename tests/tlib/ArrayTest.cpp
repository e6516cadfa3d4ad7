#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <type_traits>

#include "tlib/TException.h"
#include "tlib/TSArray.h"
#include "tlib/TSFArray.h"

namespace {

template <class Handle>
std::string ErrorOf(Handle& array, int index)
{
    try {
        array.Item(index);
    } catch (tlib::TException& e) {
        return e.Message();
    }
    return "(nothing raised)";
}

template <class Block>
std::string Prefix()
{
    return Block::Name();
}

// The behaviour both block kinds share, over int elements.
template <class Handle>
class BothKinds : public ::testing::Test {};
using Handles = ::testing::Types<tlib::TSFArray<int>, tlib::TSArray<int>>;
TYPED_TEST_SUITE(BothKinds, Handles);

TYPED_TEST(BothKinds, CapacityGrowsByHalfFromEight)
{
    TypeParam array;
    EXPECT_EQ(array.Capacity(), 0);
    EXPECT_EQ(array.Block()->data, nullptr);
    const int expected[] = {8, 12, 18, 27, 40, 60, 90, 135, 202};
    int next = 0;
    int previous = 0;
    for (int i = 0; i < 202; ++i) {
        array.Append(i);
        if (array.Capacity() != previous) {
            ASSERT_LT(next, 9);
            EXPECT_EQ(array.Capacity(), expected[next++]) << "after " << i + 1 << " appends";
            previous = array.Capacity();
        }
    }
    EXPECT_EQ(next, 9);
    for (int i = 0; i < 202; ++i)
        ASSERT_EQ(array.Item(i), i);
}

TYPED_TEST(BothKinds, AllocArrayTakesTheLargerOfGrowthAndRequest)
{
    TypeParam array;
    auto* block = array.Block();
    block->AllocArray(3);
    EXPECT_EQ(block->capacity, 8);
    block->AllocArray(8);
    EXPECT_EQ(block->capacity, 8);
    block->AllocArray(100);
    EXPECT_EQ(block->capacity, 100);
    block->AllocArray(101);
    EXPECT_EQ(block->capacity, 150);
}

TYPED_TEST(BothKinds, CopiesShareUntilOneChanges)
{
    TypeParam a;
    for (int i = 0; i < 5; ++i)
        a.Append(i);
    TypeParam b(a);
    TypeParam c;
    c = a;
    EXPECT_EQ(a.Block(), b.Block());
    EXPECT_EQ(a.RefCount(), 3);

    // Reading never unshares.
    EXPECT_EQ(b.Item(4), 4);
    EXPECT_EQ(a.RefCount(), 3);

    b.Append(5);
    EXPECT_NE(a.Block(), b.Block());
    EXPECT_EQ(a.RefCount(), 2);
    EXPECT_EQ(b.RefCount(), 1);
    EXPECT_EQ(a.Count(), 5);
    EXPECT_EQ(b.Count(), 6);

    c.ItemForWrite(0) = 42;
    EXPECT_EQ(a.Item(0), 0);
    EXPECT_EQ(c.Item(0), 42);
    EXPECT_EQ(a.RefCount(), 1);

    a = a;
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_EQ(a.Item(4), 4);
}

TYPED_TEST(BothKinds, ClearOfASharedArrayMakesACopyFirst)
{
    TypeParam big;
    for (int i = 0; i < 20; ++i)
        big.Append(i);
    EXPECT_EQ(big.Capacity(), 27);
    TypeParam other(big);
    other.Clear();
    EXPECT_EQ(other.Count(), 0);
    EXPECT_EQ(other.Capacity(), 20);
    EXPECT_EQ(big.Count(), 20);
    EXPECT_EQ(big.Item(19), 19);

    TypeParam small;
    small.Append(7);
    TypeParam smallCopy(small);
    smallCopy.Clear();
    EXPECT_EQ(smallCopy.Capacity(), 8);
    EXPECT_EQ(small.Item(0), 7);

    TypeParam empty;
    TypeParam emptyCopy(empty);
    emptyCopy.Clear();
    EXPECT_NE(emptyCopy.Block(), empty.Block());
    EXPECT_EQ(emptyCopy.Capacity(), 0);
    EXPECT_EQ(emptyCopy.Block()->data, nullptr);
}

TYPED_TEST(BothKinds, ClearAndRefillKeepsTheStorage)
{
    TypeParam list;
    for (int i = 0; i < 100; ++i)
        list.Append(i);
    const int* storage = list.Block()->data;
    int capacity = list.Capacity();
    for (int frame = 0; frame < 3; ++frame) {
        list.Clear();
        for (int i = 0; i < 100; ++i)
            list.Append(i);
    }
    EXPECT_EQ(list.Block()->data, storage);
    EXPECT_EQ(list.Capacity(), capacity);
}

TYPED_TEST(BothKinds, AppendingAnOwnElementSurvivesTheGrowth)
{
    TypeParam array;
    for (int i = 0; i < 8; ++i)
        array.Append(100 + i);
    array.Append(array.Item(3)); // the storage is full: this append reallocates
    EXPECT_EQ(array.Capacity(), 12);
    EXPECT_EQ(array.Item(8), 103);
}

TYPED_TEST(BothKinds, MisuseRaisesTheBlockMessages)
{
    using Block = typename std::remove_pointer<decltype(TypeParam().Block())>::type;
    const std::string prefix = Prefix<Block>();
    TypeParam array;
    EXPECT_EQ(ErrorOf(array, 0), prefix + "::Item() - Item index out of bounds");
    array.Append(1);
    array.Append(2);
    EXPECT_EQ(ErrorOf(array, -1), prefix + "::Item() - Item index out of bounds");
    EXPECT_EQ(ErrorOf(array, 2), prefix + "::Item() - Item index out of bounds");
    EXPECT_EQ(ErrorOf(array, INT_MIN), prefix + "::Item() - Item index out of bounds");
    EXPECT_EQ(array.Item(1), 2);
    EXPECT_THROW(array.ItemForWrite(2), tlib::TException);

    try {
        array.Block()->AllocArray(0);
        ADD_FAILURE();
    } catch (tlib::TException& e) {
        EXPECT_EQ(e.Message(), prefix + "::AllocArray() - minItems == 0");
    }
    EXPECT_EQ(array.Count(), 2);

    Block broken;
    broken.refCount = -1;
    try {
        broken.Release();
        ADD_FAILURE();
    } catch (tlib::TException& e) {
        EXPECT_EQ(e.Message(), prefix + "::Release() - Invalid array");
    }
    EXPECT_EQ(broken.refCount, -1);

    // A count at the largest int cannot grow; the guard raises before any
    // arithmetic overflows.
    array.Block()->count = INT_MAX;
    EXPECT_THROW(array.Append(3), tlib::TException);
    array.Block()->count = 2;
}

// An element that counts its lives and checks that each dies once.
struct Counted {
    static int constructed, assigned, destroyed;
    static constexpr int kAlive = 0x5A5A5A5A;
    int value = -1;
    int alive = kAlive;
    Counted() { ++constructed; }
    Counted(const Counted& other) : value(other.value) { ++constructed; }
    Counted& operator=(const Counted& other)
    {
        EXPECT_EQ(alive, kAlive);
        EXPECT_EQ(other.alive, kAlive);
        value = other.value;
        ++assigned;
        return *this;
    }
    ~Counted()
    {
        EXPECT_EQ(alive, kAlive) << "destroyed twice";
        alive = 0;
        ++destroyed;
    }
    static void Reset() { constructed = assigned = destroyed = 0; }
};
int Counted::constructed = 0;
int Counted::assigned = 0;
int Counted::destroyed = 0;

Counted Make(int value)
{
    Counted c;
    c.value = value;
    return c;
}

TEST(TArrayElements, GrowthAssignsLiveElementsAndDestroysTheOldStorageOnce)
{
    Counted::Reset();
    {
        const Counted eight = Make(8);
        tlib::TSArray<Counted> array;
        for (int i = 0; i < 8; ++i)
            array.Append(Make(i));
        EXPECT_EQ(Counted::constructed, 1 + 8 + 8); // eight, eight temporaries, storage of 8
        EXPECT_EQ(Counted::assigned, 8);

        Counted::Reset();
        array.Append(eight);
        EXPECT_EQ(Counted::constructed, 12);  // new storage, default-constructed
        EXPECT_EQ(Counted::assigned, 8 + 1);  // the live elements, then the new one
        EXPECT_EQ(Counted::destroyed, 8);     // every element of the old storage
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(array.Item(i).value, i);

        // A private copy assigns only the live elements; the shared original
        // is untouched.
        Counted::Reset();
        tlib::TSArray<Counted> copy(array);
        copy.ItemForWrite(0).value = 99;
        EXPECT_EQ(Counted::constructed, 9);
        EXPECT_EQ(Counted::assigned, 9);
        EXPECT_EQ(Counted::destroyed, 0);
        EXPECT_EQ(array.Item(0).value, 0);

        Counted::Reset();
    }
    // Both storages (12 and 9 elements) and the local value.
    EXPECT_EQ(Counted::destroyed, 12 + 9 + 1);
}

} // namespace

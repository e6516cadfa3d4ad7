// Layer 0, the bottom of the game: the occupancy grid. Occupying, vacating
// and moving objects, the area test, placing an object and removing an
// entry from one of the fixed lists. Calls nothing else of the game; every
// other file of the game may call it.

#include <type_traits>

#include "game/CGame.h"

CLocObject* CGame::Occupy(CLocObject* object)
{
    for (int y = object->y; y < object->y + object->height; ++y)
        for (int x = object->x; x < object->x + object->width; ++x)
            grid[y * kGridSize + x] = object;
    return object;
}

bool CGame::IsAreaFree(int x, int y, int width, int height) const
{
    if (x < 0 || y < 0 || x + width > kGridSize || y + height > kGridSize)
        return false;
    for (int row = y; row < y + height; ++row)
        for (int col = x; col < x + width; ++col)
            if (grid[row * kGridSize + col] != nullptr)
                return false;
    return true;
}

void CGame::MoveObject(CLocObject* object, int dx, int dy)
{
    Vacate(object);
    object->x += dx;
    object->y += dy;
    Occupy(object);
}

void CGame::Vacate(CLocObject* object)
{
    for (int y = object->y; y < object->y + object->height; ++y)
        for (int x = object->x; x < object->x + object->width; ++x)
            grid[y * kGridSize + x] = nullptr;
}

void CGame::Place(CLocObject& object, int x, int y, int width, int height, int side)
{
    object.x = x;
    object.y = y;
    object.width = width;
    object.height = height;
    object.side = side;
    Occupy(&object);
}

template <class T>
void CGame::RemoveEntry(T* list, int32_t& count, int index)
{
    constexpr bool kOnGrid = std::is_base_of<CLocObject, T>::value;
    T* removed = &list[index];
    if constexpr (kOnGrid)
        Vacate(removed);
    if constexpr (std::is_same<T, CMagnet>::value) {
        // Lasers aim only at the other side's magnets; shots at anyone's.
        // References to the removed magnet become none; references to the
        // ones that move down follow them.
        CMagnet* end = &list[count];
        auto repoint = [removed, end](CMagnet*& target) {
            if (target == removed)
                target = nullptr;
            else if (target > removed && target < end)
                --target;
        };
        const int other = 1 - removed->side;
        for (int i = 0; i < laserCount[other]; ++i)
            repoint(lasers[other][i].target);
        for (int i = 0; i < shotCount; ++i)
            repoint(shots[i].target);
    }
    for (int i = index; i + 1 < count; ++i) {
        list[i] = list[i + 1];
        if constexpr (kOnGrid)
            Occupy(&list[i]);
    }
    --count;
}

// RemoveMoveMagnet (CGameRobots.cpp) removes from the move-magnet lists.
template void CGame::RemoveEntry(CMoveMagnet*, int32_t&, int);

void CGame::RemoveRobot(int side, int index)
{
    RemoveEntry(robots[side], robotCount[side], index);
}

void CGame::RemoveMagnet(int side, int index)
{
    RemoveEntry(magnets[side], magnetCount[side], index);
}

void CGame::RemoveLaser(int side, int index)
{
    RemoveEntry(lasers[side], laserCount[side], index);
}

void CGame::RemoveTree(int index)
{
    RemoveEntry(trees, treeCount, index);
}

void CGame::RemoveShot(int index)
{
    RemoveEntry(shots, shotCount, index);
}

#pragma once
// A source of the red player's actions that replaces the keyboard and the
// mouse: a replay script, or nothing at all for an idle red side. While one is
// attached to a CGame, Tick calls Apply in place of the map-view and
// walk-view controls and skips the view and help keys, so the game needs no
// input device. Apply runs on the thread that calls Tick, once per world
// tick played, before the computer's step; it must act only through the CGame
// operations the controls call (ProduceRobots, BuildMagnet, BuildLaser,
// AddMoveMagnet, RemoveMoveMagnet, ClearMoveMagnets) for side 0.

class CGame;

class IPlayerActions {
public:
    virtual ~IPlayerActions() = default;
    virtual void Apply(CGame& game) = 0;
};

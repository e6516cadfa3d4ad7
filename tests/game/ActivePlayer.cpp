#include "tests/game/ActivePlayer.h"

namespace {

// The panel's buttons (centres): robots, magnet, laser, eraser, clear, and
// the pad's top-left button (the others at a pitch of 75 x 59).
constexpr int kRobots[2] = {820, 67};
constexpr int kMagnet[2] = {895, 67};
constexpr int kLaser[2] = {970, 67};
constexpr int kEraser[2] = {820, 369};
constexpr int kClear[2] = {895, 369};
constexpr int kPad[2] = {820, 192};

} // namespace

uint32_t CActivePlayer::Chance(uint32_t n)
{
    mState = mState * 1664525u + 1013904223u;
    return (mState >> 8) % n;
}

void CActivePlayer::NewPlan()
{
    mPlanTicks = Between(50, 400);
    if (Chance(6) == 0) {
        mInput.Tap(SPlayerInput::KEY_SPACE);
        mWalking = !mWalking;
    }
    for (int key = SPlayerInput::KEY_W; key <= SPlayerInput::KEY_D; ++key)
        mInput.Hold(static_cast<SPlayerInput::Key>(key), false);
    if (mWalking) {
        // Mostly forward, sometimes sideways or back; now and then standing.
        const int walk = static_cast<int>(Chance(10));
        if (walk < 5)
            mInput.Hold(SPlayerInput::KEY_W, true);
        else if (walk < 7)
            mInput.Hold(Chance(2) ? SPlayerInput::KEY_A : SPlayerInput::KEY_D, true);
        else if (walk < 8)
            mInput.Hold(SPlayerInput::KEY_S, true);
    }
}

void CActivePlayer::PlanClick()
{
    if (mMapClicks > 0) {
        // A cell: near red's base for a building; in red's half for a move
        // magnet; for the eraser, where a move magnet was laid.
        --mMapClicks;
        if (mTool == TOOL_ERASER && mLaidCount > 0) {
            const int* laid = mLaid[Chance(static_cast<uint32_t>(mLaidCount < 8 ? mLaidCount : 8))];
            mTargetX = laid[0];
            mTargetY = laid[1];
            return;
        }
        const bool building = mTool == TOOL_BUILDING;
        const int column = building ? Between(24, 40) : Between(8, 56);
        const int row = building ? Between(48, 63) : Between(36, 63);
        mTargetX = 102 + (column * 615 + 63) / 64 + Between(0, 7);
        mTargetY = 78 + (row * 615 + 63) / 64 + Between(0, 7);
        if (mTool == TOOL_MOVE_MAGNET) {
            int* laid = mLaid[mLaidCount++ % 8];
            laid[0] = mTargetX;
            laid[1] = mTargetY;
        }
        return;
    }
    // A button: mostly a tool, then a few cells with it.
    const int pick = static_cast<int>(Chance(100));
    int x = kRobots[0];
    int y = kRobots[1];
    mTool = TOOL_NONE;
    if (pick < 25) {
        x = pick < 15 ? kMagnet[0] : kLaser[0];
        y = kMagnet[1];
        mTool = TOOL_BUILDING;
    } else if (pick < 60) {
        x = kPad[0] + 75 * Between(0, 2);
        y = kPad[1] + 59 * Between(0, 2);
        mTool = TOOL_MOVE_MAGNET;
    } else if (pick < 75) {
        x = kEraser[0];
        y = kEraser[1];
        mTool = TOOL_ERASER;
    } else if (pick >= 95) {
        x = kClear[0];
        y = kClear[1];
    }
    mTargetX = x + Between(-8, 8);
    mTargetY = y + Between(-8, 8);
    mMapClicks = mTool == TOOL_NONE ? 0 : Between(1, 4);
}

SReplayRecord CActivePlayer::Next()
{
    if (--mPlanTicks <= 0)
        NewPlan();
    if (Chance(1500) == 0)
        mInput.Tap(SPlayerInput::KEY_F1);

    int dx = 0;
    int dy = 0;
    bool left = false;
    bool right = false;
    if (mRestTicks > 0) {
        --mRestTicks;
    } else if (mWalking) {
        // Mouse look: a turning speed that drifts.
        mTurnX += Between(-2, 2);
        mTurnY += Between(-1, 1);
        mTurnX = mTurnX < -12 ? -12 : (mTurnX > 12 ? 12 : mTurnX);
        mTurnY = mTurnY < -3 ? -3 : (mTurnY > 3 ? 3 : mTurnY);
        dx = mTurnX;
        dy = mTurnY;
        if (Chance(300) == 0)
            mRestTicks = Between(10, 50);
    } else {
        const int toX = mTargetX - mInput.Last().cursorX;
        const int toY = mTargetY - mInput.Last().cursorY;
        if (mPressTicks > 0) {
            left = --mPressTicks > 0;
        } else if (toX * toX + toY * toY <= 9) {
            // Arrived: press there (the eraser's drag is a longer hold), or
            // now and then drop the tool; then head somewhere else.
            if (Chance(12) == 0)
                right = true;
            else
                mPressTicks = Between(2, Chance(8) == 0 ? 30 : 8);
            left = mPressTicks > 0;
            PlanClick();
            if (Chance(10) == 0)
                mRestTicks = Between(10, 60);
        } else {
            // Eased towards the target with a hand's wobble.
            dx = toX / 6 + (toX > 0) - (toX < 0) + Between(-1, 1);
            dy = toY / 6 + (toY > 0) - (toY < 0) + Between(-1, 1);
        }
    }

    SReplayRecord record;
    record.input = mInput.Poll(dx, dy, left, right);
    return record;
}

#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "input/KeyState.h"
#include "platform/sdl/SDLKeyboard.h"
#include "platform/sdl/SDLMouse.h"

namespace {

SDL_Event Key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, bool repeat = false)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = type;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    e.key.repeat = repeat ? 1 : 0;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    return e;
}

SDL_Event Button(Uint32 type, Uint8 button)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = type;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    return e;
}

SDL_Event Motion(int xrel, int yrel)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEMOTION;
    e.motion.xrel = xrel;
    e.motion.yrel = yrel;
    return e;
}

SDL_Event Focus(Uint8 what)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    return e;
}

// Records the relative-mode switches instead of asking SDL.
class RecordingMouse : public SDLMouse {
public:
    RecordingMouse() : SDLMouse(nullptr) {}
    std::vector<bool> modes;

protected:
    void SetRelativeMode(bool on) override { modes.push_back(on); }
};

DIMOUSESTATE Poll(IDirectInputDevice8A& mouse)
{
    DIMOUSESTATE s;
    EXPECT_EQ(mouse.GetDeviceState(sizeof s, &s), DI_OK);
    return s;
}

HWND const kWindow = reinterpret_cast<HWND>(0x10);

} // namespace

TEST(SdlKeyboardTest, LettersAreReadByPositionWhateverTheLayout)
{
    SDLKeyboard keys(nullptr);
    SetKeySource(&keys);
    // On a French layout the key in W's place types 'z'.
    keys.HandleEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_z));
    EXPECT_EQ(GetAsyncKeyState('W') & 0xFFFF, 0x8001);
    EXPECT_EQ(GetAsyncKeyState('Z'), 0);
    keys.HandleEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_z, true));
    EXPECT_EQ(GetAsyncKeyState('W') & 0xFFFF, 0x8000);
    keys.HandleEvent(Key(SDL_KEYUP, SDL_SCANCODE_W, SDLK_z));
    EXPECT_EQ(GetAsyncKeyState('W'), 0);

    keys.HandleEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
    keys.HandleEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, SDLK_SPACE));
    keys.HandleEvent(Key(SDL_KEYUP, SDL_SCANCODE_SPACE, SDLK_SPACE));
    keys.HandleEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_F1, SDLK_F1));
    keys.HandleEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_D, SDLK_d));
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE) & 0xFFFF, 0x8001);
    EXPECT_EQ(GetAsyncKeyState(VK_SPACE), 1) << "a tap between two queries is still a press";
    EXPECT_EQ(GetAsyncKeyState(VK_F1) & 0xFFFF, 0x8001);

    keys.HandleEvent(Focus(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(GetAsyncKeyState('D') & 0x8000, 0) << "no key stays down after the focus is lost";

    EXPECT_EQ(SDLKeyboard::VirtualKey(SDL_SCANCODE_A), 'A');
    EXPECT_EQ(SDLKeyboard::VirtualKey(SDL_SCANCODE_S), 'S');
    EXPECT_EQ(SDLKeyboard::VirtualKey(SDL_SCANCODE_F12), VK_F1 + 11);
    EXPECT_EQ(SDLKeyboard::VirtualKey(SDL_SCANCODE_LSHIFT), -1);
    SetKeySource(nullptr);
}

TEST(SdlMouseTest, ClicksAreLatchedAndMotionSummedBetweenPolls)
{
    RecordingMouse* mouse = new RecordingMouse();
    EXPECT_EQ(mouse->GetDeviceState(16, nullptr), DIERR_INVALIDPARAM);
    DIMOUSESTATE s;
    EXPECT_EQ(mouse->GetDeviceState(sizeof s, &s), DIERR_NOTACQUIRED);
    ASSERT_EQ(mouse->SetDataFormat(&c_dfDIMouse), DI_OK);
    ASSERT_EQ(mouse->SetCooperativeLevel(kWindow, DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    EXPECT_EQ(mouse->modes, std::vector<bool>{true});

    // A quick click inside one tick.
    mouse->HandleEvent(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
    mouse->HandleEvent(Motion(5, -3));
    mouse->HandleEvent(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT));
    mouse->HandleEvent(Motion(2, 1));
    s = Poll(*mouse);
    EXPECT_NE(s.rgbButtons[0], 0);
    EXPECT_EQ(s.rgbButtons[1], 0);
    EXPECT_EQ(s.lX, 7);
    EXPECT_EQ(s.lY, -2);
    s = Poll(*mouse);
    EXPECT_EQ(s.rgbButtons[0], 0);
    EXPECT_EQ(s.lX, 0);

    mouse->HandleEvent(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT));
    EXPECT_NE(Poll(*mouse).rgbButtons[1], 0);
    EXPECT_NE(Poll(*mouse).rgbButtons[1], 0);
    mouse->HandleEvent(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT));
    EXPECT_EQ(Poll(*mouse).rgbButtons[1], 0);
    mouse->Release();
}

TEST(SdlMouseTest, LosingTheFocusReleasesTheMouseAndThePollKeepsWorking)
{
    RecordingMouse* mouse = new RecordingMouse();
    mouse->SetDataFormat(&c_dfDIMouse);
    mouse->SetCooperativeLevel(kWindow, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    mouse->Acquire();
    mouse->HandleEvent(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
    mouse->HandleEvent(Focus(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(mouse->modes, (std::vector<bool>{true, false}));
    EXPECT_FALSE(mouse->Active());
    // Events while inactive (the cursor crossing the window) are ignored.
    mouse->HandleEvent(Motion(50, 50));
    mouse->HandleEvent(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT));
    DIMOUSESTATE s = Poll(*mouse);
    EXPECT_EQ(s.rgbButtons[0], 0) << "the left button's release will never arrive";
    EXPECT_EQ(s.rgbButtons[1], 0);
    EXPECT_EQ(s.lX, 0);

    mouse->HandleEvent(Focus(SDL_WINDOWEVENT_FOCUS_GAINED));
    EXPECT_EQ(mouse->modes, (std::vector<bool>{true, false, true}));
    mouse->HandleEvent(Motion(-4, 0));
    EXPECT_EQ(Poll(*mouse).lX, -4);
    mouse->Release();
}

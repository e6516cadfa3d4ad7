#include <gtest/gtest.h>

#include <SDL.h>

#include <tuple>
#include <vector>

#include "input/KeyState.h"
#include "platform/sdl/SDLKeyboard.h"
#include "platform/sdl/SDLMouse.h"

namespace {

// A fake SDL event: a key (code: scancode, x: repeat), a button (code:
// button), motion (x, y) or a window event (code: what happened).
SDL_Event Event(Uint32 type, int code = 0, int x = 0, int y = 0)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP)
        e.key.keysym.scancode = static_cast<SDL_Scancode>(code), e.key.repeat = static_cast<Uint8>(x);
    else if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP)
        e.button.button = static_cast<Uint8>(code);
    else if (type == SDL_MOUSEMOTION)
        e.motion.xrel = x, e.motion.yrel = y;
    else
        e.window.event = static_cast<Uint8>(code);
    return e;
}

// Records the relative-mode switches instead of asking SDL.
class RecordingMouse : public SDLMouse {
public:
    RecordingMouse() : SDLMouse(nullptr) {}
    std::vector<bool> modes;
    DIMOUSESTATE Poll()
    {
        DIMOUSESTATE s;
        EXPECT_EQ(GetDeviceState(sizeof s, &s), DI_OK);
        return s;
    }

protected:
    void SetRelativeMode(bool on) override { modes.push_back(on); }
};

// A poll as left down, right down, dx, dy.
std::tuple<bool, bool, int32_t, int32_t> Reading(const DIMOUSESTATE& s)
{
    return std::make_tuple(s.rgbButtons[0] != 0, s.rgbButtons[1] != 0, s.lX, s.lY);
}

} // namespace

TEST(SdlKeyboardTest, KeysAreReadByPositionPressedOnceAndReleasedWithTheFocus)
{
    SDLKeyboard keys(nullptr);
    SetKeySource(&keys);
    // On a French layout the key in W's place types 'z': the scancode counts.
    SDL_Event w = Event(SDL_KEYDOWN, SDL_SCANCODE_W);
    w.key.keysym.sym = SDLK_z;
    keys.HandleEvent(w);
    EXPECT_EQ(GetAsyncKeyState('W') & 0xFFFF, 0x8001);
    EXPECT_EQ(GetAsyncKeyState('Z'), 0);
    keys.HandleEvent(Event(SDL_KEYDOWN, SDL_SCANCODE_W, 1));
    EXPECT_EQ(GetAsyncKeyState('W') & 0xFFFF, 0x8000) << "a repeat is not a new press";
    keys.HandleEvent(Event(SDL_KEYUP, SDL_SCANCODE_W));
    EXPECT_EQ(GetAsyncKeyState('W'), 0);

    // Every key the game reads; querying one leaves the others' presses alone.
    for (int code : {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_SPACE, SDL_SCANCODE_F1, SDL_SCANCODE_A, SDL_SCANCODE_D})
        keys.HandleEvent(Event(SDL_KEYDOWN, code));
    keys.HandleEvent(Event(SDL_KEYUP, SDL_SCANCODE_SPACE));
    for (int vk : {int(VK_ESCAPE), int(VK_F1), int('A'), int('D')})
        EXPECT_EQ(GetAsyncKeyState(vk) & 0xFFFF, 0x8001) << vk;
    EXPECT_EQ(GetAsyncKeyState(VK_SPACE), KEY_PRESSED_SINCE_QUERY) << "a tap between two queries is still a press";
    EXPECT_EQ(GetAsyncKeyState(VK_SPACE), 0);
    EXPECT_EQ(SDLKeyboard::VirtualKey(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT), -1);
    keys.HandleEvent(Event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(GetAsyncKeyState('D') & 0x8000, 0) << "no key stays down after the focus is lost";
    keys.KeyDown(-1, false);
    keys.KeyDown(300, false);
    EXPECT_EQ(GetAsyncKeyState(300), 0) << "codes outside 0..255 are never down";
    SetKeySource(nullptr);
    EXPECT_EQ(GetAsyncKeyState(VK_F1), 0);
}

// The application's keys: + and - by the character on the key (the key of
// '=' carries '+' on many layouts), the keypad's by position, and Return
// with Alt as a chord that stays latched after Alt is let go.
TEST(SdlKeyboardTest, TheApplicationsKeysAreReadByCharacterOrPositionAndAltReturnIsAChord)
{
    const struct {
        int scancode, keycode, vk;
    } keys[] = {
        {SDL_SCANCODE_EQUALS, SDLK_EQUALS, VK_OEM_PLUS},       // US: the '=' / '+' key
        {SDL_SCANCODE_RIGHTBRACKET, SDLK_PLUS, VK_OEM_PLUS},   // German: a '+' key of its own
        {SDL_SCANCODE_MINUS, SDLK_MINUS, VK_OEM_MINUS},        // US
        {SDL_SCANCODE_SLASH, SDLK_MINUS, VK_OEM_MINUS},        // German: '-' where US has '/'
        {SDL_SCANCODE_6, SDLK_MINUS, VK_OEM_MINUS},            // French: '-' on the 6
        {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, VK_ADD},
        {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, VK_SUBTRACT},
        {SDL_SCANCODE_PAUSE, SDLK_PAUSE, VK_PAUSE},
        {SDL_SCANCODE_P, SDLK_p, 'P'},
        {SDL_SCANCODE_F11, SDLK_F11, VK_F11},
        {SDL_SCANCODE_F12, SDLK_F12, VK_F12},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, VK_RETURN},
        {SDL_SCANCODE_W, SDLK_z, 'W'},                          // the game's keys stay by position
    };
    for (const auto& k : keys)
        EXPECT_EQ(SDLKeyboard::VirtualKey(k.scancode, k.keycode), k.vk) << SDL_GetScancodeName(SDL_Scancode(k.scancode));

    SDLKeyboard latch(nullptr);
    SetKeySource(&latch);
    auto key = [&](Uint32 type, SDL_Scancode code, SDL_Keycode sym, Uint16 mod) {
        SDL_Event e = Event(type, code);
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        latch.HandleEvent(e);
    };
    // Alt down, Return down and up, Alt up, all before the next query.
    key(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
    key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
    key(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
    key(SDL_KEYUP, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_NONE);
    EXPECT_EQ(GetAsyncKeyState(VK_ALT_RETURN), KEY_PRESSED_SINCE_QUERY);
    EXPECT_EQ(GetAsyncKeyState(VK_RETURN), KEY_PRESSED_SINCE_QUERY) << "it is Return too";
    // Return alone, and AltGr (right Alt) with Return.
    key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE);
    EXPECT_EQ(GetAsyncKeyState(VK_ALT_RETURN), 0);
    key(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE);
    key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_RALT);
    EXPECT_EQ(GetAsyncKeyState(VK_ALT_RETURN) & 0xFFFF, 0x8001);
    key(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_RALT);
    EXPECT_EQ(GetAsyncKeyState(VK_ALT_RETURN), 0) << "let go with Return";
    SetKeySource(nullptr);
}

TEST(SdlMouseTest, ClicksAreLatchedMotionSummedAndTheFocusReleasesTheMouse)
{
    RecordingMouse* mouse = new RecordingMouse();
    DIMOUSESTATE s;
    EXPECT_EQ(mouse->GetDeviceState(sizeof s, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->GetDeviceState(sizeof s, &s), DIERR_NOTACQUIRED);
    ASSERT_EQ(mouse->SetDataFormat(&c_dfDIMouse), DI_OK);
    ASSERT_EQ(mouse->SetCooperativeLevel(reinterpret_cast<HWND>(0x10), DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(mouse->Acquire(), DI_OK);

    // A quick click inside one tick reads as down once.
    mouse->HandleEvent(Event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
    mouse->HandleEvent(Event(SDL_MOUSEMOTION, 0, 5, -3));
    mouse->HandleEvent(Event(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT));
    mouse->HandleEvent(Event(SDL_MOUSEMOTION, 0, 2, 1));
    s = mouse->Poll();
    EXPECT_EQ(Reading(s), std::make_tuple(true, false, 7, -2));
    s = mouse->Poll();
    EXPECT_EQ(Reading(s), std::make_tuple(false, false, 0, 0));
    mouse->HandleEvent(Event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT));
    EXPECT_NE(mouse->Poll().rgbButtons[1], 0);
    EXPECT_NE(mouse->Poll().rgbButtons[1], 0) << "held";

    // Losing the focus releases the relative mode and every button (their
    // releases will never arrive); events while inactive are ignored.
    mouse->HandleEvent(Event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_FALSE(mouse->Active());
    mouse->HandleEvent(Event(SDL_MOUSEMOTION, 0, 50, 50));
    mouse->HandleEvent(Event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
    s = mouse->Poll();
    EXPECT_EQ(Reading(s), std::make_tuple(false, false, 0, 0));
    mouse->HandleEvent(Event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED));
    EXPECT_EQ(mouse->modes, (std::vector<bool>{true, false, true}));
    mouse->HandleEvent(Event(SDL_MOUSEMOTION, 0, -4, 0));
    EXPECT_EQ(mouse->Poll().lX, -4);
    mouse->Release();
}

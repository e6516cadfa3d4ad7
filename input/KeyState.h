#pragma once
// Single-key state as the game asks for it, one key at a time.
//
// GetAsyncKeyState(vk) answers with two bits: 0x8000 when the key is down
// now, 0x0001 when it was pressed since the previous query of that key (the
// query clears it). W, A, S and D are physical positions (they are where
// those letters are on a US keyboard, whatever the layout).
//
// Main thread only: the key source is fed and queried there.

#include <cstdint>

constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_F1 = 0x70;
// Letters are their upper-case ASCII codes: 'W', 'A', 'S', 'D', 'P'.

// The keys the application reads beside the game's.
constexpr int VK_RETURN = 0x0D;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_F11 = 0x7A;
constexpr int VK_F12 = 0x7B;
constexpr int VK_ADD = 0x6B;       // + of the keypad
constexpr int VK_SUBTRACT = 0x6D;  // - of the keypad
constexpr int VK_OEM_PLUS = 0xBB;  // the key that carries + (by its character, whatever the layout)
constexpr int VK_OEM_MINUS = 0xBD; // the key that carries -
// Return pressed while Alt is held: a chord, latched as a key of its own so
// that it is seen even when Alt is let go before the next query.
constexpr int VK_ALT_RETURN = 0xE8;

constexpr short KEY_DOWN_NOW = static_cast<short>(0x8000);
constexpr short KEY_PRESSED_SINCE_QUERY = 0x0001;

// Where key states come from (the SDL keyboard, or a fake in tests).
class IKeySource {
public:
    virtual ~IKeySource() {}
    virtual bool IsKeyDown(int vk) = 0;
    // Whether vk was pressed since the previous call for vk; clears that.
    virtual bool TakeKeyPressed(int vk) = 0;
};

// Installs the process-wide key source (not owned; null: every key is up and
// was never pressed).
void SetKeySource(IKeySource* source);
IKeySource* GetKeySource();

short GetAsyncKeyState(int vk);

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
// Letters are their upper-case ASCII codes: 'W', 'A', 'S', 'D'.

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

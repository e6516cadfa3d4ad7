#pragma once
// Our own declarations of the small part of the DirectInput 8 interface that
// the mouse of DXInput uses: abstract classes with the same operations,
// arguments, result codes and constant values. Back ends (the SDL mouse of
// platform/sdl, fakes in tests) implement them; nothing here includes a
// platform header.
//
// Objects are reference counted: they start with one reference and Release()
// destroys them when none is left.

#include <cstdint>

#include "tlib/DXException.h" // HRESULT

typedef uint32_t DWORD;
typedef uint32_t ULONG;
// The platform window (an opaque handle of the window layer) and the program
// instance (unused on this platform, passed through as on the original).
typedef void* HWND;
typedef void* HINSTANCE;

constexpr HRESULT DI_OK = 0;
constexpr HRESULT DIERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154u);

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

constexpr DWORD DISCL_EXCLUSIVE = 0x1;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
constexpr DWORD DISCL_FOREGROUND = 0x4;
constexpr DWORD DISCL_BACKGROUND = 0x8;

constexpr DWORD DIPH_DEVICE = 0;
constexpr DWORD DIPROP_AXISMODE = 2;
constexpr DWORD DIPROPAXISMODE_ABS = 0;
constexpr DWORD DIPROPAXISMODE_REL = 1;

// Device and interface identifiers (stand-ins for the GUIDs of the original).
enum DIGUID : int32_t {
    GUID_SysMouse = 1,
    GUID_SysKeyboard = 2,
};
enum DIIID : int32_t {
    IID_IDirectInput8A = 1,
};

// The mouse reading: relative motion on three axes and four button bytes (a
// button is down when its byte is not 0). 16 bytes, no gaps.
struct DIMOUSESTATE {
    int32_t lX;
    int32_t lY;
    int32_t lZ;
    uint8_t rgbButtons[4];
};
static_assert(sizeof(DIMOUSESTATE) == 16, "DIMOUSESTATE is 16 bytes");

struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwDataSize; // bytes of one reading
};
// The predefined mouse format: readings are DIMOUSESTATE records.
extern const DIDATAFORMAT c_dfDIMouse;

struct DIPROPHEADER {
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj;
    DWORD dwHow;
};
struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData;
};
static_assert(sizeof(DIPROPDWORD) == 20, "DIPROPDWORD is 20 bytes");

class IDirectInputDevice8A {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetProperty(DWORD property, const DIPROPHEADER* header) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    // Fills size bytes of data with the reading in the set data format.
    virtual HRESULT GetDeviceState(DWORD size, void* data) = 0;

protected:
    virtual ~IDirectInputDevice8A() {}
};

class IDirectInput8A {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT CreateDevice(DIGUID device, IDirectInputDevice8A** created, void* outer) = 0;

protected:
    virtual ~IDirectInput8A() {}
};

// What stands in for the run-time loaded library "dinput8.dll": a back end
// that may be missing (LoadLibrary false; the failure surfaces when DXInput
// looks up its entry point), may lack the entry point (HasDirectInput8Create
// false: "Invalid DirectInput library (dinput8.dll)"), and creates the
// DirectInput object. The provider outlives every DXInput made with it.
class IDirectInputProvider {
public:
    virtual ~IDirectInputProvider() {}
    virtual bool LoadLibrary() = 0;
    virtual bool HasDirectInput8Create() = 0;
    virtual HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, DIIID iid, void** out, void* outer) = 0;
};

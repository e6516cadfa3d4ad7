#pragma once
// Our own declarations of the part of the Direct3D 9 interface that the
// engine uses: abstract classes with the same operations, arguments, result
// codes and constant values, so that the engine code reads like the device
// layer it stands for. Back ends (the OpenGL renderer, the recording device
// of the tests) implement these classes; nothing here includes a platform
// header.
//
// Objects are reference counted as on the original interface: Release()
// drops one reference and destroys the object at zero.
//
// What every back end refuses. Each of these calls answers
// D3DERR_INVALIDCALL and changes nothing; an object or pointer it would
// have given back is set to null. The limits are the constants and helpers
// below the declarations; the typed device contract tests hold every back end
// to this list.
//   Scenes: BeginScene inside a scene; EndScene outside one; Present inside
//     one; DrawPrimitive and DrawPrimitiveUP outside one. Clear works inside
//     and outside.
//   Draws: an unknown primitive type, or a primitive count of 0 or above
//     kD3DMaxPrimitiveCount (D3DPrimitiveVertexCount gives 0); a vertex
//     format other than XYZ with any of NORMAL, DIFFUSE and TEX1
//     (D3DVertexFormatSupported); a stride below the format's size
//     (D3DVertexFormatSize); a bound texture that is locked. DrawPrimitive
//     also without a stream source, from a locked buffer, or reading a
//     vertex past the buffer's end; DrawPrimitiveUP without vertex data.
//   Textures for drawing: SetTexture of a system-memory texture (only
//     default-pool and managed textures are drawn: a default-pool one is
//     filled from a system-memory one with UpdateTexture), a texture on a
//     stage other than 0, or any stage from kD3DTextureStages on.
//   Resources: CreateTexture with a side of 0 or above kD3DMaxTextureSide,
//     levels other than 1, a format other than A8R8G8B8 or X8R8G8B8, a
//     pool other than default, managed or system memory; CreateVertexBuffer
//     of length 0.
//   Locks: LockRect of a default-pool texture, of a level other than 0, of
//     a locked texture, or of a rectangle not inside the level; Lock of a
//     locked buffer or of bytes past its end; unlocking what is not locked.
//   UpdateTexture other than from an unlocked system-memory texture to a
//     default-pool texture of the same size and format.
//   Clear with rectangles (the whole target only) or with flags other than
//     D3DCLEAR_TARGET and D3DCLEAR_ZBUFFER (there is no stencil buffer).
//   State: SetTransform of a state other than WORLD, VIEW and PROJECTION;
//     SetRenderState of a state from kD3DRenderStates on; SetLight or
//     LightEnable of an index from kD3DLights on; SetLight of a directional
//     light without a direction (D3DLightAccepted); SetStreamSource of a stream other than 0.
//   CreateDevice with an adapter other than 0, a back buffer of no width or
//     height, or a back-buffer format other than X8R8G8B8 or A8R8G8B8
//     (D3DFMT_UNKNOWN means X8R8G8B8).
//   Every call given a null pointer where it needs an object or a result.
// A back end may refuse more where its platform cannot do something (the
// OpenGL device: a back buffer larger than the driver draws, draws from
// another thread than the device's); it never accepts less.

#include <cstdint>

#include "tlib/DXException.h" // HRESULT

typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t BOOL;
typedef uint32_t ULONG;
typedef uint32_t D3DCOLOR; // 0xAARRGGBB
typedef void* HANDLE;
// The platform window the device draws into (an opaque handle of the window layer).
typedef void* HWND;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr HRESULT D3D_OK = 0;
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876017Cu);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);

inline bool FAILED(HRESULT hr) { return hr < 0; }
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }

constexpr UINT D3D_SDK_VERSION = 31;

// Vertex format codes.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_TEX1 = 0x100;

enum D3DPRIMITIVETYPE : int32_t {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
};

enum D3DTRANSFORMSTATETYPE : int32_t {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_WORLD = 256,
};

enum D3DRENDERSTATETYPE : int32_t {
    D3DRS_ZENABLE = 7,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24,
    D3DRS_ALPHAFUNC = 25,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
};

// Values of render states.
constexpr DWORD D3DBLEND_ZERO = 1;
constexpr DWORD D3DBLEND_ONE = 2;
constexpr DWORD D3DBLEND_SRCALPHA = 5;
constexpr DWORD D3DBLEND_INVSRCALPHA = 6;
constexpr DWORD D3DCMP_NEVER = 1;
constexpr DWORD D3DCMP_LESS = 2;
constexpr DWORD D3DCMP_EQUAL = 3;
constexpr DWORD D3DCMP_LESSEQUAL = 4;
constexpr DWORD D3DCMP_GREATER = 5;
constexpr DWORD D3DCMP_NOTEQUAL = 6;
constexpr DWORD D3DCMP_GREATEREQUAL = 7;
constexpr DWORD D3DCMP_ALWAYS = 8;
constexpr DWORD D3DCULL_NONE = 1;
constexpr DWORD D3DCULL_CW = 2;
constexpr DWORD D3DCULL_CCW = 3;

enum D3DFORMAT : int32_t {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_D16 = 80,
};

enum D3DPOOL : int32_t {
    D3DPOOL_DEFAULT = 0,
    D3DPOOL_MANAGED = 1,
    D3DPOOL_SYSTEMMEM = 2,
};

enum D3DDEVTYPE : int32_t {
    D3DDEVTYPE_HAL = 1,
};

enum D3DLIGHTTYPE : int32_t {
    D3DLIGHT_POINT = 1,
    D3DLIGHT_SPOT = 2,
    D3DLIGHT_DIRECTIONAL = 3,
};

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr DWORD D3DSWAPEFFECT_DISCARD = 1;
constexpr DWORD D3DPRESENTFLAG_LOCKABLE_BACKBUFFER = 0x1;
constexpr DWORD D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL = 0x2;
constexpr DWORD D3DPRESENTFLAG_VIDEO = 0x10;
constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;

struct D3DMATRIX {
    float m[4][4];
};

struct D3DVECTOR {
    float x, y, z;
};

struct D3DCOLORVALUE {
    float r, g, b, a;
};

struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power;
};

struct D3DLIGHT9 {
    D3DLIGHTTYPE Type;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DVECTOR Position;
    D3DVECTOR Direction;
    float Range;
    float Falloff;
    float Attenuation0;
    float Attenuation1;
    float Attenuation2;
    float Theta;
    float Phi;
};

struct D3DRECT {
    int32_t x1, y1, x2, y2;
};

struct RECT {
    int32_t left, top, right, bottom;
};

struct D3DLOCKED_RECT {
    int32_t Pitch;
    void* pBits;
};

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth;
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    int32_t MultiSampleType;
    DWORD MultiSampleQuality;
    DWORD SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT PresentationInterval;
};

class IUnknownLike {
public:
    virtual ULONG AddRef() = 0;
    // Drops one reference; the object is destroyed when none is left.
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknownLike() {}
};

class IDirect3DVertexBuffer9 : public IUnknownLike {
public:
    virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
};

class IDirect3DTexture9 : public IUnknownLike {
public:
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;
};

class IDirect3DDevice9 : public IUnknownLike {
public:
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                            const void* dirtyRegion) = 0;
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** vertexBuffer, HANDLE* sharedHandle) = 0;
    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** texture, HANDLE* sharedHandle) = 0;
    virtual HRESULT UpdateTexture(IDirect3DTexture9* sourceTexture, IDirect3DTexture9* destinationTexture) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT SetLight(DWORD index, const D3DLIGHT9* light) = 0;
    virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL9* material) = 0;
    virtual HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes,
                                    UINT stride) = 0;
    virtual HRESULT SetFVF(DWORD fvf) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DTexture9* texture) = 0;
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) = 0;
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* vertexData,
                                    UINT vertexStride) = 0;
};

class IDirect3D9 : public IUnknownLike {
public:
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* presentationParameters,
                                 IDirect3DDevice9** returnedDeviceInterface) = 0;
};

// ---- The limits of the contract above ---------------------------------------

// The largest texture side: Direct3D 10-class hardware, which OpenGL 3.3
// needs, draws textures of 8192 texels a side. The game's largest is 1024.
constexpr UINT kD3DMaxTextureSide = 8192;
// The most primitives one draw takes (the game's largest draw is one face).
constexpr UINT kD3DMaxPrimitiveCount = 0xFFFFF;
// Texture stages, lights and render-state codes a device has.
constexpr DWORD kD3DTextureStages = 8;
constexpr DWORD kD3DLights = 8;
constexpr DWORD kD3DRenderStates = 256;

// The vertices that primitiveCount primitives of the type take; 0 for a
// count or a type the device refuses.
inline UINT D3DPrimitiveVertexCount(D3DPRIMITIVETYPE type, UINT primitiveCount)
{
    if (primitiveCount == 0 || primitiveCount > kD3DMaxPrimitiveCount)
        return 0;
    switch (type) {
    case D3DPT_POINTLIST: return primitiveCount;
    case D3DPT_LINELIST: return primitiveCount * 2;
    case D3DPT_LINESTRIP: return primitiveCount + 1;
    case D3DPT_TRIANGLELIST: return primitiveCount * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitiveCount + 2;
    }
    return 0;
}

// Vertex formats the devices draw: a position (XYZ) with any of NORMAL,
// DIFFUSE and TEX1, laid out in that order.
inline bool D3DVertexFormatSupported(DWORD fvf)
{
    const DWORD known = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    return (fvf & D3DFVF_XYZ) != 0 && (fvf & ~known) == 0;
}

// Bytes of one vertex of a supported format.
inline UINT D3DVertexFormatSize(DWORD fvf)
{
    return 12 + ((fvf & D3DFVF_NORMAL) ? 12 : 0) + ((fvf & D3DFVF_DIFFUSE) ? 4 : 0) + ((fvf & D3DFVF_TEX1) ? 8 : 0);
}

// Whether SetLight takes the light: a directional light needs a direction
// to normalise.
inline bool D3DLightAccepted(const D3DLIGHT9& light)
{
    const D3DVECTOR& d = light.Direction;
    return light.Type != D3DLIGHT_DIRECTIONAL || d.x * d.x + d.y * d.y + d.z * d.z > 0.0f;
}

// What stands in for the run-time loaded library "d3d9.dll": a back end
// that may be missing (LoadLibrary false: "Unable to load d3d9.dll"), may
// lack its entry point (HasDirect3DCreate9 false: "Invalid d3d9.dll"), and
// may fail to create the Direct3D object (null: "Failed to create Direct3D
// object"). DXGraphics calls these in that order and FreeLibrary when it is
// destroyed. The provider outlives the DXGraphics made with it.
class ID3D9Provider {
public:
    virtual ~ID3D9Provider() {}
    virtual bool LoadLibrary() = 0;
    virtual bool HasDirect3DCreate9() = 0;
    virtual IDirect3D9* Direct3DCreate9(UINT sdkVersion) = 0;
    virtual void FreeLibrary() = 0;
};

#pragma once
// One call made to the recording back end, with its arguments.

#include <cstdint>
#include <vector>

#include "engine/D3D9.h"

// The operations the recording back end counts, records and can fail.
enum class RecOp : int {
    LoadLibrary, HasDirect3DCreate9, Direct3DCreate9, FreeLibrary, // provider
    CreateDevice,                                                  // IDirect3D9
    AddRef, Release,                                               // every object
    Clear, BeginScene, EndScene, Present, CreateVertexBuffer, CreateTexture, UpdateTexture, SetTransform,
    SetRenderState, SetLight, LightEnable, SetMaterial, SetStreamSource, SetFVF, SetTexture, DrawPrimitive,
    DrawPrimitiveUP,                                               // IDirect3DDevice9
    Lock, Unlock,                                                  // IDirect3DVertexBuffer9
    LockRect, UnlockRect,                                          // IDirect3DTexture9
    Count
};

// The operation's name as spelled on the interface ("DrawPrimitiveUP").
const char* RecOpName(RecOp op);
// The operation of that name; false for an unknown name.
bool RecOpFromName(const char* name, RecOp* op);

// Objects appear in records as ids (1, 2, ... in order of creation; 0 for
// none or for the provider). Integer arguments, in the interface's order:
//   Direct3DCreate9 {sdkVersion}        CreateDevice {adapter, deviceType, window, flags} + present
//   AddRef, Release {references left}   Clear {count, rects != null, flags, colour, stencil} + floats {z}
//   Present {4 x (argument != null)}    CreateVertexBuffer {length, usage, fvf, pool} + created
//   CreateTexture {width, height, levels, usage, format, pool} + created
//   UpdateTexture {source, destination} SetTransform {state} + floats (16, row by row)
//   SetRenderState {state, value}       SetLight {index} + light       LightEnable {index, enable}
//   SetMaterial {} + material           SetStreamSource {stream, buffer, offset, stride}
//   SetFVF {fvf}                        SetTexture {stage, texture}
//   DrawPrimitive {type, startVertex, primitiveCount, stride} + bytes (the vertices drawn) + texture0
//   DrawPrimitiveUP {type, primitiveCount, stride} + bytes (the vertices passed) + texture0
//   Lock {offset, size, flags}          Unlock {}
//   LockRect {level, rect != null, flags}  UnlockRect {level}
struct RecordedCall {
    RecOp op = RecOp::Count;
    uint32_t object = 0;             // the object called
    std::vector<int64_t> args;
    std::vector<float> floats;
    std::vector<uint8_t> bytes;
    D3DMATERIAL9 material{};
    D3DLIGHT9 light{};
    D3DPRESENT_PARAMETERS present{};
    uint32_t texture0 = 0;           // draws: the texture on stage 0 (0: none)
    uint32_t created = 0;            // creations: the new object
    HRESULT result = D3D_OK;

    const char* Name() const { return RecOpName(op); }
};

#pragma once
// A drawable model: its vertices in a device vertex buffer, one triangle
// fan per face, faces grouped by material. Immutable after construction.
// Built on the loading thread, drawn on the window's thread.

#include <cstdint>
#include <vector>

#include "engine/D3D9.h"
#include "engine/SMaterialGroup.h"

namespace Orvel {

class DXDevice;
class DXModelCreator;

class DXModel {
public:
    // Builds the creator and takes a copy of the result; the creator may be
    // destroyed afterwards. Raises the creator's and the device's errors;
    // nothing is left on the device after a failure.
    DXModel(DXDevice* device, DXModelCreator& creator);
    // Releases the vertex buffer.
    ~DXModel();
    DXModel(const DXModel&) = delete;
    DXModel& operator=(const DXModel&) = delete;

    // Draws every face with the device's current transforms: per group one
    // SetMaterial, then one DrawPrimitive fan per face. Sets no transform,
    // texture or render state. Raises "DXModel::Render() - SetStreamSource()
    // failed", "... - SetFVF() failed" or "... - DrawPrimitive() failed".
    void Render();

    DWORD VertexFormat() const { return mVertexFormat; }
    int VertexSize() const { return mVertexSize; }
    int GroupCount() const { return mGroupCount; }
    const SMaterialGroup& Group(int i) const { return mGroups[i]; }
    int FaceCount() const { return mFaceCount; }

    // What faces without a material are drawn with: opaque white diffuse
    // and ambient, everything else 0.
    static const D3DMATERIAL9& DefaultMaterial();

private:
    DXDevice* mDevice; // not owned
    IDirect3DVertexBuffer9* mVertexBuffer;
    DWORD mVertexFormat;
    int32_t mVertexSize;
    std::vector<SMaterialGroup> mGroups;
    int32_t mGroupCount;
    std::vector<int32_t> mFaceFirstVertex; // per drawing position
    std::vector<int32_t> mFaceDrawCounts;  // per drawing position: vertices of the face
    int32_t mFaceCount;
    std::vector<D3DMATERIAL9> mMaterials;
};

} // namespace Orvel

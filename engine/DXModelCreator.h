#pragma once
// Turns a model record into vertex data and material groups: every face
// gets its own copy of its vertices (file order, each face's vertices in
// list order), faces are sorted by material number (faces without one
// last) and drawn as one triangle fan each. Private to one model load, on
// the loading thread.

#include <cstdint>
#include <vector>

#include "engine/D3D9.h"
#include "engine/SMaterialGroup.h"

namespace SerialLib {
class SModelCreatorData;
}

namespace Orvel {

class DXModelCreator {
public:
    // Copies and checks the record. Raises DXException (code 0):
    //   "DXModelCreator::SetFaceData() - Model has no faces",
    //   "DXModelCreator::SetFaceData() - Faces must contain at least 3 vertices",
    //   "DXModelCreator::SetFaceData() - Vertex index out of range",
    //   "DXModelCreator::SetFaceData() - Too many vertices",
    //   "DXModelCreator::SetFaceNormalData() - Number of face normals must be equal to the number of faces",
    //   "DXModelCreator::SetFaceNormalData() - Face normal data does not match face data",
    //   "DXModelCreator::SetFaceNormalData() - Normal index out of range",
    //   "DXModelCreator::SetFaceMaterialData() - Material index out of range".
    // Normals are used only when the record has face normal lists.
    explicit DXModelCreator(const SerialLib::SModelCreatorData& data);
    ~DXModelCreator();
    DXModelCreator(const DXModelCreator&) = delete;
    DXModelCreator& operator=(const DXModelCreator&) = delete;

    // Builds the vertex data, the drawing order and the groups. Raises
    // "DXModelCreator::BuildModel() - Invalid ModelCreator" when the face
    // material list is longer than the face list.
    void BuildModel();
    // Copies the vertex data into buffer (one lock of the whole buffer, which
    // holds at least VertexDataSize() bytes). Raises
    // "DXModelCreator::GetVertexBuffer() - Lock() failed" or "... - Unlock()
    // failed" with the HRESULT, "... - Invalid ModelCreator" before BuildModel.
    void GetVertexBuffer(IDirect3DVertexBuffer9* buffer) const;

    // D3DFVF_XYZ, or D3DFVF_XYZ | D3DFVF_NORMAL with face normal lists.
    DWORD VertexFormat() const { return mVertexFormat; }
    // Bytes per vertex: 12, or 24 with normals.
    static int GetVertexSize(DWORD format) { return (format & D3DFVF_NORMAL) ? 24 : 12; }

    // After BuildModel:
    bool Built() const { return mBuilt; }
    int VertexSize() const { return mVertexSize; }
    int TotalVertexCount() const { return mTotalVertexCount; }
    const std::vector<uint8_t>& VertexData() const { return mVertexData; }
    int FaceCount() const { return static_cast<int>(mFaceVertexCounts.size()); }
    // Per drawing position: the face's first vertex and its vertex count.
    const std::vector<int32_t>& FaceFirstVertex() const { return mFaceFirstVertex; }
    const std::vector<int32_t>& FaceDrawCounts() const { return mFaceDrawCounts; }
    const std::vector<SMaterialGroup>& Groups() const { return mGroups; }
    const std::vector<D3DMATERIAL9>& Materials() const { return mMaterials; }

private:
    void SetFaceData(const SerialLib::SModelCreatorData& data);
    void SetFaceNormalData(const SerialLib::SModelCreatorData& data);
    void SetFaceMaterialData(const SerialLib::SModelCreatorData& data);

    std::vector<float> mPositions; // three per position
    float mScale;
    std::vector<std::vector<int32_t>> mFaceIndices;
    std::vector<int32_t> mFaceVertexCounts;
    std::vector<float> mNormals; // three per normal
    std::vector<std::vector<int32_t>> mFaceNormalIndices; // empty, or one list per face
    std::vector<D3DMATERIAL9> mMaterials;
    std::vector<int32_t> mFaceMaterials;
    bool mBuilt;
    int32_t mTotalVertexCount;
    DWORD mVertexFormat;
    int32_t mVertexSize;
    std::vector<uint8_t> mVertexData;
    std::vector<int32_t> mFaceFirstVertex;
    std::vector<int32_t> mFaceDrawCounts;
    std::vector<SMaterialGroup> mGroups;
};

} // namespace Orvel

#include "engine/DXModelCreator.h"

#include <climits>
#include <cstddef>
#include <cstring>
#include <utility>

#include "serial/SModelCreatorData.h"
#include "tlib/DXException.h"

namespace Orvel {

namespace {

// The largest vertex count whose data (24 bytes a vertex) fits an int.
constexpr int32_t kMaxVertices = INT_MAX / 24;

std::vector<float> CopyTriples(const SerialLib::CSerialArrayPrimitive<float, 3>& list)
{
    const int count = list.GetCount() / 3; // a remainder of one or two floats is ignored
    if (count == 0)
        return {};
    return std::vector<float>(list.Data(), list.Data() + 3 * count);
}

std::vector<int32_t> CopyIndices(const SerialLib::SModelCreatorData::IndexList& list)
{
    const int count = list.GetCount();
    if (count == 0)
        return {};
    return std::vector<int32_t>(list.Data(), list.Data() + count);
}

D3DCOLORVALUE Colour(const SerialLib::SColourData& c)
{
    return D3DCOLORVALUE{c.r, c.g, c.b, c.a};
}

} // namespace

DXModelCreator::DXModelCreator(const SerialLib::SModelCreatorData& data)
    : mScale(data.scale), mBuilt(false), mTotalVertexCount(0), mVertexFormat(D3DFVF_XYZ), mVertexSize(0)
{
    mPositions = CopyTriples(data.vertexData);
    SetFaceData(data);
    mNormals = CopyTriples(data.normalData);
    SetFaceNormalData(data);
    const int materialCount = data.materialList.GetCount();
    mMaterials.reserve(static_cast<size_t>(materialCount));
    for (int i = 0; i < materialCount; ++i) {
        const SerialLib::SMaterialData& m = data.materialList.At(i);
        D3DMATERIAL9 converted;
        converted.Diffuse = Colour(m.diffuse);
        converted.Ambient = Colour(m.ambient);
        converted.Specular = Colour(m.specular);
        converted.Emissive = Colour(m.emissive);
        converted.Power = m.power;
        mMaterials.push_back(converted);
    }
    SetFaceMaterialData(data);
}

DXModelCreator::~DXModelCreator() {}

void DXModelCreator::SetFaceData(const SerialLib::SModelCreatorData& data)
{
    const int faceCount = data.faceList.GetCount();
    if (faceCount == 0)
        DXThrow("DXModelCreator::SetFaceData() - Model has no faces");
    const int positionCount = static_cast<int>(mPositions.size() / 3);
    mFaceIndices.reserve(static_cast<size_t>(faceCount));
    mFaceVertexCounts.reserve(static_cast<size_t>(faceCount));
    for (int i = 0; i < faceCount; ++i) {
        const SerialLib::SModelCreatorData::IndexList& face = data.faceList.At(i);
        const int count = face.GetCount();
        if (count < 3)
            DXThrow("DXModelCreator::SetFaceData() - Faces must contain at least 3 vertices");
        std::vector<int32_t> indices = CopyIndices(face);
        for (int32_t index : indices)
            if (index < 0 || index >= positionCount)
                DXThrow("DXModelCreator::SetFaceData() - Vertex index out of range");
        if (count > kMaxVertices - mTotalVertexCount)
            DXThrow("DXModelCreator::SetFaceData() - Too many vertices");
        mTotalVertexCount += count;
        mFaceVertexCounts.push_back(count);
        mFaceIndices.push_back(std::move(indices));
    }
}

void DXModelCreator::SetFaceNormalData(const SerialLib::SModelCreatorData& data)
{
    const int listCount = data.faceNormalList.GetCount();
    if (listCount == 0)
        return; // position only, whatever the normal data holds
    if (listCount != FaceCount())
        DXThrow("DXModelCreator::SetFaceNormalData() - Number of face normals must be equal to the number of faces");
    const int normalCount = static_cast<int>(mNormals.size() / 3);
    mFaceNormalIndices.reserve(static_cast<size_t>(listCount));
    for (int i = 0; i < listCount; ++i) {
        const SerialLib::SModelCreatorData::IndexList& list = data.faceNormalList.At(i);
        if (list.GetCount() != mFaceVertexCounts[static_cast<size_t>(i)])
            DXThrow("DXModelCreator::SetFaceNormalData() - Face normal data does not match face data");
        std::vector<int32_t> indices = CopyIndices(list);
        for (int32_t index : indices)
            if (index < 0 || index >= normalCount)
                DXThrow("DXModelCreator::SetFaceNormalData() - Normal index out of range");
        mFaceNormalIndices.push_back(std::move(indices));
    }
    mVertexFormat |= D3DFVF_NORMAL;
}

void DXModelCreator::SetFaceMaterialData(const SerialLib::SModelCreatorData& data)
{
    const int count = data.faceMaterialList.GetCount();
    const int materialCount = static_cast<int>(mMaterials.size());
    mFaceMaterials.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int32_t material = data.faceMaterialList.At(i);
        if (material < 0 || material >= materialCount)
            DXThrow("DXModelCreator::SetFaceMaterialData() - Material index out of range");
        mFaceMaterials.push_back(material);
    }
}

void DXModelCreator::BuildModel()
{
    const int faceCount = FaceCount();
    if (static_cast<int>(mFaceMaterials.size()) > faceCount)
        DXThrow("DXModelCreator::BuildModel() - Invalid ModelCreator");
    mBuilt = true;

    // Vertex data: faces in file order, each with its own copy of its vertices.
    const bool normals = (mVertexFormat & D3DFVF_NORMAL) != 0;
    mVertexSize = GetVertexSize(mVertexFormat);
    mFaceFirstVertex.assign(static_cast<size_t>(faceCount), 0);
    mFaceDrawCounts = mFaceVertexCounts;
    mVertexData.assign(static_cast<size_t>(mTotalVertexCount) * static_cast<size_t>(mVertexSize), 0);
    uint8_t* out = mVertexData.data();
    int32_t running = 0;
    for (int f = 0; f < faceCount; ++f) {
        mFaceFirstVertex[static_cast<size_t>(f)] = running;
        running += mFaceVertexCounts[static_cast<size_t>(f)];
        const std::vector<int32_t>& face = mFaceIndices[static_cast<size_t>(f)];
        for (size_t k = 0; k < face.size(); ++k) {
            const float* p = &mPositions[3 * static_cast<size_t>(face[k])];
            const float position[3] = {p[0] * mScale, p[1] * mScale, p[2] * mScale};
            std::memcpy(out, position, sizeof(position));
            out += sizeof(position);
            if (normals) {
                const float* n = &mNormals[3 * static_cast<size_t>(mFaceNormalIndices[static_cast<size_t>(f)][k])];
                std::memcpy(out, n, 3 * sizeof(float));
                out += 3 * sizeof(float);
            }
        }
    }

    // Drawing order: exchange sort on the material numbers taken as
    // unsigned, so that faces without a material (-1) come last.
    std::vector<uint32_t> keys(static_cast<size_t>(faceCount), 0xFFFFFFFFu);
    for (size_t f = 0; f < mFaceMaterials.size(); ++f)
        keys[f] = static_cast<uint32_t>(mFaceMaterials[f]);
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        for (size_t j = i + 1; j < keys.size(); ++j) {
            if (keys[i] > keys[j]) {
                std::swap(keys[i], keys[j]);
                std::swap(mFaceFirstVertex[i], mFaceFirstVertex[j]);
                std::swap(mFaceDrawCounts[i], mFaceDrawCounts[j]);
            }
        }
    }

    // Groups: runs of equal keys, each carrying its faces' material number.
    mGroups.clear();
    int32_t start = 0;
    for (int32_t i = 0; i < faceCount; ++i) {
        if (i == faceCount - 1 || keys[static_cast<size_t>(i)] != keys[static_cast<size_t>(i) + 1]) {
            mGroups.push_back(SMaterialGroup{D3DPT_TRIANGLEFAN, static_cast<int32_t>(keys[static_cast<size_t>(i)]),
                                             start, i});
            start = i + 1;
        }
    }
}

void DXModelCreator::GetVertexBuffer(IDirect3DVertexBuffer9* buffer) const
{
    if (!mBuilt)
        DXThrow("DXModelCreator::GetVertexBuffer() - Invalid ModelCreator");
    void* bytes = nullptr;
    HRESULT result = buffer->Lock(0, 0, &bytes, 0);
    if (FAILED(result))
        DXThrowCode(result, "DXModelCreator::GetVertexBuffer() - Lock() failed");
    std::memcpy(bytes, mVertexData.data(), mVertexData.size());
    result = buffer->Unlock();
    if (FAILED(result))
        DXThrowCode(result, "DXModelCreator::GetVertexBuffer() - Unlock() failed");
}

} // namespace Orvel

#include "engine/DXModel.h"

#include <cstddef>

#include "engine/DXDevice.h"
#include "engine/DXModelCreator.h"
#include "tlib/DXException.h"

namespace Orvel {

DXModel::DXModel(DXDevice* device, DXModelCreator& creator)
    : mDevice(device), mVertexBuffer(nullptr), mVertexFormat(0), mVertexSize(0), mGroupCount(0), mFaceCount(0)
{
    creator.BuildModel();
    mVertexFormat = creator.VertexFormat();
    mVertexSize = creator.VertexSize();
    mVertexBuffer = mDevice->CreateVertexBuffer(creator.TotalVertexCount(), mVertexSize, mVertexFormat);
    try {
        creator.GetVertexBuffer(mVertexBuffer);
    } catch (...) {
        mVertexBuffer->Release();
        throw;
    }
    mGroups = creator.Groups();
    mGroupCount = static_cast<int32_t>(mGroups.size());
    mFaceFirstVertex = creator.FaceFirstVertex();
    mFaceDrawCounts = creator.FaceDrawCounts();
    mFaceCount = creator.FaceCount();
    mMaterials = creator.Materials();
}

DXModel::~DXModel()
{
    mVertexBuffer->Release();
}

const D3DMATERIAL9& DXModel::DefaultMaterial()
{
    static const D3DMATERIAL9 material = {
        {1.0f, 1.0f, 1.0f, 1.0f}, // diffuse
        {1.0f, 1.0f, 1.0f, 1.0f}, // ambient
        {0.0f, 0.0f, 0.0f, 0.0f}, // specular
        {0.0f, 0.0f, 0.0f, 0.0f}, // emissive
        0.0f,
    };
    return material;
}

void DXModel::Render()
{
    IDirect3DDevice9* device = mDevice->Device();
    HRESULT result = device->SetStreamSource(0, mVertexBuffer, 0, static_cast<UINT>(mVertexSize));
    if (FAILED(result))
        DXThrowCode(result, "DXModel::Render() - SetStreamSource() failed");
    result = device->SetFVF(mVertexFormat);
    if (FAILED(result))
        DXThrowCode(result, "DXModel::Render() - SetFVF() failed");
    for (const SMaterialGroup& group : mGroups) {
        const D3DMATERIAL9& material =
            group.material >= 0 ? mMaterials[static_cast<size_t>(group.material)] : DefaultMaterial();
        device->SetMaterial(&material); // result ignored
        for (int32_t f = group.firstFace; f <= group.lastFace; ++f) {
            result = device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(group.primitiveType),
                                           static_cast<UINT>(mFaceFirstVertex[static_cast<size_t>(f)]),
                                           static_cast<UINT>(mFaceDrawCounts[static_cast<size_t>(f)] - 2));
            if (FAILED(result))
                DXThrowCode(result, "DXModel::Render() - DrawPrimitive() failed");
        }
    }
}

} // namespace Orvel

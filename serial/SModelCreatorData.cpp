#include "serial/SModelCreatorData.h"

#include "serial/CSerialInfo.h"

namespace SerialLib {

CSerialInfo* SModelCreatorData::GetSerialInfo() {
    CSerialInfo* info = new CSerialInfo();
    try {
        info->AddAttribute("VertexData", &vertexData);
        info->AddAttribute("Scale", &scale);
        info->AddAttribute("FaceList", &faceList);
        info->AddAttribute("NormalData", &normalData);
        info->AddAttribute("FaceNormalList", &faceNormalList);
        info->AddAttribute("MaterialList", &materialList);
        info->AddAttribute("FaceMaterialList", &faceMaterialList);
    } catch (...) {
        delete info;
        throw;
    }
    return info;
}

void SModelCreatorData::AddVertex(float x, float y, float z) {
    vertexData.Append(x);
    vertexData.Append(y);
    vertexData.Append(z);
}

void SModelCreatorData::AddNormal(float x, float y, float z) {
    normalData.Append(x);
    normalData.Append(y);
    normalData.Append(z);
}

void SModelCreatorData::AddFace(std::initializer_list<int32_t> positions) {
    AddFace(positions.begin(), int(positions.size()));
}

void SModelCreatorData::AddFace(const int32_t* positions, int count) {
    IndexList face;
    face.SetItems(positions, count);
    faceList.Append(face);
}

void SModelCreatorData::AddFaceNormals(std::initializer_list<int32_t> normals) {
    AddFaceNormals(normals.begin(), int(normals.size()));
}

void SModelCreatorData::AddFaceNormals(const int32_t* normals, int count) {
    IndexList face;
    face.SetItems(normals, count);
    faceNormalList.Append(face);
}

} // namespace SerialLib

#pragma once
// The record of a model file (top tag "Model"). Positions and normals are flat
// float lists, three per entry; faces list position numbers in fan order.
// A field that a file leaves out keeps its value from before reading: empty
// arrays, scale 1.

#include "serial/CSerialArray.h"
#include "serial/CSerialArrayPrimitive.h"
#include "serial/SMaterialData.h"
#include "serial/SSerialData.h"

#include <cstdint>
#include <initializer_list>

namespace SerialLib {

class SModelCreatorData : public SSerialData {
public:
    using IndexList = CSerialArrayPrimitive<int32_t, 1>;

    CSerialInfo* GetSerialInfo() override;

    // Conveniences for whoever builds a model in code.
    void AddVertex(float x, float y, float z);
    void AddNormal(float x, float y, float z);
    void AddFace(std::initializer_list<int32_t> positions);
    void AddFace(const int32_t* positions, int count);
    void AddFaceNormals(std::initializer_list<int32_t> normals);
    void AddFaceNormals(const int32_t* normals, int count);

    // Declared in this order: "VertexData", "Scale", "FaceList", "NormalData",
    // "FaceNormalList", "MaterialList", "FaceMaterialList".
    CSerialArrayPrimitive<float, 3> vertexData;
    float scale = 1.0f;
    CSerialArray<IndexList, 7> faceList;
    CSerialArrayPrimitive<float, 3> normalData;
    CSerialArray<IndexList, 7> faceNormalList;
    CSerialArray<SMaterialData, 0> materialList;
    CSerialArrayInt faceMaterialList;
};

} // namespace SerialLib

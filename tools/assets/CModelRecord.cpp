#include "tools/assets/CModelRecord.h"

#include "serial/CSerialDataWrite.h"
#include "serial/SModelCreatorData.h"

namespace Assets {

namespace {

SerialLib::SColourData Colour(const SColour& c) { return SerialLib::SColourData(c.r, c.g, c.b, c.a); }

} // namespace

void CModelRecord::Fill(const CMeshBuilder& mesh, SerialLib::SModelCreatorData& record)
{
    record.scale = 1.0f;
    for (const SVec3& p : mesh.Positions())
        record.AddVertex(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
    int normal = 0;
    for (const SFace& face : mesh.Faces()) {
        record.AddFace(face.vertices.data(), static_cast<int>(face.vertices.size()));
        record.AddNormal(static_cast<float>(face.normal.x), static_cast<float>(face.normal.y),
                         static_cast<float>(face.normal.z));
        std::vector<int32_t> normals(face.vertices.size(), normal++);
        record.AddFaceNormals(normals.data(), static_cast<int>(normals.size()));
        record.faceMaterialList.Append(face.material);
    }
    for (const SMaterial& m : mesh.Materials()) {
        SerialLib::SMaterialData material;
        material.diffuse = Colour(m.diffuse);
        material.ambient = Colour(m.ambient);
        material.specular = Colour(m.specular);
        material.emissive = Colour(m.emissive);
        material.power = m.power;
        record.materialList.Append(material);
    }
}

std::vector<uint8_t> CModelRecord::Encode(const CMeshBuilder& mesh)
{
    SerialLib::SModelCreatorData record;
    Fill(mesh, record);
    return SerialLib::WriteSerialData(record, "Model");
}

} // namespace Assets

#include "tools/dat/CModelJson.h"

#include "tlib/TException.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace SerialLib;

namespace {

const uint32_t kQuietNaN = 0x7FC00000u;

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

float FromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

ModelJson FloatJson(float value) {
    if (std::isnan(value)) {
        uint32_t bits = Bits(value);
        if (bits == kQuietNaN)
            return "NaN";
        char text[32];
        std::snprintf(text, sizeof text, "NaN(0x%08" PRIX32 ")", bits);
        return text;
    }
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    return value;
}

float JsonFloat(const ModelJson& json, const std::string& where) {
    if (json.is_number_float())
        return json.get<float>();
    if (json.is_number_integer())
        return float(json.get<double>());
    if (json.is_string()) {
        const std::string& text = json.get_ref<const std::string&>();
        if (text == "Infinity")
            return INFINITY;
        if (text == "-Infinity")
            return -INFINITY;
        if (text == "NaN")
            return FromBits(kQuietNaN);
        unsigned bits = 0;
        char tail = 0;
        if (std::sscanf(text.c_str(), "NaN(0x%8X)%c", &bits, &tail) == 1 && text.size() == 15 &&
            std::isnan(FromBits(bits)))
            return FromBits(bits);
    }
    throw tlib::TException("%s: expected a number", where.c_str());
}

int32_t JsonInt(const ModelJson& json, const std::string& where) {
    if (json.is_number_unsigned()) {
        if (json.get<uint64_t>() <= uint64_t(INT32_MAX))
            return int32_t(json.get<uint64_t>());
    } else if (json.is_number_integer()) {
        int64_t value = json.get<int64_t>();
        if (value >= INT32_MIN && value <= INT32_MAX)
            return int32_t(value);
    }
    throw tlib::TException("%s: expected a 32-bit integer", where.c_str());
}

const ModelJson& JsonArray(const ModelJson& json, const std::string& where) {
    if (!json.is_array())
        throw tlib::TException("%s: expected an array", where.c_str());
    if (json.size() > size_t(INT32_MAX))
        throw tlib::TException("%s: too many elements", where.c_str());
    return json;
}

std::string At(const std::string& where, size_t index) { return where + "[" + std::to_string(index) + "]"; }

template <typename Array>
ModelJson FloatList(const Array& array) {
    ModelJson list = ModelJson::array();
    for (int i = 0; i < array.GetCount(); ++i)
        list.push_back(FloatJson(array.At(i)));
    return list;
}

template <typename Array>
ModelJson IntList(const Array& array) {
    ModelJson list = ModelJson::array();
    for (int i = 0; i < array.GetCount(); ++i)
        list.push_back(array.At(i));
    return list;
}

ModelJson ListOfLists(const CSerialArray<SModelCreatorData::IndexList, 7>& lists) {
    ModelJson result = ModelJson::array();
    for (int i = 0; i < lists.GetCount(); ++i)
        result.push_back(IntList(lists.At(i)));
    return result;
}

ModelJson ColourJson(const SColourData& colour) {
    ModelJson json = ModelJson::object();
    json["r"] = FloatJson(colour.r);
    json["g"] = FloatJson(colour.g);
    json["b"] = FloatJson(colour.b);
    json["a"] = FloatJson(colour.a);
    return json;
}

void ReadFloats(const ModelJson& json, const std::string& where, CSerialArrayPrimitive<float, 3>& array) {
    const ModelJson& list = JsonArray(json, where);
    std::vector<float> values;
    for (size_t i = 0; i < list.size(); ++i)
        values.push_back(JsonFloat(list[i], At(where, i)));
    array.SetItems(values.data(), int(values.size()));
}

void ReadInts(const ModelJson& json, const std::string& where, CSerialArrayInt& array) {
    const ModelJson& list = JsonArray(json, where);
    std::vector<int32_t> values;
    for (size_t i = 0; i < list.size(); ++i)
        values.push_back(JsonInt(list[i], At(where, i)));
    array.SetItems(values.data(), int(values.size()));
}

void ReadLists(const ModelJson& json, const std::string& where, CSerialArray<SModelCreatorData::IndexList, 7>& lists) {
    const ModelJson& list = JsonArray(json, where);
    CSerialArray<SModelCreatorData::IndexList, 7> result;
    for (size_t i = 0; i < list.size(); ++i) {
        SModelCreatorData::IndexList element;
        ReadInts(list[i], At(where, i), element);
        result.Append(element);
    }
    lists = result;
}

template <typename Fill>
void ForEachKey(const ModelJson& json, const std::string& where, Fill fill) {
    if (!json.is_object())
        throw tlib::TException("%s: expected an object", where.c_str());
    for (auto it = json.begin(); it != json.end(); ++it) {
        std::string key = where.empty() ? it.key() : where + "." + it.key();
        if (!fill(it.key(), it.value(), key))
            throw tlib::TException("%s: unknown key", key.c_str());
    }
}

void ReadColour(const ModelJson& json, const std::string& where, SColourData& colour) {
    ForEachKey(json, where, [&](const std::string& key, const ModelJson& value, const std::string& at) {
        float* field = key == "r" ? &colour.r : key == "g" ? &colour.g : key == "b" ? &colour.b : key == "a" ? &colour.a : nullptr;
        if (!field)
            return false;
        *field = JsonFloat(value, at);
        return true;
    });
}

void ReadMaterial(const ModelJson& json, const std::string& where, SMaterialData& material) {
    ForEachKey(json, where, [&](const std::string& key, const ModelJson& value, const std::string& at) {
        if (key == "Power") {
            material.power = JsonFloat(value, at);
            return true;
        }
        SColourData* colour = key == "Diffuse"    ? &material.diffuse
                              : key == "Ambient"  ? &material.ambient
                              : key == "Specular" ? &material.specular
                              : key == "Emissive" ? &material.emissive
                                                  : nullptr;
        if (!colour)
            return false;
        ReadColour(value, at, *colour);
        return true;
    });
}

} // namespace

ModelJson CModelJson::ToJson(const SModelCreatorData& model) {
    ModelJson json = ModelJson::object();
    json["VertexData"] = FloatList(model.vertexData);
    json["Scale"] = FloatJson(model.scale);
    json["FaceList"] = ListOfLists(model.faceList);
    json["NormalData"] = FloatList(model.normalData);
    json["FaceNormalList"] = ListOfLists(model.faceNormalList);
    ModelJson materials = ModelJson::array();
    for (int i = 0; i < model.materialList.GetCount(); ++i) {
        const SMaterialData& m = model.materialList.At(i);
        ModelJson material = ModelJson::object();
        material["Diffuse"] = ColourJson(m.diffuse);
        material["Ambient"] = ColourJson(m.ambient);
        material["Specular"] = ColourJson(m.specular);
        material["Emissive"] = ColourJson(m.emissive);
        material["Power"] = FloatJson(m.power);
        materials.push_back(material);
    }
    json["MaterialList"] = materials;
    json["FaceMaterialList"] = IntList(model.faceMaterialList);
    return json;
}

void CModelJson::FromJson(const ModelJson& json, SModelCreatorData& model) {
    ForEachKey(json, "", [&](const std::string& key, const ModelJson& value, const std::string& at) {
        if (key == "VertexData")
            ReadFloats(value, at, model.vertexData);
        else if (key == "Scale")
            model.scale = JsonFloat(value, at);
        else if (key == "FaceList")
            ReadLists(value, at, model.faceList);
        else if (key == "NormalData")
            ReadFloats(value, at, model.normalData);
        else if (key == "FaceNormalList")
            ReadLists(value, at, model.faceNormalList);
        else if (key == "MaterialList") {
            const ModelJson& list = JsonArray(value, at);
            CSerialArray<SMaterialData, 0> materials;
            for (size_t i = 0; i < list.size(); ++i) {
                SMaterialData material;
                ReadMaterial(list[i], At(at, i), material);
                materials.Append(material);
            }
            model.materialList = materials;
        } else if (key == "FaceMaterialList")
            ReadInts(value, at, model.faceMaterialList);
        else
            return false;
        return true;
    });
}

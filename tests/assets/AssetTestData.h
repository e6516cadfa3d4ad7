#pragma once
// Shared by the asset tests: one Data folder written by the generator per
// test process, and the loaded form of its files.

#include <cstdint>
#include <string>
#include <vector>

namespace assettest {

// The folder that holds Data/ (written once, on first use, into a fresh
// temporary folder).
const std::string& GeneratedRoot();
// GeneratedRoot() + "/Data/" + name.
std::string DataPath(const std::string& name);
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// One face of a model as the real creator lays it out.
struct Face {
    std::vector<float> xyz;     // three per vertex
    float normal[3];            // the normal of the face's first vertex
    bool sameNormals;           // every vertex carries the same normal
    int material;               // the group's material number
};

struct LoadedModel {
    std::vector<Face> faces;
    int materialCount = 0;
    int groupCount = 0;
    uint32_t vertexFormat = 0;
    // Material colours: diffuse r g b, ambient r g b, emissive r g b per material.
    std::vector<float> colours;
};

// Reads Data/<name> with the serial loader and builds it with the model
// creator (no device).
LoadedModel LoadThroughCreator(const std::string& name);

} // namespace assettest

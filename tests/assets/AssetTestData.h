#pragma once
// Shared by the asset tests: one Data folder written by the generator per
// test process, and the loaded form of its files.

#include "engine/D3D9.h"

#include <cstdint>
#include <string>
#include <vector>

namespace assettest {

// The 14 model files of the Data folder.
extern const char* const kModelNames[14];

// The folder that holds Data/ (written once, on first use, into a fresh
// temporary folder named after the process, removed when it ends).
const std::string& GeneratedRoot();
// GeneratedRoot() + "/Data/" + name.
std::string DataPath(const std::string& name);
std::vector<uint8_t> ReadFileBytes(const std::string& path);

struct V3 {
    double x, y, z;
};
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// One face of a model as the real creator lays it out.
struct Face {
    std::vector<V3> v;
    V3 normal;        // the normal of the face's first vertex
    bool sameNormals; // every vertex carries that normal
    int material;     // the group's material number
};

struct LoadedModel {
    std::vector<Face> faces;
    int groupCount = 0;
    std::vector<D3DMATERIAL9> materials;
};

// Reads Data/<name> with the serial loader and builds it with the model
// creator (no device); throws unless vertices are position + normal.
LoadedModel LoadThroughCreator(const std::string& name);

} // namespace assettest

#pragma once
// Converts a model record to and from JSON for the data-file tool.
//
// The object has the seven tags as keys in declaration order; floats are
// printed in the shortest form that reads back to the same float, and values
// that JSON cannot carry as numbers are strings: "Infinity", "-Infinity",
// "NaN" (the quiet NaN 0x7FC00000) and "NaN(0xXXXXXXXX)" (any other NaN, its
// bits), so that every file round-trips byte for byte.

#include "serial/SModelCreatorData.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

// Keys keep their order; floats are kept as float so that they print short.
using ModelJson = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool, std::int64_t,
                                       std::uint64_t, float>;

class CModelJson {
public:
    static ModelJson ToJson(const SerialLib::SModelCreatorData& model);

    // Fills model from json. Keys that json leaves out keep model's values;
    // an unknown key or a value of the wrong shape raises tlib::TException
    // naming the key.
    static void FromJson(const ModelJson& json, SerialLib::SModelCreatorData& model);
};

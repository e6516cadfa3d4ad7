// tavrin-dat: prints a model data file as JSON, and packs such JSON back into
// a data file through the same writer the asset generator uses.
//
//   tavrin-dat dump FILE            JSON on stdout; exit 0
//   tavrin-dat pack IN.json OUT.dat exit 0
// A file that cannot be read or written: the message on stderr, exit 1.
// Wrong arguments: a usage line on stderr, exit 2.

#include "serial/CSerialDataLoad.h"
#include "serial/CSerialDataWrite.h"
#include "serial/SModelCreatorData.h"
#include "tlib/TException.h"
#include "tlib/TString.h"
#include "tools/dat/CModelJson.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

const char* const kUsage = "usage: tavrin-dat dump FILE | tavrin-dat pack IN.json OUT.dat";

int Dump(const char* path) {
    SerialLib::SModelCreatorData model;
    {
        SerialLib::CSerialDataLoad loader(tlib::TString("%s", path));
        loader.ReadData(model, "Model");
    }
    std::cout << CModelJson::ToJson(model).dump(2) << '\n';
    std::cout.flush();
    return std::cout ? 0 : 1;
}

int Pack(const char* in, const char* out) {
    std::ifstream file(in, std::ios::binary);
    if (!file) {
        std::cerr << "Cannot read file: '" << in << "'\n";
        return 1;
    }
    ModelJson json;
    try {
        json = ModelJson::parse(file);
    } catch (const ModelJson::exception& e) {
        std::cerr << in << ": " << e.what() << '\n';
        return 1;
    }
    SerialLib::SModelCreatorData model;
    try {
        CModelJson::FromJson(json, model);
    } catch (const tlib::TException& e) {
        std::cerr << in << ": " << e.Message() << '\n';
        return 1;
    }
    SerialLib::WriteSerialFile(out, model, "Model");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "dump") == 0)
            return Dump(argv[2]);
        if (argc == 4 && std::strcmp(argv[1], "pack") == 0)
            return Pack(argv[2], argv[3]);
    } catch (const tlib::TException& e) {
        std::cerr << e.Message() << '\n';
        return 1;
    }
    std::cerr << kUsage << '\n';
    return 2;
}

// Loads arbitrary bytes as a model record through the real reading code.
// Besides the sanitizers' findings it checks two invariants of whatever loads:
// the writer can write it and reads back to the same bytes, and (when the
// data-file tool is built) its JSON form packs to the same bytes again.

#include "serial/CSerialDataBufferLoad.h"
#include "serial/CSerialDataWrite.h"
#include "serial/SModelCreatorData.h"
#include "tlib/TException.h"
#ifdef TAVRIN_FUZZ_WITH_JSON
#include "tools/dat/CModelJson.h"
#endif

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace SerialLib;

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_dat: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SModelCreatorData model;
    try {
        CSerialDataBufferLoad::Load(data, size, model, "Model");
    } catch (const tlib::TException&) {
        return 0;
    }
    // Raising here is a finding too: everything that loads must be writable.
    std::vector<uint8_t> bytes = WriteSerialData(model, "Model");
    SModelCreatorData back;
    CSerialDataBufferLoad::Load(bytes.data(), bytes.size(), back, "Model");
    Check(WriteSerialData(back, "Model") == bytes, "written model does not read back to the same bytes");
#ifdef TAVRIN_FUZZ_WITH_JSON
    SModelCreatorData packed;
    CModelJson::FromJson(ModelJson::parse(CModelJson::ToJson(back).dump()), packed);
    Check(WriteSerialData(packed, "Model") == bytes, "JSON form does not pack to the same bytes");
#endif
    return 0;
}

#include "engine/LoadModel.h"

#include "engine/DataFiles.h"
#include "engine/DXModel.h"
#include "engine/DXModelCreator.h"
#include "serial/CSerialDataLoad.h"
#include "serial/SModelCreatorData.h"
#include "tlib/TString.h"

namespace Orvel {

DXModel* LoadModel(DXDevice* device, const char* fileName)
{
    const tlib::TString path = DataFilePath(fileName);
    SerialLib::SModelCreatorData data;
    {
        // An open failure names the path already; everything after it names
        // the file that failed.
        SerialLib::CSerialDataLoad loader(path);
        try {
            loader.ReadData(data, "Model");
        } catch (...) {
            RethrowNamingFile(path);
        }
    }
    try {
        DXModelCreator creator(data);
        return new DXModel(device, creator);
    } catch (...) {
        RethrowNamingFile(path);
    }
}

} // namespace Orvel

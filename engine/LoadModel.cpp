#include "engine/LoadModel.h"

#include "engine/DXModel.h"
#include "engine/DXModelCreator.h"
#include "serial/CSerialDataLoad.h"
#include "serial/SModelCreatorData.h"
#include "tlib/TString.h"

namespace Orvel {

DXModel* LoadModel(DXDevice* device, const char* fileName)
{
    SerialLib::SModelCreatorData data;
    {
        SerialLib::CSerialDataLoad loader(tlib::TString("Data\\%s", fileName));
        loader.ReadData(data, "Model");
    }
    DXModelCreator creator(data);
    return new DXModel(device, creator);
}

} // namespace Orvel

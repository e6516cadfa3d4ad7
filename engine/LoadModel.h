#pragma once
// Reads a model file of the data folder and builds it on the device.

namespace Orvel {

class DXDevice;
class DXModel;

// The model of the data file fileName (engine/DataFiles.h), the record under
// the top tag "Model"; the caller owns the result. Raises TException from the
// serial loader or the stream, DXException from the creator and the device;
// every error after the file was opened ends with " (reading '<path>')".
// Runs on the loading thread.
DXModel* LoadModel(DXDevice* device, const char* fileName);

} // namespace Orvel

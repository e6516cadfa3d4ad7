#include "engine/DataFiles.h"

#include <string>

#include "tlib/DXException.h"
#include "tlib/TException.h"

namespace Orvel {

namespace {

// Set once before any loader runs; read-only afterwards.
std::string gDataFolder;

} // namespace

void SetDataFolder(const char* folder)
{
    gDataFolder = folder != nullptr ? folder : "";
}

tlib::TString DataFilePath(const char* fileName)
{
    if (gDataFolder.empty())
        return tlib::TString("Data\\%s", fileName);
    const bool slash = gDataFolder.back() == '/';
    return tlib::TString("%s%s%s", gDataFolder.c_str(), slash ? "" : "/", fileName);
}

void RethrowNamingFile(const tlib::TString& path)
{
    std::string shown = path.Text() != nullptr ? path.Text() : "";
    for (char& c : shown) {
        if (c == '\\')
            c = '/';
    }
    try {
        throw;
    } catch (const tlib::TException& e) {
        throw tlib::TException("%s (reading '%s')", e.Message(), shown.c_str());
    } catch (const DXException& e) {
        DXThrowCode(e.Code(), "%s (reading '%s')", e.Message() != nullptr ? e.Message() : "", shown.c_str());
    }
}

} // namespace Orvel

#pragma once
// The graphics object: loads the device library through a provider (the
// back end chosen by the caller), creates the Direct3D object and from it
// the one device. One per process, on the window's thread; destroyed after
// the device it made.

#include "engine/D3D9.h"

namespace Orvel {

class DXDevice;

class DXGraphics {
public:
    // Loads the library, finds its entry point and creates the Direct3D
    // object, in that order. Raises DXException (code 0) "Unable to load
    // d3d9.dll", "Invalid d3d9.dll" or "Failed to create Direct3D object";
    // after a failure the library is freed again. The provider must outlive
    // this object.
    explicit DXGraphics(ID3D9Provider& provider);
    // Releases the Direct3D object, then frees the library.
    ~DXGraphics();
    DXGraphics(const DXGraphics&) = delete;
    DXGraphics& operator=(const DXGraphics&) = delete;

    // A full-screen device of width x height back-buffer pixels for the
    // window (or one that leaves the window as it is, when windowed); the
    // caller owns it and deletes it before this object. Raises
    // "DXGraphics::CreateDevice() - Failed to create Direct3D device" with
    // the failing HRESULT.
    DXDevice* CreateDevice(HWND window, int width, int height, bool windowed = false);

private:
    ID3D9Provider& mProvider;
    IDirect3D9* mDirect3D;
};

} // namespace Orvel

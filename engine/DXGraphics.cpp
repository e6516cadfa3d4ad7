#include "engine/DXGraphics.h"

#include "engine/DXDevice.h"
#include "tlib/DXException.h"

namespace Orvel {

DXGraphics::DXGraphics(ID3D9Provider& provider) : mProvider(provider), mDirect3D(nullptr)
{
    if (!mProvider.LoadLibrary())
        DXThrow("Unable to load d3d9.dll");
    if (!mProvider.HasDirect3DCreate9()) {
        mProvider.FreeLibrary();
        DXThrow("Invalid d3d9.dll");
    }
    mDirect3D = mProvider.Direct3DCreate9(D3D_SDK_VERSION);
    if (!mDirect3D) {
        mProvider.FreeLibrary();
        DXThrow("Failed to create Direct3D object");
    }
}

DXGraphics::~DXGraphics()
{
    mDirect3D->Release();
    mProvider.FreeLibrary();
}

DXDevice* DXGraphics::CreateDevice(HWND window, int width, int height, bool windowed)
{
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = static_cast<UINT>(width);
    parameters.BackBufferHeight = static_cast<UINT>(height);
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.MultiSampleType = 0;
    parameters.MultiSampleQuality = 0;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = nullptr; // the focus window is used
    parameters.Windowed = windowed ? TRUE : FALSE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    parameters.Flags =
        D3DPRESENTFLAG_LOCKABLE_BACKBUFFER | D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL | D3DPRESENTFLAG_VIDEO;
    parameters.FullScreen_RefreshRateInHz = 0;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;

    IDirect3DDevice9* device = nullptr;
    // Hardware vertex processing and no other flag: the device layer does
    // not ask for multithread protection (the back end serialises access).
    const HRESULT result = mDirect3D->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                                   &parameters, &device);
    if (FAILED(result))
        DXThrowCode(result, "DXGraphics::CreateDevice() - Failed to create Direct3D device");
    return new DXDevice(device);
}

} // namespace Orvel

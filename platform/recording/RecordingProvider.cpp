#include "platform/recording/RecordingProvider.h"

#include "platform/recording/RecordingDirect3D.h"

RecordingProvider::RecordingProvider() : mLog(std::make_shared<RecordingLog>()), mLoaded(false) {}

RecordingProvider::~RecordingProvider() {}

bool RecordingProvider::LoadLibrary()
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::LoadLibrary);
    if (SUCCEEDED(result) && libraryMissing)
        result = E_FAIL;
    mLog->Add(RecOp::LoadLibrary, 0, result);
    mLoaded = SUCCEEDED(result);
    return mLoaded;
}

bool RecordingProvider::HasDirect3DCreate9()
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::HasDirect3DCreate9);
    if (SUCCEEDED(result) && (entryPointMissing || !mLoaded))
        result = E_FAIL;
    mLog->Add(RecOp::HasDirect3DCreate9, 0, result);
    return SUCCEEDED(result);
}

IDirect3D9* RecordingProvider::Direct3DCreate9(UINT sdkVersion)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::Direct3DCreate9);
    if (SUCCEEDED(result) && (direct3DMissing || !mLoaded || sdkVersion != D3D_SDK_VERSION))
        result = E_FAIL;
    RecordingDirect3D* direct3D = SUCCEEDED(result) ? new RecordingDirect3D(mLog) : nullptr;
    if (RecordedCall* call = mLog->Add(RecOp::Direct3DCreate9, 0, result)) {
        call->args = {sdkVersion};
        call->created = direct3D ? direct3D->Id() : 0;
    }
    return direct3D;
}

void RecordingProvider::FreeLibrary()
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    mLog->Enter(RecOp::FreeLibrary);
    mLog->Add(RecOp::FreeLibrary, 0, D3D_OK);
    mLoaded = false;
}

#pragma once
// The recording back end's stand-in for the device library, and the way
// tests reach the log: every object made through it shares Log().
//
// Implemented: every operation of engine/D3D9.h, recorded with its
// arguments in order (RecordedCall.h), vertex buffer and texture contents
// kept, failures injected by operation name and call number
// (Log().FailCall), the library missing, its entry point missing or no
// Direct3D object (the three flags). Not drawn: nothing is rasterised.
//
// Usage:
//   RecordingProvider provider;
//   Orvel::DXGraphics graphics(provider);
//   Orvel::DXDevice* device = graphics.CreateDevice(nullptr, 1024, 768);
//   ... provider.Log().CallsOf("DrawPrimitiveUP") ...
// For allocation-free runs: provider.SetRecording(false) (counters only).

#include <memory>

#include "engine/D3D9.h"
#include "platform/recording/RecordingLog.h"

class RecordingProvider : public ID3D9Provider {
public:
    RecordingProvider();
    ~RecordingProvider() override;
    RecordingProvider(const RecordingProvider&) = delete;
    RecordingProvider& operator=(const RecordingProvider&) = delete;

    // Failures of the library: LoadLibrary answers false, HasDirect3DCreate9
    // answers false, Direct3DCreate9 answers null.
    bool libraryMissing = false;
    bool entryPointMissing = false;
    bool direct3DMissing = false;

    RecordingLog& Log() const { return *mLog; }
    const std::shared_ptr<RecordingLog>& SharedLog() const { return mLog; }
    void SetRecording(bool on) { mLog->SetRecording(on); }
    // The device made last through this provider, while it lives.
    RecordingDevice* LastDevice() const { return mLog->LastDevice(); }
    bool LibraryLoaded() const { return mLoaded; }

    // Each is counted and recorded; an armed failure of LoadLibrary or
    // HasDirect3DCreate9 answers false, of Direct3DCreate9 null.
    bool LoadLibrary() override;
    bool HasDirect3DCreate9() override;
    IDirect3D9* Direct3DCreate9(UINT sdkVersion) override;
    void FreeLibrary() override;

private:
    std::shared_ptr<RecordingLog> mLog;
    bool mLoaded;
};

#include "platform/sdl/SDLDirectInput.h"

#include "platform/sdl/SDLMouse.h"

namespace {

class SDLDirectInput : public IDirectInput8A {
public:
    explicit SDLDirectInput(SDLWindowLayer* layer) : mRefs(1), mLayer(layer) {}

    ULONG AddRef() override { return ++mRefs; }
    ULONG Release() override
    {
        ULONG left = --mRefs;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT CreateDevice(DIGUID device, IDirectInputDevice8A** created, void* outer) override
    {
        if (created == nullptr || outer != nullptr) {
            return DIERR_INVALIDPARAM;
        }
        if (device != GUID_SysMouse) {
            *created = nullptr;
            return DIERR_DEVICENOTREG;
        }
        *created = new SDLMouse(mLayer);
        return DI_OK;
    }

private:
    ULONG mRefs;
    SDLWindowLayer* mLayer;
};

} // namespace

HRESULT SDLDirectInputProvider::DirectInput8Create(HINSTANCE, DWORD version, DIIID iid, void** out, void* outer)
{
    if (out == nullptr || outer != nullptr || iid != IID_IDirectInput8A || version < DIRECTINPUT_VERSION) {
        return DIERR_INVALIDPARAM;
    }
    *out = static_cast<IDirectInput8A*>(new SDLDirectInput(mLayer));
    return DI_OK;
}

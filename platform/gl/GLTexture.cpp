#include "platform/gl/GLTexture.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include "platform/gl/GLDevice.h"

namespace OrvelGL {

GLTexture::GLTexture(GLDevice* device, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool)
    : mDevice(device), mWidth(width), mHeight(height), mFormat(format), mPool(pool),
      mPixels(size_t(width) * height, 0)
{
    mDevice->AddRef();
}

GLTexture::~GLTexture() {}

ULONG GLTexture::AddRef()
{
    std::lock_guard<std::mutex> hold(mDevice->Mutex());
    return ++mRefs;
}

ULONG GLTexture::Release()
{
    GLDevice* device = mDevice;
    ULONG left;
    {
        std::lock_guard<std::mutex> hold(device->Mutex());
        left = --mRefs;
        if (left == 0) {
            device->ForgetTextureLocked(this);
            RetireNames();
        }
    }
    if (left == 0) {
        delete this;
        device->Release();
    }
    return left;
}

HRESULT GLTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD /*flags*/)
{
    std::lock_guard<std::mutex> hold(mDevice->Mutex());
    if (lockedRect == nullptr)
        return D3DERR_INVALIDCALL;
    lockedRect->pBits = nullptr;
    lockedRect->Pitch = 0;
    // Default-pool textures live on the device; they are filled by UpdateTexture.
    if (level != 0 || mLocked || mPool == D3DPOOL_DEFAULT)
        return D3DERR_INVALIDCALL;
    int64_t left = 0, top = 0;
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            int64_t(rect->right) > int64_t(mWidth) || int64_t(rect->bottom) > int64_t(mHeight))
            return D3DERR_INVALIDCALL;
        left = rect->left;
        top = rect->top;
    }
    mLocked = true;
    lockedRect->pBits = mPixels.data() + size_t(top) * mWidth + size_t(left);
    lockedRect->Pitch = int32_t(mWidth * 4);
    return D3D_OK;
}

HRESULT GLTexture::UnlockRect(UINT level)
{
    std::lock_guard<std::mutex> hold(mDevice->Mutex());
    if (level != 0 || !mLocked)
        return D3DERR_INVALIDCALL;
    mLocked = false;
    mDirty = true;
    mDevice->TextureChangedLocked();
    return D3D_OK;
}

void GLTexture::CopyPixelsFrom(const GLTexture& source)
{
    mPixels = source.mPixels;
    mDirty = true;
}

void GLTexture::Upload()
{
    if (mTexture == 0) {
        glGenTextures(1, &mTexture);
        glBindTexture(GL_TEXTURE_2D, mTexture);
        // Point sampling, wrapping, one level.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        if (mFormat == D3DFMT_X8R8G8B8)
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    } else {
        glBindTexture(GL_TEXTURE_2D, mTexture);
    }
    // Rows top first, as the pixels are kept: v = 0 samples the top row.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(mWidth), GLsizei(mHeight), 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, mPixels.data());
    mDirty = false;
    mLeastVisibleAlpha = 255; // X8R8G8B8 reads opaque
    if (mFormat != D3DFMT_X8R8G8B8) {
        mLeastVisibleAlpha = 256;
        for (uint32_t pixel : mPixels) {
            const UINT alpha = pixel >> 24;
            if (alpha != 0 && alpha < mLeastVisibleAlpha)
                mLeastVisibleAlpha = alpha;
        }
    }
}

void GLTexture::RetireNames()
{
    if (mTexture != 0)
        mDevice->RetireTextureLocked(mTexture);
    mTexture = 0;
}

} // namespace OrvelGL

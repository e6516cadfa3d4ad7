#include "platform/gl/GLBackBuffer.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include "platform/gl/GLLetterbox.h"
#include "platform/gl/GLShaderProgram.h"

namespace OrvelGL {

namespace {

// Bits of the offscreen depth buffer; the window's must have as many for
// frames drawn into it to be the offscreen ones.
constexpr GLint kDepthBits = 24;

// The depth bits of the window's framebuffer (bound), 0 without a depth buffer.
GLint WindowDepthBits()
{
    GLint type = GL_NONE, bits = 0;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    if (type != GL_NONE)
        glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE,
                                              &bits);
    while (glGetError() != GL_NO_ERROR) {
    }
    return bits;
}

// The scaled present: one rectangle over the viewport (the picture's
// letterbox), its four corners made from the vertex number, reading the
// frame with bilinear filtering.
const char* const kScalerVertex = R"(#version 330 core
out vec2 vTexCoord;
void main()
{
    vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    vTexCoord = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const kScalerFragment = R"(#version 330 core
in vec2 vTexCoord;
uniform sampler2D uFrame;
out vec4 oColour;
void main()
{
    oColour = texture(uFrame, vTexCoord);
}
)";

} // namespace

bool GLBackBuffer::Initialise(GLContext& context, unsigned width, unsigned height)
{
    mContext = &context;
    mWidth = width;
    mHeight = height;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (maxSize <= 0 || width > unsigned(maxSize) || height > unsigned(maxSize) || !MakeOffscreen())
        return false;
    if (context.HasWindow()) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        mWindowDepthUsable = WindowDepthBits() >= kDepthBits;
        if (!MakeScaler())
            return false;
    }
    ChooseTarget();
    mHoldsFrame = !mIntoWindow;
    return true;
}

bool GLBackBuffer::MakeScaler()
{
    mScaler = LinkProgram(&kScalerVertex, &kScalerFragment, 1);
    if (mScaler == 0)
        return false;
    glUseProgram(mScaler);
    glUniform1i(glGetUniformLocation(mScaler, "uFrame"), 0);
    glGenVertexArrays(1, &mScalerArray); // core profile draws need one, even without attributes
    return true;
}

bool GLBackBuffer::MakeOffscreen()
{
    // The colour is a texture, for the scaled present to read; stored as
    // B, G, R, A bytes like the window's pixels.
    glGenTextures(1, &mColourTexture);
    glBindTexture(GL_TEXTURE_2D, mColourTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(mWidth), GLsizei(mHeight), 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glGenRenderbuffers(1, &mDepthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, mDepthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, GLsizei(mWidth), GLsizei(mHeight));
    glGenFramebuffers(1, &mFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mColourTexture, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, mDepthBuffer);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void GLBackBuffer::Destroy()
{
    if (mFramebuffer != 0)
        glDeleteFramebuffers(1, &mFramebuffer);
    if (mColourTexture != 0)
        glDeleteTextures(1, &mColourTexture);
    if (mDepthBuffer != 0)
        glDeleteRenderbuffers(1, &mDepthBuffer);
    if (mScalerArray != 0)
        glDeleteVertexArrays(1, &mScalerArray);
    if (mScaler != 0)
        glDeleteProgram(mScaler);
    mFramebuffer = mColourTexture = mDepthBuffer = mScaler = mScalerArray = 0;
}

void GLBackBuffer::ChooseTarget()
{
    int drawableWidth = 0, drawableHeight = 0;
    mContext->GetDrawableSize(drawableWidth, drawableHeight);
    mIntoWindow = mContext->HasWindow() && mWindowDepthUsable && drawableWidth == int(mWidth) &&
                  drawableHeight == int(mHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, mIntoWindow ? 0 : mFramebuffer);
    glViewport(0, 0, GLsizei(mWidth), GLsizei(mHeight));
}

void GLBackBuffer::Present()
{
    if (!mContext->HasWindow()) {
        glFlush();
        return;
    }
    const bool wasOffscreen = !mIntoWindow;
    if (wasOffscreen) {
        int drawableWidth = 0, drawableHeight = 0;
        mContext->GetDrawableSize(drawableWidth, drawableHeight);
        PresentScaled(drawableWidth, drawableHeight);
    }
    mContext->Swap();
    ChooseTarget();
    // The window's back buffer is undefined after a swap; the offscreen one
    // still holds the frame, unless it was not drawn into.
    if (mIntoWindow || !wasOffscreen)
        mHoldsFrame = false;
}

void GLBackBuffer::PresentScaled(int drawableWidth, int drawableHeight)
{
    const LetterboxRect box = ComputeLetterbox(int(mWidth), int(mHeight), drawableWidth, drawableHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (box.width != drawableWidth || box.height != drawableHeight) {
        // The bars (a clear of the whole drawable is the renderer's fastest).
        glViewport(0, 0, drawableWidth, drawableHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (box.width <= 0 || box.height <= 0)
        return;
    glViewport(box.x, box.y, box.width, box.height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glUseProgram(mScaler);
    glBindVertexArray(mScalerArray);
    glBindTexture(GL_TEXTURE_2D, mColourTexture);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

bool GLBackBuffer::Read(std::vector<uint32_t>& pixels, bool forceOpaque)
{
    if (!mHoldsFrame)
        return false;
    std::vector<uint32_t> bottomUp(size_t(mWidth) * mHeight);
    pixels.resize(bottomUp.size());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, mIntoWindow ? 0 : mFramebuffer);
    glReadBuffer(mIntoWindow ? GL_BACK : GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, GLsizei(mWidth), GLsizei(mHeight), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, bottomUp.data());
    const uint32_t alpha = forceOpaque ? 0xFF000000u : 0u;
    for (unsigned y = 0; y < mHeight; ++y) {
        const uint32_t* from = bottomUp.data() + size_t(mHeight - 1 - y) * mWidth;
        uint32_t* to = pixels.data() + size_t(y) * mWidth;
        for (unsigned x = 0; x < mWidth; ++x)
            to[x] = from[x] | alpha;
    }
    return true;
}

} // namespace OrvelGL

#include "platform/gl/GLBatchDrawer.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <algorithm>

#include "platform/gl/GLVertexLayout.h"

namespace OrvelGL {

namespace {

// Pixel centres at integer coordinates: every vertex moves 63/128 of a
// pixel right and down (slightly under half, so that edges on integers stay
// off OpenGL's sample points), in clip units per w.
constexpr float kPixelShift = 63.0f / 64.0f;

GLenum BlendFactor(DWORD blend)
{
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case 3: return GL_SRC_COLOR;
    case 4: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case 7: return GL_DST_ALPHA;
    case 8: return GL_ONE_MINUS_DST_ALPHA;
    case 9: return GL_DST_COLOR;
    case 10: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
    }
}

// D3DCMP_NEVER..ALWAYS (1..8) are in the order of GL_NEVER..GL_ALWAYS.
GLenum CompareFunction(DWORD func)
{
    return (func >= D3DCMP_NEVER && func <= D3DCMP_ALWAYS) ? GLenum(GL_NEVER + (func - D3DCMP_NEVER)) : GL_LEQUAL;
}

void Enable(GLenum capability, bool on)
{
    on ? glEnable(capability) : glDisable(capability);
}

} // namespace

bool GLBatchDrawer::Initialise(unsigned width, unsigned height)
{
    mWidth = width;
    mHeight = height;
    glGenBuffers(1, &mStreamBuffer);
    glGenBuffers(1, &mInstanceBuffer);
    // The programs of the loading screen and of the game's models; the
    // others are built when first drawn with.
    for (int variant : {GLShaderProgram::kTextured, GLShaderProgram::kLit | GLShaderProgram::kInstanced})
        if (UseProgram(variant) == nullptr)
            return false;

    // OpenGL's defaults differ from the device's: set everything explicitly.
    glDepthRange(0.0, 1.0);
    glDisable(GL_DITHER);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glFrontFace(GL_CW); // front faces run clockwise on screen
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glActiveTexture(GL_TEXTURE0);
    glVertexAttrib4f(GLShaderProgram::kAttribNormal, 0.0f, 0.0f, 0.0f, 0.0f);
    glVertexAttrib4f(GLShaderProgram::kAttribColour, 1.0f, 1.0f, 1.0f, 1.0f);
    glVertexAttrib4f(GLShaderProgram::kAttribTexCoord, 0.0f, 0.0f, 0.0f, 1.0f);
    ForgetState(); // depth, culling and blending are set in full at the first draw
    return glGetError() == GL_NO_ERROR;
}

void GLBatchDrawer::Destroy()
{
    for (unsigned& array : mMemoryArrays)
        if (array != 0) {
            glDeleteVertexArrays(1, &array);
            array = 0;
        }
    for (unsigned* buffer : {&mStreamBuffer, &mInstanceBuffer})
        if (*buffer != 0) {
            glDeleteBuffers(1, buffer);
            *buffer = 0;
        }
    for (GLShaderProgram& program : mPrograms)
        program.Destroy();
}

void GLBatchDrawer::ForgetState()
{
    mAppliedKnown = false;
    mAppliedProgram = -1;
    mAppliedTexture = ~0u;
    mAppliedVertexArray = ~0u;
}

GLShaderProgram* GLBatchDrawer::UseProgram(int variant)
{
    GLShaderProgram& program = mPrograms[variant];
    if (variant == mAppliedProgram)
        return &program;
    if (!program.Built() && !program.Build(variant, kPixelShift / float(mWidth), -kPixelShift / float(mHeight)))
        return nullptr;
    glUseProgram(program.Name());
    mAppliedProgram = variant;
    return &program;
}

void GLBatchDrawer::ApplyPipeline(const SPipelineState& state)
{
    const SAppliedPipeline wanted{state.depthTest != FALSE,
                                  state.depthWrite != FALSE,
                                  CompareFunction(state.depthFunc),
                                  state.cull != D3DCULL_NONE,
                                  state.cull == D3DCULL_CW ? GLenum(GL_FRONT) : GLenum(GL_BACK),
                                  state.blend != FALSE,
                                  BlendFactor(state.srcBlend),
                                  BlendFactor(state.destBlend)};
    const SAppliedPipeline& a = mApplied;
    const bool all = !mAppliedKnown;
    if (all || wanted.depthTest != a.depthTest)
        Enable(GL_DEPTH_TEST, wanted.depthTest);
    if (all || wanted.depthWrite != a.depthWrite)
        glDepthMask(wanted.depthWrite ? GL_TRUE : GL_FALSE);
    if (all || wanted.depthFunc != a.depthFunc)
        glDepthFunc(wanted.depthFunc);
    if (all || wanted.cull != a.cull)
        Enable(GL_CULL_FACE, wanted.cull);
    if (all || wanted.cullFace != a.cullFace)
        glCullFace(wanted.cullFace);
    if (all || wanted.blend != a.blend)
        Enable(GL_BLEND, wanted.blend);
    if (all || wanted.srcBlend != a.srcBlend || wanted.destBlend != a.destBlend)
        glBlendFunc(wanted.srcBlend, wanted.destBlend);
    mApplied = wanted;
    mAppliedKnown = true;
}

void GLBatchDrawer::Clear(bool colour, D3DCOLOR value, bool depth, float z)
{
    GLbitfield bits = 0;
    if (colour) {
        glClearColor(float((value >> 16) & 0xFF) / 255.0f, float((value >> 8) & 0xFF) / 255.0f,
                     float(value & 0xFF) / 255.0f, float(value >> 24) / 255.0f);
        bits |= GL_COLOR_BUFFER_BIT;
    }
    if (depth) {
        glClearDepth(z);
        bits |= GL_DEPTH_BUFFER_BIT;
        glDepthMask(GL_TRUE); // the clear writes depth only with writes on
    }
    if (bits != 0)
        glClear(bits);
    if (depth && mAppliedKnown && !mApplied.depthWrite)
        glDepthMask(GL_FALSE);
}

int32_t GLBatchDrawer::AppendMemory(const void* data, size_t bytes, unsigned stride)
{
    // Whole vertices of this stride before the data, whatever came before.
    const size_t first = (mMemory.size() + stride - 1) / stride;
    mMemory.resize(first * stride);
    const auto* from = static_cast<const uint8_t*>(data);
    mMemory.insert(mMemory.end(), from, from + bytes);
    return int32_t(first);
}

int GLBatchDrawer::FindMemoryVertexArray(DWORD fvf, unsigned stride) const
{
    for (int i = 0; i < kMemoryArrays; ++i)
        if (mMemoryArrays[i] != 0 && mMemoryArrayFvf[i] == fvf && mMemoryArrayStride[i] == stride)
            return i;
    return -1;
}

unsigned GLBatchDrawer::MemoryVertexArray(DWORD fvf, unsigned stride)
{
    int slot = FindMemoryVertexArray(fvf, stride);
    if (slot >= 0)
        return mMemoryArrays[slot];
    slot = kMemoryArrays - 1; // all in use: re-point the last one
    for (int i = 0; i < kMemoryArrays; ++i)
        if (mMemoryArrays[i] == 0) {
            slot = i;
            break;
        }
    if (mMemoryArrays[slot] == 0)
        glGenVertexArrays(1, &mMemoryArrays[slot]);
    glBindVertexArray(mMemoryArrays[slot]);
    mAppliedVertexArray = mMemoryArrays[slot];
    glBindBuffer(GL_ARRAY_BUFFER, mStreamBuffer);
    SetVertexLayout(fvf, stride, 0);
    mMemoryArrayFvf[slot] = fvf;
    mMemoryArrayStride[slot] = stride;
    return mMemoryArrays[slot];
}

void GLBatchDrawer::Fill(unsigned buffer, size_t& capacity, const void* data, size_t bytes)
{
    // Earlier draws keep what they were given (llvmpipe reads vertices when
    // a draw is made, so overwriting them costs no wait); storage is made
    // anew only when it grows.
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    if (bytes > capacity) {
        capacity = std::max(bytes, 2 * capacity);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(capacity), nullptr, GL_STREAM_DRAW);
    }
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(bytes), data);
}

void GLBatchDrawer::DrawRun(const SBatchRun& run)
{
    if (!mMemory.empty()) {
        Fill(mStreamBuffer, mStreamCapacity, mMemory.data(), mMemory.size());
        mMemory.clear();
    }
    if (run.instanced) {
        ++mDrawn.instancedRuns;
        mDrawn.instances += run.instanceCount;
        Fill(mInstanceBuffer, mInstanceCapacity, run.instances, run.instanceCount * sizeof(STransformRows));
    }
    for (size_t i = 0; i < run.segmentCount; ++i) {
        const SBatchSegment& segment = run.segments[i];
        const SDrawState& state = segment.state;
        ApplyPipeline(state.pipeline);
        GLShaderProgram* program = UseProgram(state.program | (run.instanced ? GLShaderProgram::kInstanced : 0));
        if (program == nullptr)
            continue; // a program the driver cannot build draws nothing
        program->SetLightRows(state.light);
        program->SetFragmentRow(state.fragment);
        if (!run.instanced)
            program->SetTransformRows(run.instances[0]);
        if (state.texture != 0 && state.texture != mAppliedTexture) {
            glBindTexture(GL_TEXTURE_2D, state.texture);
            mAppliedTexture = state.texture;
        }
        if (state.vertexArray != mAppliedVertexArray) {
            glBindVertexArray(state.vertexArray);
            mAppliedVertexArray = state.vertexArray;
        }
        DrawSegment(segment, run.ranges + segment.firstRange, run.instanced ? run.instanceCount : 0);
    }
}

void GLBatchDrawer::DrawSegment(const SBatchSegment& segment, const SDrawRange* ranges, size_t instances)
{
    const GLenum mode = segment.state.mode;
    const bool indexed = segment.state.source == DrawSource::BufferIndexed;
    const size_t count = segment.rangeCount;
    auto offset = [](int32_t first) { return reinterpret_cast<const void*>(size_t(first) * sizeof(uint32_t)); };
    if (instances > 0) {
        mDrawn.drawCalls += count;
        for (size_t r = 0; r < count; ++r) {
            if (indexed)
                glDrawElementsInstanced(mode, ranges[r].count, GL_UNSIGNED_INT, offset(ranges[r].first),
                                        GLsizei(instances));
            else
                glDrawArraysInstanced(mode, ranges[r].first, ranges[r].count, GLsizei(instances));
        }
        return;
    }
    ++mDrawn.drawCalls;
    if (count == 1) {
        if (indexed)
            glDrawElements(mode, ranges[0].count, GL_UNSIGNED_INT, offset(ranges[0].first));
        else
            glDrawArrays(mode, ranges[0].first, ranges[0].count);
        return;
    }
    mFirsts.clear();
    mCounts.clear();
    mOffsets.clear();
    for (size_t r = 0; r < count; ++r) {
        mFirsts.push_back(ranges[r].first);
        mCounts.push_back(ranges[r].count);
        mOffsets.push_back(offset(ranges[r].first));
    }
    if (indexed)
        glMultiDrawElements(mode, mCounts.data(), GL_UNSIGNED_INT, mOffsets.data(), GLsizei(count));
    else
        glMultiDrawArrays(mode, mFirsts.data(), mCounts.data(), GLsizei(count));
}

} // namespace OrvelGL

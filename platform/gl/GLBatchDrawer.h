#pragma once
// The OpenGL side of the draw batch: draws the runs GLDrawBatch hands it,
// bringing OpenGL's state up to each segment's state first and sending only
// what differs from what OpenGL already has. Owns the programs (built on
// first use), the stream buffer of DrawPrimitiveUP data and the buffer of
// per-instance transforms. Internal to the OpenGL back end; on the device's
// thread with its context current.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gl/GLDrawBatch.h"
#include "platform/gl/GLProvider.h"
#include "platform/gl/GLShaderProgram.h"

namespace OrvelGL {

class GLBatchDrawer : public IBatchDrawer {
public:
    GLBatchDrawer() = default;
    GLBatchDrawer(const GLBatchDrawer&) = delete;
    GLBatchDrawer& operator=(const GLBatchDrawer&) = delete;

    // Creates the buffers, builds the programs the game's first frames use
    // and sets OpenGL's state to the device's defaults, for a back buffer of
    // width x height. False when OpenGL fails.
    bool Initialise(unsigned width, unsigned height);
    // Deletes what Initialise made (while the context is current).
    void Destroy();

    void DrawRun(const SBatchRun& run) override;
    // Clears the bound target's colour and depth (either), whatever the
    // depth writes of the last draw.
    void Clear(bool colour, D3DCOLOR value, bool depth, float z);

    // DrawPrimitiveUP data for the next run: copies it after the data
    // already queued and returns the number of its first vertex for stride.
    int32_t AppendMemory(const void* data, size_t bytes, unsigned stride);
    // Whether a vertex array reading the stream buffer with this layout
    // exists; MemoryVertexArray makes one (re-pointing an old one when all
    // are in use: flush the batch first when HasMemoryVertexArray is false).
    bool HasMemoryVertexArray(DWORD fvf, unsigned stride) const { return FindMemoryVertexArray(fvf, stride) >= 0; }
    unsigned MemoryVertexArray(DWORD fvf, unsigned stride);

    // The buffer the vertex arrays of vertex buffers read instance
    // transforms from.
    unsigned InstanceBuffer() const { return mInstanceBuffer; }

    // What was drawn since Initialise.
    const SDrawCounts& Counts() const { return mDrawn; }

    // Someone else bound vertex arrays, textures or programs or set fixed
    // state: set everything again before the next draw. Names about to be
    // deleted are forgotten too.
    void ForgetState();

private:
    static constexpr int kMemoryArrays = 8;

    // The pipeline state in OpenGL's terms.
    struct SAppliedPipeline {
        bool depthTest, depthWrite;
        unsigned depthFunc;
        bool cull;
        unsigned cullFace;
        bool blend;
        unsigned srcBlend, destBlend;
    };

    int FindMemoryVertexArray(DWORD fvf, unsigned stride) const;
    // Writes bytes of data at the start of buffer (bound to GL_ARRAY_BUFFER).
    void Fill(unsigned buffer, size_t& capacity, const void* data, size_t bytes);
    void ApplyPipeline(const SPipelineState& state);
    GLShaderProgram* UseProgram(int variant);
    void DrawSegment(const SBatchSegment& segment, const SDrawRange* ranges, size_t instances);

    unsigned mWidth = 0, mHeight = 0;
    GLShaderProgram mPrograms[GLShaderProgram::kVariants];
    unsigned mStreamBuffer = 0, mInstanceBuffer = 0;
    size_t mStreamCapacity = 0, mInstanceCapacity = 0; // bytes
    unsigned mMemoryArrays[kMemoryArrays] = {};
    DWORD mMemoryArrayFvf[kMemoryArrays] = {};
    unsigned mMemoryArrayStride[kMemoryArrays] = {};
    std::vector<uint8_t> mMemory; // DrawPrimitiveUP data of the queued draws

    // What OpenGL has.
    SAppliedPipeline mApplied = {};
    bool mAppliedKnown = false; // mApplied is what OpenGL has
    int mAppliedProgram = -1;
    unsigned mAppliedTexture = 0;
    unsigned mAppliedVertexArray = 0;

    SDrawCounts mDrawn = {};
    // Scratch of multi-draws.
    std::vector<int32_t> mFirsts, mCounts;
    std::vector<const void*> mOffsets;
};

} // namespace OrvelGL

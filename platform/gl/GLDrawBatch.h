#pragma once
// The draw batch of the OpenGL device: collects draws in the order the device
// is given them and hands them to a drawer in runs, merging repeated models
// into instanced draws. Plain CPU code (the drawer does the OpenGL calls), so
// that which draws merge can be tested without OpenGL. Internal to the OpenGL
// back end.
//
// A run is a list of segments (a state and the ranges of its vertex array
// drawn in it, in order) drawn for one or more instances, each with its own
// transform. A run of one instance is drawn segment by segment; a run of n
// instances is drawn segment by segment, each segment for all n instances in
// one instanced draw.
//
// The merge rule: the game draws every robot, tree or tile as the same faces
// under a new world transform. When the draws made under one transform (an
// instance) repeat those made under the first transform of the run exactly
// (the same states, the same vertex ranges, in the same order) and every one
// of them is mergeable (Mergeable below), the instance joins the run. Faces
// of later instances are then drawn before faces of earlier ones in later
// segments; for opaque depth-tested faces that write depth, that changes a
// pixel only where two depths tie exactly. Draws that are not mergeable are
// never merged nor moved: they end the run before them, and runs of them
// hold one instance.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/D3D9.h"
#include "platform/gl/GLFixedFunction.h"

namespace OrvelGL {

// The fixed render states a draw needs, as the device's render states give
// them (flags 0 or 1).
struct SPipelineState {
    DWORD depthTest, depthWrite, depthFunc, cull, blend, srcBlend, destBlend;
};

// Where the vertices of a draw come from.
enum class DrawSource : uint32_t {
    Buffer,        // a vertex buffer, first and count in vertices
    BufferIndexed, // a vertex buffer's fan lists, first and count in indices
    Memory,        // DrawPrimitiveUP data, copied into the device's stream buffer
};

// Everything a draw depends on except its transform. Compared as bytes: fill
// every field (the device builds it field by field).
struct SDrawState {
    SPipelineState pipeline;
    int32_t program;      // GLShaderProgram variant bits (instancing is the run's)
    uint32_t texture;     // OpenGL texture name, 0 for none
    uint32_t vertexArray; // OpenGL vertex array name
    uint32_t mode;        // OpenGL primitive mode
    DrawSource source;
    SLightRows light;
    SFragmentRow fragment;
};

bool SameState(const SDrawState& a, const SDrawState& b);
bool SameTransform(const STransformRows& a, const STransformRows& b);

// Whether draws in this state may be merged into instanced draws: from a
// vertex buffer, depth-tested with an ordering compare (less, less or equal,
// greater, greater or equal) and writing depth, neither blended nor
// alpha-tested.
bool Mergeable(const SDrawState& state);

struct SDrawRange {
    int32_t first, count;
};

struct SBatchSegment {
    SDrawState state;
    size_t firstRange, rangeCount; // into the run's ranges
};

// What the batch hands to its drawer; valid during the call only.
struct SBatchRun {
    const SBatchSegment* segments;
    size_t segmentCount;
    const SDrawRange* ranges;
    const STransformRows* instances;
    size_t instanceCount;
    bool instanced; // transforms per instance; otherwise the one transform of all segments
};

class IBatchDrawer {
public:
    virtual ~IBatchDrawer() {}
    virtual void DrawRun(const SBatchRun& run) = 0;
};

class GLDrawBatch {
public:
    explicit GLDrawBatch(IBatchDrawer& drawer);

    // Merging off: every draw is drawn as if not mergeable.
    void SetMerging(bool merging) { mMerging = merging; }
    bool Merging() const { return mMerging; }

    // One draw of range in state under transform. stateChanged and
    // transformChanged may be false only when the state or transform is the
    // one of the previous Add since the last Flush (they spare comparisons).
    void Add(const SDrawState& state, bool stateChanged, const STransformRows& transform, bool transformChanged,
             SDrawRange range);
    // Hands everything collected to the drawer, in order.
    void Flush();
    bool Empty() const { return mSegments.empty(); }
    // Whether the draws collected are to be drawn instanced.
    bool Instanced() const { return !mSegments.empty() && mInstanced; }

private:
    void Start(const SDrawState& state, const STransformRows& transform, SDrawRange range, bool instanced);
    // Adds to the first instance (the template).
    void Extend(const SDrawState& state, bool stateChanged, SDrawRange range);
    // Whether the draw continues the current instance as the template goes
    // on; moves the cursor past it.
    bool Match(const SDrawState& state, bool stateChanged, SDrawRange range);
    void BeginInstance(const STransformRows& transform);
    bool InstanceComplete() const { return mCursorSegment == mSegments.size(); }
    // Draws the complete instances; the part of the current one drawn so far
    // becomes the template of a run with that one instance.
    void Diverge();
    void Emit(size_t instances);
    void Clear();

    IBatchDrawer& mDrawer;
    bool mMerging = true;
    bool mInstanced = false;
    bool mMatching = false; // instances after the first are being matched
    std::vector<SBatchSegment> mSegments;
    std::vector<SDrawRange> mRanges;
    std::vector<STransformRows> mInstances;
    // Where the current instance stands in the template.
    size_t mCursorSegment = 0, mCursorRange = 0;
    int32_t mCursorOffset = 0;
};

} // namespace OrvelGL

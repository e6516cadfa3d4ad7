#include "platform/gl/GLDrawBatch.h"

#include <cstring>

#include "platform/gl/GLShaderProgram.h"

namespace OrvelGL {

namespace {

// OpenGL's list modes, by their values (GL_POINTS, GL_LINES, GL_TRIANGLES):
// a draw that continues the previous one's range extends it.
constexpr uint32_t kPoints = 0x0000, kLines = 0x0001, kTriangles = 0x0004;

bool IsListMode(uint32_t mode)
{
    return mode == kPoints || mode == kLines || mode == kTriangles;
}

} // namespace

bool SameState(const SDrawState& a, const SDrawState& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameTransform(const STransformRows& a, const STransformRows& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool Mergeable(const SDrawState& state)
{
    const SPipelineState& p = state.pipeline;
    const bool ordered = p.depthFunc == D3DCMP_LESS || p.depthFunc == D3DCMP_LESSEQUAL ||
                         p.depthFunc == D3DCMP_GREATER || p.depthFunc == D3DCMP_GREATEREQUAL;
    return state.source != DrawSource::Memory && p.depthTest && p.depthWrite && ordered && !p.blend &&
           (state.program & GLShaderProgram::kAlphaTest) == 0;
}

GLDrawBatch::GLDrawBatch(IBatchDrawer& drawer) : mDrawer(drawer)
{
    mSegments.reserve(64);
    mRanges.reserve(4096);
    mInstances.reserve(4096);
}

void GLDrawBatch::Add(const SDrawState& state, bool stateChanged, const STransformRows& transform,
                      bool transformChanged, SDrawRange range)
{
    const bool instanced = mMerging && Mergeable(state);
    if (!mSegments.empty() && instanced != mInstanced)
        Flush();
    if (mSegments.empty()) {
        Start(state, transform, range, instanced);
        return;
    }
    const bool newTransform = transformChanged && !SameTransform(transform, mInstances.back());
    if (!mInstanced) {
        // One transform per run.
        if (newTransform) {
            Flush();
            Start(state, transform, range, false);
        } else {
            Extend(state, stateChanged, range);
        }
        return;
    }
    if (!mMatching) {
        if (!newTransform) {
            Extend(state, stateChanged, range);
            return;
        }
        // The template is complete: the second instance begins.
        mMatching = true;
        BeginInstance(transform);
    } else if (newTransform) {
        if (!InstanceComplete()) {
            // The instance ended early.
            Diverge();
            Add(state, true, transform, true, range);
            return;
        }
        BeginInstance(transform);
    }
    if (!Match(state, stateChanged, range)) {
        Diverge();
        Add(state, true, transform, true, range);
    }
}

void GLDrawBatch::Start(const SDrawState& state, const STransformRows& transform, SDrawRange range, bool instanced)
{
    mInstanced = instanced;
    mMatching = false;
    mInstances.push_back(transform);
    mRanges.push_back(range);
    mSegments.push_back(SBatchSegment{state, 0, 1});
}

void GLDrawBatch::Extend(const SDrawState& state, bool stateChanged, SDrawRange range)
{
    SBatchSegment& last = mSegments.back();
    if (stateChanged && !SameState(state, last.state)) {
        mSegments.push_back(SBatchSegment{state, mRanges.size(), 1});
        mRanges.push_back(range);
        return;
    }
    SDrawRange& previous = mRanges.back();
    if (IsListMode(state.mode) && previous.first + previous.count == range.first) {
        previous.count += range.count;
        return;
    }
    mRanges.push_back(range);
    ++last.rangeCount;
}

void GLDrawBatch::BeginInstance(const STransformRows& transform)
{
    mInstances.push_back(transform);
    mCursorSegment = 0;
    mCursorRange = 0;
    mCursorOffset = 0;
}

bool GLDrawBatch::Match(const SDrawState& state, bool stateChanged, SDrawRange range)
{
    if (InstanceComplete())
        return false;
    const SBatchSegment& segment = mSegments[mCursorSegment];
    // A segment's first draw compares the state in full; later draws in it
    // only when the state was touched.
    const bool segmentStart = mCursorRange == segment.firstRange && mCursorOffset == 0;
    if ((segmentStart || stateChanged) && !SameState(state, segment.state))
        return false;
    const SDrawRange& expected = mRanges[mCursorRange];
    if (range.first != expected.first + mCursorOffset || range.count > expected.count - mCursorOffset)
        return false;
    mCursorOffset += range.count;
    if (mCursorOffset == expected.count) {
        mCursorOffset = 0;
        ++mCursorRange;
        if (mCursorRange == segment.firstRange + segment.rangeCount) {
            ++mCursorSegment;
            if (mCursorSegment < mSegments.size())
                mCursorRange = mSegments[mCursorSegment].firstRange;
        }
    }
    return true;
}

void GLDrawBatch::Diverge()
{
    // Every instance but the last is complete.
    Emit(mInstances.size() - 1);
    // The last one's draws so far: whole segments before the cursor, whole
    // ranges of the cursor's segment before it, and its partial range.
    size_t segments = mCursorSegment, ranges = mCursorRange;
    if (mCursorSegment < mSegments.size()) {
        SBatchSegment& current = mSegments[mCursorSegment];
        if (mCursorOffset > 0) {
            mRanges[mCursorRange].count = mCursorOffset;
            ++ranges;
        }
        current.rangeCount = ranges - current.firstRange;
        if (current.rangeCount > 0)
            ++segments;
    }
    const STransformRows last = mInstances.back();
    mSegments.resize(segments);
    mRanges.resize(ranges);
    mInstances.assign(1, last);
    mMatching = false;
    if (mSegments.empty())
        Clear();
}

void GLDrawBatch::Flush()
{
    if (mSegments.empty())
        return;
    if (mMatching && !InstanceComplete())
        Diverge();
    if (!mSegments.empty())
        Emit(mInstances.size());
    Clear();
}

void GLDrawBatch::Emit(size_t instances)
{
    if (instances == 0)
        return;
    mDrawer.DrawRun(
        SBatchRun{mSegments.data(), mSegments.size(), mRanges.data(), mInstances.data(), instances, mInstanced});
}

void GLDrawBatch::Clear()
{
    mSegments.clear();
    mRanges.clear();
    mInstances.clear();
    mMatching = false;
    mCursorSegment = mCursorRange = 0;
    mCursorOffset = 0;
}

} // namespace OrvelGL

// The merge rule of the OpenGL device's draw batch, without OpenGL: which
// draw sequences become instanced runs and which must stay as they are, in
// the order given.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gl/GLDrawBatch.h"
#include "platform/gl/GLShaderProgram.h"

namespace {

using OrvelGL::DrawSource;
using OrvelGL::SDrawState;

constexpr uint32_t kTriangles = 0x0004, kTriangleFan = 0x0006;

// The states of the cases, by letter: A, B, C opaque model materials (C from
// a buffer drawn as fans); M and N blended sprites from memory; b blended,
// t alpha-tested, w without depth writes, u without the depth test, all from
// a vertex buffer.
SDrawState State(char name)
{
    SDrawState s;
    std::memset(&s, 0, sizeof s);
    s.pipeline = {TRUE, TRUE, D3DCMP_LESSEQUAL, D3DCULL_CCW, FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA};
    s.program = OrvelGL::GLShaderProgram::kLit;
    s.vertexArray = 1;
    s.mode = kTriangles;
    s.source = DrawSource::BufferIndexed;
    s.light.materialDiffuse[0] = float(name);
    switch (name) {
    case 'C': s.vertexArray = 2; s.mode = kTriangleFan; s.source = DrawSource::Buffer; break;
    case 'M':
    case 'N':
        s.pipeline.blend = TRUE;
        s.pipeline.depthTest = s.pipeline.depthWrite = FALSE;
        s.program = OrvelGL::GLShaderProgram::kTextured;
        s.texture = name == 'M' ? 7 : 8;
        s.vertexArray = 3;
        s.source = DrawSource::Memory;
        break;
    case 'b': s.pipeline.blend = TRUE; break;
    case 't': s.program |= OrvelGL::GLShaderProgram::kAlphaTest; break;
    case 'w': s.pipeline.depthWrite = FALSE; break;
    case 'u': s.pipeline.depthTest = FALSE; break;
    }
    return s;
}

OrvelGL::STransformRows World(int id)
{
    OrvelGL::STransformRows t;
    std::memset(&t, 0, sizeof t);
    t.clip[3][0] = float(id);
    return t;
}

// Writes each run as "[worlds] segments" for instanced runs and "(world)
// segments" for the others; a segment as its state letter and its ranges.
struct Recorder : OrvelGL::IBatchDrawer {
    std::vector<std::string> runs;
    void DrawRun(const OrvelGL::SBatchRun& run) override
    {
        std::string text = run.instanced ? "[" : "(";
        for (size_t i = 0; i < run.instanceCount; ++i)
            text += (i ? "," : "") + std::to_string(int(run.instances[i].clip[3][0]));
        text += run.instanced ? "]" : ")";
        for (size_t s = 0; s < run.segmentCount; ++s) {
            const OrvelGL::SBatchSegment& segment = run.segments[s];
            text += std::string(" ") + char(segment.state.light.materialDiffuse[0]);
            for (size_t r = 0; r < segment.rangeCount; ++r) {
                const OrvelGL::SDrawRange& range = run.ranges[segment.firstRange + r];
                text += (r ? "," : "") + std::to_string(range.first) + "+" + std::to_string(range.count);
            }
        }
        runs.push_back(text);
    }
};

// One step of a case: a draw of a range in a state under a world, or a flush.
struct Step {
    char state; // '|' flushes
    int world, first, count;
};

std::vector<std::string> Play(const std::vector<Step>& steps, bool merging = true)
{
    Recorder recorder;
    OrvelGL::GLDrawBatch batch(recorder);
    batch.SetMerging(merging);
    char lastState = 0;
    int lastWorld = -1;
    for (const Step& step : steps) {
        if (step.state == '|') {
            batch.Flush();
            continue;
        }
        // What the device passes: whether anything changed since the previous draw.
        batch.Add(State(step.state), step.state != lastState, World(step.world), step.world != lastWorld,
                  OrvelGL::SDrawRange{step.first, step.count});
        lastState = step.state;
        lastWorld = step.world;
    }
    batch.Flush();
    return recorder.runs;
}

// A model of two materials: faces 0+6 and 6+6 in A, 12+6 in B.
std::vector<Step> Robot(int world)
{
    return {{'A', world, 0, 6}, {'A', world, 6, 6}, {'B', world, 12, 6}};
}

std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts)
{
    std::vector<Step> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace

TEST(GLDrawBatchTest, RepeatedModelsMergeAndEverythingElseKeepsItsOrder)
{
    const struct {
        const char* what;
        std::vector<Step> steps;
        std::vector<std::string> runs;
        bool merging = true;
    } cases[] = {
        {"three of a model under three worlds: one run, adjoining faces as one range",
         Join({Robot(1), Robot(2), Robot(3)}),
         {"[1,2,3] A0+12 B12+6"}},
        {"a world set again unchanged starts no instance",
         Join({Robot(1), {{'A', 1, 18, 3}}, Robot(2), {{'A', 2, 18, 3}}}),
         {"[1,2] A0+12 B12+6 A18+3"}},
        {"two models, each repeated: a run each",
         Join({Robot(1), Robot(2), {{'C', 3, 0, 4}, {'C', 3, 4, 4}, {'C', 4, 0, 4}, {'C', 4, 4, 4}}}),
         {"[1,2] A0+12 B12+6", "[3,4] C0+4,4+4"}},
        {"an instance drawing its faces at once still matches",
         Join({Robot(1), {{'A', 2, 0, 12}, {'B', 2, 12, 6}}}),
         {"[1,2] A0+12 B12+6"}},
        {"an instance ending early is drawn on its own, after the complete ones",
         Join({Robot(1), {{'A', 2, 0, 6}}, Robot(3)}),
         {"[1] A0+12 B12+6", "[2] A0+6", "[3] A0+12 B12+6"}},
        {"an instance going on past the first one's draws",
         Join({{{'A', 1, 0, 12}}, Robot(2), Robot(3)}),
         {"[1] A0+12", "[2,3] A0+12 B12+6"}},
        {"the same faces in another state do not match",
         Join({Robot(1), {{'A', 2, 0, 12}, {'C', 2, 12, 6}}}),
         {"[1] A0+12 B12+6", "[2] A0+12 C12+6"}},
        {"other faces in the same state do not match",
         {{'A', 1, 0, 6}, {'A', 2, 6, 6}},
         {"[1] A0+6", "[2] A6+6"}},
        {"a blended sprite between models is drawn between them",
         Join({Robot(1), Robot(2), {{'M', 0, 0, 3}}, Robot(3), Robot(4)}),
         {"[1,2] A0+12 B12+6", "(0) M0+3", "[3,4] A0+12 B12+6"}},
        {"sprites under one transform share a run, each texture its segment",
         {{'M', 0, 0, 3}, {'M', 0, 3, 3}, {'N', 0, 6, 3}, {'M', 0, 9, 3}},
         {"(0) M0+6 N6+3 M9+3"}},
        {"a flush inside an instance draws the part drawn so far",
         Join({Robot(1), Robot(2), {{'A', 3, 0, 12}, {'|', 0, 0, 0}, {'B', 3, 12, 6}}}),
         {"[1,2] A0+12 B12+6", "[3] A0+12", "[3] B12+6"}},
        {"fans do not join ranges that happen to adjoin",
         {{'C', 1, 0, 4}, {'C', 1, 4, 4}, {'C', 1, 10, 4}},
         {"[1] C0+4,4+4,10+4"}},
        {"with merging off every instance is drawn on its own",
         Join({Robot(1), Robot(2), {{'M', 0, 0, 3}}}),
         {"(1) A0+12 B12+6", "(2) A0+12 B12+6", "(0) M0+3"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Play(c.steps, c.merging), c.runs) << c.what;
}

TEST(GLDrawBatchTest, OnlyOpaqueDepthTestedDepthWritingBufferDrawsAreMergeable)
{
    const struct {
        char state;
        DWORD depthFunc;
        bool mergeable;
    } cases[] = {
        {'A', D3DCMP_LESSEQUAL, true},  {'A', D3DCMP_LESS, true},      {'A', D3DCMP_GREATER, true},
        {'A', D3DCMP_GREATEREQUAL, true}, {'A', D3DCMP_EQUAL, false},   {'A', D3DCMP_NOTEQUAL, false},
        {'A', D3DCMP_NEVER, false},     {'A', D3DCMP_ALWAYS, false},   {'C', D3DCMP_LESSEQUAL, true},
        {'M', D3DCMP_LESSEQUAL, false}, {'b', D3DCMP_LESSEQUAL, false}, {'t', D3DCMP_LESSEQUAL, false},
        {'w', D3DCMP_LESSEQUAL, false}, {'u', D3DCMP_LESSEQUAL, false},
    };
    for (const auto& c : cases) {
        SDrawState state = State(c.state);
        state.pipeline.depthFunc = c.depthFunc;
        EXPECT_EQ(OrvelGL::Mergeable(state), c.mergeable) << c.state << " with compare " << c.depthFunc;
    }
}

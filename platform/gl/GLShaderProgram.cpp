#include "platform/gl/GLShaderProgram.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <cstring>

namespace OrvelGL {

namespace {

const char* const kVertexSource = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColour;
layout(location = 3) in vec2 aTexCoord;
#ifdef INSTANCED
layout(location = 4) in vec4 aTransform[7];
#define TRANSFORM aTransform
#else
uniform vec4 uTransform[7];
#define TRANSFORM uTransform
#endif
uniform vec4 uLight[4];
uniform vec2 uPixelShift;
out vec4 vColour;
#ifdef TEXTURED
out vec2 vTexCoord;
#endif
void main()
{
    vec4 p = aPosition.x * TRANSFORM[0] + aPosition.y * TRANSFORM[1] + aPosition.z * TRANSFORM[2] + TRANSFORM[3];
#ifdef LIT
    vec3 n = aNormal.x * TRANSFORM[4].xyz + aNormal.y * TRANSFORM[5].xyz + aNormal.z * TRANSFORM[6].xyz;
    vec4 cd = mix(vec4(uLight[1].rgb, uLight[0].a), aColour, uLight[2].w);
    float nDotL = max(dot(n, uLight[2].xyz), 0.0);
    vColour = vec4(clamp(uLight[0].rgb + cd.rgb * uLight[3].rgb * nDotL, 0.0, 1.0), clamp(cd.a, 0.0, 1.0));
#else
    vColour = aColour;
#endif
#ifdef TEXTURED
    vTexCoord = aTexCoord;
#endif
    // Depth 0..w becomes -w..w; pixel centres move from integers to halves.
    p.z = 2.0 * p.z - p.w;
    p.xy += uPixelShift * p.w;
    gl_Position = p;
}
)";

const char* const kFragmentSource = R"(
in vec4 vColour;
#ifdef TEXTURED
in vec2 vTexCoord;
uniform sampler2D uTexture;
#endif
uniform vec4 uFragment;
out vec4 oColour;
void main()
{
#if defined(TEXTURED) && defined(MODULATE)
    vec4 t = texture(uTexture, vTexCoord);
    vec4 c = vec4(t.rgb * vColour.rgb, t.a);
#elif defined(TEXTURED)
    vec4 c = texture(uTexture, vTexCoord);
#else
    vec4 c = vColour;
#endif
#ifdef ALPHA_TEST
    int func = int(uFragment.x + 0.5);
    float a = floor(clamp(c.a, 0.0, 1.0) * 255.0 + 0.5);
    float ref = uFragment.y;
    bool pass = func == 2 ? a < ref : func == 3 ? a == ref : func == 4 ? a <= ref : func == 5 ? a > ref
              : func == 6 ? a != ref : func == 7 ? a >= ref : func != 1;
    if (!pass)
        discard;
#endif
    oColour = c;
}
)";

GLuint Compile(GLenum type, const char* const* parts, int partCount)
{
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, partCount, parts, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

GLShaderProgram::~GLShaderProgram()
{
    Destroy();
}

void GLShaderProgram::Destroy()
{
    if (mProgram != 0)
        glDeleteProgram(mProgram);
    mProgram = 0;
}

unsigned LinkProgram(const char* const* vertexParts, const char* const* fragmentParts, int partCount)
{
    const GLuint vertex = Compile(GL_VERTEX_SHADER, vertexParts, partCount);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentParts, partCount);
    GLuint program = 0;
    if (vertex != 0 && fragment != 0) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint ok = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (ok != GL_TRUE) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vertex != 0)
        glDeleteShader(vertex);
    if (fragment != 0)
        glDeleteShader(fragment);
    return program;
}

bool GLShaderProgram::Build(int variant, float pixelShiftX, float pixelShiftY)
{
    const char* defines[5] = {(variant & kLit) ? "#define LIT 1\n" : "",
                              (variant & kTextured) ? "#define TEXTURED 1\n" : "",
                              (variant & kModulate) ? "#define MODULATE 1\n" : "",
                              (variant & kAlphaTest) ? "#define ALPHA_TEST 1\n" : "",
                              (variant & kInstanced) ? "#define INSTANCED 1\n" : ""};
    const char* vertexParts[7] = {"#version 330 core\n", defines[0], defines[1], defines[2], defines[3], defines[4],
                                  kVertexSource};
    const char* fragmentParts[7] = {"#version 330 core\n", defines[0], defines[1], defines[2], defines[3],
                                    defines[4], kFragmentSource};
    const GLuint program = LinkProgram(vertexParts, fragmentParts, 7);
    if (program == 0)
        return false;
    mProgram = program;
    // Locations a variant does not use are -1, which the uniform calls ignore.
    mTransformLocation = glGetUniformLocation(program, "uTransform");
    mLightLocation = glGetUniformLocation(program, "uLight");
    mFragmentLocation = glGetUniformLocation(program, "uFragment");
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "uTexture"), 0);
    glUniform2f(glGetUniformLocation(program, "uPixelShift"), pixelShiftX, pixelShiftY);
    glUniform4fv(mTransformLocation, kTransformAttribs, &mTransform.clip[0][0]);
    glUniform4fv(mLightLocation, 4, &mLight.base[0]);
    glUniform4fv(mFragmentLocation, 1, &mFragment.alphaFunc);
    return true;
}

void GLShaderProgram::SetTransformRows(const STransformRows& rows)
{
    if (std::memcmp(&rows, &mTransform, sizeof rows) == 0)
        return;
    mTransform = rows;
    glUniform4fv(mTransformLocation, kTransformAttribs, &rows.clip[0][0]);
}

void GLShaderProgram::SetLightRows(const SLightRows& rows)
{
    if (std::memcmp(&rows, &mLight, sizeof rows) == 0)
        return;
    mLight = rows;
    glUniform4fv(mLightLocation, 4, &rows.base[0]);
}

void GLShaderProgram::SetFragmentRow(const SFragmentRow& row)
{
    if (std::memcmp(&row, &mFragment, sizeof row) == 0)
        return;
    mFragment = row;
    glUniform4fv(mFragmentLocation, 1, &row.alphaFunc);
}

} // namespace OrvelGL

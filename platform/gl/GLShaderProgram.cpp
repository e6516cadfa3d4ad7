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
uniform vec4 uTransform[7];
uniform vec4 uLight[4];
uniform vec2 uPixelShift;
out vec4 vColour;
out vec2 vTexCoord;
void main()
{
    vec4 p = aPosition.x * uTransform[0] + aPosition.y * uTransform[1] + aPosition.z * uTransform[2] + uTransform[3];
#ifdef LIT
    vec3 n = aNormal.x * uTransform[4].xyz + aNormal.y * uTransform[5].xyz + aNormal.z * uTransform[6].xyz;
    vec4 cd = mix(vec4(uLight[1].rgb, uLight[0].a), aColour, uLight[2].w);
    float nDotL = max(dot(n, uLight[2].xyz), 0.0);
    vColour = vec4(clamp(uLight[0].rgb + cd.rgb * uLight[3].rgb * nDotL, 0.0, 1.0), clamp(cd.a, 0.0, 1.0));
#else
    vColour = aColour;
#endif
    vTexCoord = aTexCoord;
    // Depth 0..w becomes -w..w; pixel centres move from integers to halves.
    p.z = 2.0 * p.z - p.w;
    p.xy += uPixelShift * p.w;
    gl_Position = p;
}
)";

const char* const kFragmentSource = R"(
in vec4 vColour;
in vec2 vTexCoord;
uniform sampler2D uTexture;
uniform vec4 uFragment;
out vec4 oColour;
void main()
{
    vec4 c = vColour;
#ifdef TEXTURED
    vec4 t = texture(uTexture, vTexCoord);
    c = vec4(t.rgb * c.rgb, t.a);
#endif
#ifdef ALPHA_TEST
    int func = int(uFragment.y + 0.5);
    float a = floor(clamp(c.a, 0.0, 1.0) * 255.0 + 0.5);
    float ref = uFragment.z;
    bool pass = func == 2 ? a < ref : func == 3 ? a == ref : func == 4 ? a <= ref : func == 5 ? a > ref
              : func == 6 ? a != ref : func == 7 ? a >= ref : func != 1;
    if (!pass)
        discard;
#endif
    oColour = c;
}
)";

GLuint Compile(GLenum type, const char* source, int variant)
{
    GLuint shader = glCreateShader(type);
    const char* parts[5] = {"#version 330 core\n",
                            (variant & GLShaderProgram::kLit) ? "#define LIT 1\n" : "",
                            (variant & GLShaderProgram::kTextured) ? "#define TEXTURED 1\n" : "",
                            (variant & GLShaderProgram::kAlphaTest) ? "#define ALPHA_TEST 1\n" : "", source};
    glShaderSource(shader, 5, parts, nullptr);
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

bool GLShaderProgram::Build(int variant)
{
    GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexSource, variant);
    GLuint fragment = Compile(GL_FRAGMENT_SHADER, kFragmentSource, variant);
    if (vertex == 0 || fragment == 0) {
        if (vertex != 0)
            glDeleteShader(vertex);
        if (fragment != 0)
            glDeleteShader(fragment);
        return false;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteProgram(program);
        return false;
    }
    mProgram = program;
    mTransformLocation = glGetUniformLocation(program, "uTransform");
    mLightLocation = glGetUniformLocation(program, "uLight");
    mFragmentLocation = glGetUniformLocation(program, "uFragment");
    mPixelLocation = glGetUniformLocation(program, "uPixelShift");
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "uTexture"), 0);
    glUniform4fv(mTransformLocation, kTransformRows, mTransform);
    glUniform4fv(mLightLocation, kLightRows, mLight);
    glUniform4fv(mFragmentLocation, 1, mFragment);
    return true;
}

bool GLShaderProgram::HasTransformRows(const float* rows) const
{
    return std::memcmp(rows, mTransform, sizeof mTransform) == 0;
}

bool GLShaderProgram::HasLightRows(const float* rows) const
{
    return std::memcmp(rows, mLight, sizeof mLight) == 0;
}

bool GLShaderProgram::HasFragmentRow(const float* row) const
{
    return std::memcmp(row, mFragment, sizeof mFragment) == 0;
}

void GLShaderProgram::SetTransformRows(const float* rows)
{
    std::memcpy(mTransform, rows, sizeof mTransform);
    glUniform4fv(mTransformLocation, kTransformRows, rows);
}

void GLShaderProgram::SetLightRows(const float* rows)
{
    std::memcpy(mLight, rows, sizeof mLight);
    glUniform4fv(mLightLocation, kLightRows, rows);
}

void GLShaderProgram::SetFragmentRow(const float* row)
{
    std::memcpy(mFragment, row, sizeof mFragment);
    glUniform4fv(mFragmentLocation, 1, row);
}

void GLShaderProgram::SetPixelShift(float x, float y) const
{
    glUniform2f(mPixelLocation, x, y);
}

} // namespace OrvelGL

#include "platform/GlShaderProgram.h"

#include "base/Log.h"

#include <string>

namespace {
  GLuint CompileShader(GLenum kind, const char *source)
  {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if(ok == GL_TRUE)
      return shader;
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    LogLine(std::string("OpenGL shader does not compile: ") + log);
    glDeleteShader(shader);
    return 0;
  }
}

const char *const GlShaderProgram::FaceVertexShader = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec4 diffuse;
layout(location = 2) in vec2 texCoord;
uniform mat4 transform;
uniform vec2 pixelOffset;
uniform vec4 stateColour;
uniform bool useVertexColour;
out vec4 colour;
out vec2 uv;
void main()
{
  vec4 p = transform * vec4(position, 1.0);
  // Pixel centres lie on whole coordinates in the device's convention and half
  // a pixel further in GL's; clip depth 0..w becomes GL's -w..w.
  gl_Position = vec4(p.xy + pixelOffset * p.w, 2.0 * p.z - p.w, p.w);
  colour = useVertexColour ? diffuse : stateColour;
  uv = texCoord;
}
)";

const char *const GlShaderProgram::FaceFragmentShader = R"(#version 330 core
uniform sampler2D picture;
uniform bool modulate;
in vec4 colour;
in vec2 uv;
out vec4 fragment;
void main()
{
  vec4 texel = texture(picture, uv);
  fragment = modulate ? texel * colour : texel;
}
)";

const char *const GlShaderProgram::BatchVertexShader = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec4 diffuse;
layout(location = 2) in vec2 texCoord;
layout(location = 3) in float layer;
uniform mat4 transform;
uniform vec2 pixelOffset;
uniform vec4 stateColour;
uniform bool useVertexColour;
uniform int layerSize;
uniform int layersPerRow;
out vec4 colour;
out vec2 uv;
flat out ivec2 origin;
void main()
{
  // Exactly the face program's position, so that a batch covers the pixels a
  // fan of its own would.
  vec4 p = transform * vec4(position, 1.0);
  gl_Position = vec4(p.xy + pixelOffset * p.w, 2.0 * p.z - p.w, p.w);
  colour = useVertexColour ? diffuse : stateColour;
  uv = texCoord;
  // Where the face's layer lies in the atlas, once per corner rather than
  // once per pixel.
  int index = int(layer);
  origin = ivec2(index % layersPerRow, index / layersPerRow) * layerSize;
}
)";

const char *const GlShaderProgram::BatchFragmentShader = R"(#version 330 core
uniform sampler2D atlas;
uniform int faceSize;
uniform int layerSize;
uniform bool modulate;
in vec4 colour;
in vec2 uv;
flat in ivec2 origin;
out vec4 fragment;
void main()
{
  // The texel a nearest, repeating sampler picks on the whole face (its size
  // is a power of two)...
  ivec2 t = ivec2(floor(uv * float(faceSize))) & (faceSize - 1);
  // ...where the layer keeps it: the first texels in place, the face's last
  // one in the layer's last.
  t = min(t, ivec2(layerSize - 1));
  vec4 texel = texelFetch(atlas, origin + t, 0);
  fragment = modulate ? texel * colour : texel;
}
)";

const char *const GlShaderProgram::SpriteVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texCoord;
out vec2 uv;
void main()
{
  gl_Position = vec4(position, 0.0, 1.0);
  uv = texCoord;
}
)";

const char *const GlShaderProgram::SpriteFragmentShader = R"(#version 330 core
uniform sampler2D picture;
uniform vec4 tint;
in vec2 uv;
out vec4 fragment;
void main()
{
  fragment = texture(picture, uv) * tint;
}
)";

const char *const GlShaderProgram::StretchVertexShader = R"(#version 330 core
out vec2 uv;
void main()
{
  // The rectangle's four corners as a strip, made from the vertex number.
  vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
  gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
  uv = corner;
}
)";

// Not the sprite program's fragment stage: its multiply by a tint, even a
// white one, costs the software renderer about a third more per stretched pixel.
const char *const GlShaderProgram::StretchFragmentShader = R"(#version 330 core
uniform sampler2D picture;
in vec2 uv;
out vec4 fragment;
void main()
{
  fragment = texture(picture, uv);
}
)";

GLuint GlShaderProgram::Link(const char *vertexSource, const char *fragmentSource)
{
  const GLuint vertex = CompileShader(GL_VERTEX_SHADER, vertexSource);
  const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, fragmentSource);
  if(!vertex || !fragment)
  {
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return 0;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if(ok == GL_TRUE)
    return program;
  char log[512] = {};
  glGetProgramInfoLog(program, sizeof log, nullptr, log);
  LogLine(std::string("OpenGL program does not link: ") + log);
  glDeleteProgram(program);
  return 0;
}

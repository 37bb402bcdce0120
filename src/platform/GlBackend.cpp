#include "platform/GlBackend.h"

#include "base/Log.h"
#include "platform/Letterbox.h"
#include "platform/NativeWindow.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {
  class GlTexture;

  // What the back end and its textures share. Textures may outlive the back end
  // (their owners are torn down after the device); once the context is gone
  // they keep only their texels.
  struct GlShared {
    // The context the GL names belong to; null once it is gone.
    SDL_GLContext context = nullptr;
    // The texture bound to unit 0, so that binds are skipped when nothing changes.
    GLuint boundTexture = 0;
    // Every live texture, to be uploaded again into a new context after a reset.
    std::vector<GlTexture *> textures;

    // GL may be called: the context exists and is current. Closing the window
    // leaves the context without a drawable (and not current) until the back
    // end goes.
    bool Usable() const { return context && SDL_GL_GetCurrentContext() == context; }

    void Bind(GLuint name)
    {
      if(boundTexture == name)
        return;
      glBindTexture(GL_TEXTURE_2D, name);
      boundTexture = name;
    }
  };

  // An RGBA8 texture with a copy of its texels in memory: reads of the whole
  // texture come from GL, and the copy lets a new context get the texture back
  // after the driver reset the old one.
  class GlTexture : public DeviceTexture {
  public:
    GlTexture(std::shared_ptr<GlShared> shared, int width, int height, const uint32_t *argb)
      : DeviceTexture(width, height), shared(std::move(shared)),
        texels(static_cast<size_t>(width) * static_cast<size_t>(height), 0)
    {
      if(argb)
        std::memcpy(texels.data(), argb, texels.size() * sizeof(uint32_t));
      this->shared->textures.push_back(this);
      Upload();
    }

    ~GlTexture() override
    {
      auto &list = shared->textures;
      list.erase(std::remove(list.begin(), list.end(), this), list.end());
      if(shared->Usable() && name != 0)
      {
        if(shared->boundTexture == name)
          shared->boundTexture = 0;
        glDeleteTextures(1, &name);
      }
    }

    GLuint Name() const { return name; }
    const GlShared *Owner() const { return shared.get(); }

    // Makes the GL texture from the texels in memory (in the current context).
    bool Upload()
    {
      name = 0;
      while(glGetError() != GL_NO_ERROR)
      {
      }
      glGenTextures(1, &name);
      shared->Bind(name);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, Width(), Height(), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                   texels.data());
      if(glGetError() != GL_NO_ERROR)
      {
        shared->boundTexture = 0;
        glDeleteTextures(1, &name);
        name = 0;
        return false;
      }
      return true;
    }

    bool Write(int x, int y, int w, int h, const uint32_t *argb, int pitch) override
    {
      if(!argb || x < 0 || y < 0 || w < 0 || h < 0 || x > Width() - w || y > Height() - h || pitch < w)
        return false;
      if(w == 0 || h == 0)
        return true;
      for(int row = 0; row < h; ++row)
        std::memcpy(&texels[static_cast<size_t>(y + row) * Width() + x], argb + static_cast<size_t>(row) * pitch,
                    static_cast<size_t>(w) * sizeof(uint32_t));
      if(!shared->Usable() || name == 0)
        return false;
      shared->Bind(name);
      glPixelStorei(GL_UNPACK_ROW_LENGTH, Width());
      glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                      &texels[static_cast<size_t>(y) * Width() + x]);
      glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
      return true;
    }

    bool Read(uint32_t *argb) const override
    {
      if(!argb)
        return false;
      if(!shared->Usable() || name == 0)
      {
        std::memcpy(argb, texels.data(), texels.size() * sizeof(uint32_t));
        return true;
      }
      shared->Bind(name);
      glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, argb);
      return true;
    }

  private:
    std::shared_ptr<GlShared> shared;
    std::vector<uint32_t> texels;
    GLuint name = 0;
  };

  // A vertex buffer written front to back, one draw after another, and orphaned
  // when full, so that no draw waits for the one before it.
  struct StreamBuffer {
    GLuint vao = 0;
    GLuint vbo = 0;
    int stride = 0;
    int capacity = 0;
    int next = 0;

    // Copies `count` vertices in and returns the index of the first one.
    int Append(const void *vertices, int count)
    {
      if(count > capacity)
      {
        capacity = std::max(count, capacity * 2);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity) * stride, nullptr, GL_STREAM_DRAW);
        next = 0;
      }
      else if(next + count > capacity)
      {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity) * stride, nullptr, GL_STREAM_DRAW);
        next = 0;
      }
      const int first = next;
      glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(first) * stride, static_cast<GLsizeiptr>(count) * stride,
                      vertices);
      next += count;
      return first;
    }
  };

  // A sprite corner: position in normalised device coordinates, texture coordinate.
  struct SpriteVertex {
    float x = 0.f;
    float y = 0.f;
    float u = 0.f;
    float v = 0.f;
  };

  const char *const FaceVertexShader = R"(#version 330 core
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

  const char *const FaceFragmentShader = R"(#version 330 core
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

  const char *const SpriteVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texCoord;
out vec2 uv;
void main()
{
  gl_Position = vec4(position, 0.0, 1.0);
  uv = texCoord;
}
)";

  const char *const SpriteFragmentShader = R"(#version 330 core
uniform sampler2D picture;
uniform vec4 tint;
in vec2 uv;
out vec4 fragment;
void main()
{
  fragment = texture(picture, uv) * tint;
}
)";

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

  GLuint LinkProgram(const char *vertexSource, const char *fragmentSource)
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

  void ArgbToFloats(uint32_t argb, float out[4])
  {
    out[0] = ((argb >> 16) & 0xFF) / 255.f;
    out[1] = ((argb >> 8) & 0xFF) / 255.f;
    out[2] = (argb & 0xFF) / 255.f;
    out[3] = ((argb >> 24) & 0xFF) / 255.f;
  }

  // A viewport as a GL rectangle (y counted up from the bottom of a buffer of
  // `bufferHeight` rows), clamped to what GL takes.
  struct GlRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const GlRect &) const = default;
  };

  GlRect ToGlRect(const Viewport &viewport, int bufferHeight)
  {
    const long long limit = 1 << 20;
    const long long x = std::min<long long>(viewport.x, limit);
    const long long y = std::min<long long>(viewport.y, limit);
    const long long w = std::min<long long>(viewport.width, limit);
    const long long h = std::min<long long>(viewport.height, limit);
    return GlRect{static_cast<int>(x), static_cast<int>(bufferHeight - y - h), static_cast<int>(w),
                  static_cast<int>(h)};
  }

  // GL state as last set, so that draws only change what differs. -1 means unknown.
  struct StateCache {
    GLuint program = ~0u;
    GLuint vao = ~0u;
    GLuint arrayBuffer = ~0u;
    GLuint sampler = ~0u;
    int cull = -1;
    int depthTest = -1;
    int depthWrite = -1;
    int blend = -1;
    GlRect viewport{-1, -1, -1, -1};
    float minZ = -1.f;
    float maxZ = -1.f;
    GlRect scissor{-1, -1, -1, -1};

    // Face program uniforms.
    float transform[16] = {};
    bool transformKnown = false;
    float pixelOffset[2] = {-1.f, -1.f};
    float stateColour[4] = {-1.f, -1.f, -1.f, -1.f};
    int useVertexColour = -1;
    int modulate = -1;
    // Sprite program uniform.
    uint32_t tint = 0;
    bool tintKnown = false;
  };

  // How a context loss is detected.
  enum class ResetQuery { None, Core, Arb };

  class OpenGlBackend : public RenderBackend {
  public:
    OpenGlBackend(NativeWindow &window, int width, int height)
      : window(window), shared(std::make_shared<GlShared>()), width(width), height(height),
        scratch(static_cast<size_t>(width) * static_cast<size_t>(height), 0)
    {
    }

    ~OpenGlBackend() override
    {
      // Textures still held by others drop their names with the context.
      if(Ready())
      {
        white.reset();
        DestroyObjects();
      }
      shared->context = nullptr;
      white.reset();
      if(context)
      {
        SDL_GL_DeleteContext(context);
        context = nullptr;
      }
      if(videoInitialised)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // Makes the context and everything drawing needs; false with a line on
    // standard error when that is not possible.
    bool Initialise()
    {
      if(!window.Handle())
      {
        LogLine("cannot create an OpenGL context: the window is not open");
        return false;
      }
      // The subsystem stays up as long as the context does, whatever the window does.
      if(SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
      {
        LogLine(std::string("cannot start SDL video: ") + SDL_GetError());
        return false;
      }
      videoInitialised = true;
      if(!CreateContext())
        return false;
      // Where the swap cannot wait for the retrace, Present paces itself.
      SDL_GL_SetSwapInterval(1);
      SDL_ClearError();
      if(!CreateObjects())
        return false;
      white = std::make_unique<GlTexture>(shared, 1, 1, &WhiteTexel);
      if(white->Name() == 0 || !CreateBackBuffer())
      {
        LogLine("cannot create the OpenGL back buffer");
        return false;
      }
      ApplyFixedState();
      return true;
    }

    int Width() const override { return width; }
    int Height() const override { return height; }

    std::unique_ptr<DeviceTexture> CreateTexture(int textureWidth, int textureHeight, const uint32_t *argb) override
    {
      if(textureWidth <= 0 || textureHeight <= 0 || textureWidth > maxTextureSize || textureHeight > maxTextureSize ||
         !Ready())
        return nullptr;
      auto texture = std::make_unique<GlTexture>(shared, textureWidth, textureHeight, argb);
      if(texture->Name() == 0)
        return nullptr;
      return texture;
    }

    void Clear(const Viewport &viewport, bool target, bool depth, uint32_t argb, float z) override
    {
      if(!Ready() || (!target && !depth))
        return;
      SetScissor(ToGlRect(viewport, height));
      GLbitfield mask = 0;
      if(target)
      {
        float colour[4];
        ArgbToFloats(argb, colour);
        glClearColor(colour[0], colour[1], colour[2], 1.f);
        mask |= GL_COLOR_BUFFER_BIT;
      }
      if(depth)
      {
        SetDepth(cache.depthTest == 1, true);
        glClearDepth(std::clamp(z, 0.f, 1.f));
        mask |= GL_DEPTH_BUFFER_BIT;
      }
      glClear(mask);
    }

    void DrawTriangleFan(const Vertex *vertices, int primitiveCount, const DeviceTexture *texture,
                         const FaceDrawState &state) override
    {
      if(!Ready() || !vertices || primitiveCount <= 0)
        return;
      UseProgram(faceProgram, faces);
      SetCull(state.cullMode);
      SetDepth(state.depthTest, state.depthWrite);
      SetBlend(state.alphaBlend);
      SetViewport(state.viewport);
      SetSampler(faceSampler);
      shared->Bind(TextureName(texture));

      if(!cache.transformKnown || std::memcmp(cache.transform, state.transform.m, sizeof cache.transform) != 0)
      {
        std::memcpy(cache.transform, state.transform.m, sizeof cache.transform);
        cache.transformKnown = true;
        // Rows of the device's matrix become GL's columns: GL's matrix times a
        // column vector is then the row vector times the device's matrix.
        glUniformMatrix4fv(faceTransform, 1, GL_FALSE, cache.transform);
      }
      const float colour[4] = {state.colour.r, state.colour.g, state.colour.b, state.colour.a};
      if(std::memcmp(cache.stateColour, colour, sizeof colour) != 0)
      {
        std::memcpy(cache.stateColour, colour, sizeof colour);
        glUniform4fv(faceStateColour, 1, colour);
      }
      if(cache.useVertexColour != (state.useVertexColour ? 1 : 0))
      {
        cache.useVertexColour = state.useVertexColour ? 1 : 0;
        glUniform1i(faceUseVertexColour, cache.useVertexColour);
      }
      if(cache.modulate != (state.modulate ? 1 : 0))
      {
        cache.modulate = state.modulate ? 1 : 0;
        glUniform1i(faceModulate, cache.modulate);
      }

      const int count = primitiveCount + 2;
      const int first = faces.Append(vertices, count);
      glDrawArrays(GL_TRIANGLE_FAN, first, count);
    }

    void DrawSprite(const DeviceTexture &texture, const SpriteQuad &quad) override
    {
      if(!Ready())
        return;
      UseProgram(spriteProgram, sprites);
      SetCull(CullMode::None);
      SetDepth(false, false);
      SetBlend(true);
      SetViewport(Viewport{0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height), 0.f, 1.f});
      SetScissor(ToGlRect(quad.viewport, height));
      SetSampler(quad.smooth ? spriteSmoothSampler : spriteSampler);
      shared->Bind(TextureName(&texture));

      if(!cache.tintKnown || cache.tint != quad.colour)
      {
        cache.tint = quad.colour;
        cache.tintKnown = true;
        float tint[4];
        ArgbToFloats(quad.colour, tint);
        glUniform4fv(spriteTint, 1, tint);
      }

      // Pixels (y down) to normalised device coordinates (y up).
      const float sx = 2.f / static_cast<float>(width);
      const float sy = 2.f / static_cast<float>(height);
      const float left = quad.left * sx - 1.f;
      const float right = quad.right * sx - 1.f;
      const float top = 1.f - quad.top * sy;
      const float bottom = 1.f - quad.bottom * sy;
      const SpriteVertex corners[4] = {
        {left, top, quad.u0, quad.v0},
        {left, bottom, quad.u0, quad.v1},
        {right, top, quad.u1, quad.v0},
        {right, bottom, quad.u1, quad.v1},
      };
      const int first = sprites.Append(corners, 4);
      glDrawArrays(GL_TRIANGLE_STRIP, first, 4);
    }

    void ReadBackBuffer(uint32_t *pixels) override
    {
      if(!pixels)
        return;
      if(!Ready())
      {
        std::fill(pixels, pixels + scratch.size(), 0xFF000000u);
        return;
      }
      glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, scratch.data());
      // GL's row 0 is the bottom of the screen.
      for(int y = 0; y < height; ++y)
      {
        const uint32_t *from = &scratch[static_cast<size_t>(height - 1 - y) * width];
        uint32_t *to = pixels + static_cast<size_t>(y) * width;
        for(int x = 0; x < width; ++x)
          to[x] = from[x] | 0xFF000000u;
      }
    }

    void WriteBackBuffer(const uint32_t *pixels) override
    {
      if(!pixels || !Ready())
        return;
      for(int y = 0; y < height; ++y)
      {
        const uint32_t *from = pixels + static_cast<size_t>(y) * width;
        uint32_t *to = &scratch[static_cast<size_t>(height - 1 - y) * width];
        for(int x = 0; x < width; ++x)
          to[x] = from[x] | 0xFF000000u;
      }
      shared->Bind(colourTexture);
      glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, scratch.data());
    }

    bool Present() override
    {
      if(CheckReset())
        return false;
      // A closed window shows nothing and loses nothing.
      if(!Ready())
        return true;
      if(SDL_Window *handle = window.Handle())
      {
        int windowWidth = 0;
        int windowHeight = 0;
        SDL_GL_GetDrawableSize(handle, &windowWidth, &windowHeight);
        const Letterbox box = Letterbox::Fit(windowWidth, windowHeight, width, height);

        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.f, 0.f, 0.f, 1.f);
        glClear(GL_COLOR_BUFFER_BIT);
        if(box.width > 0 && box.height > 0)
        {
          const int bottom = windowHeight - box.y - box.height;
          glBlitFramebuffer(0, 0, width, height, box.x, bottom, box.x + box.width, bottom + box.height,
                            GL_COLOR_BUFFER_BIT, GL_NEAREST);
        }
        SDL_GL_SwapWindow(handle);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
        glEnable(GL_SCISSOR_TEST);
      }
      Pace();
      return !CheckReset();
    }

    bool IsLost() const override { return contextLost; }

    bool CanReset() const override
    {
      if(!contextLost)
        return true;
      // The driver reports the reset until it has finished with it.
      return shared->Usable() && QueryResetStatus() == GL_NO_ERROR;
    }

    ResetError Reset() override
    {
      if(contextLost)
      {
        if(!RecreateContext())
          return ResetError::DeviceLost;
      }
      else if(!shared->Usable())
        return ResetError::DeviceLost;
      else
        DestroyBackBuffer();
      if(!CreateBackBuffer())
        return ResetError::OutOfVideoMemory;
      ApplyFixedState();
      return ResetError::None;
    }

  private:
    static constexpr uint32_t WhiteTexel = 0xFFFFFFFFu;

    // GL may be used for drawing: the context is healthy and current.
    bool Ready() const { return !contextLost && shared->Usable(); }

    bool CreateContext()
    {
      SDL_Window *handle = window.Handle();
      // A hardware-accelerated context first, robust where the driver offers it.
      for(bool robust : {true, false})
        if((context = TryContext(handle, 1, robust)))
        {
          shared->context = context;
          return true;
        }
      // Then Mesa's software renderer.
      setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
      for(bool robust : {true, false})
        if((context = TryContext(handle, -1, robust)))
        {
          shared->context = context;
          return true;
        }
      LogLine(std::string("cannot create an OpenGL 3.3 context: ") + SDL_GetError());
      return false;
    }

    static SDL_GLContext TryContext(SDL_Window *handle, int accelerated, bool robust)
    {
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
      SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
      SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, accelerated);
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, robust ? SDL_GL_CONTEXT_ROBUST_ACCESS_FLAG : 0);
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION,
                          robust ? SDL_GL_CONTEXT_RESET_LOSE_CONTEXT : SDL_GL_CONTEXT_RESET_NO_NOTIFICATION);
      SDL_GLContext made = SDL_GL_CreateContext(handle);
      if(!made)
        return nullptr;
      if(epoxy_gl_version() < 33)
      {
        SDL_GL_DeleteContext(made);
        return nullptr;
      }
      return made;
    }

    // A new context after the driver reset the old one; textures come back from
    // their copies in memory.
    bool RecreateContext()
    {
      if(!CanReset())
        return false;
      shared->context = nullptr;
      SDL_GL_DeleteContext(context);
      context = nullptr;
      if(!window.Handle() || !CreateContext())
        return false;
      shared->boundTexture = 0;
      if(!CreateObjects())
        return false;
      bool uploaded = true;
      for(GlTexture *texture : shared->textures)
        uploaded = texture->Upload() && uploaded;
      if(!uploaded)
        return false;
      contextLost = false;
      return true;
    }

    bool CreateObjects()
    {
      cache = StateCache{};
      GLint reportedMax = 0;
      glGetIntegerv(GL_MAX_TEXTURE_SIZE, &reportedMax);
      maxTextureSize = reportedMax > 0 ? reportedMax : 2048;

      // A context made with reset notification answers reset queries.
      resetQuery = ResetQuery::None;
      GLint strategy = GL_NO_RESET_NOTIFICATION;
      if(epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_KHR_robustness"))
      {
        glGetIntegerv(GL_RESET_NOTIFICATION_STRATEGY, &strategy);
        if(strategy == GL_LOSE_CONTEXT_ON_RESET)
          resetQuery = ResetQuery::Core;
      }
      else if(epoxy_has_gl_extension("GL_ARB_robustness"))
      {
        glGetIntegerv(GL_RESET_NOTIFICATION_STRATEGY_ARB, &strategy);
        if(strategy == GL_LOSE_CONTEXT_ON_RESET_ARB)
          resetQuery = ResetQuery::Arb;
      }
      while(glGetError() != GL_NO_ERROR)
      {
      }

      faceProgram = LinkProgram(FaceVertexShader, FaceFragmentShader);
      spriteProgram = LinkProgram(SpriteVertexShader, SpriteFragmentShader);
      if(!faceProgram || !spriteProgram)
        return false;
      faceTransform = glGetUniformLocation(faceProgram, "transform");
      facePixelOffset = glGetUniformLocation(faceProgram, "pixelOffset");
      faceStateColour = glGetUniformLocation(faceProgram, "stateColour");
      faceUseVertexColour = glGetUniformLocation(faceProgram, "useVertexColour");
      faceModulate = glGetUniformLocation(faceProgram, "modulate");
      spriteTint = glGetUniformLocation(spriteProgram, "tint");
      glUseProgram(faceProgram);
      glUniform1i(glGetUniformLocation(faceProgram, "picture"), 0);
      glUseProgram(spriteProgram);
      glUniform1i(glGetUniformLocation(spriteProgram, "picture"), 0);

      faces = CreateStream(sizeof(Vertex), 4096);
      glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                            reinterpret_cast<const void *>(offsetof(Vertex, x)));
      // The diffuse word 0xAARRGGBB is stored as bytes blue, green, red, alpha.
      glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                            reinterpret_cast<const void *>(offsetof(Vertex, diffuse)));
      glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                            reinterpret_cast<const void *>(offsetof(Vertex, u)));
      for(GLuint i = 0; i < 3; ++i)
        glEnableVertexAttribArray(i);

      sprites = CreateStream(sizeof(SpriteVertex), 1024);
      glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(SpriteVertex),
                            reinterpret_cast<const void *>(offsetof(SpriteVertex, x)));
      glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(SpriteVertex),
                            reinterpret_cast<const void *>(offsetof(SpriteVertex, u)));
      for(GLuint i = 0; i < 2; ++i)
        glEnableVertexAttribArray(i);

      faceSampler = MakeSampler(GL_NEAREST, GL_REPEAT);
      spriteSampler = MakeSampler(GL_NEAREST, GL_CLAMP_TO_EDGE);
      spriteSmoothSampler = MakeSampler(GL_LINEAR, GL_CLAMP_TO_EDGE);
      if(glGetError() != GL_NO_ERROR)
      {
        LogLine("cannot set up OpenGL drawing: the driver reported an error");
        return false;
      }
      return true;
    }

    StreamBuffer CreateStream(int stride, int capacity)
    {
      StreamBuffer stream;
      stream.stride = stride;
      stream.capacity = capacity;
      glGenVertexArrays(1, &stream.vao);
      glBindVertexArray(stream.vao);
      glGenBuffers(1, &stream.vbo);
      glBindBuffer(GL_ARRAY_BUFFER, stream.vbo);
      glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity) * stride, nullptr, GL_STREAM_DRAW);
      cache.vao = stream.vao;
      cache.arrayBuffer = stream.vbo;
      return stream;
    }

    static GLuint MakeSampler(GLint filter, GLint wrap)
    {
      GLuint sampler = 0;
      glGenSamplers(1, &sampler);
      glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, filter);
      glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, filter);
      glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrap);
      glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrap);
      return sampler;
    }

    void DestroyObjects()
    {
      DestroyBackBuffer();
      glDeleteProgram(faceProgram);
      glDeleteProgram(spriteProgram);
      for(StreamBuffer *stream : {&faces, &sprites})
      {
        glDeleteVertexArrays(1, &stream->vao);
        glDeleteBuffers(1, &stream->vbo);
        *stream = StreamBuffer{};
      }
      for(GLuint *sampler : {&faceSampler, &spriteSampler, &spriteSmoothSampler})
      {
        glDeleteSamplers(1, sampler);
        *sampler = 0;
      }
      faceProgram = 0;
      spriteProgram = 0;
    }

    bool CreateBackBuffer()
    {
      while(glGetError() != GL_NO_ERROR)
      {
      }
      glGenTextures(1, &colourTexture);
      shared->Bind(colourTexture);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
      glGenRenderbuffers(1, &depthBuffer);
      glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
      glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
      glGenFramebuffers(1, &framebuffer);
      glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
      glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourTexture, 0);
      glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
      if(glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE || glGetError() != GL_NO_ERROR)
      {
        DestroyBackBuffer();
        return false;
      }
      // A new back buffer starts black and opaque with the far depth.
      glDisable(GL_SCISSOR_TEST);
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
      glDepthMask(GL_TRUE);
      glClearColor(0.f, 0.f, 0.f, 1.f);
      glClearDepth(1.0);
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      return true;
    }

    void DestroyBackBuffer()
    {
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      glDeleteFramebuffers(1, &framebuffer);
      glDeleteRenderbuffers(1, &depthBuffer);
      if(shared->boundTexture == colourTexture)
        shared->boundTexture = 0;
      glDeleteTextures(1, &colourTexture);
      framebuffer = 0;
      depthBuffer = 0;
      colourTexture = 0;
    }

    // The state every draw relies on and none changes.
    void ApplyFixedState()
    {
      glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
      glActiveTexture(GL_TEXTURE0);
      // Visible faces run clockwise on the screen; see SetCull.
      glFrontFace(GL_CW);
      glDepthFunc(GL_LEQUAL);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      glDisable(GL_DITHER);
      glEnable(GL_SCISSOR_TEST);
      // The back buffer has no alpha plane to speak of: it stays opaque.
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
      glPixelStorei(GL_PACK_ALIGNMENT, 4);
      glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
      const GLuint keepProgram = cache.program;
      const GLuint keepVao = cache.vao;
      const GLuint keepBuffer = cache.arrayBuffer;
      cache = StateCache{};
      if(keepProgram != ~0u)
        glUseProgram(keepProgram);
      cache.program = keepProgram;
      cache.vao = keepVao;
      cache.arrayBuffer = keepBuffer;
      glBindVertexArray(keepVao == ~0u ? 0 : keepVao);
      glBindBuffer(GL_ARRAY_BUFFER, keepBuffer == ~0u ? 0 : keepBuffer);
    }

    void UseProgram(GLuint program, StreamBuffer &stream)
    {
      if(cache.program != program)
      {
        glUseProgram(program);
        cache.program = program;
      }
      if(cache.vao != stream.vao)
      {
        glBindVertexArray(stream.vao);
        cache.vao = stream.vao;
      }
      if(cache.arrayBuffer != stream.vbo)
      {
        glBindBuffer(GL_ARRAY_BUFFER, stream.vbo);
        cache.arrayBuffer = stream.vbo;
      }
    }

    // The device culls by the winding seen on the screen. GL's window y runs up,
    // the screen's down, but the picture is not mirrored, so a triangle that
    // runs clockwise on the screen runs clockwise for GL too: with clockwise
    // front faces, culling back faces removes the counter-clockwise ones.
    void SetCull(CullMode mode)
    {
      const int value = static_cast<int>(mode);
      if(cache.cull == value)
        return;
      cache.cull = value;
      switch(mode)
      {
        case CullMode::None: glDisable(GL_CULL_FACE); break;
        case CullMode::CounterClockwise:
          glEnable(GL_CULL_FACE);
          glCullFace(GL_BACK);
          break;
        case CullMode::Clockwise:
          glEnable(GL_CULL_FACE);
          glCullFace(GL_FRONT);
          break;
      }
    }

    void SetDepth(bool test, bool write)
    {
      if(cache.depthTest != (test ? 1 : 0))
      {
        cache.depthTest = test ? 1 : 0;
        if(test)
          glEnable(GL_DEPTH_TEST);
        else
          glDisable(GL_DEPTH_TEST);
      }
      if(cache.depthWrite != (write ? 1 : 0))
      {
        cache.depthWrite = write ? 1 : 0;
        glDepthMask(write ? GL_TRUE : GL_FALSE);
      }
    }

    void SetBlend(bool blend)
    {
      if(cache.blend == (blend ? 1 : 0))
        return;
      cache.blend = blend ? 1 : 0;
      if(blend)
        glEnable(GL_BLEND);
      else
        glDisable(GL_BLEND);
    }

    // The viewport, its depth range and a scissor to it (the device clips
    // everything to the viewport).
    void SetViewport(const Viewport &viewport)
    {
      const GlRect rect = ToGlRect(viewport, height);
      if(!(cache.viewport == rect))
      {
        cache.viewport = rect;
        glViewport(rect.x, rect.y, rect.width, rect.height);
      }
      if(cache.minZ != viewport.minZ || cache.maxZ != viewport.maxZ)
      {
        cache.minZ = viewport.minZ;
        cache.maxZ = viewport.maxZ;
        glDepthRange(viewport.minZ, viewport.maxZ);
      }
      SetScissor(rect);
      if(cache.program == faceProgram)
        UpdatePixelOffset();
    }

    // Half a pixel right and down, in clip units of the current viewport.
    void UpdatePixelOffset()
    {
      const float offset[2] = {cache.viewport.width > 0 ? 1.f / static_cast<float>(cache.viewport.width) : 0.f,
                               cache.viewport.height > 0 ? -1.f / static_cast<float>(cache.viewport.height) : 0.f};
      if(offset[0] == cache.pixelOffset[0] && offset[1] == cache.pixelOffset[1])
        return;
      cache.pixelOffset[0] = offset[0];
      cache.pixelOffset[1] = offset[1];
      glUniform2fv(facePixelOffset, 1, offset);
    }

    void SetScissor(const GlRect &rect)
    {
      if(cache.scissor == rect)
        return;
      cache.scissor = rect;
      glScissor(rect.x, rect.y, std::max(rect.width, 0), std::max(rect.height, 0));
    }

    void SetSampler(GLuint sampler)
    {
      if(cache.sampler == sampler)
        return;
      cache.sampler = sampler;
      glBindSampler(0, sampler);
    }

    GLuint TextureName(const DeviceTexture *texture) const
    {
      // Only textures made by this back end (in its current context) can be
      // bound; anything else samples as white rather than as a stray name.
      if(const auto *own = dynamic_cast<const GlTexture *>(texture))
        if(own->Owner() == shared.get() && own->Name() != 0)
          return own->Name();
      return white ? white->Name() : 0;
    }

    GLenum QueryResetStatus() const
    {
      switch(resetQuery)
      {
        case ResetQuery::Core: return glGetGraphicsResetStatus();
        case ResetQuery::Arb: return glGetGraphicsResetStatusARB();
        default: return GL_NO_ERROR;
      }
    }

    // True (and the device lost) when the driver reports that it reset the context.
    bool CheckReset()
    {
      if(contextLost)
        return true;
      if(!shared->Usable() || QueryResetStatus() == GL_NO_ERROR)
        return false;
      LogLine("the OpenGL context was reset by the driver");
      contextLost = true;
      return true;
    }

    // Where the swap does not wait for the display's retrace, wait here until
    // one refresh period has passed since the previous frame.
    void Pace()
    {
      using Clock = std::chrono::steady_clock;
      if(framePeriod == Clock::duration::zero())
      {
        int rate = 0;
        SDL_DisplayMode mode{};
        const int display = window.Handle() ? SDL_GetWindowDisplayIndex(window.Handle()) : 0;
        if(SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0)
          rate = mode.refresh_rate;
        if(rate <= 0)
          rate = 60;
        framePeriod = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate));
      }
      const Clock::time_point now = Clock::now();
      if(now < nextFrame)
        std::this_thread::sleep_until(nextFrame);
      else if(now - nextFrame > framePeriod)
        nextFrame = now;
      nextFrame += framePeriod;
    }

  private:
    NativeWindow &window;
    std::shared_ptr<GlShared> shared;
    int width = 0;
    int height = 0;
    bool videoInitialised = false;
    SDL_GLContext context = nullptr;
    bool contextLost = false;
    ResetQuery resetQuery = ResetQuery::None;
    int maxTextureSize = 0;

    GLuint faceProgram = 0;
    GLint faceTransform = -1;
    GLint facePixelOffset = -1;
    GLint faceStateColour = -1;
    GLint faceUseVertexColour = -1;
    GLint faceModulate = -1;
    GLuint spriteProgram = 0;
    GLint spriteTint = -1;
    StreamBuffer faces;
    StreamBuffer sprites;
    GLuint faceSampler = 0;
    GLuint spriteSampler = 0;
    GLuint spriteSmoothSampler = 0;
    std::unique_ptr<GlTexture> white;

    GLuint framebuffer = 0;
    GLuint colourTexture = 0;
    GLuint depthBuffer = 0;
    std::vector<uint32_t> scratch;
    StateCache cache;

    std::chrono::steady_clock::duration framePeriod = std::chrono::steady_clock::duration::zero();
    std::chrono::steady_clock::time_point nextFrame;
  };
}

std::unique_ptr<RenderBackend> GlBackend::Create(NativeWindow &window, int width, int height)
{
  if(width <= 0 || height <= 0)
    return nullptr;
  // Mesa's software renderer allocates its per-frame work lists afresh every
  // frame and frees them after. By default the C library hands such memory
  // back to the system at once and every frame faults it in again, which
  // costs far more than the drawing (tens of microseconds per texture change).
  // Keep freed memory in the process instead.
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  auto backend = std::make_unique<OpenGlBackend>(window, width, height);
  if(!backend->Initialise())
    return nullptr;
  return backend;
}

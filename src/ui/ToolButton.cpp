#include "ui/ToolButton.h"

#include "events/SoundSink.h"
#include "gfx/ArgbImage.h"
#include "gfx/GraphicsDevice.h"
#include "base/Log.h"
#include "res/DibImage.h"

namespace {
  // A cursor bitmap file as a device texture of the colours that drawing it
  // onto the screen would combine with what is there; null (with a line in
  // the log) when the file cannot be read or drawn.
  std::unique_ptr<DeviceTexture> LoadCursorTexture(GraphicsDevice &device, const std::string &fileName)
  {
    DibImage bitmap;
    if(!bitmap.LoadBmp(fileName))
      return nullptr;
    ArgbImage image;
    if(!bitmap.Decode(image))
    {
      LogLine("cannot use cursor bitmap " + fileName + ": " + std::to_string(bitmap.Bits().bitCount) +
              "-bit pictures cannot be drawn");
      return nullptr;
    }
    std::unique_ptr<DeviceTexture> texture = device.CreateTexture(image.width, image.height, image.pixels.data());
    if(!texture)
      LogLine("cannot make a texture of cursor bitmap " + fileName);
    return texture;
  }

  // One unscaled quad of the whole texture with its top-left corner at (left, top).
  SpriteQuad CursorQuad(const DeviceTexture &texture, int left, int top, SpriteBlend blend)
  {
    SpriteQuad quad;
    quad.left = static_cast<float>(left);
    quad.top = static_cast<float>(top);
    quad.right = static_cast<float>(left + texture.Width());
    quad.bottom = static_cast<float>(top + texture.Height());
    quad.blend = blend;
    return quad;
  }
}

ToolButton::ToolButton(ToolKind kind)
  : kind(kind)
{
}

Event *ToolButton::Poll(const SoundSink &sounds, EventCreate &, int x, int y)
{
  const bool inside = hitRect.Contains(x, y);
  // The sound marks the entry only, not every frame the pointer stays.
  if(inside && !hovered)
    sounds.Play(SoundId::Select);
  hovered = inside;
  return nullptr;
}

int ToolButton::OnRelease(const SoundSink &, EventCreate &)
{
  return 0;
}

void ToolButton::DrawNormal()
{
  DrawTexture(icon, nullptr, nullptr, &position, hovered ? OpaqueColour : TranslucentColour);
}

void ToolButton::DrawSelected()
{
  DrawTexture(icon, nullptr, nullptr, &position, OpaqueColour);
}

void ToolButton::DrawCursor(GraphicsDevice &device, int x, int y) const
{
  if(!cursorMask || !cursorBitmap)
    return;
  const int left = x - static_cast<int>(hotSpot.x);
  const int top = y - static_cast<int>(hotSpot.y);
  const Viewport previous = device.GetViewport();
  const PresentationParameters &screen = device.Presentation();
  device.SetViewport({0, 0, static_cast<uint32_t>(screen.backBufferWidth),
                      static_cast<uint32_t>(screen.backBufferHeight), previous.minZ, previous.maxZ});
  device.DrawSpriteQuad(*cursorMask, CursorQuad(*cursorMask, left, top, SpriteBlend::And));
  device.DrawSpriteQuad(*cursorBitmap, CursorQuad(*cursorBitmap, left, top, SpriteBlend::Or));
  device.SetViewport(previous);
}

bool ToolButton::LoadWithCursor(GraphicsDevice &graphicsDevice, const CursorFiles &files, Vector2 at, Vector2 spot,
                                HitRect hit)
{
  if(!icon.LoadFromFile(graphicsDevice, files.icon))
    return false;
  if(!cursorPicture.LoadFromFile(graphicsDevice, files.picture))
    return false;
  std::unique_ptr<DeviceTexture> bitmap = LoadCursorTexture(graphicsDevice, files.bitmap);
  if(!bitmap)
    return false;
  std::unique_ptr<DeviceTexture> mask = LoadCursorTexture(graphicsDevice, files.mask);
  if(!mask)
    return false;
  cursorBitmap = std::move(bitmap);
  cursorMask = std::move(mask);
  position = at;
  hotSpot = spot;
  hitRect = hit;
  return Create(&icon, graphicsDevice);
}

bool ToolButton::LoadIconOnly(GraphicsDevice &graphicsDevice, const std::string &iconFile, Vector2 at, HitRect hit)
{
  if(!icon.LoadFromFile(graphicsDevice, iconFile))
    return false;
  position = at;
  hitRect = hit;
  return Create(&icon, graphicsDevice);
}

#include "ui/ToolButton.h"

#include "events/SoundSink.h"
#include "gfx/DrawingContext.h"

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

void ToolButton::DrawCursor(DrawingContext &context, int x, int y) const
{
  const int left = x - static_cast<int>(hotSpot.x);
  const int top = y - static_cast<int>(hotSpot.y);
  context.DrawBitmap(left, top, cursorMask.Bits(), RasterOperation::And);
  context.DrawBitmap(left, top, cursorBitmap.Bits(), RasterOperation::Or);
}

bool ToolButton::LoadWithCursor(GraphicsDevice &graphicsDevice, const CursorFiles &files, Vector2 at, Vector2 spot,
                                HitRect hit)
{
  if(!icon.LoadFromFile(graphicsDevice, files.icon))
    return false;
  if(!cursorPicture.LoadFromFile(graphicsDevice, files.picture))
    return false;
  if(!cursorBitmap.LoadBmp(files.bitmap))
    return false;
  if(!cursorMask.LoadBmp(files.mask))
    return false;
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

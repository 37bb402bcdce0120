#pragma once

#include "gfx/DeviceTexture.h"
#include "gfx/Vector2.h"
#include "res/Texture.h"
#include "ui/HitRect.h"
#include "ui/ToolKind.h"
#include "ui/Widget.h"

#include <cstdint>
#include <memory>
#include <string>

class DataFiles;
class Event;
class EventCreate;
class SoundSink;

// One button of the creation screen's palette: an icon at a fixed position
// with an inclusive hit rectangle that lights up while the pointer is over
// it. The hand, eraser, pen and cube buttons also carry the cursor drawn
// while their tool is in use: a mask ANDed onto the screen, then a colour
// bitmap ORed over it, placed so that the hot spot sits at the mouse.
// Each subclass fills in its pictures and layout in Load and its action in
// OnRelease.
class ToolButton : public Widget {
public:
  // Icon colours: untouched while hovered or selected, about 38 percent
  // opaque otherwise.
  static constexpr uint32_t OpaqueColour = 0xFFFFFFFF;
  static constexpr uint32_t TranslucentColour = 0x62FFFFFF;

  explicit ToolButton(ToolKind kind);

  // Loads the button's pictures, sets its layout and creates its sprite;
  // false (start-up cannot go on) when a picture is missing or unreadable.
  virtual bool Load(GraphicsDevice &device, const DataFiles &files) = 0;
  // Tracks the pointer: plays the hover sound when it enters the hit
  // rectangle. Returns the event to switch to, or null to stay.
  virtual Event *Poll(const SoundSink &sounds, EventCreate &event, int x, int y);
  // Called for every button when the left button goes up, hovered or not;
  // a hovered button carries out its action. Always 0.
  virtual int OnRelease(const SoundSink &sounds, EventCreate &event);

  // Draws the icon at its position: opaque while hovered, translucent otherwise.
  void DrawNormal();
  // Draws the icon opaque, for the selected tool.
  void DrawSelected();
  // Draws the cursor with its hot spot at (x, y) as two sprites: the mask
  // ANDed, then the colour bitmap ORed, both unscaled with their top-left
  // corner on a whole pixel and clipped only by the screen's edges (the
  // device's viewport is the full screen for them and is put back after).
  // Draws nothing for a button without cursor.
  void DrawCursor(GraphicsDevice &device, int x, int y) const;
  // The cursor's two pictures on the device: each texel the 0xFFRRGGBB
  // colour that drawing the bitmap file's pixel combines with the screen.
  // Null for a button without cursor.
  const DeviceTexture *CursorMask() const { return cursorMask.get(); }
  const DeviceTexture *CursorBitmap() const { return cursorBitmap.get(); }

  ToolKind Kind() const { return kind; }
  bool Hovered() const { return hovered; }
  const Vector2 &Position() const { return position; }
  const Vector2 &HotSpot() const { return hotSpot; }
  const HitRect &HitRectangle() const { return hitRect; }

protected:
  // The four pictures of a button with a cursor, as paths.
  struct CursorFiles {
    std::string icon;
    std::string bitmap;
    std::string mask;
    std::string picture;
  };

  // Load for buttons with a cursor: icon, cursor picture, cursor bitmap and
  // mask in that order (the first failure ends it; the bitmaps must be BMP
  // files of 16, 24 or 32 bits), then the layout, then Create.
  bool LoadWithCursor(GraphicsDevice &device, const CursorFiles &files, Vector2 at, Vector2 spot, HitRect hit);
  // Load for buttons without a cursor: the icon, the layout, then Create.
  bool LoadIconOnly(GraphicsDevice &device, const std::string &iconFile, Vector2 at, HitRect hit);

protected:
  ToolKind kind;
  Texture icon;
  // A picture version of the cursor: loaded (a missing one stops start-up)
  // but never drawn.
  Texture cursorPicture;
  std::unique_ptr<DeviceTexture> cursorBitmap;
  std::unique_ptr<DeviceTexture> cursorMask;
  Vector2 position;
  Vector2 hotSpot;
  bool hovered = false;
  HitRect hitRect;
};

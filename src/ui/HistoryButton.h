#pragma once

#include "ui/ToolButton.h"

#include <cstdint>

// The undo or the redo button, in the creation screen's top-left corner.
// It looks and answers the pointer as the palette's tools do (translucent
// unless hovered, the hover sound on entering, acting on release over it),
// but never becomes the selected tool and has no cursor. While there is
// nothing to take back (or to do again) it is disabled: drawn fainter still,
// silent and without effect.
class HistoryButton : public ToolButton {
public:
  // Icon colour while disabled: about 16 percent opaque.
  static constexpr uint32_t DisabledColour = 0x28FFFFFF;

  // `kind` is ToolKind::Undo or ToolKind::Redo.
  explicit HistoryButton(ToolKind kind);

  bool Load(GraphicsDevice &device, const DataFiles &files) override;
  // Tracks the pointer as every button does; only an enabled button plays
  // the hover sound. Always null.
  Event *Poll(const SoundSink &sounds, EventCreate &event, int x, int y) override;
  // Hovered and enabled: takes back or does again one step through the
  // creation screen. Always 0.
  int OnRelease(const SoundSink &sounds, EventCreate &event) override;

  // Draws the icon: disabled, faint; otherwise as DrawNormal does.
  void Draw();

  void SetEnabled(bool value) { enabled = value; }
  bool Enabled() const { return enabled; }

private:
  bool enabled = false;
};

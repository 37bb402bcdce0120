#pragma once

#include "gfx/DeviceTexture.h"
#include "res/DibImage.h"
#include "res/RgbBitmap.h"
#include "res/RgbColour.h"

#include <memory>
#include <string>

class GraphicsDevice;

// One texture on the graphics device: either loaded from a PNG or BMP file
// (the file's own size, PNG alpha kept, BMP opaque), or created in one colour
// with a CPU-side byte image behind it from which rectangles are uploaded.
class Texture : public RgbBitmap {
public:
  // File names longer than this are refused.
  static constexpr size_t MaxFileName = 259;

  Texture() = default;

  // Loads the picture in the file, told apart by its content: PNG (alpha
  // kept) or BMP of 16, 24 or 32 bits (opaque), at the file's own size.
  // False, with one log line naming the file and the reason, and nothing
  // changed, when the name is too long or the file is missing, unreadable,
  // damaged or not such a picture. The picture size is left to the owner.
  bool LoadFromFile(GraphicsDevice &device, const std::string &fileName);
  // CreateFilled with white.
  bool CreateWhite(GraphicsDevice &device, int width, int height);
  // A width by height texture with a byte image behind it, both filled with
  // the colour. False (nothing changed) when either cannot be made.
  bool CreateFilled(GraphicsDevice &device, int width, int height, const RgbColour &colour);
  // A size by size face texture of the device's layer textures (of which
  // only the first `kept` columns and rows and the last ones are kept on the
  // device) with a whole size by size byte image behind it, both filled with
  // the colour. False (nothing changed) when either cannot be made.
  bool CreateFace(GraphicsDevice &device, int size, int kept, const RgbColour &colour);
  // The same with the byte image's bytes left unset and nothing uploaded:
  // the caller fills every byte and then uploads.
  bool CreateBlankFace(GraphicsDevice &device, int size, int kept);
  // Copies the rectangle (x, y, w, h) of the byte image into the texture as
  // opaque texels 0xFF000000 | byte0 << 16 | byte1 << 8 | byte2, converted by
  // the device texture straight from the byte image (a face texture converts
  // only the texels it keeps); x and y are clamped to 0..textureWidth/Height,
  // and so is the far corner (also to the byte image's size). An empty rectangle copies nothing and succeeds.
  // False when there is no created texture or it cannot be written now.
  bool Upload(GraphicsDevice &device, int x, int y, int w, int h);

  DeviceTexture *Get() const { return texture.get(); }
  const std::string &FileName() const { return fileName; }
  // The byte image behind a created texture; null for a loaded one.
  DibImage *Backing() const { return backing.get(); }
  // Exchanges the byte image behind the texture with `image` (which must be
  // of the same size; false and nothing exchanged otherwise). Nothing is
  // uploaded.
  bool SwapBacking(std::unique_ptr<DibImage> &image);

  // The picture's size in texels, as CreateFilled or the owning widget sets it.
  int TextureWidth() const { return textureWidth; }
  int TextureHeight() const { return textureHeight; }
  void SetTextureSize(int w, int h) { textureWidth = w; textureHeight = h; }

private:
  std::unique_ptr<DeviceTexture> texture;
  std::string fileName;
  std::unique_ptr<DibImage> backing;
  int textureWidth = 0;
  int textureHeight = 0;
};

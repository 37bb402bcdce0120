#include "model/RoomMesh.h"

bool RoomMesh::BuildRoom(GraphicsDevice &device, const Vector3 &centre, float halfSize)
{
  BuildGeometry(centre, halfSize, true);
  return CreateTextures(device, RoomTextureSize, RgbColour{255, 255, 255});
}

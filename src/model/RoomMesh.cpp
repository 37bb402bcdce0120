#include "model/RoomMesh.h"

bool RoomMesh::BuildRoom(GraphicsDevice &device, const Vector3 &centre, float halfSize, int textureSize)
{
  BuildGeometry(centre, halfSize, true);
  const RgbColour white{255, 255, 255};
  return CreateTextures(device, textureSize, &white);
}

bool RoomMesh::BuildBlankRoom(GraphicsDevice &device, const Vector3 &centre, float halfSize, int textureSize)
{
  BuildGeometry(centre, halfSize, true);
  return CreateTextures(device, textureSize, nullptr);
}

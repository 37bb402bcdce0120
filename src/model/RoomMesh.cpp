#include "model/RoomMesh.h"

bool RoomMesh::BuildRoom(GraphicsDevice &device, const Vector3 &centre, float halfSize)
{
  BuildGeometry(centre, halfSize, true);
  const RgbColour white{255, 255, 255};
  return CreateTextures(device, RoomTextureSize, &white);
}

bool RoomMesh::BuildBlankRoom(GraphicsDevice &device, const Vector3 &centre, float halfSize)
{
  BuildGeometry(centre, halfSize, true);
  return CreateTextures(device, RoomTextureSize, nullptr);
}

#pragma once

#include "gfx/Matrix.h"
#include "gfx/Vector3.h"

class GraphicsDevice;

// The creation screen's camera: looks at the origin from a distance of 900 and
// turns around it, sideways about the vertical axis and up or down about a
// horizontal axis, never over the top or under the bottom. It sets the
// projection once and hands its view transform to the device on Apply.
class OrbitCamera {
public:
  // Distance from the eye to the target after Init.
  static constexpr float Distance = 900.f;
  // The turn (yaw, pitch in degrees) from the pose after Init to the view the
  // creation screen starts with.
  static constexpr float StartYaw = 45.f;
  static constexpr float StartPitch = 30.f;

  OrbitCamera() = default;
  OrbitCamera(const OrbitCamera &) = delete;
  OrbitCamera &operator=(const OrbitCamera &) = delete;
  virtual ~OrbitCamera() = default;

  // Remembers the device (not owned), installs the perspective projection
  // (fov pi/4, aspect windowWidth / windowHeight, near 1, far 2000) and the
  // identity world transform, and puts the eye at (0, 0, 900). Always true.
  bool Init(GraphicsDevice &device, int windowWidth, int windowHeight);
  // Turns the eye around the target by yaw and pitch degrees. A positive yaw
  // moves the eye from +z towards -x, a positive pitch raises it. The pitch
  // part is refused when it would carry the eye across, or onto, the vertical
  // through the target; the yaw part always applies.
  void Rotate(float yaw, float pitch);
  // Sets the device's view transform; nothing before Init.
  void Apply() const;

  const Vector3 &Eye() const { return eye; }
  const Vector3 &Target() const { return target; }
  const Matrix &View() const { return view; }

private:
  GraphicsDevice *graphicsDevice = nullptr;
  Matrix view = Matrix::Identity();
  Vector3 eye;
  Vector3 target;
};

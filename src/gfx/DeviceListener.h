#pragma once

class GraphicsDevice;

// Told around every reset of the graphics device: OnLostDevice before the
// device drops its back buffer, OnResetDevice after it is usable again.
// The device ignores the results.
class DeviceListener {
public:
  virtual ~DeviceListener() = default;
  virtual bool OnLostDevice(GraphicsDevice &device) = 0;
  virtual bool OnResetDevice(GraphicsDevice &device) = 0;
};

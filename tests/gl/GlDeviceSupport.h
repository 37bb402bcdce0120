#pragma once

#include "gfx/GraphicsDevice.h"
#include "platform/GlBackend.h"
#include "platform/NativeWindow.h"

// Creates the device on the OpenGL back end for the window, as the toy does at
// start-up: a hardware-accelerated context first, Mesa's software renderer
// after it. False when the back end cannot be made.
inline bool CreateGlDevice(GraphicsDevice &device, NativeWindow &window)
{
  return device.CreateWithBackend(GlBackend::Create(window, NativeWindow::LogicalWidth, NativeWindow::LogicalHeight));
}

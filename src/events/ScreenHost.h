#pragma once

class DataFiles;
class GraphicsDevice;
class InputSource;
class SaveFolder;
class SoundSystem;

// What the screens need from the application that runs them: the device they
// draw with, the sound system, the input of the frame, where the pictures
// come from and where the toy writes, the logical screen size and the
// window's state. The application implements it and hands itself to the
// screens, so that nothing here depends on the application itself.
class ScreenHost {
public:
  virtual ~ScreenHost() = default;

  virtual GraphicsDevice &Device() = 0;
  virtual SoundSystem &Sounds() = 0;
  // Where the frame reads the pointer and the keys.
  virtual InputSource &Input() = 0;
  virtual const DataFiles &Files() const = 0;
  virtual const SaveFolder &Saves() const = 0;
  // The logical screen's size (640 by 480), whatever the window's size.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // False once the application is shutting down.
  virtual bool IsRunning() const = 0;
  // True while the window has the focus.
  virtual bool IsActive() const = 0;
  // Asks for the toy to close, as the window's close button does.
  virtual void RequestClose() = 0;
};

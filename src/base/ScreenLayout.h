#pragma once

// The logical screen every picture is laid out on, and the model area on it
// where the model is drawn, edited, picked and captured for printing.
namespace ScreenLayout {
  constexpr int Width = 640;
  constexpr int Height = 480;

  constexpr int ModelLeft = 118;
  constexpr int ModelTop = 128;
  constexpr int ModelWidth = 506;
  constexpr int ModelHeight = 336;
}

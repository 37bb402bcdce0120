#pragma once

#include <array>
#include <cstdint>

// Where the program draws each picture: the fixed positions of the title
// screen and the creation screen's palette, and the nine colours.
struct ArtLayout {
  struct Colour {
    const char *word;
    uint32_t rgb;
    int penX;
    int cubeX;
  };
  // The nine palette colours in the pens' screen order.
  static constexpr std::array<Colour, 9> Colours = {{
    {"red", 0xFF0000, 128, 112},
    {"green", 0x00FF00, 184, 168},
    {"blue", 0x0000FF, 240, 224},
    {"cyan", 0x00FFFF, 298, 282},
    {"magenta", 0xFF00FF, 352, 336},
    {"yellow", 0xFFFF00, 408, 392},
    {"white", 0xFFFFFF, 464, 448},
    {"gray", 0xC6C6C6, 518, 502},
    {"black", 0x000000, 578, 562},
  }};

  static constexpr int ScreenWidth = 640;
  static constexpr int ScreenHeight = 480;

  // Title screen.
  static constexpr int TitleSize = 512;
  static constexpr int TitleX = 64;
  static constexpr int ButtonBandTop = 311;
  static constexpr int ButtonBandBottom = 439;
  static constexpr int StartX = 68;
  static constexpr int EndX = 302;
  static constexpr int ButtonY = 311;
  static constexpr int ButtonWidth = 232;
  static constexpr int ButtonHeight = 128;
  // Hit rectangles inside the button pictures, inclusive.
  static constexpr int StartFaceLeft = 77, StartFaceTop = 41, StartFaceRight = 212, StartFaceBottom = 86;
  static constexpr int EndFaceLeft = 58, EndFaceTop = 41, EndFaceRight = 193, EndFaceBottom = 86;
  // The selection mark's frames, drawn at (80, 312) or (280, 312).
  static constexpr int SelectedWidth = 256;
  static constexpr int SelectedHeight = 128;
  static constexpr int SelectedStartX = 80;
  static constexpr int SelectedEndX = 280;
  static constexpr int SelectedY = 312;
  static constexpr int SelectedFrames = 10;

  // Creation screen.
  static constexpr int ModelLeft = 118, ModelTop = 128, ModelRight = 624, ModelBottom = 464;
  static constexpr int ToolX = 8;
  static constexpr int HandY = 120, EraserY = 208, PrinterY = 296, ExitY = 384;
  static constexpr int ToolSize = 88;
  static constexpr int PenY = 16, PenWidth = 40, PenHeight = 48;
  static constexpr int CubeY = 64, CubeWidth = 56, CubeHeight = 48;
  // The undo and redo buttons in the top-left corner, at ToolX, in line
  // with the pens and the cubes.
  static constexpr int UndoY = 16, RedoY = 64, HistoryWidth = 88, HistoryHeight = 48;
  // The background's corner that holds them: everything left of the
  // shelves' board and above the tool column.
  static constexpr int CornerRight = 106, CornerBottom = 114;
  static constexpr int CursorSize = 64;
};

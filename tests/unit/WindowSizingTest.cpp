#include "platform/WindowSizing.h"

#include <gtest/gtest.h>

TEST(WindowSizing, AnAskedSizeIsKeptAndOtherwiseTheLargestWholeMultipleWithinMostOfTheDesktopIsChosen)
{
  WindowSettings asked;
  asked.fullscreen = false;
  asked.width = 1000;
  asked.height = 700;
  WindowSizing::Size size = WindowSizing::For(asked, 1920, 1080, 640, 480);
  EXPECT_EQ(size.width, 1000);
  EXPECT_EQ(size.height, 700);
  // Larger than the desktop still is what was asked: the desktop has the last word.
  asked.width = 4000;
  asked.height = 3000;
  size = WindowSizing::For(asked, 1920, 1080, 640, 480);
  EXPECT_EQ(size.width, 4000);

  struct Case {
    int desktopWidth;
    int desktopHeight;
    int factor;
  };
  // 85 % of the desktop: 1632 by 918 (1x), 2176 by 1224 (2x), 3264 by 1836
  // (3x), 1360 by 1020 (2x); exactly 1280 by 960 of a 1506 by 1130 desktop
  // (1280.1 by 960.5) fits, one pixel less does not.
  const Case cases[] = {{1920, 1080, 1}, {2560, 1440, 2}, {3840, 2160, 3}, {1600, 1200, 2},
                        {1506, 1130, 2}, {1505, 1130, 1}, {1506, 1129, 1}, {800, 600, 1},
                        {640, 480, 1}, {320, 200, 1}, {0, 0, 1}};
  WindowSettings chosen;
  chosen.fullscreen = false;
  for(const Case &c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.desktopWidth << "x" << c.desktopHeight);
    size = WindowSizing::For(chosen, c.desktopWidth, c.desktopHeight, 640, 480);
    EXPECT_EQ(size.width, 640 * c.factor);
    EXPECT_EQ(size.height, 480 * c.factor);
  }
  // Half a size asked counts as none.
  chosen.width = 800;
  size = WindowSizing::For(chosen, 2560, 1440, 640, 480);
  EXPECT_EQ(size.width, 1280);
  EXPECT_EQ(size.height, 960);
}

#include "platform/Letterbox.h"

#include <gtest/gtest.h>

TEST(Letterbox, KeepsTheAspectAndCentresThePictureBetweenBars)
{
  // The same aspect fills the window.
  const Letterbox exact = Letterbox::Fit(1024, 768, 640, 480);
  EXPECT_EQ(exact.x, 0);
  EXPECT_EQ(exact.y, 0);
  EXPECT_EQ(exact.width, 1024);
  EXPECT_EQ(exact.height, 768);

  // Wider: bars left and right.
  const Letterbox wide = Letterbox::Fit(1920, 1080, 640, 480);
  EXPECT_EQ(wide.width, 1440);
  EXPECT_EQ(wide.height, 1080);
  EXPECT_EQ(wide.x, 240);
  EXPECT_EQ(wide.y, 0);

  // Taller: bars above and below.
  const Letterbox tall = Letterbox::Fit(1280, 1024, 640, 480);
  EXPECT_EQ(tall.width, 1280);
  EXPECT_EQ(tall.height, 960);
  EXPECT_EQ(tall.x, 0);
  EXPECT_EQ(tall.y, 32);

  // Smaller than the logical screen scales down.
  const Letterbox small = Letterbox::Fit(320, 320, 640, 480);
  EXPECT_EQ(small.width, 320);
  EXPECT_EQ(small.height, 240);
  EXPECT_EQ(small.y, 40);

  const Letterbox empty = Letterbox::Fit(0, 768, 640, 480);
  EXPECT_EQ(empty.width, 0);
  EXPECT_EQ(empty.height, 0);
}

TEST(Letterbox, MapsWindowPixelsToTheLogicalPixelShownThere)
{
  const Letterbox wide = Letterbox::Fit(1920, 1080, 640, 480);
  int x = 0;
  int y = 0;
  // Each logical pixel is 2.25 window pixels wide: logical 0 spans window
  // 240 to 242.25, so the centre of window pixel 242 already lies in logical 1.
  wide.WindowToLogical(240, 0, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  wide.WindowToLogical(241, 1, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  wide.WindowToLogical(242, 2, x, y);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 1);
  wide.WindowToLogical(1679, 1079, x, y);
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);

  // Over the bars the position lies outside the logical screen.
  wide.WindowToLogical(239, 500, x, y);
  EXPECT_EQ(x, -1);
  wide.WindowToLogical(0, 500, x, y);
  EXPECT_LT(x, -100);
  wide.WindowToLogical(1680, 500, x, y);
  EXPECT_EQ(x, 640);

  // At one and a half window pixels per logical pixel, some window pixel
  // centres fall exactly on the line between two logical pixels: such a pixel
  // shows the logical pixel to its right and the one above it, as the
  // presented picture does.
  const Letterbox wider = Letterbox::Fit(1280, 720, 640, 480);
  wider.WindowToLogical(641, 361, x, y);
  EXPECT_EQ(x, 321);
  EXPECT_EQ(y, 240);
  wider.WindowToLogical(640, 360, x, y);
  EXPECT_EQ(x, 320);
  EXPECT_EQ(y, 240);
  wider.WindowToLogical(640, 362, x, y);
  EXPECT_EQ(y, 241);

  // One to one when the window is the logical size.
  const Letterbox same = Letterbox::Fit(640, 480, 640, 480);
  for(int i : {0, 1, 319, 639})
  {
    same.WindowToLogical(i, i % 480, x, y);
    EXPECT_EQ(x, i);
    EXPECT_EQ(y, i % 480);
  }
}

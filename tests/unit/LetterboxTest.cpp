#include "platform/Letterbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

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
  wide.PixelToLogical(240, 0, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  wide.PixelToLogical(241, 1, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  wide.PixelToLogical(242, 2, x, y);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 1);
  wide.PixelToLogical(1679, 1079, x, y);
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);

  // Over the bars the position lies outside the logical screen.
  wide.PixelToLogical(239, 500, x, y);
  EXPECT_EQ(x, -1);
  wide.PixelToLogical(0, 500, x, y);
  EXPECT_LT(x, -100);
  wide.PixelToLogical(1680, 500, x, y);
  EXPECT_EQ(x, 640);

  // At one and a half window pixels per logical pixel, some window pixel
  // centres fall exactly on the line between two logical pixels: such a pixel
  // shows the logical pixel to its right and the one above it, as the
  // presented picture does.
  const Letterbox wider = Letterbox::Fit(1280, 720, 640, 480);
  wider.PixelToLogical(641, 361, x, y);
  EXPECT_EQ(x, 321);
  EXPECT_EQ(y, 240);
  wider.PixelToLogical(640, 360, x, y);
  EXPECT_EQ(x, 320);
  EXPECT_EQ(y, 240);
  wider.PixelToLogical(640, 362, x, y);
  EXPECT_EQ(y, 241);

  // One to one when the window is the logical size.
  const Letterbox same = Letterbox::Fit(640, 480, 640, 480);
  for(int i : {0, 1, 319, 639})
  {
    same.PixelToLogical(i, i % 480, x, y);
    EXPECT_EQ(x, i);
    EXPECT_EQ(y, i % 480);
  }
}

TEST(Letterbox, EnlargesByTheLargestWholeFactorAndStretchesOnlyWhatIsLeft)
{
  struct Case {
    int drawableWidth;
    int drawableHeight;
    int factor;
    bool stretched;
    int x, y, width, height;
  };
  const Case cases[] = {
    {640, 480, 1, false, 0, 0, 640, 480},       // one to one
    {1280, 960, 2, false, 0, 0, 1280, 960},     // 2x exactly
    {1300, 1000, 2, true, 0, 12, 1300, 975},    // 2x, a little more to stretch
    {1440, 1080, 2, true, 0, 0, 1440, 1080},    // 2.25x: 2x, then a linear stretch
    {1920, 1080, 2, true, 240, 0, 1440, 1080},  // the same between bars
    {2000, 960, 2, false, 360, 0, 1280, 960},   // 2x exactly between wide bars
    {1001, 757, 1, true, 0, 3, 1001, 751},      // an odd window
    {320, 240, 1, true, 0, 0, 320, 240},        // smaller than the logical screen
    {3840, 2160, 4, true, 480, 0, 2880, 2160},  // 4x, then 4.5x
  };
  for(const Case &c : cases)
  {
    const Letterbox box = Letterbox::Fit(c.drawableWidth, c.drawableHeight, 640, 480);
    SCOPED_TRACE(testing::Message() << c.drawableWidth << "x" << c.drawableHeight);
    EXPECT_EQ(box.factor, c.factor);
    EXPECT_EQ(box.EnlargedWidth(), 640 * c.factor);
    EXPECT_EQ(box.EnlargedHeight(), 480 * c.factor);
    EXPECT_EQ(box.NeedsStretch(), c.stretched);
    EXPECT_EQ(box.x, c.x);
    EXPECT_EQ(box.y, c.y);
    EXPECT_EQ(box.width, c.width);
    EXPECT_EQ(box.height, c.height);
    // The enlarged picture never exceeds the drawable.
    EXPECT_LE(box.EnlargedWidth(), std::max(c.drawableWidth, 640));
    EXPECT_LE(box.EnlargedHeight(), std::max(c.drawableHeight, 480));
  }
}

TEST(Letterbox, EveryLogicalPixelIsReachedAtItsCentreAndPixelsMapInOrder)
{
  for(const auto &[w, h] : {std::pair{640, 480}, std::pair{1280, 960}, std::pair{1440, 1080},
                            std::pair{1920, 1080}, std::pair{1001, 757}, std::pair{333, 251}})
  {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    const Letterbox box = Letterbox::Fit(w, h, 640, 480);
    int x = 0;
    int y = 0;
    // The drawable pixel under the centre of each logical pixel shows it.
    // (A screen smaller than the logical screen cannot show every pixel.)
    if(box.width >= 640)
      for(int logical = 0; logical < 640; ++logical)
      {
        const int pixel = box.x + (2 * logical + 1) * box.width / 1280;
        box.PixelToLogical(pixel, box.y, x, y);
        ASSERT_EQ(x, logical);
      }
    if(box.height >= 480)
      for(int logical = 0; logical < 480; ++logical)
      {
        const int pixel = box.y + (2 * logical + 1) * box.height / 960;
        box.PixelToLogical(box.x, pixel, x, y);
        ASSERT_EQ(y, logical);
      }
    // Across the whole drawable the logical position never goes back and
    // never skips a pixel while the drawable is at least as large.
    int previous = -1000;
    for(int pixel = 0; pixel < w; ++pixel)
    {
      box.PixelToLogical(pixel, h / 2, x, y);
      ASSERT_GE(x, previous);
      if(box.width >= 640 && previous >= 0 && x < 640)
      {
        ASSERT_LE(x, previous + 1);
      }
      previous = x;
    }
    box.PixelToLogical(box.x, box.y, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    box.PixelToLogical(box.x + box.width - 1, box.y + box.height - 1, x, y);
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);
  }

  // At a whole factor each block of factor by factor pixels is one logical pixel.
  const Letterbox twice = Letterbox::Fit(1280, 960, 640, 480);
  int x = 0;
  int y = 0;
  for(int pixel : {0, 1, 2, 3, 638, 639, 640, 641, 1278, 1279})
  {
    twice.PixelToLogical(pixel, pixel % 960, x, y);
    EXPECT_EQ(x, pixel / 2);
    EXPECT_EQ(y, (pixel % 960) / 2);
  }
}

TEST(Letterbox, MapsWindowCoordinatesOfAHighDensityDrawable)
{
  int x = 0;
  int y = 0;
  // Two drawable pixels per window coordinate: a 640 by 480 window shows the
  // logical screen at 2x, one logical pixel per window coordinate.
  const Letterbox doubled = Letterbox::Fit(1280, 960, 640, 480);
  for(int point : {0, 1, 2, 319, 320, 478, 479})
  {
    doubled.PointToLogical(point, point, 640, 480, x, y);
    EXPECT_EQ(x, point);
    EXPECT_EQ(y, point);
  }

  // A 720 by 540 window with a 1440 by 1080 drawable (2.25x): the centre of
  // window coordinate p is drawable 2p + 1, logical (2p + 1) / 2.25.
  const Letterbox hidpi = Letterbox::Fit(1440, 1080, 640, 480);
  const int expected[][2] = {{0, 0}, {1, 1}, {2, 2}, {5, 4}, {359, 319}, {360, 320}, {719, 639}};
  for(const auto &[point, logical] : expected)
  {
    hidpi.PointToLogical(point, 0, 720, 540, x, y);
    EXPECT_EQ(x, logical) << point;
  }

  // One and a half pixels per coordinate, with bars: a 1280 by 720 window
  // with a 1920 by 1080 drawable shows the picture at drawable 240..1679,
  // window 160..1119.
  const Letterbox wide = Letterbox::Fit(1920, 1080, 640, 480);
  wide.PointToLogical(159, 0, 1280, 720, x, y);
  EXPECT_EQ(x, -1);
  wide.PointToLogical(160, 0, 1280, 720, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  wide.PointToLogical(1119, 719, 1280, 720, x, y);
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);
  wide.PointToLogical(1120, 360, 1280, 720, x, y);
  EXPECT_EQ(x, 640);
  // Window coordinate 640 is drawable 960.75, logical (960.75 - 240) / 2.25 = 320.33.
  wide.PointToLogical(640, 360, 1280, 720, x, y);
  EXPECT_EQ(x, 320);
  EXPECT_EQ(y, 240);

  // Without a high-density drawable, window coordinates are drawable pixels.
  for(int pixel : {0, 241, 242, 1000, 1679})
  {
    int px = 0;
    int py = 0;
    wide.PointToLogical(pixel, pixel % 1080, 1920, 1080, x, y);
    wide.PixelToLogical(pixel, pixel % 1080, px, py);
    EXPECT_EQ(x, px);
    EXPECT_EQ(y, py);
  }
}

TEST(Letterbox, CoveringHoldsEveryDrawablePixelMixedFromTheChangedRectangle)
{
  // A presented pixel mixes the logical pixel under its centre with that
  // pixel's neighbours: every pixel whose centre lies on the rectangle or one
  // logical pixel around it may change, and must be in the covering.
  const std::pair<int, int> drawables[] = {{640, 480}, {1280, 720}, {1280, 960}, {1440, 1080}, {1000, 700},
                                           {320, 320}};
  const PixelRect changes[] = {{118, 128, 624, 464}, {0, 0, 1, 1}, {639, 479, 640, 480}, {300, 200, 332, 232}};
  for(const auto &[drawableWidth, drawableHeight] : drawables)
  {
    const Letterbox box = Letterbox::Fit(drawableWidth, drawableHeight, 640, 480);
    for(const PixelRect &change : changes)
    {
      const PixelRect cover = box.Covering(change);
      int missing = 0;
      for(int py = box.y; py < box.y + box.height; ++py)
        for(int px = box.x; px < box.x + box.width; ++px)
        {
          int lx = 0, ly = 0;
          box.PixelToLogical(px, py, lx, ly);
          const bool mixed = lx >= change.left - 1 && lx <= change.right && ly >= change.top - 1 && ly <= change.bottom;
          const bool inside = px >= cover.left && px < cover.right && py >= cover.top && py < cover.bottom;
          missing += mixed && !inside;
        }
      EXPECT_EQ(missing, 0) << drawableWidth << "x" << drawableHeight << " change " << change.left << ","
                            << change.top;
      // Never beyond the picture (the bars do not change).
      EXPECT_GE(cover.left, box.x);
      EXPECT_GE(cover.top, box.y);
      EXPECT_LE(cover.right, box.x + box.width);
      EXPECT_LE(cover.bottom, box.y + box.height);
    }
  }

  // Worth having: the model area at 1.5x is well short of the picture, and
  // reaches no more than two drawable pixels past its own edges.
  const Letterbox wide = Letterbox::Fit(1280, 720, 640, 480);
  const PixelRect model = wide.Covering({118, 128, 624, 464});
  EXPECT_LE(model.left, wide.x + 177 - 1);
  EXPECT_GE(model.left, wide.x + 177 - 4);
  EXPECT_LE(model.right - model.left, 759 + 8);
  EXPECT_LE(model.bottom - model.top, 504 + 8);
  EXPECT_TRUE(wide.Covering({10, 10, 10, 20}).Empty());
  EXPECT_TRUE(Letterbox::Fit(0, 0, 640, 480).Covering({0, 0, 640, 480}).Empty());
}

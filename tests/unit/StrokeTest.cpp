#include "create/Stroke.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {
  std::vector<std::pair<int, int>> Points(int x0, int y0, int x1, int y1)
  {
    std::vector<std::pair<int, int>> points;
    ForEachStrokePoint(x0, y0, x1, y1, [&](int x, int y) { points.emplace_back(x, y); });
    return points;
  }
}

TEST(Stroke, StopsOneStepShortOfTheCurrentPosition)
{
  EXPECT_EQ(Points(10, 10, 13, 11), (std::vector<std::pair<int, int>>{{10, 10}, {11, 10}, {12, 10}}));
}

TEST(Stroke, NegativeStepsTruncateTowardZero)
{
  EXPECT_EQ(Points(10, 10, 8, 5),
            (std::vector<std::pair<int, int>>{{10, 10}, {10, 9}, {10, 8}, {9, 7}, {9, 6}}));
}

TEST(Stroke, NoMovementPaintsNothingAndLongStrokesLeaveNoGaps)
{
  EXPECT_TRUE(Points(5, 5, 5, 5).empty());
  const auto points = Points(0, 0, 200, -37);
  ASSERT_EQ(points.size(), 200u);
  for(size_t i = 1; i < points.size(); ++i)
  {
    EXPECT_EQ(points[i].first - points[i - 1].first, 1);
    EXPECT_LE(std::abs(points[i].second - points[i - 1].second), 1);
  }
}

#include "model/PickBuffer.h"

#include "model/BandWorker.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

namespace {
  // Four rows' values, one per lane: GCC's vector extension, whose operators
  // are the plain element-wise IEEE ones (comparisons give 0 or -1 a lane).
  using RowFloats = float __attribute__((vector_size(16)));
  using RowInts = int32_t __attribute__((vector_size(16)));

  // std::trunc of each lane. A float of magnitude 2^23 or more (or an
  // infinity) is already whole; below that the conversion to an integer
  // truncates exactly. (A negative lane that truncates to zero becomes +0
  // rather than -0, which compares and converts the same.)
  RowFloats Trunc(RowFloats value)
  {
    const RowInts magnitude = std::bit_cast<RowInts>(value) & 0x7FFFFFFF;
    const RowInts small = std::bit_cast<RowFloats>(magnitude) < 8388608.f;
    const RowFloats truncated = __builtin_convertvector(__builtin_convertvector(value, RowInts), RowFloats);
    return small ? truncated : value;
  }

  // ClampToInt of each lane (below), which must not be NaN.
  RowInts ClampToInts(RowFloats value, int low, int high)
  {
    const float lowFloat = static_cast<float>(low);
    const float highFloat = static_cast<float>(high);
    RowFloats clamped = value <= lowFloat ? RowFloats{} + lowFloat : value;
    clamped = value >= highFloat ? RowFloats{} + highFloat : clamped;
    return __builtin_convertvector(clamped, RowInts);
  }

  // The integer nearest below-or-equal in magnitude to an already truncated
  // float, clamped to [low, high] while still a float, so that values far out
  // of range (or infinite) convert safely. `value` must not be NaN.
  int ClampToInt(float value, int low, int high)
  {
    if(value <= static_cast<float>(low))
      return low;
    if(value >= static_cast<float>(high))
      return high;
    return static_cast<int>(value);
  }
}

PickBuffer::PickBuffer() = default;

PickBuffer::~PickBuffer()
{
  Settle();
}

bool PickBuffer::Init(int bufferWidth, int bufferHeight, int rectRight, int rectBottom)
{
  if(bufferWidth <= 0 || bufferHeight <= 0 || rectRight < 0 || rectBottom < 0 || rectRight > bufferWidth ||
     rectBottom > bufferHeight)
    return false;
  Settle();
  try
  {
    const size_t pixels = static_cast<size_t>(bufferWidth) * bufferHeight;
    depths.assign(pixels, EmptyDepth);
    owners.assign(pixels, NoOwner);
    rowWork.assign(static_cast<size_t>(rectBottom) + 1, 0.f);
    const size_t tiles = static_cast<size_t>((rectRight + TileSize - 1) / TileSize) *
                         static_cast<size_t>((rectBottom + TileSize - 1) / TileSize);
    tileDepths.assign(tiles, EmptyDepth);
    tileWritten.assign(tiles, 0);
  }
  catch(const std::bad_alloc &)
  {
    return false;
  }
  drawn.clear();
  drawnFaces.clear();
  width = bufferWidth;
  height = bufferHeight;
  tileColumns = (rectRight + TileSize - 1) / TileSize;
  right = rectRight;
  bottom = rectBottom;
  return true;
}

void PickBuffer::Reset()
{
  Settle();
  // Only pixels left of `right` and above `bottom` are ever written; the
  // rest keep what Init gave them, which is already empty.
  for(int y = 0; y < bottom; ++y)
  {
    const size_t rowOffset = static_cast<size_t>(y) * width;
    std::fill_n(depths.data() + rowOffset, right, EmptyDepth);
    std::fill_n(owners.data() + rowOffset, right, NoOwner);
  }
  drawn.clear();
  drawnFaces.clear();
}

PickRecord PickBuffer::At(int x, int y) const
{
  Settle();
  const size_t pixel = static_cast<size_t>(y) * width + x;
  const uint32_t owner = owners[pixel];
  if(owner == NoOwner)
    return PickRecord{};
  PickRecord record = drawn[owner].tag;
  record.depth = depths[pixel];
  return record;
}

void PickBuffer::RowFaces(int y, int left, int count, const CubeFace **faces) const
{
  Settle();
  const uint32_t *rowOwners = owners.data() + static_cast<size_t>(y) * width + left;
  const CubeFace *const *ownerFaces = drawnFaces.data();
  for(int i = 0; i < count; ++i)
  {
    const uint32_t owner = rowOwners[i];
    faces[i] = owner == NoOwner ? nullptr : ownerFaces[owner];
  }
}

void PickBuffer::Forget(const CubeMesh *mesh)
{
  Settle();
  std::vector<uint8_t> forgotten(drawn.size());
  bool any = false;
  for(size_t i = 0; i < drawn.size(); ++i)
  {
    forgotten[i] = drawn[i].tag.mesh == mesh;
    any = any || forgotten[i];
  }
  if(!any)
    return;
  for(size_t i = 0; i < owners.size(); ++i)
    if(owners[i] != NoOwner && forgotten[owners[i]])
    {
      owners[i] = NoOwner;
      depths[i] = EmptyDepth;
    }
}

void PickBuffer::Rasterise(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2, const PickRecord &tag)
{
  Settle();
  Triangle triangle;
  if(!Prepare(q0, q1, q2, tag, triangle))
    return;
  const uint32_t owner = static_cast<uint32_t>(drawn.size());
  drawn.push_back(triangle);
  drawnFaces.push_back(triangle.tag.face);
  ScanRows(triangle, 0, bottom, owner);
}

void PickBuffer::Queue(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2, const PickRecord &tag)
{
  Triangle triangle;
  if(Prepare(q0, q1, q2, tag, triangle))
    queued.push_back(triangle);
}

void PickBuffer::Redraw()
{
  StartRedraw();
  Settle();
}

void PickBuffer::StartRedraw()
{
  Settle();
  if(!worker)
    worker = std::make_unique<BandWorker>([this](int band) { DrawBand(band); });
  splitRow = SplitRow();
  // Each pixel will hold the index of the triangle it shows, one of those
  // drawn; the records are put together from them when asked for. The
  // helpers only read `drawn`, so the faces are packed beside them meanwhile.
  drawn.swap(queued);
  queued.clear();
  drawnFaces.resize(drawn.size());
  worker->Start();
  for(size_t i = 0; i < drawn.size(); ++i)
    drawnFaces[i] = drawn[i].tag.face;
}

bool PickBuffer::Drawing() const
{
  return worker && worker->Busy();
}

void PickBuffer::Settle() const
{
  if(worker)
    worker->Wait();
}

int PickBuffer::SplitRow()
{
  // A row costs about a column's worth of work per eight columns emptied, and
  // a triangle's row about half its width in columns plus a fixed setup.
  constexpr float ResetShare = 0.125f;
  constexpr float RowSetup = 16.f;
  const float bufferRight = static_cast<float>(right);
  std::fill(rowWork.begin(), rowWork.end(), 0.f);
  for(const Triangle &triangle : queued)
  {
    const float span = std::fmin(triangle.xmax, bufferRight) - std::fmax(triangle.xmin, 0.f);
    const float work = RowSetup + 0.5f * std::fmax(span, 0.f);
    rowWork[static_cast<size_t>(triangle.firstRow)] += work;
    rowWork[static_cast<size_t>(triangle.lastRow) + 1] -= work;
  }
  double total = 0.0;
  double running = 0.0;
  for(int y = 0; y < bottom; ++y)
  {
    running += rowWork[static_cast<size_t>(y)];
    total += running + ResetShare * bufferRight;
  }
  double above = 0.0;
  running = 0.0;
  for(int y = 0; y < bottom; ++y)
  {
    running += rowWork[static_cast<size_t>(y)];
    above += running + ResetShare * bufferRight;
    // Each band keeps its own rows of tiles.
    if(above * 2.0 >= total)
      return std::min((y + TileSize) / TileSize * TileSize, bottom);
  }
  return bottom;
}

void PickBuffer::DrawBand(int band)
{
  const int rowBegin = band == 0 ? 0 : splitRow;
  const int rowEnd = band == 0 ? splitRow : bottom;
  if(rowBegin >= rowEnd)
    return;
  // The band starts empty: no depth, no owner.
  std::fill(depths.begin() + static_cast<ptrdiff_t>(rowBegin) * width,
            depths.begin() + static_cast<ptrdiff_t>(rowEnd) * width, EmptyDepth);
  std::fill(owners.begin() + static_cast<ptrdiff_t>(rowBegin) * width,
            owners.begin() + static_cast<ptrdiff_t>(rowEnd) * width, NoOwner);
  const ptrdiff_t firstTile = static_cast<ptrdiff_t>(rowBegin / TileSize) * tileColumns;
  const ptrdiff_t endTile = static_cast<ptrdiff_t>((rowEnd + TileSize - 1) / TileSize) * tileColumns;
  std::fill(tileDepths.begin() + firstTile, tileDepths.begin() + endTile, EmptyDepth);
  std::fill(tileWritten.begin() + firstTile, tileWritten.begin() + endTile, 0);
  for(size_t i = 0; i < drawn.size(); ++i)
  {
    const Triangle &triangle = drawn[i];
    const uint32_t owner = static_cast<uint32_t>(i);
    if(triangle.lastRow < rowBegin || triangle.firstRow >= rowEnd)
      continue;
    if(Hidden(triangle, rowBegin, rowEnd))
      continue;
    ScanRows(triangle, rowBegin, rowEnd, owner);
    const int lastTileRow = std::min(triangle.lastRow, rowEnd - 1) / TileSize;
    for(int tileRow = std::max(triangle.firstRow, rowBegin) / TileSize; tileRow <= lastTileRow; ++tileRow)
      std::fill_n(tileWritten.begin() + static_cast<ptrdiff_t>(tileRow) * tileColumns + triangle.firstTileColumn,
                  triangle.lastTileColumn - triangle.firstTileColumn + 1, 1);
  }
}

bool PickBuffer::Hidden(const Triangle &triangle, int rowBegin, int rowEnd)
{
  const float nearest = Nearest(triangle.q[0], triangle.q[1], triangle.q[2]);
  const int lastTileRow = std::min(triangle.lastRow, rowEnd - 1) / TileSize;
  for(int tileRow = std::max(triangle.firstRow, rowBegin) / TileSize; tileRow <= lastTileRow; ++tileRow)
    for(int tileColumn = triangle.firstTileColumn; tileColumn <= triangle.lastTileColumn; ++tileColumn)
    {
      const size_t tile = static_cast<size_t>(tileRow) * tileColumns + tileColumn;
      // Records only ever get nearer, so a tile's depth stays an upper bound
      // while triangles write it; it is worked out again when that is not
      // enough.
      if(tileDepths[tile] <= nearest)
        continue;
      if(!tileWritten[tile])
        return false;
      tileDepths[tile] = DeepestInTile(tileColumn, tileRow);
      tileWritten[tile] = 0;
      if(!(tileDepths[tile] <= nearest))
        return false;
    }
  return true;
}

float PickBuffer::DeepestInTile(int tileColumn, int tileRow) const
{
  const int left = tileColumn * TileSize;
  const int columns = std::min(TileSize, right - left);
  const int top = tileRow * TileSize;
  const int rowEnd = std::min(top + TileSize, bottom);
  static_assert(TileSize % 4 == 0, "a tile's row is whole vectors of four floats");
  if(columns == TileSize)
  {
    RowFloats deepest = {};
    for(int y = top; y < rowEnd; ++y)
    {
      const float *row = depths.data() + static_cast<size_t>(y) * width + left;
      for(int c = 0; c < TileSize; c += 4)
      {
        RowFloats a;
        std::memcpy(&a, row + c, sizeof a);
        deepest = a > deepest ? a : deepest;
      }
    }
    return std::fmax(std::fmax(deepest[0], deepest[1]), std::fmax(deepest[2], deepest[3]));
  }
  // Every depth is positive, and positive floats order as their bit
  // patterns do.
  int32_t deepest = 0;
  for(int y = top; y < rowEnd; ++y)
  {
    const float *row = depths.data() + static_cast<size_t>(y) * width + left;
    for(int x = 0; x < columns; ++x)
      deepest = std::max(deepest, std::bit_cast<int32_t>(row[x]));
  }
  return std::bit_cast<float>(deepest);
}

float PickBuffer::Nearest(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2)
{
  // Along a row, the depths lie between those at the row's two ends, found
  // on the triangle's edges between the corners' depths. Only the columns a
  // row takes beyond its ends go further: up to half a column left of the
  // left end, and column 0 when the right end lies less than two columns left
  // of it (rounding toward zero). Each column beyond moves by the row's depth
  // step, which is at most the corners' range of depth (a row whose ends are
  // less than a column apart steps nothing) and, but for rounding, the
  // plane's change of depth per column. A few rounding steps more are allowed
  // for.
  const float zmin = std::fmin(std::fmin(q0.z, q1.z), q2.z);
  const float zmax = std::fmax(std::fmax(q0.z, q1.z), q2.z);
  const float range = zmax - zmin;
  double step = range;
  // The plane's step is worked out in double precision, where the products
  // of the corners' differences are nearly exact; it is relied on only where
  // the triangle is not all but flat on screen, and its corners are near
  // enough for their rounding to move a row's ends by a tiny part of a column.
  constexpr float Near = 16384.f;
  bool near = true;
  for(const Vector3 *p : {&q0, &q1, &q2})
    near = near && std::fabs(p->x) <= Near && std::fabs(p->y) <= Near;
  if(near)
  {
    const double dx1 = static_cast<double>(q1.x) - q0.x, dy1 = static_cast<double>(q1.y) - q0.y;
    const double dx2 = static_cast<double>(q2.x) - q0.x, dy2 = static_cast<double>(q2.y) - q0.y;
    const double dz1 = static_cast<double>(q1.z) - q0.z, dz2 = static_cast<double>(q2.z) - q0.z;
    const double area = dx1 * dy2 - dx2 * dy1;
    if(std::fabs(area) > 1e-6 * (std::fabs(dx1 * dy2) + std::fabs(dx2 * dy1)))
      step = std::fmin(step, 1.5 * std::fabs((dz1 * dy2 - dz2 * dy1) / area));
  }
  // An infinite range gives no bound (a NaN one fails every test).
  return zmin - static_cast<float>(2.0 * step) - (std::fabs(zmin) + std::fabs(zmax) + range) * 0x1p-16f;
}

bool PickBuffer::Prepare(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2, const PickRecord &tag,
                         Triangle &triangle) const
{
  const Vector3 q[3] = {q0, q1, q2};
  for(const Vector3 &p : q)
    if(std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z))
      return false;
  if(right <= 0)
    return false;

  float xmin = q0.x, xmax = q0.x, ymin = q0.y, ymax = q0.y;
  for(int i = 1; i < 3; ++i)
  {
    xmin = std::fmin(xmin, q[i].x);
    xmax = std::fmax(xmax, q[i].x);
    ymin = std::fmin(ymin, q[i].y);
    ymax = std::fmax(ymax, q[i].y);
  }
  // A point on an edge lies within a few rounding steps of the corners'
  // range, so a triangle this far left of column 0 or right of `right` has no
  // column that could be written in any row.
  if(xmax < -ColumnMargin || xmin > static_cast<float>(right) + ColumnMargin)
    return false;

  // Rows run from round(ymin) to round(ymax), at least 0; row `bottom` and
  // those below are never written.
  triangle.firstRow = ClampToInt(std::trunc(ymin + 0.5f), 0, bottom + 1);
  triangle.lastRow = std::min(ClampToInt(std::trunc(ymax + 0.5f), -1, bottom), bottom - 1);
  if(triangle.lastRow < triangle.firstRow)
    return false;
  for(int i = 0; i < 3; ++i)
    triangle.q[i] = q[i];
  triangle.xmin = xmin;
  triangle.xmax = xmax;
  triangle.tag = tag;

  // The columns written lie within half a column of the corners' range, or
  // are column 0.
  triangle.firstTileColumn = ClampToInt(std::trunc(xmin - 1.f), 0, right - 1) / TileSize;
  triangle.lastTileColumn = ClampToInt(std::trunc(xmax + 1.f), 0, right - 1) / TileSize;
  return true;
}

void PickBuffer::ScanRows(const Triangle &triangle, int rowBegin, int rowEnd, uint32_t owner)
{
  static_assert(RowBlock == 4, "a block of rows is one vector of four floats");
  const Vector3 *q = triangle.q;
  Vector3 delta[3];
  for(int i = 0; i < 3; ++i)
    delta[i] = q[(i + 1) % 3] - q[i];
  const int lastRow = std::min(triangle.lastRow, rowEnd - 1);
  const int lastWritable = right - 1;
  const RowInts lanes = {0, 1, 2, 3};

  // Each row's ends, columns and depths are found four rows at a time, with
  // the same operations in the same order as one row at a time: every value
  // is the one a row on its own would give. A row where no edge gives an end
  // keeps the previous row's depth at that end, so the rows above `rowBegin`
  // are stepped through too (without their pixels). Rows past the last are
  // computed and never used.
  float carriedZL = 0.f;
  float carriedZR = 0.f;
  for(int blockRow = triangle.firstRow; blockRow <= lastRow; blockRow += RowBlock)
  {
    const RowFloats rows = __builtin_convertvector(lanes + blockRow, RowFloats);
    RowFloats xL = RowFloats{} + triangle.xmax;
    RowFloats xR = RowFloats{} + triangle.xmin;
    RowFloats zL = {};
    RowFloats zR = {};
    RowInts leftSet = {};
    RowInts rightSet = {};
    for(int i = 0; i < 3; ++i)
    {
      // An edge with no height (or a NaN height) meets no row.
      if(!(std::fabs(delta[i].y) > 0.f))
        continue;
      const RowFloats t = (rows - q[i].y) / delta[i].y;
      const RowInts meets = (t >= 0.f) & (t <= 1.f);
      const RowFloats x = q[i].x + t * delta[i].x;
      const RowFloats z = q[i].z + t * delta[i].z;
      const RowInts left = meets & (x <= xL);
      const RowInts rightEnd = meets & (x >= xR);
      xL = left ? x : xL;
      zL = left ? z : zL;
      xR = rightEnd ? x : xR;
      zR = rightEnd ? z : zR;
      leftSet |= left;
      rightSet |= rightEnd;
    }
    for(int k = 0; k < RowBlock; ++k)
    {
      if(leftSet[k])
        carriedZL = zL[k];
      else
        zL[k] = carriedZL;
      if(rightSet[k])
        carriedZR = zR[k];
      else
        zR[k] = carriedZR;
    }

    const RowFloats span = xR - xL;
    const RowFloats slope = span >= 1.f ? (zR - zL) / span : RowFloats{};
    // round(xL) from 0; trunc(trunc(xR) + 0.5) up to the last column left of
    // `right`. The clamps keep every value that can matter and make the
    // conversion safe.
    const RowInts firstColumn = ClampToInts(Trunc(xL + 0.5f), 0, width + 1);
    RowInts lastColumn = ClampToInts(Trunc(Trunc(xR) + 0.5f), -1, width);
    lastColumn = lastColumn > lastWritable ? RowInts{} + lastWritable : lastColumn;
    // Each step of the depth along a row (subtract, multiply, add) rounds
    // monotonically, so the depths of the columns in between lie between
    // those of the first and the last. When both are within the range that
    // is written, so is every one: no column needs the range tests.
    const RowFloats zFirst = (__builtin_convertvector(firstColumn, RowFloats) - xL) * slope + zL;
    const RowFloats zLast = (__builtin_convertvector(lastColumn, RowFloats) - xL) * slope + zL;
    const RowInts inRange = (zFirst >= 0.00001f) & (zFirst <= 1000.f) & (zLast >= 0.00001f) & (zLast <= 1000.f);

    const int blockEnd = std::min(blockRow + RowBlock - 1, lastRow);
    for(int y = std::max(blockRow, rowBegin); y <= blockEnd; ++y)
    {
      const int k = y - blockRow;
      if(firstColumn[k] > lastColumn[k])
        continue;
      const size_t rowOffset = static_cast<size_t>(y) * width;
      if(inRange[k])
        Span(rowOffset, firstColumn[k], lastColumn[k], xL[k], slope[k], zL[k], owner);
      else
        ScanClipped(rowOffset, firstColumn[k], lastColumn[k], xL[k], slope[k], zL[k], owner);
    }
  }
}

void PickBuffer::ScanClipped(size_t rowOffset, int firstColumn, int lastColumn, float xL, float slope, float zL,
                             uint32_t owner)
{
  float *rowDepths = depths.data() + rowOffset;
  for(int x = firstColumn; x <= lastColumn; ++x)
  {
    const float z = (static_cast<float>(x) - xL) * slope + zL;
    if(z < 0.00001f)
    {
      if(slope > 0.f)
        break;
      continue;
    }
    if(z > 1000.f)
    {
      if(slope < 0.f)
        break;
      continue;
    }
    if(z < rowDepths[x])
    {
      rowDepths[x] = z;
      owners[rowOffset + static_cast<size_t>(x)] = owner;
    }
  }
}

void PickBuffer::Span(size_t rowOffset, int firstColumn, int lastColumn, float xL, float slope, float zL,
                      uint32_t owner)
{
  // Without branches, so that the compiler can test several columns at once.
  float *__restrict rowDepths = depths.data() + rowOffset + firstColumn;
  uint32_t *__restrict rowOwners = owners.data() + rowOffset + firstColumn;
  const int count = lastColumn - firstColumn + 1;
  for(int i = 0; i < count; ++i)
  {
    const float z = (static_cast<float>(firstColumn + i) - xL) * slope + zL;
    const float depth = rowDepths[i];
    const uint32_t previous = rowOwners[i];
    // Both depths are positive (z is in range here, a depth at most
    // EmptyDepth), and positive floats order as their bit patterns do.
    const bool nearer = std::bit_cast<int32_t>(z) < std::bit_cast<int32_t>(depth);
    rowDepths[i] = nearer ? z : depth;
    rowOwners[i] = nearer ? owner : previous;
  }
}

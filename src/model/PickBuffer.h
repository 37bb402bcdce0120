#pragma once

#include "gfx/Vector3.h"
#include "model/PickRecord.h"

#include <cstddef>
#include <vector>

// One PickRecord per screen pixel (pixel (x, y) at y * width + x), filled by
// scan-converting projected triangles with a depth test, and the active
// rectangle (exclusive right and bottom) that limits where records are written.
class PickBuffer {
public:
  // Depth of a record that nothing covers.
  static constexpr float EmptyDepth = 999999.f;

  // Allocates width by height empty records and remembers the rectangle's
  // exclusive right and bottom bounds. False when the sizes are not positive,
  // the bounds lie outside the buffer, or memory runs out.
  bool Init(int width, int height, int right, int bottom);

  // Empties every record: depth 999999, no mesh, no face.
  void Reset();
  // Empties every record that refers to `mesh` (about to be destroyed).
  void Forget(const CubeMesh *mesh);

  // Scan-converts the triangle of screen points (x, y, depth) and writes
  // `tag` (with its depth replaced) into each covered pixel nearer than what
  // is there. Pixel rows are taken at integer y; columns from round(xL) to
  // trunc(xR); depth interpolated along the row; only depths 0.00001 to 1000
  // and pixels left of `right` and above `bottom` are written; equal depth
  // keeps the earlier record. Points with a NaN coordinate give nothing, and
  // coordinates far off screen are clamped before any conversion to integers.
  void Rasterise(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2, const PickRecord &tag);

  int Width() const { return width; }
  int Height() const { return height; }
  const PickRecord &At(int x, int y) const { return records[static_cast<size_t>(y) * width + x]; }
  const PickRecord *Data() const { return records.data(); }

private:
  // Columns of slack around the buffer within which a triangle's corners may
  // still reach a writable column.
  static constexpr float ColumnMargin = 4.f;

  // A triangle ready for scan conversion: its points, column range, the rows
  // it may write (within the buffer, above `bottom`) and its record.
  struct Triangle {
    Vector3 q[3];
    float xmin = 0.f;
    float xmax = 0.f;
    int firstRow = 0;
    int lastRow = -1;
    PickRecord tag;
  };

  // False when the triangle has a NaN coordinate or can write no record.
  bool Prepare(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2, const PickRecord &tag,
               Triangle &triangle) const;
  // Writes the triangle's pixels in rows rowBegin to rowEnd - 1.
  void ScanRows(const Triangle &triangle, int rowBegin, int rowEnd);

  std::vector<PickRecord> records;
  int width = 0;
  int height = 0;
  int right = 0;
  int bottom = 0;
};

#pragma once

#include "gfx/Vector3.h"
#include "model/PickRecord.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class BandWorker;

// One PickRecord per screen pixel (pixel (x, y) at y * width + x), filled by
// scan-converting projected triangles with a depth test, and the active
// rectangle (exclusive right and bottom) that limits where records are written.
class PickBuffer {
public:
  PickBuffer();
  // The helper thread works on this object: it stays where it is.
  PickBuffer(const PickBuffer &) = delete;
  PickBuffer &operator=(const PickBuffer &) = delete;
  ~PickBuffer();

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

  // Adds the triangle to those the next Redraw draws, in the order queued.
  void Queue(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2, const PickRecord &tag);
  // Reset, then Rasterise of every queued triangle in order, with the same
  // records as a result; the queue is emptied. The rows are split in two
  // bands of about equal work, drawn at the same time by the caller and a
  // helper thread; each band takes every triangle in order, so every pixel
  // sees the same writes in the same order as on one thread.
  void Redraw();

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

  // An owner that no queued triangle has: the pixel was not written.
  static constexpr uint32_t NoOwner = 0xFFFFFFFFu;

  // False when the triangle has a NaN coordinate or can write no record.
  bool Prepare(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2, const PickRecord &tag,
               Triangle &triangle) const;
  // How a scan writes the pixels a triangle wins. `(rowOffset, x)` writes
  // one whose depth is already stored; Span tests and writes columns
  // firstColumn to lastColumn of a row whose depths are all in range.
  // During a redraw: the triangle's index becomes the pixel's owner.
  struct OwnerWriter {
    float *depths;
    uint32_t *owners;
    uint32_t owner;
    void operator()(size_t rowOffset, int x) const { owners[rowOffset + static_cast<size_t>(x)] = owner; }
    // Kept out of line: inlined into the row loop, GCC 12 no longer
    // vectorises it and the scan takes half as long again.
    [[gnu::noinline]] void Span(size_t rowOffset, int firstColumn, int lastColumn, float xL, float slope,
                                float zL) const;
  };
  // Drawn on its own: the record is written at once.
  struct RecordWriter {
    PickBuffer &buffer;
    const PickRecord &tag;
    void operator()(size_t rowOffset, int x) const
    {
      PickRecord &record = buffer.records[rowOffset + static_cast<size_t>(x)];
      record = tag;
      record.depth = buffer.depths[rowOffset + static_cast<size_t>(x)];
    }
    void Span(size_t rowOffset, int firstColumn, int lastColumn, float xL, float slope, float zL) const;
  };

  // Rows whose ends are found together.
  static constexpr int RowBlock = 4;
  // Writes the triangle's pixels in rows rowBegin to rowEnd - 1: each pixel
  // it wins gets its depth, and `write` records the win.
  template<class Write>
  void ScanRows(const Triangle &triangle, int rowBegin, int rowEnd, Write write);
  // Writes columns firstColumn to lastColumn of a row whose depths are not
  // all in range, testing each column's depth against the range.
  template<class Write>
  void ScanClipped(size_t rowOffset, int firstColumn, int lastColumn, float xL, float slope, float zL, Write &write);
  // Records every pixel the band's triangles won (their index in `owners`)
  // with its owner's tag and depth; the others are emptied.
  void ResolveOwners(int rowBegin, int rowEnd);
  // The row where the helper's band starts, with about half the estimated
  // work (resetting and scanning) of the queued triangles above it.
  int SplitRow();
  // Resets and draws the rows of band 0 (above the split) or band 1.
  void DrawBand(int band);
  std::vector<PickRecord> records;
  // Every record's depth again, packed for the depth tests.
  std::vector<float> depths;
  // During a redraw, the index in `queued` of the triangle each pixel shows,
  // so that the scan writes four bytes a pixel and each record is written once.
  std::vector<uint32_t> owners;
  std::vector<Triangle> queued;
  // Estimated work per row, as differences from the row above (one entry per
  // row and one beyond).
  std::vector<float> rowWork;
  std::unique_ptr<BandWorker> worker;
  int splitRow = 0;
  int width = 0;
  int height = 0;
  int right = 0;
  int bottom = 0;
};

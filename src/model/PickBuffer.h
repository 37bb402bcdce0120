#pragma once

#include "gfx/Vector3.h"
#include "model/PickRecord.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class BandWorker;

// One PickRecord per screen pixel, filled by scan-converting projected
// triangles with a depth test, and the active rectangle (exclusive right and
// bottom) that limits where records are written. Each pixel keeps its depth
// and the index of the triangle it shows; a pixel's record is put together
// from those and the triangle's tag when asked for.
class PickBuffer {
public:
  PickBuffer();
  // The helper threads work on this object: it stays where it is.
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
  // bands of about equal work, drawn at the same time by two helper threads;
  // each band takes every triangle in order, so every pixel sees the same
  // writes in the same order as on one thread. A triangle that lies wholly
  // behind what a band holds already (it would write nothing) is passed over.
  void Redraw();
  // The same, but returns while the helpers draw, so that the caller can do
  // other work meanwhile. Every other call but Queue, Width and Height waits
  // for the drawing to finish first (so does the next StartRedraw); Queue
  // collects triangles for the next redraw.
  void StartRedraw();
  // A redraw was started and nothing has waited for it yet.
  bool Drawing() const;
  // Waits for a redraw under way, if any.
  void Settle() const;

  int Width() const { return width; }
  int Height() const { return height; }
  // The record of pixel (x, y): the tag of the triangle shown there with its
  // depth there, or an empty record (depth 999999, no mesh, no face, the
  // other fields 0).
  PickRecord At(int x, int y) const;
  // The face shown at each of `count` pixels of row y from column `left` on
  // (nullptr where nothing is), into `faces`.
  void RowFaces(int y, int left, int count, const CubeFace **faces) const;

private:
  // Columns of slack around the buffer within which a triangle's corners may
  // still reach a writable column.
  static constexpr float ColumnMargin = 4.f;

  // A triangle ready for scan conversion: its points, column range, the rows
  // it may write (within the buffer, above `bottom`), the columns of tiles
  // it may write, and its record.
  struct Triangle {
    Vector3 q[3];
    float xmin = 0.f;
    float xmax = 0.f;
    int firstRow = 0;
    int lastRow = -1;
    int firstTileColumn = 0;
    int lastTileColumn = -1;
    PickRecord tag;
  };

  // Side of the square tiles of pixels (from the top left corner) whose
  // deepest record a redraw keeps track of, so as to pass over a triangle
  // that lies wholly behind what is drawn already.
  static constexpr int TileSize = 4;

  // An owner that no queued triangle has: the pixel was not written.
  static constexpr uint32_t NoOwner = 0xFFFFFFFFu;

  // False when the triangle has a NaN coordinate or can write no record.
  bool Prepare(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2, const PickRecord &tag,
               Triangle &triangle) const;
  // Rows whose ends are found together.
  static constexpr int RowBlock = 4;
  // Writes the triangle's pixels in rows rowBegin to rowEnd - 1: each pixel
  // it wins gets its depth, and `owner` (the triangle's index among those
  // drawn) as its owner.
  void ScanRows(const Triangle &triangle, int rowBegin, int rowEnd, uint32_t owner);
  // The same for columns firstColumn to lastColumn of one row whose depths
  // are all in range: with no branches. Kept out of line: inlined into the
  // row loop, GCC 12 no longer vectorises it and the scan takes half as long
  // again.
  [[gnu::noinline]] void Span(size_t rowOffset, int firstColumn, int lastColumn, float xL, float slope, float zL,
                              uint32_t owner);
  // The same for a row whose depths are not all in range: each column's depth
  // is tested against the range.
  void ScanClipped(size_t rowOffset, int firstColumn, int lastColumn, float xL, float slope, float zL,
                   uint32_t owner);
  // The row where band 1 starts, with about half the estimated
  // work (resetting and scanning) of the queued triangles above it.
  int SplitRow();
  // Resets and draws the rows of band 0 (above the split) or band 1, from
  // the triangles in `drawn`.
  void DrawBand(int band);
  // A depth no record the triangle of these points writes is nearer than.
  static float Nearest(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2);
  // True when no pixel the triangle covers in rows rowBegin to rowEnd - 1
  // holds a record deeper than the triangle's nearest depth: it would write
  // nothing there. Brings the tiles' depths up to date as needed.
  bool Hidden(const Triangle &triangle, int rowBegin, int rowEnd);
  // The deepest record of the tile at (column, row) among the tiles.
  float DeepestInTile(int tileColumn, int tileRow) const;
  // Each pixel's depth, EmptyDepth where nothing is.
  std::vector<float> depths;
  // Each pixel's owner: the index in `drawn` of the triangle it shows, or
  // NoOwner. The scan writes four bytes a pixel.
  std::vector<uint32_t> owners;
  // The triangles drawn since the last reset (a redraw's queue becomes this
  // list), and their faces packed on their own for the outline pass.
  std::vector<Triangle> drawn;
  std::vector<const CubeFace *> drawnFaces;
  std::vector<Triangle> queued;
  // For each tile, a depth no record in it is deeper than, and whether a
  // triangle may have written it since that depth was worked out. Only a
  // redraw keeps them, each band its own rows of tiles.
  std::vector<float> tileDepths;
  std::vector<uint8_t> tileWritten;
  int tileColumns = 0;
  // Estimated work per row, as differences from the row above (one entry per
  // row and one beyond).
  std::vector<float> rowWork;
  // Draws the bands; the only state readers wait for, hence reachable from
  // the const readers.
  std::unique_ptr<BandWorker> worker;
  int splitRow = 0;
  int width = 0;
  int height = 0;
  int right = 0;
  int bottom = 0;
};

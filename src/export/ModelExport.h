#pragma once

#include <string>

// What to export: the model file to read and the file to write, whose
// extension names the format.
struct ExportRequest {
  std::string output;
  std::string model;
  // False leaves the room out of a .glb or .obj file.
  bool withRoom = true;
  // Enlargement of a .png picture, each pixel a scale by scale block.
  int scale = 1;
};

// Exports a model file without a window, for the command line:
//   .glb  glTF 2.0 binary, the room and every cube (GlbExporter)
//   .obj  Wavefront OBJ with its .mtl and pictures beside it (ObjExporter)
//   .stl  binary STL of the cubes for 3D printing (StlExporter)
//   .png  the model area from the starting view (ModelPicture), scaled
//   .pdf  the page the printer button prints, on the locale's paper
// The pictures are drawn by the toy's renderer on SDL's offscreen driver,
// so no display is needed.
class ModelExport {
public:
  enum class Format { Glb, Obj, Stl, Png, Pdf, Unknown };

  static constexpr int MaxScale = 16;

  // The format an output path's extension names (in any letter case).
  static Format FormatOf(const std::string &path);

  // Reads the model and writes the output. Returns the exit status: 0 when
  // every file was written (each named on standard output), 1 after one line
  // on standard error for a request it refuses (unknown extension, an option
  // that does not fit the format, a scale outside 1 to MaxScale), a model
  // file that is missing or damaged, or an output that cannot be written.
  // Nothing is left behind at the output on failure.
  static int Run(const ExportRequest &request);

private:
  // Why the request cannot be carried out (the model file is only opened,
  // not read); empty when it can.
  static std::string Refusal(const ExportRequest &request);
};

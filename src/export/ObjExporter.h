#pragma once

#include <string>

class OutputFiles;
class VoxelModel;

// The model as a Wavefront OBJ file with its material file and pictures
// beside it: the same meshes, metres, triangles, front faces and texels as
// the glTF file (see GlbExporter). For NAME.obj: NAME.mtl, and one picture
// NAME-N.png for each distinct face atlas, N from 1.
class ObjExporter {
public:
  // Adds the files for `objPath` to `files`. False, with the reason in
  // `error`, when there is nothing to write (no cube, and the room left out)
  // or a face has no picture.
  static bool Write(const VoxelModel &model, bool withRoom, const std::string &objPath, OutputFiles &files,
                    std::string &error);
};

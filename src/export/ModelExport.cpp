#include "export/ModelExport.h"

#include "base/Log.h"
#include "export/GlbExporter.h"
#include "export/ModelPicture.h"
#include "export/ObjExporter.h"
#include "export/OutputFiles.h"
#include "export/PageExporter.h"
#include "export/PaperSize.h"
#include "export/StlExporter.h"
#include "gfx/GraphicsDevice.h"
#include "model/VoxelModel.h"
#include "platform/PngWriter.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {
  // Why the model file cannot be read; empty when it can be opened.
  std::string Unreadable(const std::string &path)
  {
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if(!file)
      return "cannot read the model file " + path + ": " + std::strerror(errno);
    std::fclose(file);
    return std::string();
  }

  // Initialises the model on the device as the toy does and loads the file.
  // False after one line on standard error.
  bool LoadModel(GraphicsDevice &device, const std::string &path, VoxelModel &model)
  {
    VoxelModelSetup setup;
    setup.device = &device;
    if(!model.Init(setup))
    {
      LogLine("export: cannot set up a model to read " + path + " into");
      return false;
    }
    // Load writes its own line when it refuses the file.
    return model.Load(path);
  }

  // Exports the formats that need no drawing; false with the reason in `error`.
  bool ExportMeshes(ModelExport::Format format, const ExportRequest &request, const VoxelModel &model,
                    OutputFiles &files, std::string &error)
  {
    std::vector<uint8_t> bytes;
    switch(format)
    {
      case ModelExport::Format::Glb:
        if(!GlbExporter::Write(model, request.withRoom, bytes, error))
          return false;
        files.Add(request.output, bytes);
        return true;
      case ModelExport::Format::Obj:
        return ObjExporter::Write(model, request.withRoom, request.output, files, error);
      case ModelExport::Format::Stl:
        if(!StlExporter::Write(model, bytes, error))
          return false;
        files.Add(request.output, bytes);
        return true;
      default:
        error = "not a model format";
        return false;
    }
  }

  // Draws the model and exports the picture or the page.
  bool ExportPicture(ModelExport::Format format, const ExportRequest &request, ModelPicture &drawing,
                     VoxelModel &model, OutputFiles &files, std::string &error)
  {
    PrintablePicture picture;
    if(!drawing.Draw(model, picture, error))
      return false;
    if(format == ModelExport::Format::Pdf)
    {
      const std::vector<uint8_t> pdf = PageExporter::Compose(picture, PaperSize::FromEnvironment());
      if(pdf.empty())
      {
        error = "the page could not be composed";
        return false;
      }
      files.Add(request.output, pdf);
      return true;
    }
    std::vector<uint8_t> png;
    if(!PngWriter::EncodeOpaque(ModelPicture::Enlarge(picture, request.scale), png, error))
      return false;
    files.Add(request.output, png);
    return true;
  }
}

ModelExport::Format ModelExport::FormatOf(const std::string &path)
{
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if(dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return Format::Unknown;
  std::string extension = path.substr(dot + 1);
  for(char &c : extension)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // A name that is only an extension (".glb") names no file.
  if(dot == (slash == std::string::npos ? 0 : slash + 1))
    return Format::Unknown;
  if(extension == "glb")
    return Format::Glb;
  if(extension == "obj")
    return Format::Obj;
  if(extension == "stl")
    return Format::Stl;
  if(extension == "png")
    return Format::Png;
  if(extension == "pdf")
    return Format::Pdf;
  return Format::Unknown;
}

std::string ModelExport::Refusal(const ExportRequest &request)
{
  const Format format = FormatOf(request.output);
  if(format == Format::Unknown)
    return "cannot tell what to write from the name " + request.output +
           " (use .glb, .obj, .stl, .png or .pdf)";
  if(request.scale != 1 && format != Format::Png)
    return "--scale applies to .png pictures only";
  if(request.scale < 1 || request.scale > MaxScale)
    return "--scale must be a whole number from 1 to " + std::to_string(MaxScale);
  if(!request.withRoom && (format == Format::Png || format == Format::Pdf))
    return "--no-room applies to .glb, .obj and .stl files only";
  if(request.model.empty())
    return "no model file to export";
  const std::string folder = OutputFiles::FolderOf(request.output);
  if(access(folder.c_str(), W_OK | X_OK) != 0)
    return "cannot write into " + folder + ": " + std::strerror(errno);
  // Before any device is made for it.
  return Unreadable(request.model);
}

int ModelExport::Run(const ExportRequest &request)
{
  const std::string refusal = Refusal(request);
  if(!refusal.empty())
  {
    LogLine("export: " + refusal);
    return 1;
  }
  const Format format = FormatOf(request.output);
  OutputFiles files;
  std::string error;
  bool made = false;
  if(format == Format::Png || format == Format::Pdf)
  {
    ModelPicture drawing;
    if(!drawing.Open(error))
    {
      LogLine("export: " + error);
      return 1;
    }
    // Made on the drawing's device, and gone before it.
    VoxelModel model;
    if(!LoadModel(drawing.Device(), request.model, model))
      return 1;
    made = ExportPicture(format, request, drawing, model, files, error);
  }
  else
  {
    GraphicsDevice device;
    if(!device.CreateHeadless())
    {
      LogLine("export: cannot make a device to read the model into");
      return 1;
    }
    VoxelModel model;
    if(!LoadModel(device, request.model, model))
      return 1;
    made = ExportMeshes(format, request, model, files, error);
  }
  if(!made || !files.Commit(error))
  {
    LogLine("export: " + error);
    return 1;
  }
  for(int i = 0; i < files.Count(); ++i)
    std::printf("wrote %s\n", files.Path(i).c_str());
  return 0;
}

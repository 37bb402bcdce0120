#include "export/PageSaver.h"

#include "export/GlbExporter.h"
#include "export/ModelPicture.h"
#include "export/OutputFiles.h"
#include "export/PageExporter.h"
#include "export/PaperSize.h"
#include "export/PicturesFolder.h"
#include "platform/PngWriter.h"

bool PageSaver::Save(const PrintablePicture &picture, const VoxelModel &model, const std::string &folder,
                     std::time_t now, std::string &pagePath, std::string &error)
{
  const std::vector<uint8_t> page = PageExporter::Compose(picture, PaperSize::FromEnvironment());
  if(page.empty())
  {
    error = "the page could not be composed";
    return false;
  }
  std::vector<uint8_t> png;
  if(!PngWriter::EncodeOpaque(ModelPicture::Enlarge(picture, 1), png, error))
    return false;
  std::vector<uint8_t> glb;
  std::string modelError;
  if(!GlbExporter::Write(model, true, glb, modelError))
    glb.clear();
  if(!PicturesFolder::Prepare(folder, error))
    return false;

  std::tm local{};
  localtime_r(&now, &local);
  for(int attempt = 1; attempt <= MaxAttempts; ++attempt)
  {
    const std::string base = folder + "/" + PicturesFolder::BaseName(local, attempt);
    OutputFiles files;
    files.Add(base + ".pdf", page);
    files.Add(base + ".png", png);
    if(!glb.empty())
      files.Add(base + ".glb", glb);
    bool clash = false;
    if(files.CommitNew(error, clash))
    {
      pagePath = base + ".pdf";
      return true;
    }
    if(!clash)
      return false;
  }
  error = "every name for the page in " + folder + " is taken";
  return false;
}

// Where exported files go and how they get there: the pictures folder from
// the user's folder settings, the paper of the locale, files written all
// together or not at all and never over another when they must be new, the
// page kept beside its picture and model, and the command-line export's
// refusals.
#include "export/ModelExport.h"
#include "export/OutputFiles.h"
#include "export/PageExporter.h"
#include "export/PageSaver.h"
#include "export/PaperSize.h"
#include "export/PicturesFolder.h"
#include "export/SampleModel.h"

#include "ModelTestSupport.h"
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using WidgetTestSupport::ScopedVariable;

namespace {
  std::set<std::string> Names(const std::string &folder)
  {
    std::set<std::string> names;
    for(const auto &entry : fs::directory_iterator(folder))
      names.insert(entry.path().filename().string());
    return names;
  }

  std::string ReadText(const std::string &path)
  {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  void WriteText(const std::string &path, const std::string &text)
  {
    std::ofstream(path, std::ios::binary) << text;
  }

  int Lines(const std::string &text)
  {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }

  PrintablePicture TestPicture()
  {
    PrintablePicture picture;
    picture.width = 506;
    picture.height = 336;
    picture.pixels.assign(506 * 336, 0x2040C0u);
    return picture;
  }
}

TEST(PicturesFolder, UserDirsNameThePicturesFolderInEitherAllowedForm)
{
  EXPECT_EQ(PicturesFolder::FromUserDirs("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/home/kim"), "/home/kim/Bilder");
  EXPECT_EQ(PicturesFolder::FromUserDirs("# a comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                         "  XDG_PICTURES_DIR=\"/srv/photos/\"  \n",
                                         "/home/kim"),
            "/srv/photos");
  EXPECT_EQ(PicturesFolder::FromUserDirs("XDG_PICTURES_DIR=\"$HOME/My \\\"Pics\\\"\"\n", "/h"), "/h/My \"Pics\"");
  // Other forms are not the file's: relative paths, no quotes, other variables.
  EXPECT_EQ(PicturesFolder::FromUserDirs("XDG_PICTURES_DIR=\"Pictures\"\n", "/h"), "");
  EXPECT_EQ(PicturesFolder::FromUserDirs("XDG_PICTURES_DIR=$HOME/Pictures\n", "/h"), "");
  EXPECT_EQ(PicturesFolder::FromUserDirs("XDG_PICTURES_DIR=\"$XDG_DATA_HOME/p\"\n", "/h"), "");
  EXPECT_EQ(PicturesFolder::FromUserDirs("#XDG_PICTURES_DIR=\"/x\"\n", "/h"), "");
}

TEST(PicturesFolder, ConfigurationFolderAndFallbacksAreRespected)
{
  ModelFileFolder folder;
  const std::string home = folder.File("home");
  fs::create_directories(home + "/.config");
  fs::create_directories(folder.File("config"));
  // Nothing configured: ~/Pictures.
  EXPECT_EQ(PicturesFolder::Locate(home, ""), home + "/Pictures");
  WriteText(home + "/.config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n");
  EXPECT_EQ(PicturesFolder::Locate(home, ""), home + "/Fotos");
  // $XDG_CONFIG_HOME wins over ~/.config when absolute; its file lacks the
  // entry, so ~/Pictures.
  WriteText(folder.File("config") + "/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Music\"\n");
  EXPECT_EQ(PicturesFolder::Locate(home, folder.File("config")), home + "/Pictures");
  EXPECT_EQ(PicturesFolder::Locate(home, "relative/config"), home + "/Fotos");

  ScopedVariable homeVariable("HOME", home.c_str());
  ScopedVariable configVariable("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(PicturesFolder::Find(), home + "/Fotos/Vextorn");
}

TEST(PicturesFolder, NamesCarryTheLocalTimeAndAnAttemptNumber)
{
  std::tm time{};
  time.tm_year = 2024 - 1900;
  time.tm_mon = 2;
  time.tm_mday = 7;
  time.tm_hour = 9;
  time.tm_min = 5;
  time.tm_sec = 3;
  EXPECT_EQ(PicturesFolder::BaseName(time, 1), "vextorn-20240307-090503");
  EXPECT_EQ(PicturesFolder::BaseName(time, 2), "vextorn-20240307-090503-2");
  EXPECT_EQ(PicturesFolder::BaseName(time, 3), "vextorn-20240307-090503-3");
}

TEST(PaperSize, LetterWhereTheLocaleSaysSoA4Elsewhere)
{
  EXPECT_EQ(PaperSize::FromLocaleName("en_US.UTF-8"), PaperSize::Kind::Letter);
  EXPECT_EQ(PaperSize::FromLocaleName("fr_CA"), PaperSize::Kind::Letter);
  EXPECT_EQ(PaperSize::FromLocaleName("es_MX.utf8@euro"), PaperSize::Kind::Letter);
  EXPECT_EQ(PaperSize::FromLocaleName("en_GB.UTF-8"), PaperSize::Kind::A4);
  EXPECT_EQ(PaperSize::FromLocaleName("de_DE"), PaperSize::Kind::A4);
  EXPECT_EQ(PaperSize::FromLocaleName("C.UTF-8"), PaperSize::Kind::A4);
  EXPECT_EQ(PaperSize::FromLocaleName("POSIX"), PaperSize::Kind::A4);
  EXPECT_EQ(PaperSize::FromMillimetres(216, 279), PaperSize::Kind::Letter);
  EXPECT_EQ(PaperSize::FromMillimetres(210, 297), PaperSize::Kind::A4);

  // LC_ALL over LC_PAPER over LANG; the C locale (always there) is A4 by its
  // own data; a locale that is not installed is told by its name.
  ScopedVariable all("LC_ALL", nullptr);
  ScopedVariable paper("LC_PAPER", "C");
  ScopedVariable lang("LANG", "en_US.UTF-8");
  EXPECT_EQ(PaperSize::FromEnvironment(), PaperSize::Kind::A4);
  {
    ScopedVariable none("LC_PAPER", nullptr);
    EXPECT_EQ(PaperSize::FromEnvironment(), PaperSize::Kind::Letter);
    ScopedVariable nothing("LANG", nullptr);
    EXPECT_EQ(PaperSize::FromEnvironment(), PaperSize::Kind::A4);
  }
  ScopedVariable allLetter("LC_ALL", "es_US");
  EXPECT_EQ(PaperSize::FromEnvironment(), PaperSize::Kind::Letter);
}

TEST(PageExporter, PageIsTheSheetWithThePicturePlacedByThePrintingRules)
{
  // A4 at 300 dpi, all printable: 2480 x 3507 dots; scale 0.9 x 2480 / 506;
  // a quarter of the free width on the left, half the free height above.
  const PageRect a4 = PageExporter::PictureBox(PaperSize::Kind::A4);
  const double scale = 0.9 * 2480.0 / 506.0;
  const int width = static_cast<int>(506 * scale);
  const int height = static_cast<int>(336 * scale);
  EXPECT_NEAR(a4.x, (2480 - width) / 4 * 72.0 / 300.0, 1e-9);
  EXPECT_NEAR(a4.y, (3507 - height) / 2 * 72.0 / 300.0, 1e-9);
  EXPECT_NEAR(a4.width, width * 72.0 / 300.0, 1e-9);
  EXPECT_NEAR(a4.height, height * 72.0 / 300.0, 1e-9);

  const std::vector<uint8_t> letter = PageExporter::Compose(TestPicture(), PaperSize::Kind::Letter);
  const std::string text(letter.begin(), letter.end());
  EXPECT_EQ(text.rfind("%PDF", 0), 0u);
  EXPECT_NE(text.find("/MediaBox [ 0 0 612 792 ]"), std::string::npos);
  EXPECT_TRUE(PageExporter::Compose(PrintablePicture(), PaperSize::Kind::A4).empty());
}

TEST(OutputFiles, AllFilesOrNoneAndNewFilesNeverReplaceOthers)
{
  ModelFileFolder folder;
  std::string error;
  bool clash = false;
  {
    OutputFiles files;
    files.Add(folder.File("a.txt"), std::string("one"));
    files.Add(folder.File("b.txt"), std::vector<uint8_t>{'t', 'w', 'o'});
    ASSERT_TRUE(files.CommitNew(error, clash)) << error;
  }
  EXPECT_EQ(ReadText(folder.File("a.txt")), "one");
  EXPECT_EQ(ReadText(folder.File("b.txt")), "two");
  {
    // b.txt is taken: a new c.txt must not stay behind, b.txt is kept.
    OutputFiles files;
    files.Add(folder.File("c.txt"), std::string("three"));
    files.Add(folder.File("b.txt"), std::string("other"));
    EXPECT_FALSE(files.CommitNew(error, clash));
    EXPECT_TRUE(clash);
  }
  EXPECT_EQ(Names(folder.path), (std::set<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(ReadText(folder.File("b.txt")), "two");
  fs::create_directory(folder.File("f.txt"));
  for(const std::string bad : {"missing/e.txt", "f.txt"})
  {
    // Replacing is allowed by Commit; a file whose folder is missing, or
    // with a folder in its place, fails the whole set, old files kept.
    OutputFiles files;
    files.Add(folder.File("a.txt"), std::string("new"));
    files.Add(folder.File("d.txt"), std::string("four"));
    files.Add(folder.File(bad), std::string("five"));
    EXPECT_FALSE(files.Commit(error));
    EXPECT_NE(error.find(bad), std::string::npos) << error;
    EXPECT_EQ(Names(folder.path), (std::set<std::string>{"a.txt", "b.txt", "f.txt"})) << bad;
    EXPECT_EQ(ReadText(folder.File("a.txt")), "one");
  }
  {
    OutputFiles files;
    files.Add(folder.File("a.txt"), std::string("new"));
    ASSERT_TRUE(files.Commit(error)) << error;
  }
  EXPECT_EQ(ReadText(folder.File("a.txt")), "new");
  EXPECT_EQ(Names(folder.path), (std::set<std::string>{"a.txt", "b.txt", "f.txt"}));
}

class PageSaverTest : public ModelTest {
protected:
  void SetUp() override
  {
    ModelTest::SetUp();
    ASSERT_TRUE(SampleModel::Build(model, device));
    // 2024-03-07 09:05:03 local time.
    std::tm local{};
    local.tm_year = 124;
    local.tm_mon = 2;
    local.tm_mday = 7;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 3;
    local.tm_isdst = -1;
    now = std::mktime(&local);
  }

  ModelFileFolder scratch;
  std::time_t now = 0;
};

TEST_F(PageSaverTest, PagePictureAndModelShareOneNewNameAndNothingIsReplaced)
{
  const std::string folder = scratch.File("Pictures/Vextorn");
  std::string page;
  std::string error;
  ASSERT_TRUE(PageSaver::Save(TestPicture(), model, folder, now, page, error)) << error;
  EXPECT_EQ(page, folder + "/vextorn-20240307-090503.pdf");
  EXPECT_EQ(Names(folder), (std::set<std::string>{"vextorn-20240307-090503.glb", "vextorn-20240307-090503.pdf",
                                                  "vextorn-20240307-090503.png"}));
  const std::string first = ReadText(page);

  // The same second again: -2. A stray file holding only the -3 picture's
  // name makes the next one -4, and that file is left as it was.
  ASSERT_TRUE(PageSaver::Save(TestPicture(), model, folder, now, page, error)) << error;
  EXPECT_EQ(page, folder + "/vextorn-20240307-090503-2.pdf");
  WriteText(folder + "/vextorn-20240307-090503-3.png", "mine");
  ASSERT_TRUE(PageSaver::Save(TestPicture(), model, folder, now, page, error)) << error;
  EXPECT_EQ(page, folder + "/vextorn-20240307-090503-4.pdf");
  EXPECT_EQ(ReadText(folder + "/vextorn-20240307-090503-3.png"), "mine");
  EXPECT_EQ(Names(folder).size(), 3u * 3 + 1);
  EXPECT_EQ(ReadText(folder + "/vextorn-20240307-090503.pdf"), first);

  // A folder that cannot be made: nothing saved.
  WriteText(scratch.File("file"), "x");
  EXPECT_FALSE(PageSaver::Save(TestPicture(), model, scratch.File("file/Vextorn"), now, page, error));
  EXPECT_FALSE(error.empty());
}

class ModelExportTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(SampleModel::Write(folder.File("model.data"))); }

  // Runs an export; its standard error in `errors`.
  int Run(const std::string &output, const std::string &modelFile, bool withRoom = true, int scale = 1)
  {
    ExportRequest request;
    request.output = output;
    request.model = modelFile;
    request.withRoom = withRoom;
    request.scale = scale;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const int status = ModelExport::Run(request);
    errors = testing::internal::GetCapturedStderr();
    written = testing::internal::GetCapturedStdout();
    return status;
  }

  ModelFileFolder folder;
  std::string errors;
  std::string written;
};

TEST_F(ModelExportTest, FormatsAreToldByTheExtensionInAnyCase)
{
  EXPECT_EQ(ModelExport::FormatOf("a.glb"), ModelExport::Format::Glb);
  EXPECT_EQ(ModelExport::FormatOf("dir.x/A.OBJ"), ModelExport::Format::Obj);
  EXPECT_EQ(ModelExport::FormatOf("b.Stl"), ModelExport::Format::Stl);
  EXPECT_EQ(ModelExport::FormatOf("c.png"), ModelExport::Format::Png);
  EXPECT_EQ(ModelExport::FormatOf("d.pdf"), ModelExport::Format::Pdf);
  EXPECT_EQ(ModelExport::FormatOf("dir.glb/model"), ModelExport::Format::Unknown);
  EXPECT_EQ(ModelExport::FormatOf("out/.glb"), ModelExport::Format::Unknown);
  EXPECT_EQ(ModelExport::FormatOf("model.gltf"), ModelExport::Format::Unknown);
}

TEST_F(ModelExportTest, ModelFilesAreWrittenAndNamedWithNothingElseLeft)
{
  const std::string model = folder.File("model.data");
  EXPECT_EQ(Run(folder.File("a.glb"), model), 0) << errors;
  EXPECT_EQ(Run(folder.File("b.stl"), model), 0) << errors;
  EXPECT_EQ(Run(folder.File("c.obj"), model, false), 0) << errors;
  EXPECT_EQ(errors, "");
  EXPECT_EQ(Lines(written), 6) << written;
  // The OBJ without the room: four cubes, all of different colours.
  EXPECT_EQ(Names(folder.path), (std::set<std::string>{"model.data", "a.glb", "b.stl", "c.obj", "c.mtl", "c-1.png",
                                                       "c-2.png", "c-3.png", "c-4.png"}));
  EXPECT_EQ(fs::file_size(folder.File("b.stl")), 84u + 50u * 48);
  // Exporting again replaces the file.
  EXPECT_EQ(Run(folder.File("a.glb"), model, false), 0) << errors;
}

TEST_F(ModelExportTest, RefusalsGiveOneLineStatusOneAndLeaveNothingBehind)
{
  const std::string model = folder.File("model.data");
  const std::set<std::string> before = Names(folder.path);
  struct Case {
    std::string output;
    std::string model;
    bool withRoom;
    int scale;
    std::string what;
  };
  // A model file cut short.
  {
    std::ifstream in(model, std::ios::binary);
    std::string bytes(1000, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    WriteText(folder.File("short.data"), bytes);
  }
  fs::create_directory(folder.File("taken.glb"));
  const std::vector<Case> cases = {
    {folder.File("a.gltf"), model, true, 1, "unknown extension"},
    {folder.File("noextension"), model, true, 1, "no extension"},
    {folder.File("a.glb"), folder.File("missing.data"), true, 1, "missing model"},
    {folder.File("a.glb"), folder.File("short.data"), true, 1, "damaged model"},
    {folder.File("a.stl"), folder.File("short.data"), true, 1, "damaged model"},
    {folder.File("no/such/folder/a.glb"), model, true, 1, "missing folder"},
    {folder.File("short.data/a.glb"), model, true, 1, "a file as folder"},
    {folder.File("taken.glb"), model, true, 1, "a folder in the way"},
    {folder.File("a.glb"), model, true, 2, "scale for a model"},
    {folder.File("a.png"), model, true, 0, "scale 0"},
    {folder.File("a.png"), model, true, ModelExport::MaxScale + 1, "scale too large"},
    {folder.File("a.png"), model, false, 1, "no room for a picture"},
  };
  for(const Case &c : cases)
  {
    EXPECT_EQ(Run(c.output, c.model, c.withRoom, c.scale), 1) << c.what;
    EXPECT_EQ(Lines(errors), 1) << c.what << ": " << errors;
    EXPECT_EQ(errors.rfind("vextorn: ", 0), 0u) << c.what << ": " << errors;
    EXPECT_EQ(written, "") << c.what;
    std::set<std::string> expected = before;
    expected.insert({"short.data", "taken.glb"});
    EXPECT_EQ(Names(folder.path), expected) << c.what;
  }
  EXPECT_TRUE(fs::is_empty(folder.File("taken.glb")));
}

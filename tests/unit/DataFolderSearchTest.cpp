// Finding the pictures and sounds: --datadir, then $VEXTORN_DATA_DIR, then
// data/ in the current directory, then the installed share/vextorn of the
// program's prefix; a folder counts only when it holds the files, and a
// failed search names every folder it tried.
#include "StoreTestSupport.h"
#include "WidgetTestSupport.h"
#include "store/DataFolderSearch.h"

#include <gtest/gtest.h>

using namespace StoreTestSupport;

namespace {
  // The four places, each holding the files, and the current directory on
  // the scratch folder (so that its data/ is the third place).
  class DataFolderSearchTest : public ::testing::Test {
  protected:
    DataFolderSearchTest()
      : option(scratch.DataFolder("given")), variable(scratch.DataFolder("from-variable")),
        current(scratch.DataFolder("data")), installed(scratch.DataFolder("prefix/share/vextorn")),
        program(scratch.Path("prefix/bin/vextorn")), inScratch(scratch.Root())
    {
    }

    ScratchFolder scratch;
    std::string option;
    std::string variable;
    std::string current;
    std::string installed;
    std::string program;
    InFolder inScratch;
    DataFolderSearch search;
  };
}

TEST_F(DataFolderSearchTest, ThePlacesAreTriedInOrderAndTheFirstWithTheFilesWins)
{
  ASSERT_TRUE(search.Run(option, variable, program));
  EXPECT_EQ(search.Found(), option);
  EXPECT_EQ(search.Tried().size(), 1u);
  EXPECT_EQ(search.PassedOverLine(), "");

  fs::remove_all(option);
  ASSERT_TRUE(search.Run(option, variable, program));
  EXPECT_EQ(search.Found(), variable);
  // The folder asked for is not passed over in silence.
  EXPECT_EQ(search.PassedOverLine(), "no pictures and sounds in " + option + " (--datadir); using " + variable);

  fs::remove_all(variable);
  ASSERT_TRUE(search.Run(option, variable, program));
  EXPECT_EQ(search.Found(), "data") << "data/ of the current directory, named as the toy always named it";

  fs::remove_all(current);
  ASSERT_TRUE(search.Run(option, variable, program));
  EXPECT_EQ(search.Found(), installed);
  EXPECT_NE(search.PassedOverLine().find(variable + " (VEXTORN_DATA_DIR)"), std::string::npos);
  EXPECT_EQ(search.PassedOverLine().find("the current directory"), std::string::npos)
    << "an installed run without data/ here is the normal case";
  ASSERT_EQ(search.Tried().size(), 4u);
  EXPECT_EQ(search.Tried()[0], option + " (--datadir)");
  EXPECT_EQ(search.Tried()[1], variable + " (VEXTORN_DATA_DIR)");
  EXPECT_EQ(search.Tried()[2], "data (the current directory)");
  EXPECT_EQ(search.Tried()[3], installed + " (installed)");
}

TEST_F(DataFolderSearchTest, AFolderWithoutThePictureOrTheSoundIsPassedOver)
{
  fs::remove(fs::path(option) / "start.wav");
  fs::remove(fs::path(variable) / "title.bmp");
  // A folder whose "files" are folders does not count either.
  fs::remove(fs::path(current) / "title.bmp");
  fs::create_directory(fs::path(current) / "title.bmp");
  ASSERT_TRUE(search.Run(option, variable, program));
  EXPECT_EQ(search.Found(), installed);

  // A folder holding the two is taken even when other files are missing:
  // loading names those.
  EXPECT_TRUE(DataFolderSearch::HoldsFiles(scratch.Folder("bare", {"title.bmp", "start.wav"})));
  EXPECT_FALSE(DataFolderSearch::HoldsFiles(scratch.Path("no-such-folder")));
}

TEST_F(DataFolderSearchTest, UnsetPlacesAreNotTried)
{
  ASSERT_TRUE(search.Run("", "", program));
  EXPECT_EQ(search.Found(), "data");
  EXPECT_EQ(search.Tried().size(), 1u);

  fs::remove_all(current);
  EXPECT_FALSE(search.Run("", "", ""));
  EXPECT_EQ(search.Found(), "");
  EXPECT_EQ(search.Tried().size(), 1u) << "without the program's path there is no installed folder";
}

TEST_F(DataFolderSearchTest, WhenNothingHoldsTheFilesOneLineNamesEveryFolderTried)
{
  for(const std::string &folder : {option, variable, current, installed})
    fs::remove_all(folder);
  EXPECT_FALSE(search.Run(option, variable, program));
  EXPECT_EQ(search.Found(), "");
  const std::string line = search.FailureLine();
  EXPECT_EQ(line.find('\n'), std::string::npos);
  for(const std::string &folder : {option, variable, std::string("data"), installed})
    EXPECT_NE(line.find(folder), std::string::npos) << folder << " is not named in: " << line;
}

TEST_F(DataFolderSearchTest, TheVariableIsReadFromTheEnvironment)
{
  {
    WidgetTestSupport::ScopedVariable set(DataFolderSearch::Variable, variable.c_str());
    ASSERT_TRUE(search.RunForThisProgram(""));
    EXPECT_EQ(search.Found(), variable);
    // --datadir still comes first.
    ASSERT_TRUE(search.RunForThisProgram(option));
    EXPECT_EQ(search.Found(), option);
  }
  WidgetTestSupport::ScopedVariable unset(DataFolderSearch::Variable, nullptr);
  ASSERT_TRUE(search.RunForThisProgram(""));
  EXPECT_EQ(search.Found(), "data");
}

TEST(DataFolderSearch, TheInstalledFolderIsFoundFromTheProgramsOwnPath)
{
  EXPECT_EQ(DataFolderSearch::InstalledFolder("/usr/bin/vextorn"), "/usr/share/vextorn");
  EXPECT_EQ(DataFolderSearch::InstalledFolder("/opt/toys/vextorn-1/bin/vextorn"), "/opt/toys/vextorn-1/share/vextorn");
  EXPECT_EQ(DataFolderSearch::InstalledFolder("/vextorn"), "");
  EXPECT_EQ(DataFolderSearch::InstalledFolder("vextorn"), "");

  // This test program's own path is read from the system.
  const std::string self = DataFolderSearch::OwnExecutable();
  ASSERT_FALSE(self.empty());
  EXPECT_TRUE(fs::equivalent(self, "/proc/self/exe"));
  DataFolderSearch search;
  ScratchFolder empty;
  InFolder inEmpty(empty.Root());
  WidgetTestSupport::ScopedVariable unset(DataFolderSearch::Variable, nullptr);
  EXPECT_FALSE(search.RunForThisProgram(""));
  EXPECT_EQ(search.Tried().back(), DataFolderSearch::InstalledFolder(self) + " (installed)");
}

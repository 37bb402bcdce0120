// Where the toy writes: --savedir, else data/ of a run from the source tree,
// else $XDG_DATA_HOME/vextorn, else ~/.local/share/vextorn; made on first use
// with mode 0700, and a folder that cannot be made or written to refused with
// one line on standard error.
#include "StoreTestSupport.h"
#include "WidgetTestSupport.h"
#include "store/SaveFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using namespace StoreTestSupport;
using WidgetTestSupport::ScopedVariable;

namespace {
  // The current directory on a scratch folder with a data/ folder, and the
  // two variables set to folders inside it.
  class SaveFolderTest : public ::testing::Test {
  protected:
    SaveFolderTest()
      : data(scratch.Folder("data")), inScratch(scratch.Root()),
        dataHome("XDG_DATA_HOME", scratch.Path("xdg").c_str()), home("HOME", scratch.Path("home").c_str())
    {
    }

    ScratchFolder scratch;
    std::string data;
    InFolder inScratch;
    ScopedVariable dataHome;
    ScopedVariable home;
  };
}

TEST_F(SaveFolderTest, TheChoiceFollowsTheOrderOfPlaces)
{
  // A run from the source tree writes into its data/, named as it always was.
  EXPECT_EQ(SaveFolder::Choose("", "data").Folder(), "data");
  EXPECT_EQ(SaveFolder::Choose("", data).Folder(), "data") << "the same folder by its full name";
  EXPECT_EQ(SaveFolder::Choose("", "./data/").Folder(), "data");
  // --savedir wins even there.
  EXPECT_EQ(SaveFolder::Choose("mine", "data").Folder(), "mine");

  // Pictures from anywhere else: the user's data folder.
  const std::string elsewhere = scratch.Folder("installed");
  EXPECT_EQ(SaveFolder::Choose("", elsewhere).Folder(), scratch.Path("xdg/vextorn"));
  EXPECT_EQ(SaveFolder::Choose("/abs/saves", elsewhere).Folder(), "/abs/saves");
  {
    ScopedVariable relative("XDG_DATA_HOME", "relative/xdg");
    EXPECT_EQ(SaveFolder::Choose("", elsewhere).Folder(), scratch.Path("home/.local/share/vextorn"));
  }
  {
    ScopedVariable empty("XDG_DATA_HOME", "");
    EXPECT_EQ(SaveFolder::Choose("", elsewhere).Folder(), scratch.Path("home/.local/share/vextorn"));
  }
  {
    ScopedVariable noDataHome("XDG_DATA_HOME", nullptr);
    ScopedVariable noHome("HOME", nullptr);
    const SaveFolder none = SaveFolder::Choose("", elsewhere);
    EXPECT_EQ(none.Folder(), "");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(none.Prepare());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find("HOME"), std::string::npos) << said;
  }
  // Without a data/ here, a source-tree-like name does not count.
  fs::remove_all(data);
  EXPECT_EQ(SaveFolder::Choose("", "data").Folder(), scratch.Path("xdg/vextorn"));
}

TEST_F(SaveFolderTest, AReadOnlySourceTreeFolderSendsTheWritesToTheUsersFolder)
{
  if(IgnoresPermissions())
    GTEST_SKIP() << "running as root: a read-only folder is still writable";
  fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(SaveFolder::Choose("", "data").Folder(), scratch.Path("xdg/vextorn"));
}

TEST_F(SaveFolderTest, PrepareMakesEachMissingFolderPrivateWhateverTheUmask)
{
  const SaveFolder folder(scratch.Path("xdg/deeper/vextorn"));
  // Nothing is made before the toy writes.
  EXPECT_FALSE(fs::exists(scratch.Path("xdg")));

  // This umask would leave new folders read-only to their owner.
  const mode_t previous = umask(0277);
  const bool prepared = folder.Prepare();
  umask(previous);
  ASSERT_TRUE(prepared);
  for(const char *made : {"xdg", "xdg/deeper", "xdg/deeper/vextorn"})
    EXPECT_EQ(Mode(scratch.Path(made)), 0700u) << made;
  std::ofstream(folder.Path("demo.data")) << "x";
  EXPECT_TRUE(fs::exists(scratch.Path("xdg/deeper/vextorn/demo.data")));

  // A folder that is there already keeps its mode.
  const std::string shared = scratch.Folder("shared");
  fs::permissions(shared, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  EXPECT_TRUE(SaveFolder(shared).Prepare());
  EXPECT_EQ(Mode(shared), 0755u);
  EXPECT_TRUE(SaveFolder("data").Prepare()) << "relative names work from the current directory";
}

TEST_F(SaveFolderTest, AFolderThatCannotBeMadeOrWrittenIsRefusedWithOneLine)
{
  // A file stands where a folder on the way should be.
  std::ofstream(scratch.Path("file")) << "x";
  for(const std::string &blocked : {scratch.Path("file"), scratch.Path("file/vextorn")})
  {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveFolder(blocked).Prepare()) << blocked;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find(blocked), std::string::npos) << said;
  }
  EXPECT_TRUE(fs::is_regular_file(scratch.Path("file"))) << "nothing was changed";

  if(IgnoresPermissions())
    return;
  const std::string locked = scratch.Folder("locked");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  for(const std::string &refused : {locked, locked + "/vextorn"})
  {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveFolder(refused).Prepare()) << refused;
    EXPECT_EQ(Lines(testing::internal::GetCapturedStderr()), 1);
  }
}

// The command line: what each option sets, which one wins when they clash,
// and a clear one-line refusal (naming what was wrong) for everything else.
#include "app/LaunchOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
  using Args = std::vector<std::string>;
  using Outcome = LaunchOptions::Outcome;

  LaunchOptions Parsed(const Args &args)
  {
    LaunchOptions options;
    EXPECT_EQ(options.Parse(args), Outcome::Run) << options.Error();
    return options;
  }
}

TEST(LaunchOptions, WithoutOptionsTheToyStartsFullScreenWithSoundAndItsLastModel)
{
  const LaunchOptions options = Parsed({});
  EXPECT_TRUE(options.Window().fullscreen);
  EXPECT_EQ(options.Window().width, 0);
  EXPECT_EQ(options.Window().height, 0);
  EXPECT_TRUE(options.Sound());
  EXPECT_FALSE(options.StartBlank());
  EXPECT_EQ(options.DataFolder(), "");
  EXPECT_EQ(options.SaveFolder(), "");
}

TEST(LaunchOptions, EachOptionSetsWhatItNames)
{
  const LaunchOptions window = Parsed({"--windowed"});
  EXPECT_FALSE(window.Window().fullscreen);
  EXPECT_EQ(window.Window().width, 0) << "the size is left to the desktop";

  for(const Args &args : {Args{"--windowed=1280x960"}, Args{"--windowed", "1280x960"}})
  {
    const LaunchOptions sized = Parsed(args);
    EXPECT_FALSE(sized.Window().fullscreen);
    EXPECT_EQ(sized.Window().width, 1280);
    EXPECT_EQ(sized.Window().height, 960);
  }
  EXPECT_TRUE(Parsed({"--fullscreen"}).Window().fullscreen);
  EXPECT_FALSE(Parsed({"--nosound"}).Sound());
  EXPECT_TRUE(Parsed({"--startblank"}).StartBlank());
  EXPECT_EQ(Parsed({"--datadir", "/opt/pictures"}).DataFolder(), "/opt/pictures");
  EXPECT_EQ(Parsed({"--datadir=rel/dir"}).DataFolder(), "rel/dir");
  EXPECT_EQ(Parsed({"--savedir", "/home/k/saves"}).SaveFolder(), "/home/k/saves");
  EXPECT_EQ(Parsed({"--savedir=s"}).SaveFolder(), "s");

  const LaunchOptions all =
    Parsed({"--nosound", "--startblank", "--windowed=800x600", "--datadir", "d", "--savedir", "s"});
  EXPECT_FALSE(all.Sound());
  EXPECT_TRUE(all.StartBlank());
  EXPECT_EQ(all.Window().width, 800);
  EXPECT_EQ(all.DataFolder(), "d");
  EXPECT_EQ(all.SaveFolder(), "s");
}

TEST(LaunchOptions, TheLastOfClashingOptionsWins)
{
  EXPECT_TRUE(Parsed({"--windowed=800x600", "--fullscreen"}).Window().fullscreen);
  const LaunchOptions windowed = Parsed({"--fullscreen", "--windowed=800x600"});
  EXPECT_FALSE(windowed.Window().fullscreen);
  EXPECT_EQ(windowed.Window().width, 800);
  // A later --windowed without a size leaves the size to the desktop again.
  EXPECT_EQ(Parsed({"--windowed=800x600", "--windowed"}).Window().width, 0);
  EXPECT_EQ(Parsed({"--datadir", "a", "--datadir", "b"}).DataFolder(), "b");
  EXPECT_EQ(Parsed({"--savedir=a", "--savedir=b"}).SaveFolder(), "b");
}

TEST(LaunchOptions, HelpAndVersionEndTheRunWithTheirText)
{
  LaunchOptions options;
  EXPECT_EQ(options.Parse(Args{"--help"}), Outcome::Help);
  EXPECT_EQ(options.Parse(Args{"--windowed", "--help"}), Outcome::Help);
  EXPECT_EQ(options.Parse(Args{"--version"}), Outcome::Version);
  EXPECT_EQ(options.Parse(Args{"--help", "--version"}), Outcome::Help);

  // "vextorn X.Y.Z": three numbers with dots between.
  const std::string line = LaunchOptions::VersionLine();
  ASSERT_EQ(line.rfind("vextorn ", 0), 0u) << line;
  const std::string version = line.substr(8);
  EXPECT_EQ(std::count(version.begin(), version.end(), '.'), 2) << line;
  EXPECT_EQ(version.find_first_not_of("0123456789."), std::string::npos) << line;
  EXPECT_EQ(version.find(".."), std::string::npos) << line;
  EXPECT_TRUE(!version.empty() && version.front() != '.' && version.back() != '.') << line;
  const std::string usage = LaunchOptions::Usage();
  for(const char *option : {"--help", "--version", "--windowed[=WIDTHxHEIGHT]", "--fullscreen", "--nosound",
                            "--startblank", "--datadir DIR", "--savedir DIR"})
    EXPECT_NE(usage.find(option), std::string::npos) << option;
}

TEST(LaunchOptions, EverythingElseIsRefusedWithOneLineNamingIt)
{
  struct Case {
    Args args;
    std::string named;
  };
  const Case cases[] = {
    {{"--fullscren"}, "--fullscren"},
    {{"-h"}, "-h"},
    {{"--nosound", "picture.png"}, "picture.png"},
    {{"--datadir"}, "--datadir"},
    {{"--datadir="}, "--datadir"},
    {{"--savedir"}, "--savedir"},
    {{"--datadir", "--nosound"}, "--datadir"},
    {{"--nosound=yes"}, "--nosound"},
    {{"--startblank=0"}, "--startblank"},
    {{"--help=1"}, "--help"},
    {{"--windowed=big"}, "big"},
    {{"--windowed=0x0"}, "0x0"},
    {{"--windowed=319x240"}, "319x240"},
    {{"--windowed=640x239"}, "640x239"},
    {{"--windowed=16385x600"}, "16385x600"},
    {{"--windowed=800x"}, "800x"},
    {{"--windowed=x600"}, "x600"},
    {{"--windowed=+800x600"}, "+800x600"},
    {{"--windowed=800x600x2"}, "800x600x2"},
    {{"--windowed", "tiny"}, "tiny"},
    // Control characters are written as escapes: still one line.
    {{"-\n", "", "", "-\n"}, "'-\\n'"},
    {{"--windowed=8\t00x600"}, "8\\t00x600"},
    {{"pict\x01ure\r"}, "pict\\x01ure\\r"},
  };
  for(const Case &c : cases)
  {
    SCOPED_TRACE(c.args.front());
    LaunchOptions options;
    EXPECT_EQ(options.Parse(c.args), Outcome::Refused);
    const std::string &error = options.Error();
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(error.find_first_of("\r\t\x01"), std::string::npos) << error;
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
    EXPECT_NE(error.find("--help"), std::string::npos) << error;
  }
}

TEST(LaunchOptions, WindowSizesAreWholeNumbersWithinTheLimits)
{
  int width = 0;
  int height = 0;
  EXPECT_TRUE(LaunchOptions::ParseSize("320x240", width, height));
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 240);
  EXPECT_TRUE(LaunchOptions::ParseSize("16384X16384", width, height));
  EXPECT_EQ(width, 16384);
  for(const char *bad : {"", "x", "320", "320x", "x240", "320 x240", "320x240 ", "-320x240", "320x-240", "3e2x240",
                         "99999999999x240", "320x240x1"})
    EXPECT_FALSE(LaunchOptions::ParseSize(bad, width, height)) << bad;
  EXPECT_EQ(width, 16384) << "a refused size changes nothing";
}

TEST(LaunchOptions, MainsArgumentsSkipTheProgramName)
{
  const char *argv[] = {"/usr/bin/vextorn", "--nosound", "--windowed=640x480"};
  LaunchOptions options;
  ASSERT_EQ(options.Parse(3, argv), Outcome::Run);
  EXPECT_FALSE(options.Sound());
  EXPECT_EQ(options.Window().height, 480);
  // A second parse starts afresh.
  ASSERT_EQ(options.Parse(Args{}), Outcome::Run);
  EXPECT_TRUE(options.Sound());
  EXPECT_TRUE(options.Window().fullscreen);
}

TEST(LaunchOptions, ExportTakesTheFileAnOptionalModelAndItsOwnOptionsInAnyOrder)
{
  struct Case {
    Args args;
    std::string output;
    std::string model;
    bool withRoom;
    int scale;
  };
  const Case cases[] = {
    {{"--export", "model.glb"}, "model.glb", "", true, 1},
    {{"--export", "a.obj", "saved.data"}, "a.obj", "saved.data", true, 1},
    {{"--no-room", "--export", "a.glb", "m.data"}, "a.glb", "m.data", false, 1},
    {{"--export", "a.glb", "--no-room", "m.data"}, "a.glb", "m.data", false, 1},
    {{"--export=p.png", "--scale", "4"}, "p.png", "", true, 4},
    {{"--scale=16", "--export", "p.png", "m"}, "p.png", "m", true, 16},
    {{"--savedir", "s", "--export", "x.stl"}, "x.stl", "", true, 1},
  };
  for(const Case &c : cases)
  {
    SCOPED_TRACE(c.args.front() + " " + c.args.back());
    LaunchOptions options;
    ASSERT_EQ(options.Parse(c.args), Outcome::Export) << options.Error();
    EXPECT_EQ(options.Export().output, c.output);
    EXPECT_EQ(options.Export().model, c.model);
    EXPECT_EQ(options.Export().withRoom, c.withRoom);
    EXPECT_EQ(options.Export().scale, c.scale);
  }
  // --help still wins; the usage names the new options.
  EXPECT_EQ(LaunchOptions().Parse(Args{"--export", "a.glb", "--help"}), Outcome::Help);
  for(const char *option : {"--export FILE [MODEL]", "--no-room", "--scale N"})
    EXPECT_NE(LaunchOptions::Usage().find(option), std::string::npos) << option;
}

TEST(LaunchOptions, ExportOptionsAreRefusedAloneOrWithBadValues)
{
  struct Case {
    Args args;
    std::string named;
  };
  const Case cases[] = {
    {{"--export"}, "--export"},
    {{"--export", "--nosound"}, "--export"},
    {{"--export", "a.glb", "m1", "m2"}, "m2"},
    {{"--export", "a.glb", "--export", "b.glb"}, "--export"},
    {{"--no-room"}, "--no-room"},
    {{"--scale", "2"}, "--scale"},
    {{"--export", "a.png", "--scale", "0"}, "'0'"},
    {{"--export", "a.png", "--scale", "17"}, "'17'"},
    {{"--export", "a.png", "--scale", "2x"}, "'2x'"},
    {{"--export", "a.png", "--scale", "-2"}, "--scale"},
    {{"--export", "a.png", "--scale"}, "--scale"},
    {{"--export", "a.glb", "--no-room=1"}, "--no-room"},
  };
  for(const Case &c : cases)
  {
    SCOPED_TRACE(c.args.back());
    LaunchOptions options;
    EXPECT_EQ(options.Parse(c.args), Outcome::Refused);
    const std::string &error = options.Error();
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
  }
}

#include "AudioTestSupport.h"
#include "res/Sound.h"
#include "res/SoundSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace AudioTestSupport;

namespace {
  int LineCount(const std::string &text)
  {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }

  class SoundTest : public testing::Test {
  protected:
    void SetUp() override
    {
      ASSERT_TRUE(folder.Made());
      WriteMonoWav(tone, 22050, Ramp(5000, -3000, 3000));
    }

    TempFolder folder;
    std::string tone = folder / "tone.wav";
  };

  // The dummy driver: a device that takes samples and plays nothing.
  class SoundOnDummyDevice : public SoundTest {
    ScopedEnv driver{"SDL_AUDIODRIVER", "dummy"};
  };

  // A driver that does not exist: no device opens, as on a machine without a sound card.
  class SoundWithoutDevice : public SoundTest {
    ScopedEnv driver{"SDL_AUDIODRIVER", "bogus"};
  };
}

TEST_F(SoundOnDummyDevice, LoadsAGeneratedWavAndPlaysItUntilUnloaded)
{
  SoundSystem system;
  ASSERT_TRUE(system.Init());
  EXPECT_TRUE(system.IsAudible());
  Sound sound;
  EXPECT_FALSE(sound.Play());
  ASSERT_TRUE(sound.Load(system, tone));
  EXPECT_EQ(sound.FileName(), tone);
  EXPECT_TRUE(sound.Play());
  EXPECT_TRUE(sound.Play(true));
  sound.Unload();
  EXPECT_FALSE(sound.IsLoaded());
  EXPECT_FALSE(sound.Play());
}

TEST_F(SoundOnDummyDevice, RefusesMissingAndDamagedFilesNamingThemAndKeepsWhatWasLoaded)
{
  std::vector<uint8_t> good = ReadAll(tone);
  std::string notRiff = folder / "notriff.wav";
  std::string truncated = folder / "truncated.wav";
  std::string empty = folder / "empty.wav";
  good[0] = 'X';
  std::ofstream(notRiff, std::ios::binary).write(reinterpret_cast<const char *>(good.data()), 1000);
  good[0] = 'R';
  // Cut inside the format chunk: no data chunk follows.
  std::ofstream(truncated, std::ios::binary).write(reinterpret_cast<const char *>(good.data()), 30);
  std::ofstream(empty, std::ios::binary).flush();

  SoundSystem system;
  ASSERT_TRUE(system.Init());
  Sound sound;
  ASSERT_TRUE(sound.Load(system, tone));
  for(const std::string &file : {folder / "missing.wav", notRiff, truncated, empty})
  {
    SCOPED_TRACE(file);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sound.Load(system, file));
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(LineCount(log), 1) << log;
    EXPECT_NE(log.find(file), std::string::npos) << log;
    EXPECT_EQ(sound.FileName(), tone);
    EXPECT_TRUE(sound.Play());

    Sound fresh;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(fresh.Load(system, file));
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fresh.IsLoaded());
  }
}

TEST_F(SoundOnDummyDevice, ShutdownTwiceAndSoundsThatOutliveTheirSystem)
{
  auto system = std::make_unique<SoundSystem>();
  Sound early;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(early.Load(*system, tone));
  EXPECT_NE(testing::internal::GetCapturedStderr().find(tone), std::string::npos);

  ASSERT_TRUE(system->Init());
  Sound first;
  auto second = std::make_unique<Sound>();
  ASSERT_TRUE(first.Load(*system, tone));
  ASSERT_TRUE(second->Load(*system, tone));
  ASSERT_TRUE(first.Play(true));

  system->Shutdown();
  system->Shutdown();
  EXPECT_FALSE(system->IsRunning());
  EXPECT_FALSE(first.Play());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(early.Load(*system, tone));
  testing::internal::GetCapturedStderr();

  // The system goes away entirely; its sounds stay quiet and can still be destroyed.
  system.reset();
  EXPECT_FALSE(first.Play());
  EXPECT_FALSE(second->Play(true));
  second.reset();
  first.Unload();
}

TEST_F(SoundWithoutDevice, RunsSilentlyButStillChecksFiles)
{
  SoundSystem system;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(system.Init());
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(LineCount(log), 1) << log;
  EXPECT_TRUE(system.IsRunning());
  EXPECT_FALSE(system.IsAudible());

  Sound sound;
  ASSERT_TRUE(sound.Load(system, tone));
  EXPECT_FALSE(sound.Play());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(sound.Load(system, folder / "missing.wav"));
  testing::internal::GetCapturedStderr();
  system.Shutdown();
  system.Shutdown();
  EXPECT_FALSE(sound.Play());
}

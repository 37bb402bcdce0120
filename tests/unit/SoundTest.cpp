#include "AudioTestSupport.h"
#include "res/Sound.h"
#include "res/SoundSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace AudioTestSupport;

namespace {
  // A quarter second of a 440 Hz tone, 16-bit mono at 22050 Hz.
  std::vector<uint8_t> ShortTone()
  {
    std::vector<int16_t> samples(22050 / 4);
    for(size_t i = 0; i < samples.size(); ++i)
      samples[i] = static_cast<int16_t>(6000 * std::sin(2 * 3.14159265 * 440 * static_cast<double>(i) / 22050));
    return Mono16(samples);
  }

  class SoundTest : public testing::Test {
  protected:
    void SetUp() override
    {
      ASSERT_FALSE(folder.Path().empty());
      tone = (folder.Path() / "tone.wav").string();
      WriteWav(tone, 22050, 1, 16, ShortTone());
    }

    // Loads `file` on `system` and returns what was written to standard error.
    std::string LoadCapturingLog(Sound &sound, SoundSystem &system, const std::string &file, bool &loaded)
    {
      testing::internal::CaptureStderr();
      loaded = sound.Load(system, file);
      return testing::internal::GetCapturedStderr();
    }

    TempFolder folder;
    std::string tone;
  };

  // The test runner sets the dummy driver: a device that takes samples and plays nothing.
  class SoundOnDummyDevice : public SoundTest {
  protected:
    ScopedEnv driver{"SDL_AUDIODRIVER", "dummy"};
  };

  // A driver name that does not exist: no device can be opened, as on a machine without a sound card.
  class SoundWithoutDevice : public SoundTest {
  protected:
    ScopedEnv driver{"SDL_AUDIODRIVER", "bogus"};
  };
}

TEST_F(SoundOnDummyDevice, LoadsAGeneratedWavAndPlaysIt)
{
  SoundSystem system;
  ASSERT_TRUE(system.Init());
  EXPECT_TRUE(system.IsAudible());

  Sound sound;
  EXPECT_FALSE(sound.Play());
  ASSERT_TRUE(sound.Load(system, tone));
  EXPECT_TRUE(sound.IsLoaded());
  EXPECT_EQ(sound.FileName(), tone);
  EXPECT_TRUE(sound.Play());
  // Playing again at once restarts it; looping is accepted too.
  EXPECT_TRUE(sound.Play());
  EXPECT_TRUE(sound.Play(true));

  sound.Unload();
  EXPECT_FALSE(sound.IsLoaded());
  EXPECT_FALSE(sound.Play());
  sound.Unload();
}

TEST_F(SoundOnDummyDevice, RefusesMissingAndDamagedFilesNamingThem)
{
  SoundSystem system;
  ASSERT_TRUE(system.Init());

  std::vector<uint8_t> good = ReadAll(tone);
  ASSERT_GT(good.size(), 44u);

  std::string missing = (folder.Path() / "missing.wav").string();
  std::string notRiff = (folder.Path() / "notriff.wav").string();
  std::string truncated = (folder.Path() / "truncated.wav").string();
  std::string empty = (folder.Path() / "empty.wav").string();
  {
    std::vector<uint8_t> bytes = good;
    bytes[0] = 'X';
    std::ofstream(notRiff, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
    // Cut inside the format chunk: no data chunk follows.
    std::ofstream(truncated, std::ios::binary).write(reinterpret_cast<const char *>(good.data()), 30);
    std::ofstream(empty, std::ios::binary);
  }

  for(const std::string &file : {missing, notRiff, truncated, empty})
  {
    SCOPED_TRACE(file);
    Sound sound;
    bool loaded = true;
    std::string log = LoadCapturingLog(sound, system, file, loaded);
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(sound.IsLoaded());
    EXPECT_FALSE(sound.Play());
    EXPECT_NE(log.find(file), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  }
}

TEST_F(SoundOnDummyDevice, AFailedReloadKeepsTheSoundThatWasLoaded)
{
  SoundSystem system;
  ASSERT_TRUE(system.Init());
  Sound sound;
  ASSERT_TRUE(sound.Load(system, tone));
  bool loaded = true;
  LoadCapturingLog(sound, system, (folder.Path() / "missing.wav").string(), loaded);
  EXPECT_FALSE(loaded);
  EXPECT_TRUE(sound.IsLoaded());
  EXPECT_EQ(sound.FileName(), tone);
  EXPECT_TRUE(sound.Play());
}

TEST_F(SoundOnDummyDevice, LoadNeedsARunningSystem)
{
  SoundSystem system;
  Sound sound;
  bool loaded = true;
  std::string log = LoadCapturingLog(sound, system, tone, loaded);
  EXPECT_FALSE(loaded);
  EXPECT_NE(log.find(tone), std::string::npos) << log;

  ASSERT_TRUE(system.Init());
  system.Shutdown();
  log = LoadCapturingLog(sound, system, tone, loaded);
  EXPECT_FALSE(loaded);
}

TEST_F(SoundOnDummyDevice, ShutdownTwiceAndSoundsThatOutliveTheirSystem)
{
  auto system = std::make_unique<SoundSystem>();
  ASSERT_TRUE(system->Init());
  Sound first;
  auto second = std::make_unique<Sound>();
  ASSERT_TRUE(first.Load(*system, tone));
  ASSERT_TRUE(second->Load(*system, tone));
  ASSERT_TRUE(first.Play());

  system->Shutdown();
  EXPECT_FALSE(system->IsRunning());
  EXPECT_FALSE(system->IsAudible());
  system->Shutdown();
  EXPECT_FALSE(first.Play());

  // The system goes away entirely; its sounds stay quiet and can still be destroyed.
  system.reset();
  EXPECT_FALSE(first.Play());
  EXPECT_FALSE(second->Play(true));
  second.reset();
  first.Unload();
}

TEST_F(SoundOnDummyDevice, ASystemCanStartAgainAfterShutdown)
{
  SoundSystem system;
  ASSERT_TRUE(system.Init());
  system.Shutdown();
  ASSERT_TRUE(system.Init());
  EXPECT_TRUE(system.IsAudible());
  Sound sound;
  ASSERT_TRUE(sound.Load(system, tone));
  EXPECT_TRUE(sound.Play());
}

TEST_F(SoundWithoutDevice, RunsSilentlyButStillChecksFiles)
{
  SoundSystem system;
  testing::internal::CaptureStderr();
  bool started = system.Init();
  std::string log = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started);
  EXPECT_TRUE(system.IsRunning());
  EXPECT_FALSE(system.IsAudible());
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_NE(log.find("without sound"), std::string::npos) << log;

  Sound sound;
  ASSERT_TRUE(sound.Load(system, tone));
  EXPECT_FALSE(sound.Play());
  EXPECT_FALSE(sound.Play(true));

  Sound broken;
  bool loaded = true;
  LoadCapturingLog(broken, system, (folder.Path() / "missing.wav").string(), loaded);
  EXPECT_FALSE(loaded);

  system.Shutdown();
  system.Shutdown();
  EXPECT_FALSE(sound.Play());
}

#include "AudioTestSupport.h"
#include "platform/AudioOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>

using namespace AudioTestSupport;

namespace {
  int16_t SampleAt(const std::vector<uint8_t> &bytes, size_t index)
  {
    return static_cast<int16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
  }

  // Waits until `done` holds; false after five seconds.
  bool WaitFor(const std::function<bool()> &done)
  {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while(!done())
    {
      if(std::chrono::steady_clock::now() > until)
        return false;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
  }

  // A linear ramp of 16-bit mono samples. Ramps never repeat themselves, so a
  // clip cut off and followed by another one cannot pass for an uncut clip.
  std::vector<uint8_t> Ramp(size_t count, double from, double to)
  {
    std::vector<int16_t> samples(count);
    for(size_t i = 0; i < count; ++i)
      samples[i] = static_cast<int16_t>(std::lround(from + (to - from) * static_cast<double>(i) / static_cast<double>(count)));
    return Mono16(samples);
  }

  // Reads what the disk driver wrote and takes it apart piece by piece.
  class PlayedStream {
  public:
    PlayedStream(std::vector<uint8_t> bytes, uint8_t silence) : bytes(std::move(bytes)), silence(silence) {}

    // Skips silence up to where `clip` starts (its own leading silence
    // included). False when the clip is not found or something else comes first.
    bool SkipSilenceBefore(const std::vector<uint8_t> &clip)
    {
      auto audible = std::find_if(clip.begin(), clip.end(), [this](uint8_t b) { return b != silence; });
      if(audible == clip.end())
        return false;
      size_t lead = static_cast<size_t>(audible - clip.begin());
      size_t signature = std::min<size_t>(256, static_cast<size_t>(clip.end() - audible));
      auto found = std::search(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end(), audible,
                               audible + static_cast<std::ptrdiff_t>(signature));
      if(found == bytes.end() || static_cast<size_t>(found - bytes.begin()) < at + lead)
        return false;
      size_t start = static_cast<size_t>(found - bytes.begin()) - lead;
      if(!IsSilent(at, start))
        return false;
      at = start;
      return true;
    }

    // Consumes the longest prefix of `clip` found here; returns its length.
    size_t TakePrefixOf(const std::vector<uint8_t> &clip)
    {
      size_t n = 0;
      while(n < clip.size() && at + n < bytes.size() && bytes[at + n] == clip[n])
        ++n;
      at += n;
      return n;
    }

    size_t Remaining() const { return bytes.size() - at; }
    bool RestIsSilent() const { return IsSilent(at, bytes.size()); }

  private:
    bool IsSilent(size_t from, size_t to) const
    {
      return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to),
                         [this](uint8_t b) { return b == silence; });
    }

    std::vector<uint8_t> bytes;
    uint8_t silence = 0;
    size_t at = 0;
  };

  // The disk driver writes every sample the device is given to a file. A small
  // delay per buffer (about ten times faster than real time) keeps a long clip
  // playing long enough for the test to cut in even on a busy machine.
  class DiskOutputTest : public testing::Test {
  protected:
    void SetUp() override
    {
      ASSERT_FALSE(folder.Path().empty());
      WriteWav(folder.Path() / "long.wav", 22050, 1, 16, Ramp(22050 * 20, 8000, 16000));
      WriteWav(folder.Path() / "short.wav", 22050, 1, 16, Ramp(22050 * 3 / 10, -8000, -16000));
      std::string error;
      longClip = output.Load((folder.Path() / "long.wav").string(), error);
      shortClip = output.Load((folder.Path() / "short.wav").string(), error);
      ASSERT_TRUE(longClip && shortClip) << error;
      ASSERT_TRUE(output.Open());
    }

    // Closes the device (so every buffer is written) and reads what was played.
    PlayedStream Played()
    {
      uint8_t silence = output.Format().silence;
      output.Close();
      return PlayedStream(ReadAll(file), silence);
    }

    TempFolder folder;
    std::filesystem::path file = folder.Path() / "played.raw";
    ScopedEnv driver{"SDL_AUDIODRIVER", "disk"};
    ScopedEnv target{"SDL_DISKAUDIOFILE", file.string()};
    ScopedEnv delay{"SDL_DISKAUDIODELAY", "1"};
    AudioOutput output;
    std::shared_ptr<const AudioClip> longClip;
    std::shared_ptr<const AudioClip> shortClip;
  };
}

TEST(AudioOutput, ConvertsOnceToTheOutputFormatWithoutLosingSamples)
{
  TempFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  // Half a second at 22050 Hz: a constant level, then a 441 Hz tone.
  std::vector<int16_t> mono(11025);
  for(size_t i = 0; i < mono.size(); ++i)
    mono[i] = i < 5000 ? 12000 : static_cast<int16_t>(std::lround(9000 * std::sin(2 * 3.14159265 * 441 * static_cast<double>(i) / 22050)));
  WriteWav(folder.Path() / "mono16.wav", 22050, 1, 16, Mono16(mono));
  // 8-bit unsigned stereo at 11025 Hz: left at +64, right at -64 from the midpoint.
  std::vector<uint8_t> stereo8;
  for(int i = 0; i < 2205; ++i)
  {
    stereo8.push_back(128 + 64);
    stereo8.push_back(128 - 64);
  }
  WriteWav(folder.Path() / "stereo8.wav", 11025, 2, 8, stereo8);

  AudioOutput output;
  const AudioFormat &format = output.Format();
  ASSERT_EQ(format.frequency, 44100);
  ASSERT_EQ(format.channels, 2);
  ASSERT_EQ(format.bytesPerSample, 2);
  ASSERT_TRUE(format.signedSamples && !format.floatSamples && !format.bigEndian);

  std::string error;
  std::shared_ptr<const AudioClip> clip = output.Load((folder.Path() / "mono16.wav").string(), error);
  ASSERT_TRUE(clip) << error;
  EXPECT_EQ(clip->Format(), format);
  // Twice the rate: twice the frames, none dropped at the end.
  EXPECT_EQ(clip->FrameCount(), 2 * mono.size());
  const std::vector<uint8_t> &out = clip->Samples();
  int16_t peak = 0;
  for(size_t frame = 0; frame < clip->FrameCount(); ++frame)
  {
    ASSERT_EQ(SampleAt(out, 2 * frame), SampleAt(out, 2 * frame + 1)) << "frame " << frame;
    if(frame > 10500)
      peak = std::max(peak, SampleAt(out, 2 * frame));
  }
  // The level holds in the middle of the constant part; the tone keeps its height.
  EXPECT_NEAR(SampleAt(out, 2 * 5000), 12000, 40);
  EXPECT_NEAR(peak, 9000, 200);

  clip = output.Load((folder.Path() / "stereo8.wav").string(), error);
  ASSERT_TRUE(clip) << error;
  EXPECT_EQ(clip->FrameCount(), 4u * 2205);
  EXPECT_NEAR(SampleAt(clip->Samples(), 2 * 4000), 64 * 256, 100);
  EXPECT_NEAR(SampleAt(clip->Samples(), 2 * 4000 + 1), -64 * 256, 100);
}

TEST(AudioOutput, WithoutADeviceLoadsButDoesNotPlay)
{
  TempFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  WriteWav(folder.Path() / "tone.wav", 22050, 1, 16, Ramp(2205, 1000, 2000));
  ScopedEnv driver{"SDL_AUDIODRIVER", "bogus"};

  AudioOutput output;
  testing::internal::CaptureStderr();
  bool opened = output.Open();
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(opened);
  EXPECT_FALSE(output.HasDevice());
  EXPECT_NE(log.find("without sound"), std::string::npos) << log;

  std::string error;
  std::shared_ptr<const AudioClip> clip = output.Load((folder.Path() / "tone.wav").string(), error);
  ASSERT_TRUE(clip) << error;
  EXPECT_EQ(clip->FrameCount(), 4410u);
  EXPECT_FALSE(output.Play(clip, false));
  EXPECT_FALSE(output.IsPlaying());
  output.Close();
  output.Close();
}

TEST(AudioOutput, AFailedOpeningSaysSoInOneLine)
{
  // The ALSA driver with a device name that no machine has: the library
  // reports the failure in its own words, which must not reach the user.
  ScopedEnv driver{"SDL_AUDIODRIVER", "alsa"};
  ScopedEnv name{"AUDIODEV", "vextorn_no_such_device"};

  AudioOutput output;
  testing::internal::CaptureStderr();
  bool opened = output.Open();
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(opened);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_NE(log.find("without sound"), std::string::npos) << log;
}

TEST_F(DiskOutputTest, ANewSoundCutsOffTheOneThatPlaysAndNothingRepeats)
{
  const std::vector<uint8_t> &first = longClip->Samples();
  const std::vector<uint8_t> &second = shortClip->Samples();

  ASSERT_TRUE(output.Play(longClip, false));
  ASSERT_TRUE(WaitFor([this] { return output.PlayedBytes() > 0; }));
  ASSERT_TRUE(output.Play(shortClip, false));
  ASSERT_TRUE(WaitFor([this] { return output.PlayedBytes() > 0; }));
  // The same sound again restarts it.
  ASSERT_TRUE(output.Play(shortClip, false));
  ASSERT_TRUE(WaitFor([this] { return !output.IsPlaying(); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));

  PlayedStream played = Played();
  ASSERT_TRUE(played.SkipSilenceBefore(first));
  size_t firstPart = played.TakePrefixOf(first);
  EXPECT_GT(firstPart, 0u);
  EXPECT_LT(firstPart, first.size());
  EXPECT_EQ(firstPart % static_cast<size_t>(longClip->Format().FrameBytes()), 0u);

  size_t secondPart = played.TakePrefixOf(second);
  EXPECT_GT(secondPart, 0u);
  EXPECT_LT(secondPart, second.size());
  EXPECT_EQ(played.TakePrefixOf(second), second.size());

  EXPECT_GT(played.Remaining(), 0u);
  EXPECT_TRUE(played.RestIsSilent());
}

TEST_F(DiskOutputTest, ALoopRepeatsUntilStopped)
{
  const std::vector<uint8_t> &loop = shortClip->Samples();

  ASSERT_TRUE(output.Play(shortClip, true));
  // Count the returns to the start; a missed one only means more repeats.
  int repeats = 0;
  size_t last = 0;
  ASSERT_TRUE(WaitFor([&] {
    size_t now = output.PlayedBytes();
    if(now < last)
      ++repeats;
    last = now;
    return repeats >= 2;
  }));
  EXPECT_TRUE(output.IsPlaying());
  output.Stop();
  EXPECT_FALSE(output.IsPlaying());
  std::this_thread::sleep_for(std::chrono::milliseconds(50));

  PlayedStream played = Played();
  ASSERT_TRUE(played.SkipSilenceBefore(loop));
  int whole = 0;
  size_t taken = 0;
  while((taken = played.TakePrefixOf(loop)) == loop.size())
    ++whole;
  EXPECT_GE(whole, 2);
  EXPECT_TRUE(played.RestIsSilent());
}

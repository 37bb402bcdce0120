#include "AudioTestSupport.h"
#include "platform/AudioOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
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

  // What the disk driver wrote, read from the front piece by piece. Silence is 0.
  struct PlayedStream {
    std::vector<uint8_t> bytes;
    size_t at = 0;

    bool SilentUpTo(size_t end) const
    {
      return end <= bytes.size() && std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                                bytes.begin() + static_cast<std::ptrdiff_t>(end), [](uint8_t b) { return b == 0; });
    }

    // Skips the silence before `clip` (whose own first samples may be silent).
    bool SkipSilenceBefore(const std::vector<uint8_t> &clip)
    {
      auto audible = std::find_if(clip.begin(), clip.end(), [](uint8_t b) { return b != 0; });
      auto signature = audible + std::min<std::ptrdiff_t>(256, clip.end() - audible);
      auto found = std::search(bytes.begin(), bytes.end(), audible, signature);
      size_t lead = static_cast<size_t>(audible - clip.begin());
      size_t start = static_cast<size_t>(found - bytes.begin()) - lead;
      if(audible == clip.end() || found == bytes.end() || start > bytes.size() || !SilentUpTo(start))
        return false;
      at = start;
      return true;
    }

    // Consumes the longest beginning of `clip` found here; returns its length.
    size_t TakeStartOf(const std::vector<uint8_t> &clip)
    {
      size_t n = 0;
      while(n < clip.size() && at + n < bytes.size() && bytes[at + n] == clip[n])
        ++n;
      at += n;
      return n;
    }
  };

  // The disk driver writes every sample the device is given to a file. A 1 ms
  // delay per buffer (about twenty times real time) keeps the 20-second clip
  // sounding for a second, long enough to cut in even on a busy machine.
  class DiskOutputTest : public testing::Test {
  protected:
    void SetUp() override
    {
      ASSERT_TRUE(folder.Made());
      WriteMonoWav(folder / "long.wav", 22050, Ramp(22050 * 20, 8000, 16000));
      WriteMonoWav(folder / "short.wav", 22050, Ramp(22050 * 3 / 10, -8000, -16000));
      std::string error;
      longClip = output.Load(folder / "long.wav", error);
      shortClip = output.Load(folder / "short.wav", error);
      ASSERT_TRUE(longClip && shortClip) << error;
      ASSERT_TRUE(output.Open());
      ASSERT_EQ(output.Format().silence, 0);
    }

    // Closes the device (so every buffer is written) and reads what was played.
    PlayedStream Played()
    {
      output.Close();
      return PlayedStream{ReadAll(file)};
    }

    TempFolder folder;
    std::string file = folder / "played.raw";
    ScopedEnv driver{"SDL_AUDIODRIVER", "disk"};
    ScopedEnv target{"SDL_DISKAUDIOFILE", file};
    ScopedEnv delay{"SDL_DISKAUDIODELAY", "1"};
    AudioOutput output;
    std::shared_ptr<const AudioClip> longClip;
    std::shared_ptr<const AudioClip> shortClip;
  };
}

TEST(AudioOutput, ConvertsOnceToTheOutputFormatWithoutLosingSamples)
{
  TempFolder folder;
  ASSERT_TRUE(folder.Made());
  // Half a second at 22050 Hz: a constant level, then a 441 Hz tone.
  std::vector<int16_t> mono(11025);
  for(size_t i = 0; i < mono.size(); ++i)
    mono[i] = i < 5000 ? 12000 : static_cast<int16_t>(std::lround(9000 * std::sin(2 * M_PI * 441 * static_cast<double>(i) / 22050)));
  WriteMonoWav(folder / "mono16.wav", 22050, mono);

  AudioOutput output;
  const AudioFormat &format = output.Format();
  ASSERT_EQ(format.frequency, 44100);
  ASSERT_EQ(format.channels, 2);
  ASSERT_TRUE(format.bytesPerSample == 2 && format.signedSamples && !format.floatSamples && !format.bigEndian);

  std::string error;
  std::shared_ptr<const AudioClip> clip = output.Load(folder / "mono16.wav", error);
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
}

TEST(AudioOutput, AFailedOpeningSaysSoInOneLine)
{
  // The ALSA driver with a device name no machine has: the library reports
  // the failure in its own words too, which must not reach the user.
  ScopedEnv driver{"SDL_AUDIODRIVER", "alsa"};
  ScopedEnv name{"AUDIODEV", "vextorn_no_such_device"};
  AudioOutput output;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(output.Open());
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_NE(log.find("without sound"), std::string::npos) << log;
  EXPECT_FALSE(output.Play(nullptr, false));
}

TEST_F(DiskOutputTest, ANewSoundCutsOffTheOneThatPlaysAndNothingRepeats)
{
  ASSERT_TRUE(output.Play(longClip, false));
  ASSERT_TRUE(WaitFor([this] { return output.PlayedBytes() > 0; }));
  ASSERT_TRUE(output.Play(shortClip, false));
  ASSERT_TRUE(WaitFor([this] { return output.PlayedBytes() > 0; }));
  // The same sound again restarts it.
  ASSERT_TRUE(output.Play(shortClip, false));
  ASSERT_TRUE(WaitFor([this] { return !output.IsPlaying(); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));

  PlayedStream played = Played();
  const std::vector<uint8_t> &first = longClip->Samples();
  const std::vector<uint8_t> &second = shortClip->Samples();
  ASSERT_TRUE(played.SkipSilenceBefore(first));
  size_t firstPart = played.TakeStartOf(first);
  EXPECT_GT(firstPart, 0u);
  EXPECT_LT(firstPart, first.size());
  size_t secondPart = played.TakeStartOf(second);
  EXPECT_GT(secondPart, 0u);
  EXPECT_LT(secondPart, second.size());
  EXPECT_EQ(played.TakeStartOf(second), second.size());
  EXPECT_LT(played.at, played.bytes.size());
  EXPECT_TRUE(played.SilentUpTo(played.bytes.size()));
}

TEST_F(DiskOutputTest, ALoopRepeatsUntilStopped)
{
  ASSERT_TRUE(output.Play(shortClip, true));
  // Count the returns to the start; a missed one only means more repeats.
  int repeats = 0;
  size_t last = 0;
  ASSERT_TRUE(WaitFor([&] {
    size_t now = output.PlayedBytes();
    repeats += now < last ? 1 : 0;
    last = now;
    return repeats >= 2;
  }));
  output.Stop();
  EXPECT_FALSE(output.IsPlaying());
  std::this_thread::sleep_for(std::chrono::milliseconds(50));

  PlayedStream played = Played();
  const std::vector<uint8_t> &loop = shortClip->Samples();
  ASSERT_TRUE(played.SkipSilenceBefore(loop));
  int whole = 0;
  while(played.TakeStartOf(loop) == loop.size())
    ++whole;
  EXPECT_GE(whole, 2);
  EXPECT_TRUE(played.SilentUpTo(played.bytes.size()));
}

TEST(AudioOutput, DamagedOrEndlessFilesAreRefusedBeforeTheirHeadersAreBelieved)
{
  TempFolder folder;
  ASSERT_TRUE(folder.Made());
  AudioOutput output;
  std::string error;

  // 51 bytes whose data chunk claims 3.9 GB: refused as it stands, without
  // asking for the memory.
  const std::filesystem::path claims =
    std::filesystem::path(VEXTORN_SOURCE_DIR) / "tests/fuzz/regressions/wav/data_chunk_of_3_9_gb.wav";
  EXPECT_FALSE(output.Load(claims.string(), error));
  EXPECT_NE(error.find("claims 3905662480 bytes"), std::string::npos) << error;

  // A sound at 1 Hz would be 44,100 times longer once converted.
  WriteMonoWav(folder / "slow.wav", 1, std::vector<int16_t>(20000, 100));
  error.clear();
  EXPECT_FALSE(output.Load(folder / "slow.wav", error));
  EXPECT_NE(error.find("too long"), std::string::npos) << error;

  // An odd-sized chunk before the data, with its padding byte, is fine; a
  // chunk header cut off at the end is not.
  WriteMonoWav(folder / "plain.wav", 8000, {1, 2, 3, 4});
  std::vector<uint8_t> bytes = ReadAll(folder / "plain.wav");
  const uint8_t extra[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  bytes.insert(bytes.begin() + 36, std::begin(extra), std::end(extra));
  bytes[4] = static_cast<uint8_t>(bytes[4] + sizeof extra);
  std::ofstream(folder / "padded.wav", std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                                static_cast<std::streamsize>(bytes.size()));
  error.clear();
  std::shared_ptr<const AudioClip> clip = output.Load(folder / "padded.wav", error);
  ASSERT_TRUE(clip) << error;
  // Four frames at 8000 Hz are about 22 at 44100 Hz.
  EXPECT_NEAR(static_cast<double>(clip->FrameCount()), 4 * 44100 / 8000.0, 2.0);
  bytes.insert(bytes.end(), {'x', 'y'});
  std::ofstream(folder / "cut.wav", std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                             static_cast<std::streamsize>(bytes.size()));
  EXPECT_FALSE(output.Load(folder / "cut.wav", error));
  EXPECT_NE(error.find("cut off"), std::string::npos) << error;
}

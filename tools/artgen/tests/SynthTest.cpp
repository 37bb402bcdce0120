// The sound building blocks: the noise source, the synthesiser and the WAV writer.
#include "NoiseSource.h"
#include "Synth.h"
#include "WavWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {
  int Peak(const std::vector<int16_t> &samples)
  {
    int peak = 0;
    for(int16_t s : samples)
      peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
  }

  // Upward zero crossings between two times, which count a tone's cycles.
  int Crossings(const std::vector<int16_t> &samples, double from, double to)
  {
    int count = 0;
    const size_t first = static_cast<size_t>(from * Synth::SampleRate);
    const size_t last = std::min(samples.size(), static_cast<size_t>(to * Synth::SampleRate));
    for(size_t n = first + 1; n < last; ++n)
      if(samples[n - 1] < 0 && samples[n] >= 0)
        ++count;
    return count;
  }
}

TEST(NoiseSource, SameSeedSameNoiseAndValuesStayInRange)
{
  NoiseSource a(1234);
  NoiseSource b(1234);
  NoiseSource c(4321);
  double sum = 0.0;
  bool differs = false;
  for(int i = 0; i < 10000; ++i)
  {
    const double va = a.Next();
    EXPECT_EQ(va, b.Next());
    differs = differs || va != c.Next();
    ASSERT_GE(va, -1.0);
    ASSERT_LT(va, 1.0);
    sum += va;
  }
  EXPECT_TRUE(differs);
  EXPECT_NEAR(sum / 10000, 0.0, 0.05);
  // A zero seed would lock xorshift at zero forever.
  NoiseSource zero(0);
  EXPECT_NE(zero.NextWord(), 0u);
}

TEST(Synth, ToneHasItsPitchAndGlides)
{
  Synth steady(1.0);
  Synth::Tone tone;
  tone.duration = 1.0;
  tone.freqStart = tone.freqEnd = 1000;
  steady.Add(tone);
  EXPECT_NEAR(Crossings(steady.Finish(-6), 0.0, 1.0), 1000, 2);

  // An exponential glide from 200 to 800 Hz passes 400 Hz half way.
  Synth glide(1.0);
  tone.freqStart = 200;
  tone.freqEnd = 800;
  glide.Add(tone);
  const std::vector<int16_t> samples = glide.Finish(-6);
  EXPECT_NEAR(Crossings(samples, 0.45, 0.55), 40, 3);
  EXPECT_NEAR(Crossings(samples, 0.0, 0.05), 10, 2);
  EXPECT_NEAR(Crossings(samples, 0.95, 1.0), 39, 3);
}

TEST(Synth, FinishSetsThePeakFadesBothEndsAndHandlesSilence)
{
  Synth s(0.2);
  Synth::Tone tone;
  tone.duration = 0.2;
  tone.attack = 0.0;
  tone.release = 0.0;
  tone.freqStart = tone.freqEnd = 3000;
  s.Add(tone);
  const std::vector<int16_t> samples = s.Finish(-6.0, 0.004, 0.006);
  ASSERT_EQ(samples.size(), static_cast<size_t>(0.2 * Synth::SampleRate));
  EXPECT_NEAR(Peak(samples), 32767 * std::pow(10.0, -6.0 / 20.0), 2);
  // The tone starts at full strength, yet the sound rises from silence.
  EXPECT_EQ(samples.front(), 0);
  EXPECT_EQ(samples.back(), 0);
  int firstMs = 0;
  for(int n = 0; n < Synth::SampleRate / 1000; ++n)
    firstMs = std::max(firstMs, std::abs(static_cast<int>(samples[n])));
  EXPECT_LT(firstMs, Peak(samples) / 3);

  // A silent sound stays silent instead of being scaled by infinity.
  Synth silent(0.05);
  const std::vector<int16_t> quiet = silent.Finish(-3.0);
  EXPECT_EQ(Peak(quiet), 0);
}

TEST(Synth, NotesRunningPastTheEndAreCutNotWrittenBeyond)
{
  Synth s(0.1);
  Synth::Tone late;
  late.start = 0.08;
  late.duration = 0.5;
  s.Add(late);
  Synth::Tone outside;
  outside.start = 0.3;
  s.Add(outside);
  NoiseSource noise(7);
  Synth::Noise hiss;
  hiss.start = 0.09;
  hiss.duration = 1.0;
  s.Add(hiss, noise);
  const std::vector<int16_t> samples = s.Finish(-3.0, 0.0, 0.0);
  ASSERT_EQ(samples.size(), static_cast<size_t>(0.1 * Synth::SampleRate));
  // Nothing before the first note starts.
  EXPECT_EQ(Peak(std::vector<int16_t>(samples.begin(), samples.begin() + Synth::SampleRate * 8 / 100)), 0);
  EXPECT_GT(Peak(samples), 0);
}

TEST(Synth, PulseGatesTheSound)
{
  Synth s(0.5);
  Synth::Tone tone;
  tone.duration = 0.5;
  tone.freqStart = tone.freqEnd = 2000;
  s.Add(tone);
  s.Pulse(0.0, 0.5, 10, 1.0);
  const std::vector<int16_t> samples = s.Finish(-3.0, 0.0, 0.0);
  // Depth 1 at 10 per second: silent at every tenth of a second, loud half way between.
  auto around = [&](double t) {
    const size_t c = static_cast<size_t>(t * Synth::SampleRate);
    return Peak(std::vector<int16_t>(samples.begin() + c - 20, samples.begin() + c + 20));
  };
  EXPECT_LT(around(0.2), Peak(samples) / 20);
  EXPECT_GT(around(0.25), Peak(samples) * 9 / 10);
}

TEST(WavWriter, WritesAPcmFileThatReadsBack)
{
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "artgen_wav_test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "t.wav").string();
  const std::vector<int16_t> samples = {0, 1, -1, 32767, -32768, 1234};
  ASSERT_TRUE(WavWriter::Write(path, samples, 22050));
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 44u + 12u);
  auto word = [&](size_t at, int count) {
    uint32_t v = 0;
    for(int i = count - 1; i >= 0; --i)
      v = (v << 8) | bytes[at + i];
    return v;
  };
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  EXPECT_EQ(word(4, 4), bytes.size() - 8);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(word(20, 2), 1u);       // PCM
  EXPECT_EQ(word(22, 2), 1u);       // mono
  EXPECT_EQ(word(24, 4), 22050u);   // sample rate
  EXPECT_EQ(word(28, 4), 44100u);   // bytes per second
  EXPECT_EQ(word(32, 2), 2u);       // bytes per frame
  EXPECT_EQ(word(34, 2), 16u);      // bits
  EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
  EXPECT_EQ(word(40, 4), 12u);
  for(size_t i = 0; i < samples.size(); ++i)
    EXPECT_EQ(static_cast<int16_t>(word(44 + 2 * i, 2)), samples[i]) << i;
  std::filesystem::remove_all(dir);

  EXPECT_FALSE(WavWriter::Write((dir / "missing" / "t.wav").string(), samples, 22050));
}

#pragma once

#include "NoiseSource.h"

#include <cstdint>
#include <vector>

// A mono sound being synthesised: oscillators and filtered noise mixed into
// a buffer of floating-point samples, then finished into 16-bit samples.
class Synth {
public:
  static constexpr int SampleRate = 44100;

  enum class Wave { Sine, Triangle, Saw, Bell };

  // One oscillator note. The frequency glides exponentially from freqStart
  // to freqEnd over the note; the envelope rises linearly over `attack`,
  // then decays exponentially with time constant `decay` (0: holds), and
  // falls linearly to zero over `release` at the note's end.
  struct Tone {
    double start = 0.0;
    double duration = 0.1;
    double freqStart = 440.0;
    double freqEnd = 440.0;
    double amplitude = 0.5;
    double attack = 0.004;
    double decay = 0.0;
    double release = 0.01;
    Wave wave = Wave::Sine;
    double vibratoDepth = 0.0;
    double vibratoRate = 6.0;
  };

  // One burst of noise through a band-pass filter whose centre glides from
  // centreStart to centreEnd; envelope as for Tone.
  struct Noise {
    double start = 0.0;
    double duration = 0.1;
    double centreStart = 1000.0;
    double centreEnd = 1000.0;
    double q = 1.0;
    double amplitude = 0.5;
    double attack = 0.004;
    double decay = 0.0;
    double release = 0.01;
  };

  explicit Synth(double seconds);

  void Add(const Tone &tone);
  void Add(const Noise &noise, NoiseSource &source);
  // Multiplies the samples from `start` for `duration` seconds by
  // 1 - depth * (1 - gate(t)), gate being a smooth pulse train of `rate` per second.
  void Pulse(double start, double duration, double rate, double depth);

  // Scales the sound so that its peak lies at `peakDb` dBFS (negative), fades
  // it in over the first `fadeIn` and out over the last `fadeOut` seconds,
  // and rounds to 16-bit samples.
  std::vector<int16_t> Finish(double peakDb, double fadeIn = 0.004, double fadeOut = 0.006) const;

  double Seconds() const { return static_cast<double>(samples.size()) / SampleRate; }

private:
  static double Envelope(double t, double duration, double attack, double decay, double release);

  std::vector<double> samples;
};

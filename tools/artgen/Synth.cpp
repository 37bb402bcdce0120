#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

double WaveAt(Synth::Wave wave, double phase)
{
  // phase in cycles; only the fractional part matters.
  const double p = phase - std::floor(phase);
  switch(wave)
  {
  case Synth::Wave::Sine:
    return std::sin(2 * Pi * p);
  case Synth::Wave::Triangle:
    return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
  case Synth::Wave::Saw:
    // A soft saw: the first six harmonics only, so it does not buzz harshly.
    {
      double sum = 0.0;
      for(int h = 1; h <= 6; ++h)
      {
        sum += std::sin(2 * Pi * h * p) / h;
      }
      return sum * 0.55;
    }
  case Synth::Wave::Bell:
    return std::sin(2 * Pi * p) + 0.35 * std::sin(4 * Pi * p) + 0.12 * std::sin(6 * Pi * p);
  }
  return 0.0;
}

}

Synth::Synth(double seconds) : samples(static_cast<size_t>(std::lround(seconds * SampleRate)), 0.0) {}

double Synth::Envelope(double t, double duration, double attack, double decay, double release)
{
  if(t < 0 || t >= duration)
  {
    return 0.0;
  }
  double level = attack > 0 && t < attack ? t / attack : 1.0;
  if(decay > 0)
  {
    level *= std::exp(-std::max(0.0, t - attack) / decay);
  }
  if(release > 0 && t > duration - release)
  {
    level *= (duration - t) / release;
  }
  return level;
}

void Synth::Add(const Tone &tone)
{
  const size_t first = static_cast<size_t>(std::lround(tone.start * SampleRate));
  const size_t count = static_cast<size_t>(std::lround(tone.duration * SampleRate));
  const double ratio = tone.freqEnd / tone.freqStart;
  double phase = 0.0;
  // A bell's upper partial (inharmonic, decays faster) gives it its ring.
  double partialPhase = 0.0;
  for(size_t n = 0; n < count && first + n < samples.size(); ++n)
  {
    const double t = static_cast<double>(n) / SampleRate;
    const double glide = std::pow(ratio, t / tone.duration);
    const double vibrato = 1.0 + tone.vibratoDepth * std::sin(2 * Pi * tone.vibratoRate * t);
    const double freq = tone.freqStart * glide * vibrato;
    phase += freq / SampleRate;
    partialPhase += freq * 2.76 / SampleRate;
    double value = WaveAt(tone.wave, phase);
    if(tone.wave == Wave::Bell)
    {
      value += 0.25 * std::sin(2 * Pi * (partialPhase - std::floor(partialPhase))) * std::exp(-t / 0.05);
    }
    samples[first + n] += tone.amplitude * Envelope(t, tone.duration, tone.attack, tone.decay, tone.release) * value;
  }
}

void Synth::Add(const Noise &noise, NoiseSource &source)
{
  const size_t first = static_cast<size_t>(std::lround(noise.start * SampleRate));
  const size_t count = static_cast<size_t>(std::lround(noise.duration * SampleRate));
  const double ratio = noise.centreEnd / noise.centreStart;
  // Chamberlin state-variable filter, band-pass output.
  double low = 0.0;
  double band = 0.0;
  const double damping = 1.0 / noise.q;
  for(size_t n = 0; n < count && first + n < samples.size(); ++n)
  {
    const double t = static_cast<double>(n) / SampleRate;
    const double centre = noise.centreStart * std::pow(ratio, t / noise.duration);
    const double f = 2.0 * std::sin(Pi * std::min(centre, SampleRate / 6.0) / SampleRate);
    const double input = source.Next();
    low += f * band;
    const double high = input - low - damping * band;
    band += f * high;
    samples[first + n] +=
      noise.amplitude * Envelope(t, noise.duration, noise.attack, noise.decay, noise.release) * band;
  }
}

void Synth::Pulse(double start, double duration, double rate, double depth)
{
  const size_t first = static_cast<size_t>(std::lround(start * SampleRate));
  const size_t count = static_cast<size_t>(std::lround(duration * SampleRate));
  for(size_t n = 0; n < count && first + n < samples.size(); ++n)
  {
    const double t = static_cast<double>(n) / SampleRate;
    const double gate = 0.5 - 0.5 * std::cos(2 * Pi * rate * t);
    samples[first + n] *= 1.0 - depth * (1.0 - gate);
  }
}

std::vector<int16_t> Synth::Finish(double peakDb, double fadeIn, double fadeOut) const
{
  std::vector<double> work = samples;
  const size_t total = work.size();
  const size_t inCount = static_cast<size_t>(fadeIn * SampleRate);
  const size_t outCount = static_cast<size_t>(fadeOut * SampleRate);
  for(size_t n = 0; n < inCount && n < total; ++n)
  {
    work[n] *= static_cast<double>(n) / static_cast<double>(inCount);
  }
  for(size_t n = 0; n < outCount && n < total; ++n)
  {
    work[total - 1 - n] *= static_cast<double>(n) / static_cast<double>(outCount);
  }
  double peak = 0.0;
  for(double v : work)
  {
    peak = std::max(peak, std::fabs(v));
  }
  const double target = 32767.0 * std::pow(10.0, peakDb / 20.0);
  const double gain = peak > 0 ? target / peak : 0.0;
  std::vector<int16_t> out(total);
  for(size_t n = 0; n < total; ++n)
  {
    out[n] = static_cast<int16_t>(std::lround(work[n] * gain));
  }
  return out;
}

#include "SoundArt.h"

#include "NoiseSource.h"
#include "Synth.h"
#include "WavWriter.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using Tone = Synth::Tone;
using Noise = Synth::Noise;
using Wave = Synth::Wave;

// Pointer enters a button: a tiny soft blip, heard very often.
std::vector<int16_t> Select()
{
  Synth s(0.05);
  Tone t;
  t.duration = 0.05;
  t.freqStart = 1250;
  t.freqEnd = 1600;
  t.amplitude = 0.6;
  t.attack = 0.003;
  t.decay = 0.014;
  t.release = 0.01;
  s.Add(t);
  return s.Finish(-16);
}

// A tool is chosen: two quick rising bell notes.
std::vector<int16_t> Selected()
{
  Synth s(0.22);
  Tone t;
  t.wave = Wave::Bell;
  t.duration = 0.14;
  t.freqStart = t.freqEnd = 1318.5;
  t.amplitude = 0.5;
  t.attack = 0.003;
  t.decay = 0.05;
  t.release = 0.02;
  s.Add(t);
  t.start = 0.07;
  t.duration = 0.15;
  t.freqStart = t.freqEnd = 1760;
  t.decay = 0.06;
  s.Add(t);
  return s.Finish(-5);
}

// A cube is placed: a round pop with a wooden knock under it.
std::vector<int16_t> Put()
{
  Synth s(0.16);
  NoiseSource noise(0x50F1);
  Tone pop;
  pop.duration = 0.12;
  pop.freqStart = 950;
  pop.freqEnd = 190;
  pop.amplitude = 0.8;
  pop.attack = 0.002;
  pop.decay = 0.035;
  pop.release = 0.02;
  s.Add(pop);
  Tone knock;
  knock.duration = 0.16;
  knock.freqStart = 420;
  knock.freqEnd = 380;
  knock.amplitude = 0.35;
  knock.attack = 0.002;
  knock.decay = 0.04;
  knock.release = 0.03;
  s.Add(knock);
  Noise snap;
  snap.duration = 0.03;
  snap.centreStart = 2600;
  snap.centreEnd = 1500;
  snap.q = 2.0;
  snap.amplitude = 0.5;
  snap.attack = 0.002;
  snap.decay = 0.006;
  s.Add(snap, noise);
  return s.Finish(-3);
}

// A cube is erased: a falling "poof" of air with a sinking tone.
std::vector<int16_t> Del()
{
  Synth s(0.34);
  NoiseSource noise(0xDE1);
  Noise poof;
  poof.duration = 0.34;
  poof.centreStart = 3200;
  poof.centreEnd = 380;
  poof.q = 1.6;
  poof.amplitude = 1.0;
  poof.attack = 0.02;
  poof.decay = 0.11;
  poof.release = 0.05;
  s.Add(poof, noise);
  Tone sink;
  sink.wave = Wave::Triangle;
  sink.duration = 0.26;
  sink.freqStart = 760;
  sink.freqEnd = 190;
  sink.amplitude = 0.3;
  sink.attack = 0.01;
  sink.decay = 0.09;
  sink.release = 0.04;
  s.Add(sink);
  return s.Finish(-4);
}

// The exit door: a cartoon creak as it swings, then a soft close.
std::vector<int16_t> Door()
{
  Synth s(1.0);
  NoiseSource noise(0xD00F);
  Tone creak;
  creak.wave = Wave::Saw;
  creak.duration = 0.62;
  creak.freqStart = 170;
  creak.freqEnd = 290;
  creak.amplitude = 0.45;
  creak.attack = 0.05;
  creak.release = 0.12;
  creak.vibratoDepth = 0.05;
  creak.vibratoRate = 7.5;
  s.Add(creak);
  Noise grain;
  grain.duration = 0.62;
  grain.centreStart = 900;
  grain.centreEnd = 1300;
  grain.q = 4;
  grain.amplitude = 0.5;
  grain.attack = 0.05;
  grain.release = 0.12;
  s.Add(grain, noise);
  // The stick-slip of a hinge: the creak comes in quick pulses.
  s.Pulse(0.0, 0.62, 31, 0.75);
  Tone thud;
  thud.start = 0.7;
  thud.duration = 0.3;
  thud.freqStart = 120;
  thud.freqEnd = 55;
  thud.amplitude = 0.9;
  thud.attack = 0.003;
  thud.decay = 0.08;
  thud.release = 0.05;
  s.Add(thud);
  Noise knock;
  knock.start = 0.7;
  knock.duration = 0.12;
  knock.centreStart = 500;
  knock.centreEnd = 250;
  knock.q = 1.2;
  knock.amplitude = 0.6;
  knock.attack = 0.002;
  knock.decay = 0.025;
  s.Add(knock, noise);
  Tone click;
  click.start = 0.7;
  click.duration = 0.05;
  click.freqStart = click.freqEnd = 1900;
  click.amplitude = 0.12;
  click.attack = 0.001;
  click.decay = 0.008;
  s.Add(click);
  return s.Finish(-3, 0.004, 0.03);
}

// Printing: a little motor hums while the print head zips to and fro, then a ding.
std::vector<int16_t> Print()
{
  Synth s(1.0);
  NoiseSource noise(0x9A1E);
  Tone motor;
  motor.wave = Wave::Triangle;
  motor.duration = 0.78;
  motor.freqStart = 110;
  motor.freqEnd = 118;
  motor.amplitude = 0.18;
  motor.attack = 0.04;
  motor.release = 0.06;
  s.Add(motor);
  for(int pass = 0; pass < 4; ++pass)
  {
    Noise zip;
    zip.start = 0.05 + pass * 0.18;
    zip.duration = 0.14;
    const bool right = pass % 2 == 0;
    zip.centreStart = right ? 1800 : 3200;
    zip.centreEnd = right ? 3200 : 1800;
    zip.q = 5;
    zip.amplitude = 0.7;
    zip.attack = 0.015;
    zip.release = 0.03;
    s.Add(zip, noise);
  }
  // The head moves in little steps.
  s.Pulse(0.05, 0.72, 48, 0.5);
  Tone ding;
  ding.wave = Wave::Bell;
  ding.start = 0.78;
  ding.duration = 0.22;
  ding.freqStart = ding.freqEnd = 2093;
  ding.amplitude = 0.4;
  ding.attack = 0.002;
  ding.decay = 0.07;
  ding.release = 0.03;
  s.Add(ding);
  return s.Finish(-4, 0.004, 0.02);
}

// Start: a bright rising arpeggio that ends in a shimmer.
std::vector<int16_t> Start()
{
  Synth s(1.0);
  NoiseSource noise(0x57A7);
  const double notes[] = {523.25, 659.25, 783.99, 1046.5};
  for(int i = 0; i < 4; ++i)
  {
    Tone t;
    t.wave = Wave::Bell;
    t.start = i * 0.11;
    t.duration = 1.0 - t.start;
    t.freqStart = t.freqEnd = notes[i];
    t.amplitude = i == 3 ? 0.5 : 0.38;
    t.attack = 0.004;
    t.decay = i == 3 ? 0.28 : 0.16;
    t.release = 0.08;
    t.vibratoDepth = i == 3 ? 0.004 : 0.0;
    s.Add(t);
    // A quiet octave above for sparkle.
    t.freqStart = t.freqEnd = notes[i] * 2;
    t.amplitude *= 0.25;
    t.decay *= 0.6;
    s.Add(t);
  }
  Noise shimmer;
  shimmer.start = 0.33;
  shimmer.duration = 0.5;
  shimmer.centreStart = 6000;
  shimmer.centreEnd = 9000;
  shimmer.q = 6;
  shimmer.amplitude = 0.12;
  shimmer.attack = 0.05;
  shimmer.decay = 0.15;
  shimmer.release = 0.1;
  s.Add(shimmer, noise);
  return s.Finish(-3, 0.004, 0.05);
}

// End: a gentle falling "bye-bye" tune that settles on a soft chord.
std::vector<int16_t> End()
{
  Synth s(2.0);
  struct Note {
    double start;
    double freq;
    double decay;
    double amplitude;
  };
  const Note notes[] = {
    {0.0, 783.99, 0.22, 0.4},  {0.22, 659.25, 0.22, 0.4}, {0.44, 587.33, 0.22, 0.4},
    {0.7, 523.25, 0.6, 0.42},  {0.7, 392.0, 0.6, 0.3},    {0.7, 261.63, 0.7, 0.3},
  };
  for(const Note &n : notes)
  {
    Tone t;
    t.wave = Wave::Bell;
    t.start = n.start;
    t.duration = 2.0 - n.start;
    t.freqStart = t.freqEnd = n.freq;
    t.amplitude = n.amplitude;
    t.attack = 0.006;
    t.decay = n.decay;
    t.release = 0.3;
    t.vibratoDepth = n.start >= 0.7 ? 0.003 : 0.0;
    t.vibratoRate = 5.0;
    s.Add(t);
  }
  return s.Finish(-4, 0.004, 0.3);
}

// A short felt-pen scribble: quick back-and-forth strokes of soft hiss.
std::vector<int16_t> Draw()
{
  Synth s(0.36);
  NoiseSource noise(0x5C21);
  for(int stroke = 0; stroke < 4; ++stroke)
  {
    Noise n;
    n.start = 0.01 + stroke * 0.085;
    n.duration = 0.08;
    const bool up = stroke % 2 == 0;
    n.centreStart = up ? 1500 : 2600;
    n.centreEnd = up ? 2600 : 1500;
    n.q = 2.5;
    n.amplitude = stroke == 3 ? 0.7 : 1.0;
    n.attack = 0.015;
    n.release = 0.03;
    s.Add(n, noise);
  }
  return s.Finish(-6);
}

// A step taken back: a soft round tone that slides down, then a quiet lower tap.
std::vector<int16_t> Undo()
{
  Synth s(0.2);
  Tone slide;
  slide.duration = 0.13;
  slide.freqStart = 880;
  slide.freqEnd = 520;
  slide.amplitude = 0.7;
  slide.attack = 0.006;
  slide.decay = 0.07;
  slide.release = 0.03;
  s.Add(slide);
  Tone tap;
  tap.wave = Wave::Triangle;
  tap.start = 0.11;
  tap.duration = 0.09;
  tap.freqStart = tap.freqEnd = 440;
  tap.amplitude = 0.35;
  tap.attack = 0.004;
  tap.decay = 0.03;
  tap.release = 0.03;
  s.Add(tap);
  return s.Finish(-9, 0.004, 0.02);
}

// A step done again: the same soft tone sliding up, then a quiet higher tap.
std::vector<int16_t> Redo()
{
  Synth s(0.2);
  Tone slide;
  slide.duration = 0.13;
  slide.freqStart = 520;
  slide.freqEnd = 880;
  slide.amplitude = 0.7;
  slide.attack = 0.006;
  slide.decay = 0.07;
  slide.release = 0.03;
  s.Add(slide);
  Tone tap;
  tap.wave = Wave::Triangle;
  tap.start = 0.11;
  tap.duration = 0.09;
  tap.freqStart = tap.freqEnd = 1046.5;
  tap.amplitude = 0.35;
  tap.attack = 0.004;
  tap.decay = 0.03;
  tap.release = 0.03;
  s.Add(tap);
  return s.Finish(-9, 0.004, 0.02);
}

}

std::vector<SoundArt::Entry> SoundArt::Make()
{
  static_assert(SampleRate == Synth::SampleRate, "the sounds are written at the synthesis rate");
  return {
    {"start.wav", Start()}, {"end.wav", End()},   {"select.wav", Select()}, {"selected.wav", Selected()},
    {"door.wav", Door()},   {"draw.wav", Draw()}, {"put.wav", Put()},       {"del.wav", Del()},
    {"print.wav", Print()}, {"undo.wav", Undo()}, {"redo.wav", Redo()},
  };
}

bool SoundArt::WriteAll(const std::vector<Entry> &sounds, const std::string &folder)
{
  for(const Entry &e : sounds)
  {
    if(!WavWriter::Write(folder + "/" + e.name, e.samples, SampleRate))
    {
      return false;
    }
  }
  return true;
}

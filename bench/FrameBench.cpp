// The cost of one frame of the creation screen on a real OpenGL context (run
// it with SDL_VIDEODRIVER=offscreen from the repository root), with 0, 100,
// 1,000 and 2,000 cubes: at rest (pointer still), with the pointer moving
// (the cursor follows) and with the hand turning the view. CPU time is the
// whole process's (the software renderer draws on threads of its own), per
// frame; wall time includes the wait for the display's refresh.
//
//   frame_bench [frames per case] [rest|pointer|hand CUBES]
//
// With a motion and a cube count, only that case runs (for profiling).

#include "rig/ScreenRig.h"

#include "events/Studio.h"
#include "model/PaletteColour.h"
#include "model/VoxelModel.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
  double Seconds(clockid_t clock)
  {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  }

  // A model file with the room and `cubes` cubes of every colour heaped
  // around the middle of the room (overlapping), a few texels painted.
  bool WriteModel(const std::string &path, int cubes)
  {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if(!file)
      return false;
    const int32_t count = cubes + 1;
    std::fwrite(&count, sizeof count, 1, file);
    const float room[3] = {0.f, 0.f, 0.f};
    std::fwrite(room, sizeof(float), 3, file);
    std::vector<uint8_t> wall(1024 * 1024 * 3, 255);
    for(int i = 0; i < 40; ++i)
      wall[(static_cast<size_t>(i) * 1024 + i) * 3 + 1] = 0;
    for(int f = 0; f < 6; ++f)
      std::fwrite(wall.data(), 1, wall.size(), file);
    uint32_t seed = 7;
    std::vector<uint8_t> face(64 * 64 * 3);
    for(int c = 0; c < cubes; ++c)
    {
      seed = seed * 1103515245u + 12345u;
      const float centre[3] = {static_cast<float>(static_cast<int>((seed >> 8) % 400) - 200),
                               static_cast<float>(static_cast<int>((seed >> 16) % 300) - 200),
                               static_cast<float>(static_cast<int>((seed >> 4) % 400) - 200)};
      std::fwrite(centre, sizeof(float), 3, file);
      const RgbColour colour = PaletteRgb(static_cast<PaletteColour>(c % PaletteColourCount));
      for(size_t t = 0; t < 64 * 64; ++t)
      {
        face[t * 3] = colour.red;
        face[t * 3 + 1] = colour.green;
        face[t * 3 + 2] = colour.blue;
      }
      face[(2 * 64 + 3) * 3] = 0;
      for(int f = 0; f < 6; ++f)
        std::fwrite(face.data(), 1, face.size(), file);
    }
    return std::fclose(file) == 0;
  }

  struct Cost {
    double cpuMs = 0.0;
    double wallMs = 0.0;
  };

  enum class Motion { Rest, Pointer, Hand };

  Cost Measure(ScreenRig &rig, Motion motion, int frames)
  {
    ScreenRig::ScriptedInput &input = rig.Input();
    const int cx = 371, cy = 296;
    rig.MoveTo(cx, cy);
    if(motion == Motion::Hand)
      input.Set(Key::LeftButton, true);
    // Settle: the press, and a frame at the starting point.
    rig.Frames(3);
    const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double wall0 = Seconds(CLOCK_MONOTONIC);
    for(int i = 0; i < frames; ++i)
    {
      if(motion == Motion::Pointer)
        rig.MoveTo(cx + static_cast<int>(120 * std::cos(i * 0.05)), cy + static_cast<int>(80 * std::sin(i * 0.05)));
      else if(motion == Motion::Hand)
        rig.MoveTo(cx + (i % 200) - 100, cy);
      rig.Frame();
    }
    // Whatever the renderer still has queued belongs to these frames.
    rig.BackBuffer();
    const double cpu1 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double wall1 = Seconds(CLOCK_MONOTONIC);
    input.Set(Key::LeftButton, false);
    rig.Frames(2);
    return {(cpu1 - cpu0) * 1000.0 / frames, (wall1 - wall0) * 1000.0 / frames};
  }
}

int main(int argc, char **argv)
{
  const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 120;
  // One case alone, when asked for.
  int onlyMotion = -1;
  int onlyCount = -1;
  if(argc > 3)
  {
    const std::string motion = argv[2];
    onlyMotion = motion == "rest" ? 0 : motion == "pointer" ? 1 : motion == "hand" ? 2 : -1;
    onlyCount = std::atoi(argv[3]);
    if(onlyMotion < 0 || onlyCount < 0)
    {
      std::fprintf(stderr, "frame_bench: unknown case %s %s\n", argv[2], argv[3]);
      return 2;
    }
  }
  ScreenRig rig;
  if(!rig.Start())
    return 1;
  if(!rig.EnterCreation())
  {
    std::fprintf(stderr, "frame_bench: the creation screen did not come up\n");
    return 1;
  }
  Studio &studio = rig.GetStudio();
  // The hand tool is the fourth button of the studio's list.
  rig.ChooseTool(3);

  const int counts[] = {0, 100, 1000, 2000};
  const char *names[] = {"rest", "pointer moving", "hand turning"};
  Cost costs[4][3];
  char path[] = "/tmp/vextorn-frame-bench-XXXXXX";
  const int descriptor = mkstemp(path);
  if(descriptor < 0)
    return 1;
  close(descriptor);
  if(onlyMotion >= 0)
  {
    if(!WriteModel(path, onlyCount) || !studio.Model()->Load(path))
    {
      unlink(path);
      return 1;
    }
    unlink(path);
    const Cost cost = Measure(rig, static_cast<Motion>(onlyMotion), frames);
    std::printf("%s, %d cubes: %.2f ms CPU / %.2f ms wall per frame\n", names[onlyMotion], onlyCount, cost.cpuMs,
                cost.wallMs);
    return 0;
  }
  for(int c = 0; c < 4; ++c)
  {
    if(!WriteModel(path, counts[c]) || !studio.Model()->Load(path))
    {
      std::fprintf(stderr, "frame_bench: could not make a model of %d cubes\n", counts[c]);
      unlink(path);
      return 1;
    }
    for(int m = 0; m < 3; ++m)
      costs[c][m] = Measure(rig, static_cast<Motion>(m), frames);
  }
  unlink(path);

  std::printf("frame cost, %d frames per case (CPU ms of the whole process / wall ms)\n", frames);
  std::printf("%-16s", "cubes");
  for(int c = 0; c < 4; ++c)
    std::printf("%18d", counts[c]);
  std::printf("%16s\n", "1000 / 0");
  for(int m = 0; m < 3; ++m)
  {
    std::printf("%-16s", names[m]);
    for(int c = 0; c < 4; ++c)
      std::printf("%9.2f /%6.2f ", costs[c][m].cpuMs, costs[c][m].wallMs);
    std::printf("%15.1fx\n", costs[2][m].cpuMs / std::max(costs[0][m].cpuMs, 1e-6));
  }
  return 0;
}

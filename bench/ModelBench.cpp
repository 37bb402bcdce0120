// Timings of the model's per-change and per-frame work on a headless device,
// with a deterministic model seen from the camera's starting pose, and of the
// model file beside plain writes and reads of the same number of bytes.

#include "create/OrbitCamera.h"
#include "gfx/GraphicsDevice.h"
#include "model/VoxelModel.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

// Every allocation of the program is counted, so that the per-frame and
// per-change work can show that it allocates nothing.
namespace {
  std::atomic<long> allocations{0};
}

// The replaced new takes its memory from malloc, so free is the matching release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void *operator new(size_t size)
{
  ++allocations;
  if(void *p = std::malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}

void operator delete(void *p) noexcept
{
  std::free(p);
}

void operator delete(void *p, size_t) noexcept
{
  std::free(p);
}

#pragma GCC diagnostic pop

namespace {
  // Allocations made by the timed loop, per iteration.
  class AllocationCounter {
  public:
    explicit AllocationCounter(benchmark::State &state) : state(state), start(allocations.load()) {}
    ~AllocationCounter()
    {
      const double perIteration = state.iterations() ? static_cast<double>(allocations.load() - start) /
                                                         static_cast<double>(state.iterations())
                                                     : 0.0;
      state.counters["allocs/iter"] = perIteration;
    }

  private:
    benchmark::State &state;
    long start = 0;
  };

  // A headless device, the camera turned to its starting pose (yaw 45,
  // pitch 30) and a model of the room and `cubes` cubes: half of them spread
  // over the floor, half stacked in columns around the origin, in front of
  // the camera. The positions come from a fixed linear congruential sequence.
  class Scene {
  public:
    explicit Scene(int cubes)
    {
      if(!device.CreateHeadless() || !camera.Init(device, 640, 480))
        std::abort();
      camera.Rotate(45.f, 30.f);
      camera.Apply();
      device.SetViewport(Viewport{118, 128, 506, 336, 0.f, 1.f});
      VoxelModelSetup setup;
      setup.device = &device;
      if(!model.Init(setup))
        std::abort();
      uint32_t seed = 12345;
      auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
      };
      const RgbColour colours[3] = {{255, 0, 0}, {0, 255, 0}, {255, 255, 0}};
      for(int i = 0; i < cubes; ++i)
      {
        Vector3 centre;
        if(i % 2 == 0)
          centre = Vector3(static_cast<float>(next(600) - 300), -300.f, static_cast<float>(next(600) - 300));
        else
        {
          const int column = next(16);
          centre = Vector3(static_cast<float>((column % 4) * 40 - 60), static_cast<float>(-300 + 40 * next(12)),
                           static_cast<float>((column / 4) * 40 - 60));
        }
        // As AddCube, without its refresh per cube.
        auto cube = std::make_unique<CubeMesh>();
        if(!cube->Build(device, centre, model.HalfSize(), colours[i % 3]))
          std::abort();
        model.Add(cube.release());
      }
      model.RefreshPickBuffer(device);
    }

    GraphicsDevice device;
    OrbitCamera camera;
    VoxelModel model;
  };

  std::string BenchFile(const char *name)
  {
    const char *folder = std::getenv("VEXTORN_BENCH_DIR");
    return std::string(folder ? folder : "/tmp") + "/" + name;
  }

  int64_t FileBytes(int cubes)
  {
    return VoxelModel::CountBytes + VoxelModel::RoomRecordBytes + VoxelModel::CubeRecordBytes * cubes;
  }

  void Render(benchmark::State &state)
  {
    Scene scene(100);
    scene.model.Render(scene.device);
    AllocationCounter counter(state);
    for(auto _ : state)
      scene.model.Render(scene.device);
    state.SetLabel("two batch draws recorded (no rasterising on a headless device), room + 100 cubes");
  }
  BENCHMARK(Render)->Unit(benchmark::kMicrosecond);

  void RefreshPickBuffer(benchmark::State &state)
  {
    Scene scene(static_cast<int>(state.range(0)));
    AllocationCounter counter(state);
    for(auto _ : state)
    {
      scene.model.RefreshPickBuffer(scene.device);
      benchmark::DoNotOptimize(scene.model.RecordAt(371, 296).face);
    }
    state.SetLabel("room + " + std::to_string(state.range(0)) + " cubes");
  }
  // The pick buffer is drawn on helper threads: CPU time is the whole process's.
  BENCHMARK(RefreshPickBuffer)
    ->Arg(0)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

  // As a hand drag: the camera turns by a few degrees between refreshes,
  // sweeping through steep poses where faces stand edge-on.
  void TurningRefresh(benchmark::State &state)
  {
    Scene scene(static_cast<int>(state.range(0)));
    int step = 0;
    AllocationCounter counter(state);
    for(auto _ : state)
    {
      scene.camera.Rotate(7.f, step++ % 20 < 10 ? 5.f : -5.f);
      scene.camera.Apply();
      scene.model.RefreshPickBuffer(scene.device);
      benchmark::DoNotOptimize(scene.model.RecordAt(371, 296).face);
    }
    state.SetLabel("room + " + std::to_string(state.range(0)) + " cubes, camera turning");
  }
  BENCHMARK(TurningRefresh)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

  void DrawOutlines(benchmark::State &state)
  {
    Scene scene(100);
    AllocationCounter counter(state);
    for(auto _ : state)
      scene.model.DrawOutlines(scene.device);
    state.SetLabel("recording the overlay sprite (the mask follows the pick buffer), room + 100 cubes");
  }
  BENCHMARK(DrawOutlines)->Unit(benchmark::kMillisecond);

  // A pen stroke of 500 points on a line across the model area, as a drag
  // paints it one pixel at a time.
  void PenStroke(benchmark::State &state)
  {
    Scene scene(100);
    const RgbColour pens[2] = {{255, 0, 0}, {0, 0, 255}};
    int stroke = 0;
    int painted = 0;
    AllocationCounter counter(state);
    for(auto _ : state)
    {
      const RgbColour &pen = pens[stroke++ % 2];
      for(int i = 0; i < 500; ++i)
        painted += scene.model.PaintAt(scene.device, 121 + i, 150 + (i * 290) / 500, pen);
    }
    state.counters["painted per stroke"] = static_cast<double>(painted) / static_cast<double>(stroke);
  }
  BENCHMARK(PenStroke)->Unit(benchmark::kMillisecond);

  void SaveModel(benchmark::State &state)
  {
    Scene scene(100);
    const std::string path = BenchFile("vextorn-bench-model.data");
    for(auto _ : state)
      if(!scene.model.Save(path))
        state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * FileBytes(100));
    std::remove(path.c_str());
  }
  BENCHMARK(SaveModel)->Unit(benchmark::kMillisecond)->UseRealTime();

  // Argument 0: Load as the toy calls it, which returns while the pick
  // buffer is still being redrawn on its helper threads. Argument 1: Load and
  // then a read of the pick buffer, which waits for that redraw.
  void LoadModel(benchmark::State &state)
  {
    Scene scene(100);
    const std::string path = BenchFile("vextorn-bench-model.data");
    if(!scene.model.Save(path))
      state.SkipWithError("save failed");
    for(auto _ : state)
    {
      if(!scene.model.Load(path))
        state.SkipWithError("load failed");
      if(state.range(0))
        benchmark::DoNotOptimize(scene.model.RecordAt(0, 0));
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(100));
    state.SetLabel(state.range(0) ? "pick buffer redrawn" : "returns while the pick buffer is redrawn");
    std::remove(path.c_str());
  }
  BENCHMARK(LoadModel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

  // The same number of bytes written with one fwrite and closed; with the
  // argument 1 also synced to disk before closing, as Save does.
  void PlainWrite(benchmark::State &state)
  {
    const std::vector<uint8_t> bytes(static_cast<size_t>(FileBytes(100)), 0xFF);
    const std::string path = BenchFile("vextorn-bench-plain.data");
    for(auto _ : state)
    {
      std::FILE *file = std::fopen(path.c_str(), "wb");
      if(!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        state.SkipWithError("write failed");
      if(file && state.range(0))
      {
        std::fflush(file);
        fsync(fileno(file));
      }
      if(file)
        std::fclose(file);
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(100));
    state.SetLabel(state.range(0) ? "with fsync" : "no fsync");
    std::remove(path.c_str());
  }
  BENCHMARK(PlainWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

  // The model file's own bytes read back. Argument 0: with one fread into one
  // buffer that every iteration reuses. Argument 1: as Load reads them, so
  // that the two compare fairly: each record's centre, then each face
  // straight into a freshly allocated buffer of its size (bytes not
  // initialised, as a face image's), the previous iteration's buffers freed
  // only after the new ones were read (as Load frees the model it replaces).
  void PlainRead(benchmark::State &state)
  {
    const std::string path = BenchFile("vextorn-bench-plain.data");
    {
      Scene scene(100);
      if(!scene.model.Save(path))
        state.SkipWithError("save failed");
    }
    const size_t total = static_cast<size_t>(FileBytes(100));
    const size_t roomFace = static_cast<size_t>(VoxelModel::RoomRecordBytes - 12) / 6;
    const size_t cubeFace = static_cast<size_t>(VoxelModel::CubeRecordBytes - 12) / 6;
    std::vector<uint8_t> bytes(total, 0xFF);
    std::vector<std::unique_ptr<uint8_t[]>> faces;
    std::vector<std::unique_ptr<uint8_t[]>> previous;
    for(auto _ : state)
    {
      std::FILE *file = std::fopen(path.c_str(), "rb");
      bool ok = file != nullptr;
      if(ok && state.range(0) == 0)
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
      else if(ok)
      {
        int32_t count = 0;
        ok = std::fread(&count, sizeof count, 1, file) == 1 && count == 101;
        faces.clear();
        faces.reserve(6 * 101);
        for(int32_t record = 0; ok && record < count; ++record)
        {
          float centre[3] = {};
          ok = std::fread(centre, sizeof(float), 3, file) == 3;
          const size_t faceBytes = record == 0 ? roomFace : cubeFace;
          for(int f = 0; ok && f < 6; ++f)
          {
            faces.emplace_back(new uint8_t[faceBytes]);
            ok = std::fread(faces.back().get(), 1, faceBytes, file) == faceBytes;
          }
        }
        previous.swap(faces);
      }
      if(!ok)
        state.SkipWithError("read failed");
      if(file)
        std::fclose(file);
      benchmark::DoNotOptimize(bytes.data());
      benchmark::DoNotOptimize(previous.data());
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(100));
    state.SetLabel(state.range(0) ? "fresh buffer per face, as Load" : "one reused buffer");
    std::remove(path.c_str());
  }
  BENCHMARK(PlainRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_MAIN();

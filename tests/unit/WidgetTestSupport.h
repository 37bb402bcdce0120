#pragma once

// Helpers shared by the widget tests: a scratch folder with made-up pictures,
// a back end that records every sprite drawn, and a sound sink that records
// every sound played.
#include "events/SoundSink.h"
#include "gfx/GraphicsDevice.h"
#include "gfx/HeadlessBackend.h"
#include "res/DataFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace WidgetTestSupport {
  // A BMP file of any bit count whose rows (top row first, unpadded) come
  // from `row`, stored bottom-up with each row padded to four bytes.
  inline void WriteRawBmp(const std::string &path, int width, int height, int bitCount,
                          const std::function<std::vector<uint8_t>(int)> &row)
  {
    const size_t rowBytes = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
    std::vector<uint8_t> file(54 + rowBytes * height, 0);
    auto put32 = [&](size_t at, uint32_t value) {
      for(int i = 0; i < 4; ++i)
        file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = static_cast<uint8_t>(bitCount);
    put32(34, static_cast<uint32_t>(rowBytes * height));
    for(int y = 0; y < height; ++y)
    {
      const std::vector<uint8_t> bytes = row(y);
      std::copy(bytes.begin(), bytes.end(), file.begin() + 54 + static_cast<std::ptrdiff_t>((height - 1 - y) * rowBytes));
    }
    std::FILE *out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr) << path;
    EXPECT_EQ(std::fwrite(file.data(), 1, file.size(), out), file.size());
    std::fclose(out);
  }

  // Writes a 24-bit bottom-up BMP whose pixel (x, y), y counted from the top,
  // is pixel(x, y) as 0x00RRGGBB. The pictures of the tests are all BMPs:
  // textures tell the format from the file's first bytes, not from its name.
  inline void WriteBmp(const std::string &path, int width, int height,
                       const std::function<uint32_t(int, int)> &pixel)
  {
    WriteRawBmp(path, width, height, 24, [&](int y) {
      std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
      for(int x = 0; x < width; ++x)
      {
        const uint32_t rgb = pixel(x, y);
        row[static_cast<size_t>(x) * 3] = static_cast<uint8_t>(rgb);
        row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
        row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(rgb >> 16);
      }
      return row;
    });
  }

  // A one-colour picture of width by height.
  inline void WritePlain(const std::string &path, int width = 4, int height = 4, uint32_t rgb = 0x808080)
  {
    WriteBmp(path, width, height, [rgb](int, int) { return rgb; });
  }

  // The data/ folder of the current directory (ScratchData's or the source
  // tree's), as the widgets are given it.
  inline DataFiles CurrentDataFiles()
  {
    return DataFiles("data");
  }

  // A fresh folder with an empty "data" folder that is the current directory
  // while the object lives; CurrentDataFiles() then names files inside it.
  class ScratchData {
  public:
    ScratchData()
      : previous(std::filesystem::current_path())
    {
      std::string pattern = (std::filesystem::temp_directory_path() / "vextorn-widgets-XXXXXX").string();
      if(mkdtemp(pattern.data()))
        root = pattern;
      std::filesystem::create_directories(root / "data");
      std::filesystem::current_path(root);
    }
    ScratchData(const ScratchData &) = delete;
    ScratchData &operator=(const ScratchData &) = delete;
    ~ScratchData()
    {
      std::error_code ignored;
      std::filesystem::current_path(previous, ignored);
      std::filesystem::remove_all(root, ignored);
    }

    static std::string Path(const std::string &name) { return "data/" + name; }

  private:
    std::filesystem::path previous;
    std::filesystem::path root;
  };

  // Makes the source tree the current directory while the object lives, so
  // that "data/..." names reach the repository's own pictures.
  class InSourceTree {
  public:
    InSourceTree()
      : previous(std::filesystem::current_path())
    {
      std::filesystem::current_path(VEXTORN_SOURCE_DIR);
    }
    InSourceTree(const InSourceTree &) = delete;
    InSourceTree &operator=(const InSourceTree &) = delete;
    ~InSourceTree()
    {
      std::error_code ignored;
      std::filesystem::current_path(previous, ignored);
    }

    // Whether the pictures have been generated into data/ (they are made by
    // the art generator, not stored by hand).
    static bool HasPictures() { return std::filesystem::exists("data/peke.png"); }

  private:
    std::filesystem::path previous;
  };

  // Sets (or, with null, removes) an environment variable while it lives.
  class ScopedVariable {
  public:
    ScopedVariable(const char *name, const char *value)
      : name(name)
    {
      if(const char *old = std::getenv(name))
        previous = old;
      hadValue = std::getenv(name) != nullptr;
      if(value)
        setenv(name, value, 1);
      else
        unsetenv(name);
    }
    ScopedVariable(const ScopedVariable &) = delete;
    ScopedVariable &operator=(const ScopedVariable &) = delete;
    ~ScopedVariable()
    {
      if(hadValue)
        setenv(name.c_str(), previous.c_str(), 1);
      else
        unsetenv(name.c_str());
    }

  private:
    std::string name;
    std::string previous;
    bool hadValue = false;
  };

  // Remembers every sound asked for, in order.
  class RecordingSounds : public SoundSink {
  public:
    void Play(SoundId id) const override { played.push_back(id); }

    int Count(SoundId id) const
    {
      int count = 0;
      for(SoundId each : played)
        count += each == id;
      return count;
    }

    mutable std::vector<SoundId> played;
  };

  // One sprite as the device handed it to the back end.
  struct DrawnSprite {
    const DeviceTexture *texture = nullptr;
    SpriteQuad quad;
  };

  // A memory back end that also keeps every sprite drawn. The device owns it;
  // the test keeps a plain pointer to read the record, which Drawn brings up
  // to date with what the device has recorded.
  class SpriteRecorder : public HeadlessBackend {
  public:
    SpriteRecorder() : HeadlessBackend(640, 480) {}

    void DrawSprite(const DeviceTexture &texture, const SpriteQuad &quad) override
    {
      HeadlessBackend::DrawSprite(texture, quad);
      drawn.push_back({&texture, quad});
    }

    void SetDevice(GraphicsDevice *owner) { device = owner; }
    const std::vector<DrawnSprite> &Drawn()
    {
      if(device)
        device->ExecutePending();
      return drawn;
    }

  private:
    std::vector<DrawnSprite> drawn;
    GraphicsDevice *device = nullptr;
  };
}

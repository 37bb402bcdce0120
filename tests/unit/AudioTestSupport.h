#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

// Helpers for the sound tests: WAV files written on the spot, a private
// temporary folder, and environment variables set for one test only.
namespace AudioTestSupport {
  // Writes a 16-bit mono PCM WAV file (little-endian machine assumed).
  inline void WriteMonoWav(const std::filesystem::path &path, int frequency, const std::vector<int16_t> &samples)
  {
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    uint32_t header[11] = {0x46464952, 36 + dataBytes, 0x45564157, 0x20746D66, 16, 0x00010001,
                           static_cast<uint32_t>(frequency), static_cast<uint32_t>(frequency) * 2, 0x00100002,
                           0x61746164, dataBytes};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(header), sizeof header);
    out.write(reinterpret_cast<const char *>(samples.data()), static_cast<std::streamsize>(dataBytes));
  }

  // A straight line of samples from `from` towards `to`. A ramp never repeats
  // itself, so a clip cut off and followed by another cannot pass for an uncut one.
  inline std::vector<int16_t> Ramp(size_t count, double from, double to)
  {
    std::vector<int16_t> samples(count);
    for(size_t i = 0; i < count; ++i)
      samples[i] = static_cast<int16_t>(std::lround(from + (to - from) * static_cast<double>(i) / static_cast<double>(count)));
    return samples;
  }

  inline std::vector<uint8_t> ReadAll(const std::filesystem::path &path)
  {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // A fresh folder under the system's temporary folder, removed with its content.
  class TempFolder {
  public:
    TempFolder()
    {
      std::string pattern = (std::filesystem::temp_directory_path() / "vextorn-sound-XXXXXX").string();
      if(mkdtemp(pattern.data()))
        path = pattern;
    }
    ~TempFolder()
    {
      std::error_code ignored;
      if(!path.empty())
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string &name) const { return (path / name).string(); }
    bool Made() const { return !path.empty(); }

  private:
    std::filesystem::path path;
  };

  // Sets an environment variable and restores its old value on destruction.
  class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::string &value) : name(std::move(name))
    {
      if(const char *old = std::getenv(this->name.c_str()))
        previous = old;
      setenv(this->name.c_str(), value.c_str(), 1);
    }
    ~ScopedEnv()
    {
      if(previous)
        setenv(name.c_str(), previous->c_str(), 1);
      else
        unsetenv(name.c_str());
    }

  private:
    std::string name;
    std::optional<std::string> previous;
  };
}

#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

// Helpers for the sound tests: WAV files written on the spot, a private
// temporary folder, and environment variables set for one test only.
namespace AudioTestSupport {
  // Writes a canonical 44-byte-header PCM WAV file of interleaved samples.
  inline void WriteWav(const std::filesystem::path &path, int frequency, int channels, int bitsPerSample,
                       const std::vector<uint8_t> &data)
  {
    auto put32 = [](std::string &out, uint32_t v) {
      for(int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [](std::string &out, uint16_t v) {
      out.push_back(static_cast<char>(v & 0xFF));
      out.push_back(static_cast<char>(v >> 8));
    };
    uint16_t blockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
    std::string file = "RIFF";
    put32(file, static_cast<uint32_t>(36 + data.size()));
    file += "WAVEfmt ";
    put32(file, 16);
    put16(file, 1);
    put16(file, static_cast<uint16_t>(channels));
    put32(file, static_cast<uint32_t>(frequency));
    put32(file, static_cast<uint32_t>(frequency) * blockAlign);
    put16(file, blockAlign);
    put16(file, static_cast<uint16_t>(bitsPerSample));
    file += "data";
    put32(file, static_cast<uint32_t>(data.size()));
    file.append(data.begin(), data.end());
    std::ofstream(path, std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
  }

  // 16-bit mono samples as little-endian bytes.
  inline std::vector<uint8_t> Mono16(const std::vector<int16_t> &samples)
  {
    std::vector<uint8_t> bytes;
    for(int16_t s : samples)
    {
      bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) & 0xFF));
      bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
    }
    return bytes;
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
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    ~TempFolder()
    {
      std::error_code ignored;
      if(!path.empty())
        std::filesystem::remove_all(path, ignored);
    }
    const std::filesystem::path &Path() const { return path; }

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
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;
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

#pragma once

// Helpers for the picture tests: a private temporary folder, and BMP and PNG
// files built byte by byte so that every field is under the test's control.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A folder of its own for one test, removed with everything in it afterwards.
class TempFolder {
public:
  TempFolder()
  {
    const auto *info = testing::UnitTest::GetInstance()->current_test_info();
    std::ostringstream name;
    name << "vextorn_";
    if(info)
      name << info->test_suite_name() << '_' << info->name();
    name << '_' << ::getpid();
    path = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempFolder()
  {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;

  std::string File(const std::string &name) const { return (path / name).string(); }

  std::filesystem::path path;
};

inline void WriteFile(const std::string &path, const Bytes &bytes)
{
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

inline Bytes ReadFile(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void Put16(Bytes &bytes, size_t at, uint32_t value)
{
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

inline void Put32(Bytes &bytes, size_t at, uint32_t value)
{
  Put16(bytes, at, value);
  Put16(bytes, at + 2, value >> 16);
}

inline uint32_t Get32(const Bytes &bytes, size_t at)
{
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

inline uint16_t Get16(const Bytes &bytes, size_t at)
{
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// A BMP file with a 54-byte header and the given pixel rows stored as they
// are (the caller pads and orders them).
inline Bytes MakeBmp(int32_t width, int32_t height, uint16_t bitCount, const Bytes &rows)
{
  Bytes file(54 + rows.size(), 0);
  std::copy(rows.begin(), rows.end(), file.begin() + 54);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 2, static_cast<uint32_t>(54 + rows.size()));
  Put32(file, 10, 54);
  Put32(file, 14, 40);
  Put32(file, 18, static_cast<uint32_t>(width));
  Put32(file, 22, static_cast<uint32_t>(height));
  Put16(file, 26, 1);
  Put16(file, 28, bitCount);
  return file;
}

// PNG files written with stored (uncompressed) deflate blocks.
namespace PngBytes {
  inline uint32_t Crc(const uint8_t *data, size_t size, uint32_t crc = 0xFFFFFFFFu)
  {
    for(size_t i = 0; i < size; ++i)
    {
      crc ^= data[i];
      for(int bit = 0; bit < 8; ++bit)
        crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc;
  }

  inline void PutBig32(Bytes &out, uint32_t value)
  {
    for(int shift = 24; shift >= 0; shift -= 8)
      out.push_back(static_cast<uint8_t>(value >> shift));
  }

  inline void Chunk(Bytes &out, const char *type, const Bytes &data)
  {
    PutBig32(out, static_cast<uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBig32(out, Crc(typed.data(), typed.size()) ^ 0xFFFFFFFFu);
  }

  // A zlib stream holding `raw` in stored blocks.
  inline Bytes Zlib(const Bytes &raw)
  {
    Bytes out = {0x78, 0x01};
    size_t at = 0;
    do
    {
      const size_t length = std::min<size_t>(raw.size() - at, 65535);
      const bool last = at + length == raw.size();
      out.push_back(last ? 1 : 0);
      out.push_back(static_cast<uint8_t>(length));
      out.push_back(static_cast<uint8_t>(length >> 8));
      out.push_back(static_cast<uint8_t>(~length));
      out.push_back(static_cast<uint8_t>(~length >> 8));
      out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + length));
      at += length;
    } while(at < raw.size());
    uint32_t a = 1, b = 0;
    for(uint8_t byte : raw)
    {
      a = (a + byte) % 65521;
      b = (b + a) % 65521;
    }
    PutBig32(out, b << 16 | a);
    return out;
  }

  // A whole PNG file; `scanlines` holds every row with its filter byte in
  // front. `palette` and `transparency` become PLTE and tRNS when not empty.
  inline Bytes Make(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType, const Bytes &scanlines,
                    const Bytes &palette = {}, const Bytes &transparency = {})
  {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBig32(header, width);
    PutBig32(header, height);
    header.insert(header.end(), {bitDepth, colourType, 0, 0, 0});
    Chunk(out, "IHDR", header);
    if(!palette.empty())
      Chunk(out, "PLTE", palette);
    if(!transparency.empty())
      Chunk(out, "tRNS", transparency);
    Chunk(out, "IDAT", Zlib(scanlines));
    Chunk(out, "IEND", {});
    return out;
  }
}

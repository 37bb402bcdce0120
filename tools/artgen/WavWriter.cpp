#include "WavWriter.h"

#include "base/Log.h"

#include <fstream>

namespace {

void PutWord(std::vector<char> &out, uint32_t value, int bytes)
{
  for(int i = 0; i < bytes; ++i)
  {
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
}

void PutTag(std::vector<char> &out, const char *tag)
{
  out.insert(out.end(), tag, tag + 4);
}

}

bool WavWriter::Write(const std::string &path, const std::vector<int16_t> &samples, int sampleRate)
{
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<char> out;
  out.reserve(44 + dataBytes);
  PutTag(out, "RIFF");
  PutWord(out, 36 + dataBytes, 4);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutWord(out, 16, 4);
  PutWord(out, 1, 2);                       // PCM
  PutWord(out, 1, 2);                       // mono
  PutWord(out, static_cast<uint32_t>(sampleRate), 4);
  PutWord(out, static_cast<uint32_t>(sampleRate) * 2, 4); // bytes per second
  PutWord(out, 2, 2);                       // bytes per frame
  PutWord(out, 16, 2);                      // bits per sample
  PutTag(out, "data");
  PutWord(out, dataBytes, 4);
  for(int16_t s : samples)
  {
    PutWord(out, static_cast<uint16_t>(s), 2);
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  file.close();
  if(!file)
  {
    LogLine("artgen: cannot write " + path);
    return false;
  }
  return true;
}

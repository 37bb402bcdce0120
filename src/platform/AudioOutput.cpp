#include "platform/AudioOutput.h"

#include "base/Log.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
  // What is asked of the device.
  constexpr int WantedFrequency = 44100;
  constexpr SDL_AudioFormat WantedFormat = AUDIO_S16SYS;
  constexpr int WantedChannels = 2;
  constexpr int WantedBufferFrames = 1024;

  // Conversion is fed in pieces of about this size: the converter drops
  // samples at the end when a whole file is put into it at once.
  constexpr std::size_t ConversionChunk = 1024;
  // Sound files larger than this are refused (the toy's are a few hundred KB).
  constexpr long MaxFileBytes = 64L << 20;
  // Clips larger than this once converted (a minute and a half of 16-bit
  // stereo at 44100 Hz; the toy's sounds last a second or two) are refused:
  // a file at a very low sample rate would grow without bound.
  constexpr std::size_t MaxClipBytes = 16u << 20;

  std::uint32_t Read32(const uint8_t *p)
  {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  }

  // Reads the whole file and checks the layout of its chunks before the audio
  // library sees it: the library allocates as much as a chunk's header
  // claims, so a damaged header of a few bytes would ask for gigabytes. Each
  // chunk after the RIFF header must lie inside the file (the last one may
  // lack its padding byte).
  bool ReadWavFile(const std::string &fileName, std::vector<uint8_t> &bytes, std::string &error)
  {
    std::FILE *file = std::fopen(fileName.c_str(), "rb");
    if(!file)
    {
      error = std::string("cannot open: ") + std::strerror(errno);
      return false;
    }
    long length = -1;
    if(std::fseek(file, 0, SEEK_END) == 0)
      length = std::ftell(file);
    if(length < 0 || length > MaxFileBytes || std::fseek(file, 0, SEEK_SET) != 0)
    {
      std::fclose(file);
      error = length > MaxFileBytes ? "file too large (" + std::to_string(length) + " bytes)" : "cannot read the file";
      return false;
    }
    bytes.resize(static_cast<std::size_t>(length));
    const bool read = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::fclose(file);
    if(!read)
    {
      error = "cannot read the file";
      return false;
    }
    if(bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    {
      error = "not a RIFF WAV file";
      return false;
    }
    for(std::size_t at = 12; at < bytes.size();)
    {
      if(bytes.size() - at < 8)
      {
        error = "damaged WAV file: a chunk header is cut off at byte " + std::to_string(at);
        return false;
      }
      const std::uint64_t size = Read32(bytes.data() + at + 4);
      if(size > bytes.size() - at - 8)
      {
        error = "damaged WAV file: the chunk at byte " + std::to_string(at) + " claims " + std::to_string(size) +
                " bytes, more than the file holds";
        return false;
      }
      at += 8 + static_cast<std::size_t>(size) + (size & 1);
    }
    return true;
  }

  // Without a sound card the ALSA library prints a screenful of its own
  // diagnostics while the device is being opened. The reason also comes back
  // through SDL_GetError and is reported in one line, so the library's
  // messages are dropped for the duration of the opening. The library is
  // looked up at run time: it is not needed to build, and may be missing.
  using AlsaErrorHandler = void (*)(const char *file, int line, const char *function, int error, const char *format, ...);
  using AlsaSetErrorHandler = int (*)(AlsaErrorHandler handler);

  void IgnoreAlsaMessage(const char *, int, const char *, int, const char *, ...)
  {
  }

  // Returns the library's handle (null when it is not installed) with its messages off.
  void *QuietenAlsa()
  {
    void *library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if(!library)
      return nullptr;
    if(auto set = reinterpret_cast<AlsaSetErrorHandler>(dlsym(library, "snd_lib_error_set_handler")))
      set(&IgnoreAlsaMessage);
    return library;
  }

  // Puts the library's own message handler back and lets go of it.
  void RestoreAlsa(void *library)
  {
    if(!library)
      return;
    if(auto set = reinterpret_cast<AlsaSetErrorHandler>(dlsym(library, "snd_lib_error_set_handler")))
      set(nullptr);
    dlclose(library);
  }

  AudioFormat Describe(SDL_AudioFormat code, int frequency, int channels, uint8_t silence)
  {
    AudioFormat result;
    result.frequency = frequency;
    result.channels = channels;
    result.bytesPerSample = SDL_AUDIO_BITSIZE(code) / 8;
    result.floatSamples = SDL_AUDIO_ISFLOAT(code);
    result.signedSamples = SDL_AUDIO_ISSIGNED(code);
    result.bigEndian = SDL_AUDIO_ISBIGENDIAN(code);
    result.silence = silence;
    return result;
  }

  // Moves everything the stream has ready to the end of `out`.
  bool Drain(SDL_AudioStream *stream, std::vector<uint8_t> &out)
  {
    int available = 0;
    while((available = SDL_AudioStreamAvailable(stream)) > 0)
    {
      std::size_t at = out.size();
      out.resize(at + static_cast<std::size_t>(available));
      int got = SDL_AudioStreamGet(stream, out.data() + at, available);
      if(got < 0)
        return false;
      out.resize(at + static_cast<std::size_t>(got));
      if(got == 0)
        break;
    }
    return true;
  }

  // Converts `length` bytes of `source` samples to the target format.
  bool Convert(const uint8_t *data, std::size_t length, const SDL_AudioSpec &source, SDL_AudioFormat targetCode,
               const AudioFormat &target, std::vector<uint8_t> &out, std::string &error)
  {
    SDL_AudioStream *stream = SDL_NewAudioStream(source.format, source.channels, source.freq, targetCode,
                                                 static_cast<Uint8>(target.channels), target.frequency);
    if(!stream)
    {
      error = std::string("cannot convert its samples: ") + SDL_GetError();
      return false;
    }
    std::size_t frameBytes = static_cast<std::size_t>(SDL_AUDIO_BITSIZE(source.format) / 8) * source.channels;
    if(frameBytes == 0)
    {
      SDL_FreeAudioStream(stream);
      error = "its sample layout is empty";
      return false;
    }
    std::size_t chunk = std::max(frameBytes, ConversionChunk / frameBytes * frameBytes);
    length -= length % frameBytes;
    const double grows = static_cast<double>(target.frequency) / std::max(source.freq, 1) *
                         (static_cast<double>(target.FrameBytes()) / static_cast<double>(frameBytes));
    if(static_cast<double>(length) * grows > static_cast<double>(MaxClipBytes))
    {
      SDL_FreeAudioStream(stream);
      error = "the sound is too long (" + std::to_string(length / frameBytes) + " frames at " +
              std::to_string(source.freq) + " Hz)";
      return false;
    }
    bool ok = true;
    for(std::size_t at = 0; ok && at < length; at += chunk)
    {
      int piece = static_cast<int>(std::min(chunk, length - at));
      ok = SDL_AudioStreamPut(stream, data + at, piece) == 0 && Drain(stream, out);
    }
    ok = ok && SDL_AudioStreamFlush(stream) == 0 && Drain(stream, out);
    if(!ok)
      error = std::string("cannot convert its samples: ") + SDL_GetError();
    SDL_FreeAudioStream(stream);
    return ok;
  }
}

AudioOutput::AudioOutput()
  : format(Describe(WantedFormat, WantedFrequency, WantedChannels, 0)), deviceFormatCode(WantedFormat)
{
}

AudioOutput::~AudioOutput()
{
  Close();
}

bool AudioOutput::Open()
{
  if(device != 0)
    return true;
  void *alsa = QuietenAlsa();
  bool opened = OpenDevice();
  RestoreAlsa(alsa);
  return opened;
}

bool AudioOutput::OpenDevice()
{
  if(!subsystemStarted)
  {
    if(SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
      LogLine(std::string("no audio device (") + SDL_GetError() + "): the toy runs without sound");
      return false;
    }
    subsystemStarted = true;
  }

  SDL_AudioSpec wanted{};
  wanted.freq = WantedFrequency;
  wanted.format = WantedFormat;
  wanted.channels = WantedChannels;
  wanted.samples = WantedBufferFrames;
  wanted.callback = &AudioOutput::FillCallback;
  wanted.userdata = this;
  SDL_AudioSpec obtained{};
  SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_ANY_CHANGE);
  if(id == 0)
  {
    LogLine(std::string("no audio device (") + SDL_GetError() + "): the toy runs without sound");
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystemStarted = false;
    return false;
  }
  device = id;
  format = Describe(obtained.format, obtained.freq, obtained.channels, obtained.silence);
  deviceFormatCode = obtained.format;
  SDL_PauseAudioDevice(device, 0);
  return true;
}

void AudioOutput::Close()
{
  if(device != 0)
  {
    // Waits for the device thread to finish, so the voice is ours again.
    SDL_CloseAudioDevice(device);
    device = 0;
  }
  voiceClip.reset();
  voicePosition = 0;
  voiceLoop = false;
  if(subsystemStarted)
  {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystemStarted = false;
  }
}

std::shared_ptr<const AudioClip> AudioOutput::Load(const std::string &fileName, std::string &error) const
{
  std::vector<uint8_t> file;
  if(!ReadWavFile(fileName, file, error))
    return nullptr;
  SDL_AudioSpec spec{};
  Uint8 *buffer = nullptr;
  Uint32 length = 0;
  SDL_RWops *source = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
  if(!source || !SDL_LoadWAV_RW(source, 1, &spec, &buffer, &length))
  {
    error = SDL_GetError();
    return nullptr;
  }
  std::vector<uint8_t> samples;
  bool converted = Convert(buffer, length, spec, deviceFormatCode, format, samples, error);
  SDL_FreeWAV(buffer);
  if(!converted)
    return nullptr;
  return std::make_shared<const AudioClip>(format, std::move(samples));
}

bool AudioOutput::Play(std::shared_ptr<const AudioClip> clip, bool loop)
{
  if(device == 0 || !clip || clip->Format() != format)
    return false;
  SDL_LockAudioDevice(device);
  voiceClip.swap(clip);
  voicePosition = 0;
  voiceLoop = loop;
  SDL_UnlockAudioDevice(device);
  // `clip` now holds the replaced clip; it is released here, off the device thread.
  return true;
}

void AudioOutput::Stop()
{
  std::shared_ptr<const AudioClip> replaced;
  if(device != 0)
    SDL_LockAudioDevice(device);
  voiceClip.swap(replaced);
  voicePosition = 0;
  voiceLoop = false;
  if(device != 0)
    SDL_UnlockAudioDevice(device);
}

bool AudioOutput::IsPlaying() const
{
  if(device == 0)
    return false;
  SDL_LockAudioDevice(device);
  bool playing = voiceClip && voicePosition < voiceClip->Samples().size();
  SDL_UnlockAudioDevice(device);
  return playing;
}

std::size_t AudioOutput::PlayedBytes() const
{
  if(device == 0)
    return 0;
  SDL_LockAudioDevice(device);
  std::size_t position = voicePosition;
  SDL_UnlockAudioDevice(device);
  return position;
}

void AudioOutput::FillCallback(void *self, uint8_t *stream, int length)
{
  static_cast<AudioOutput *>(self)->Fill(stream, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void AudioOutput::Fill(uint8_t *stream, std::size_t length)
{
  std::size_t written = 0;
  if(voiceClip)
  {
    const std::vector<uint8_t> &samples = voiceClip->Samples();
    while(written < length && voicePosition < samples.size())
    {
      std::size_t count = std::min(length - written, samples.size() - voicePosition);
      std::memcpy(stream + written, samples.data() + voicePosition, count);
      written += count;
      voicePosition += count;
      if(voicePosition == samples.size() && voiceLoop)
        voicePosition = 0;
    }
  }
  std::memset(stream + written, format.silence, length - written);
}

#include "platform/PngReader.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
  // Pictures wider or taller than this are refused as damaged.
  constexpr png_uint_32 MaxDimension = 1u << 16;
  // Largest picture decoded, in pixels (a 8192 x 8192 picture).
  constexpr unsigned long long MaxPixels = 1ull << 26;
  // Largest file read (the toy's pictures are a few kilobytes).
  constexpr long MaxFileBytes = 64L << 20;
  constexpr size_t SignatureBytes = 8;

  png_uint_32 Read32(const png_byte *p)
  {
    return static_cast<png_uint_32>(p[0]) << 24 | static_cast<png_uint_32>(p[1]) << 16 |
           static_cast<png_uint_32>(p[2]) << 8 | p[3];
  }

  // Checks that every chunk up to IEND lies inside the file before the
  // decoder sees it: the decoder allocates as much as a text or profile
  // chunk's length claims, gigabytes for a damaged file of a few bytes.
  bool ChunksFit(const std::vector<png_byte> &bytes, std::string &error)
  {
    for(size_t at = SignatureBytes; at < bytes.size();)
    {
      if(bytes.size() - at < 12)
        break;
      const png_uint_32 length = Read32(bytes.data() + at);
      if(length > bytes.size() - at - 12)
      {
        error = "damaged PNG: the chunk at byte " + std::to_string(at) + " claims " + std::to_string(length) +
                " bytes, more than the file holds";
        return false;
      }
      if(std::memcmp(bytes.data() + at + 4, "IEND", 4) == 0)
        return true;
      at += 12 + static_cast<size_t>(length);
    }
    // Without an end chunk, the decoder says what is missing.
    return true;
  }

  // The file's bytes as the decoder reads them.
  struct MemorySource {
    const png_byte *data = nullptr;
    size_t size = 0;
    size_t at = 0;
  };

  void ReadFromMemory(png_structp png, png_bytep out, png_size_t length)
  {
    auto *source = static_cast<MemorySource *>(png_get_io_ptr(png));
    if(length > source->size - source->at)
      png_error(png, "the file ends early");
    std::memcpy(out, source->data + source->at, length);
    source->at += length;
  }

  struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
  };

  // What the error callback leaves for the code that called libpng.
  struct DecodeErrors {
    char message[200] = {};
  };

  [[noreturn]] void OnError(png_structp png, png_const_charp message)
  {
    auto *errors = static_cast<DecodeErrors *>(png_get_error_ptr(png));
    std::snprintf(errors->message, sizeof errors->message, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
  }

  void OnWarning(png_structp, png_const_charp)
  {
    // Warnings (such as unknown chunks or bad gamma values) do not stop decoding.
  }

  // The decoder's two structures, destroyed together.
  class PngDecoder {
  public:
    PngDecoder(DecodeErrors &errors)
    {
      png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, OnError, OnWarning);
      if(png)
        info = png_create_info_struct(png);
    }
    ~PngDecoder() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    PngDecoder(const PngDecoder &) = delete;
    PngDecoder &operator=(const PngDecoder &) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
  };

  // Reads the header and sets up the conversion to 8-bit RGBA. No C++ object
  // with a destructor lives in this frame, so the error jump may leave it.
  bool ReadHeader(png_structp png, png_infop info, MemorySource &source, png_uint_32 &width, png_uint_32 &height)
  {
    if(setjmp(png_jmpbuf(png)))
      return false;
    png_set_read_fn(png, &source, ReadFromMemory);
    png_set_sig_bytes(png, static_cast<int>(SignatureBytes));
    png_set_user_limits(png, MaxDimension, MaxDimension);
    png_read_info(png, info);

    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if(colourType == PNG_COLOR_TYPE_PALETTE)
      png_set_palette_to_rgb(png);
    if(colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
      png_set_expand_gray_1_2_4_to_8(png);
    if(png_get_valid(png, info, PNG_INFO_tRNS))
      png_set_tRNS_to_alpha(png);
    if(bitDepth == 16)
      png_set_strip_16(png);
    if(colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
      png_set_gray_to_rgb(png);
    // Opaque where the file has no alpha channel.
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    return true;
  }

  // Decodes every row into `rows` (each 4 x width bytes, RGBA).
  bool ReadRows(png_structp png, png_infop info, png_bytep *rows)
  {
    if(setjmp(png_jmpbuf(png)))
      return false;
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
  }
}

bool PngReader::Read(const std::string &path, ArgbImage &image, std::string &error)
{
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if(!file)
  {
    error = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  long length = -1;
  if(std::fseek(file.get(), 0, SEEK_END) == 0)
    length = std::ftell(file.get());
  if(length < 0 || length > MaxFileBytes || std::fseek(file.get(), 0, SEEK_SET) != 0)
  {
    error = length > MaxFileBytes ? "file too large (" + std::to_string(length) + " bytes)" : "cannot read the file";
    return false;
  }
  std::vector<png_byte> bytes(static_cast<size_t>(length));
  if(std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
  {
    error = "cannot read the file";
    return false;
  }
  file.reset();
  if(bytes.size() < SignatureBytes || png_sig_cmp(bytes.data(), 0, SignatureBytes) != 0)
  {
    error = "not a PNG file";
    return false;
  }
  if(!ChunksFit(bytes, error))
    return false;
  MemorySource source{bytes.data(), bytes.size(), SignatureBytes};

  DecodeErrors errors;
  PngDecoder decoder(errors);
  if(!decoder.png || !decoder.info)
  {
    error = "cannot start the PNG decoder";
    return false;
  }
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  if(!ReadHeader(decoder.png, decoder.info, source, width, height))
  {
    error = std::string("damaged PNG: ") + errors.message;
    return false;
  }
  if(width == 0 || height == 0 || static_cast<unsigned long long>(width) * height > MaxPixels ||
     png_get_rowbytes(decoder.png, decoder.info) != static_cast<size_t>(width) * 4)
  {
    error = "unsupported PNG size " + std::to_string(width) + " x " + std::to_string(height);
    return false;
  }

  std::vector<png_byte> rgba(static_cast<size_t>(width) * height * 4);
  std::vector<png_bytep> rows(height);
  for(png_uint_32 y = 0; y < height; ++y)
    rows[y] = rgba.data() + static_cast<size_t>(y) * width * 4;
  if(!ReadRows(decoder.png, decoder.info, rows.data()))
  {
    error = std::string("damaged PNG: ") + errors.message;
    return false;
  }

  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for(size_t i = 0; i < pixels.size(); ++i)
  {
    const png_byte *p = &rgba[i * 4];
    pixels[i] = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
                static_cast<uint32_t>(p[1]) << 8 | p[2];
  }
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels = std::move(pixels);
  return true;
}

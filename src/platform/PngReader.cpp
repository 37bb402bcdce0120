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
  bool ReadHeader(png_structp png, png_infop info, std::FILE *file, png_uint_32 &width, png_uint_32 &height)
  {
    if(setjmp(png_jmpbuf(png)))
      return false;
    png_init_io(png, file);
    png_set_sig_bytes(png, 8);
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
  png_byte signature[8] = {};
  if(std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
     png_sig_cmp(signature, 0, sizeof signature) != 0)
  {
    error = "not a PNG file";
    return false;
  }

  DecodeErrors errors;
  PngDecoder decoder(errors);
  if(!decoder.png || !decoder.info)
  {
    error = "cannot start the PNG decoder";
    return false;
  }
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  if(!ReadHeader(decoder.png, decoder.info, file.get(), width, height))
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

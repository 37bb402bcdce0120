#include "platform/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
  void OnPngError(png_structp png, png_const_charp message)
  {
    auto *error = static_cast<std::string *>(png_get_error_ptr(png));
    if(error)
      *error = message ? message : "libpng failed";
    png_longjmp(png, 1);
  }

  void OnPngWarning(png_structp, png_const_charp)
  {
  }

  void AppendToVector(png_structp png, png_bytep data, png_size_t length)
  {
    auto *bytes = static_cast<std::vector<uint8_t> *>(png_get_io_ptr(png));
    bool stored = true;
    try
    {
      bytes->insert(bytes->end(), data, data + length);
    }
    catch(const std::bad_alloc &)
    {
      stored = false;
    }
    // libpng's error path jumps: not from inside the handler.
    if(!stored)
      png_error(png, "out of memory");
  }

  void FlushNothing(png_structp)
  {
  }

  // The encoding itself, apart so that nothing with a destructor lives in the
  // frame that libpng's error handling jumps out of. Rows of `channels` bytes
  // per pixel (4: RGBA, 3: RGB) go to `file`, or to `memory` when it is given.
  bool Encode(std::FILE *file, std::vector<uint8_t> *memory, int width, int height, int channels,
              const std::vector<uint8_t> &pixels, std::string &error)
  {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, OnPngError, OnPngWarning);
    if(!png)
    {
      error = "out of memory";
      return false;
    }
    png_infop info = png_create_info_struct(png);
    if(!info)
    {
      png_destroy_write_struct(&png, nullptr);
      error = "out of memory";
      return false;
    }
    if(setjmp(png_jmpbuf(png)))
    {
      png_destroy_write_struct(&png, &info);
      return false;
    }
    if(memory)
      png_set_write_fn(png, memory, AppendToVector, FlushNothing);
    else
      png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    for(int y = 0; y < height; ++y)
      png_write_row(png, pixels.data() + static_cast<size_t>(y) * rowBytes);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
  }

  bool HasPixels(const ArgbImage &image)
  {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  }
}

bool PngWriter::Write(const std::string &path, const ArgbImage &image, std::string &error)
{
  if(!HasPixels(image))
  {
    error = "the picture is empty";
    return false;
  }
  std::vector<uint8_t> rgba(image.pixels.size() * 4);
  for(size_t i = 0; i < image.pixels.size(); ++i)
  {
    const uint32_t p = image.pixels[i];
    rgba[i * 4] = static_cast<uint8_t>(p >> 16);
    rgba[i * 4 + 1] = static_cast<uint8_t>(p >> 8);
    rgba[i * 4 + 2] = static_cast<uint8_t>(p);
    rgba[i * 4 + 3] = static_cast<uint8_t>(p >> 24);
  }

  std::string temporary = path + ".XXXXXX";
  const int descriptor = mkstemp(temporary.data());
  if(descriptor < 0)
  {
    error = std::string("cannot create ") + temporary + ": " + std::strerror(errno);
    return false;
  }
  // A temporary file is made for the owner alone; the picture gets the
  // permissions any new file of the user's gets.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(descriptor, 0666 & ~mask);
  std::FILE *file = fdopen(descriptor, "wb");
  if(!file)
  {
    error = std::string("cannot write ") + temporary + ": " + std::strerror(errno);
    close(descriptor);
    unlink(temporary.c_str());
    return false;
  }
  bool ok = Encode(file, nullptr, image.width, image.height, 4, rgba, error);
  if(ok && (std::fflush(file) != 0 || fsync(fileno(file)) != 0))
  {
    error = std::string("cannot write ") + path + ": " + std::strerror(errno);
    ok = false;
  }
  if(std::fclose(file) != 0 && ok)
  {
    error = std::string("cannot write ") + path + ": " + std::strerror(errno);
    ok = false;
  }
  if(ok && std::rename(temporary.c_str(), path.c_str()) != 0)
  {
    error = std::string("cannot replace ") + path + ": " + std::strerror(errno);
    ok = false;
  }
  if(!ok)
    unlink(temporary.c_str());
  return ok;
}

bool PngWriter::EncodeOpaque(const ArgbImage &image, std::vector<uint8_t> &png, std::string &error)
{
  png.clear();
  if(!HasPixels(image))
  {
    error = "the picture is empty";
    return false;
  }
  std::vector<uint8_t> rgb(image.pixels.size() * 3);
  for(size_t i = 0; i < image.pixels.size(); ++i)
  {
    const uint32_t p = image.pixels[i];
    rgb[i * 3] = static_cast<uint8_t>(p >> 16);
    rgb[i * 3 + 1] = static_cast<uint8_t>(p >> 8);
    rgb[i * 3 + 2] = static_cast<uint8_t>(p);
  }
  if(!Encode(nullptr, &png, image.width, image.height, 3, rgb, error))
  {
    png.clear();
    return false;
  }
  return true;
}

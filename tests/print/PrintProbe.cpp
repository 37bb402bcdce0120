// Drives the program's printing path for test_print_server.sh and measures
// what came out of the printer.
//
//   print_probe print COUNT          draw the test picture on a headless device
//                                    and print it COUNT times (data/ in the
//                                    current directory receives pict.bmp)
//   print_probe refused MAX_MS       print once; succeeds when printing fails
//                                    within MAX_MS milliseconds
//   print_probe silent-server DIR    print against a server of our own on a
//                                    socket in DIR that accepts and never answers
//   print_probe hangup-server DIR    ... that accepts and hangs up at once
//   print_probe measure PAGE.ppm     the non-white box of a rendered page and
//                                    the colours inside it
//
// Every mode prints what it saw, one fact a line, and exits 0 on success.
#include "gfx/GraphicsDevice.h"
#include "res/PicturePrinter.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {
  // The test picture: grey around the model area; inside it the top-left
  // quarter blue, the top-right quarter red, the bottom half green. Capture
  // adds the black frame.
  constexpr uint32_t outsideColour = 0x808080;
  constexpr uint32_t topLeftColour = 0x2040C0;
  constexpr uint32_t topRightColour = 0xD02020;
  constexpr uint32_t bottomColour = 0x20A040;

  long long MillisecondsSince(std::chrono::steady_clock::time_point start)
  {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  }

  bool DrawTestPicture(GraphicsDevice &device)
  {
    if(!device.CreateHeadless())
      return false;
    Surface *backBuffer = device.BackBuffer();
    DrawingContext *dc = backBuffer->GetDC();
    if(!dc)
      return false;
    const int left = PicturePrinter::captureLeft;
    const int top = PicturePrinter::captureTop;
    const int width = PicturePrinter::pictureWidth;
    const int height = PicturePrinter::pictureHeight;
    dc->FillRect(0, 0, backBuffer->Width(), backBuffer->Height(), outsideColour);
    dc->FillRect(left, top, left + width / 2, top + height / 2, topLeftColour);
    dc->FillRect(left + width / 2, top, left + width, top + height / 2, topRightColour);
    dc->FillRect(left, top + height / 2, left + width, top + height, bottomColour);
    backBuffer->ReleaseDC(dc);
    return true;
  }

  // Prints once and reports whether it failed within maxMilliseconds.
  bool PrintFailsWithin(long long maxMilliseconds)
  {
    GraphicsDevice device;
    if(!DrawTestPicture(device))
      return false;
    auto start = std::chrono::steady_clock::now();
    bool printed = PicturePrinter("data/pict.bmp").Print(device);
    long long elapsed = MillisecondsSince(start);
    std::printf("print %s %lld ms\n", printed ? "true" : "false", elapsed);
    return !printed && elapsed <= maxMilliseconds;
  }

  int PrintCount(int count)
  {
    GraphicsDevice device;
    if(!DrawTestPicture(device))
      return 1;
    int failures = 0;
    for(int i = 0; i < count; ++i)
    {
      auto start = std::chrono::steady_clock::now();
      bool printed = PicturePrinter("data/pict.bmp").Print(device);
      std::printf("print %s %lld ms\n", printed ? "true" : "false", MillisecondsSince(start));
      failures += !printed;
    }
    return failures == 0 ? 0 : 1;
  }

  // A print server impostor on a Unix socket: it accepts every connection
  // and then either holds it without a word or closes it at once.
  class FakeServer {
  public:
    FakeServer(const std::string &path, bool hangUp) : path(path), hangUp(hangUp) {}
    ~FakeServer()
    {
      stop = true;
      if(thread.joinable())
        thread.join();
      for(int fd : accepted)
        close(fd);
      if(listener >= 0)
        close(listener);
      unlink(path.c_str());
    }

    bool Start()
    {
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      if(path.size() >= sizeof(address.sun_path))
        return false;
      std::strcpy(address.sun_path, path.c_str());
      unlink(path.c_str());
      listener = socket(AF_UNIX, SOCK_STREAM, 0);
      if(listener < 0 || bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 ||
         listen(listener, 8) != 0)
        return false;
      thread = std::thread([this] { Serve(); });
      return true;
    }

  private:
    void Serve()
    {
      while(!stop)
      {
        pollfd waiting{listener, POLLIN, 0};
        if(poll(&waiting, 1, 50) <= 0)
          continue;
        int fd = accept(listener, nullptr, nullptr);
        if(fd < 0)
          continue;
        if(hangUp)
          close(fd);
        else
          accepted.push_back(fd);
      }
    }

    std::string path;
    bool hangUp = false;
    int listener = -1;
    std::vector<int> accepted;
    std::atomic<bool> stop{false};
    std::thread thread;
  };

  int AgainstFakeServer(const std::string &folder, bool hangUp, long long maxMilliseconds)
  {
    const std::string socketPath = folder + (hangUp ? "/hangup.sock" : "/silent.sock");
    FakeServer server(socketPath, hangUp);
    if(!server.Start())
    {
      std::printf("cannot listen on %s\n", socketPath.c_str());
      return 1;
    }
    setenv("CUPS_SERVER", socketPath.c_str(), 1);
    return PrintFailsWithin(maxMilliseconds) ? 0 : 1;
  }

  // The next header word of a PPM file, skipping comment lines.
  std::string HeaderWord(std::istream &in)
  {
    std::string word;
    while(in >> word && word[0] == '#')
    {
      std::string rest;
      std::getline(in, rest);
    }
    return word;
  }

  // Reads a binary PPM (P6, 8 bits a sample) as 0x00RRGGBB words.
  bool ReadPpm(const std::string &name, int &width, int &height, std::vector<uint32_t> &pixels)
  {
    std::ifstream in(name, std::ios::binary);
    const std::string magic = HeaderWord(in);
    width = std::atoi(HeaderWord(in).c_str());
    height = std::atoi(HeaderWord(in).c_str());
    const int maxValue = std::atoi(HeaderWord(in).c_str());
    in.get();
    if(!in || magic != "P6" || maxValue != 255 || width <= 0 || height <= 0)
      return false;
    std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * 3);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if(!in)
      return false;
    pixels.resize(static_cast<size_t>(width) * height);
    for(size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = static_cast<uint32_t>(bytes[i * 3]) << 16 | bytes[i * 3 + 1] << 8 | bytes[i * 3 + 2];
    return true;
  }

  int Measure(const std::string &name)
  {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    if(!ReadPpm(name, width, height, pixels))
    {
      std::printf("cannot read %s\n", name.c_str());
      return 1;
    }
    int left = width;
    int top = height;
    int right = 0;
    int bottom = 0;
    std::map<uint32_t, long long> colours;
    for(int y = 0; y < height; ++y)
    {
      for(int x = 0; x < width; ++x)
      {
        uint32_t colour = pixels[static_cast<size_t>(y) * width + x];
        ++colours[colour];
        if(colour == 0xFFFFFF)
          continue;
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x + 1);
        bottom = std::max(bottom, y + 1);
      }
    }
    std::printf("size %d %d\n", width, height);
    if(right <= left || bottom <= top)
    {
      std::printf("blank\n");
      return 1;
    }
    // Right and bottom are exclusive: the box's edges in pixel units.
    std::printf("box %d %d %d %d\n", left, top, right, bottom);
    std::printf("colours %zu\n", colours.size());
    for(const auto &[colour, count] : colours)
      std::printf("colour %06x %lld\n", colour, count);
    auto at = [&](double u, double v) {
      int x = left + static_cast<int>(u * (right - left));
      int y = top + static_cast<int>(v * (bottom - top));
      return pixels[static_cast<size_t>(y) * width + x];
    };
    std::printf("top-left %06x\n", at(0.25, 0.25));
    std::printf("top-right %06x\n", at(0.75, 0.25));
    std::printf("bottom %06x\n", at(0.5, 0.75));
    std::printf("edge %06x\n", at(0.0, 0.5));
    return 0;
  }
}

int main(int argc, char **argv)
{
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const std::string mode = argc > 1 ? argv[1] : "";
  if(mode == "print" && argc == 3)
    return PrintCount(std::atoi(argv[2]));
  if(mode == "refused" && argc == 3)
    return PrintFailsWithin(std::atoll(argv[2])) ? 0 : 1;
  if(mode == "silent-server" && argc == 3)
    return AgainstFakeServer(argv[2], false, 6500);
  if(mode == "hangup-server" && argc == 3)
    return AgainstFakeServer(argv[2], true, 2000);
  if(mode == "measure" && argc == 3)
    return Measure(argv[2]);
  std::fprintf(stderr, "usage: print_probe print COUNT | refused MAX_MS | silent-server DIR | hangup-server DIR | "
                       "measure PAGE.ppm\n");
  return 2;
}

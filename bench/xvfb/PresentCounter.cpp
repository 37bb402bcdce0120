// Counts the frames a window presents on an X server, from outside: every
// buffer swap puts the new image into the window, which the server reports as
// damage. Prints one line: frames, frames per second, the 95th percentile and
// the longest interval between frames, and the processor share of a process
// over the same time (percent of one core).
//
// Usage: present_counter [--window ID | --name NAME] [--seconds S] [--pid PID] [--gap MS]
//   --window ID   the window (decimal or 0x hexadecimal)
//   --name NAME   the first window with exactly this name (default: Vextorn)
//   --seconds S   how long to count (default 5)
//   --pid PID     the process to measure (default: the window's _NET_WM_PID)
//   --gap MS      damage further apart than this is never one frame (default 8)

#include "FrameCoalescer.h"
#include "FrameTimes.h"
#include "ProcessCpu.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <sys/select.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
  struct Options {
    Window window = 0;
    std::string name = "Vextorn";
    double seconds = 5.0;
    int pid = 0;
    uint32_t gapMs = 8;
  };

  // The X error seen last; the request that caused it is abandoned.
  int lastXError = 0;

  int RememberXError(Display *, XErrorEvent *event)
  {
    lastXError = event->error_code;
    return 0;
  }

  int Fail(const std::string &message)
  {
    std::fprintf(stderr, "present_counter: %s\n", message.c_str());
    return 1;
  }

  bool ParseNumber(const char *text, unsigned long &value)
  {
    char *end = nullptr;
    errno = 0;
    value = std::strtoul(text, &end, 0);
    return errno == 0 && end != text && *end == '\0' && text[0] != '-';
  }

  bool ParseOptions(int argc, char **argv, Options &options, std::string &error)
  {
    for(int i = 1; i < argc; ++i)
    {
      const std::string option = argv[i];
      if(i + 1 >= argc)
      {
        error = "option " + option + " needs a value";
        return false;
      }
      const char *value = argv[++i];
      unsigned long number = 0;
      if(option == "--name")
        options.name = value;
      else if(option == "--window" && ParseNumber(value, number) && number > 0)
        options.window = static_cast<Window>(number);
      else if(option == "--pid" && ParseNumber(value, number) && number > 0 && number < 1u << 30)
        options.pid = static_cast<int>(number);
      else if(option == "--gap" && ParseNumber(value, number) && number < 1000)
        options.gapMs = static_cast<uint32_t>(number);
      else if(option == "--seconds")
      {
        char *end = nullptr;
        options.seconds = std::strtod(value, &end);
        if(end == value || *end != '\0' || !(options.seconds > 0.0 && options.seconds <= 3600.0))
        {
          error = std::string("bad number of seconds: ") + value;
          return false;
        }
      }
      else
      {
        error = "bad option or value: " + option + " " + value;
        return false;
      }
    }
    return true;
  }

  // The first window below `parent`, depth first, named exactly `name`.
  Window FindNamed(Display *display, Window parent, const std::string &name)
  {
    char *windowName = nullptr;
    if(XFetchName(display, parent, &windowName) && windowName)
    {
      const bool match = name == windowName;
      XFree(windowName);
      if(match)
        return parent;
    }
    Window root = 0;
    Window parentOfParent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if(!XQueryTree(display, parent, &root, &parentOfParent, &children, &count))
      return 0;
    Window found = 0;
    for(unsigned int i = 0; i < count && !found; ++i)
      found = FindNamed(display, children[i], name);
    if(children)
      XFree(children);
    return found;
  }

  // The window's _NET_WM_PID, or 0.
  int WindowPid(Display *display, Window window)
  {
    const Atom property = XInternAtom(display, "_NET_WM_PID", True);
    if(property == None)
      return 0;
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    int pid = 0;
    if(XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                          &data) == Success &&
       data)
    {
      if(type == XA_CARDINAL && format == 32 && items == 1)
        pid = static_cast<int>(*reinterpret_cast<unsigned long *>(data));
      XFree(data);
    }
    return pid;
  }

  std::string Figure(double value)
  {
    if(value < 0.0)
      return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
  }
}

int main(int argc, char **argv)
{
  Options options;
  std::string error;
  if(!ParseOptions(argc, argv, options, error))
    return Fail(error + " (usage: present_counter [--window ID | --name NAME] [--seconds S] [--pid PID] [--gap MS])");

  Display *display = XOpenDisplay(nullptr);
  if(!display)
    return Fail("cannot open the X display (is DISPLAY set?)");
  XSetErrorHandler(RememberXError);

  int damageEvent = 0;
  int damageError = 0;
  if(!XDamageQueryExtension(display, &damageEvent, &damageError))
    return Fail("the X server has no DAMAGE extension");

  Window window = options.window;
  if(!window)
    window = FindNamed(display, DefaultRootWindow(display), options.name);
  if(!window)
    return Fail("no window named " + options.name);
  const int pid = options.pid ? options.pid : WindowPid(display, window);
  if(!pid)
    return Fail("no process id given and the window names none");

  // Every rectangle as it is damaged, so that frames are told apart here.
  lastXError = 0;
  const Damage damage = XDamageCreate(display, window, XDamageReportRawRectangles);
  XSelectInput(display, window, StructureNotifyMask);
  XSync(display, False);
  if(lastXError)
    return Fail("cannot watch window " + std::to_string(window) + " (X error " + std::to_string(lastXError) + ")");
  // Creating the damage object reports the whole visible window as damaged at
  // once; that, and anything else before the count starts, is not a frame.
  while(XPending(display))
  {
    XEvent event;
    XNextEvent(display, &event);
  }

  uint64_t ticksBefore = 0;
  if(!ProcessCpu::Read(pid, ticksBefore))
    return Fail("cannot read /proc/" + std::to_string(pid) + "/stat");
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const Clock::time_point deadline =
    start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.seconds));

  FrameCoalescer coalescer(options.gapMs);
  FrameTimes times;
  int damageEvents = 0;
  bool windowGone = false;
  const int connection = ConnectionNumber(display);
  while(!windowGone)
  {
    while(XPending(display) && !windowGone)
    {
      XEvent event;
      XNextEvent(display, &event);
      if(event.type == damageEvent + XDamageNotify)
      {
        const auto &notify = reinterpret_cast<const XDamageNotifyEvent &>(event);
        ++damageEvents;
        const DamageBox box{notify.area.x, notify.area.y, notify.area.width, notify.area.height};
        if(coalescer.Add(box, static_cast<uint32_t>(notify.timestamp), notify.more))
          times.Add(static_cast<uint32_t>(notify.timestamp));
      }
      else if(event.type == DestroyNotify && event.xdestroywindow.window == window)
        windowGone = true;
    }
    const Clock::time_point now = Clock::now();
    if(now >= deadline || windowGone)
      break;
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - now).count();
    timeval wait{static_cast<time_t>(left / 1000000), static_cast<suseconds_t>(left % 1000000)};
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(connection, &readable);
    select(connection + 1, &readable, nullptr, nullptr, &wait);
  }
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  uint64_t ticksAfter = 0;
  const bool cpuRead = ProcessCpu::Read(pid, ticksAfter);
  if(!windowGone)
    XDamageDestroy(display, damage);
  XCloseDisplay(display);
  if(windowGone)
    return Fail("the window went away while counting");
  if(!cpuRead)
    return Fail("process " + std::to_string(pid) + " ended while counting");

  const double ticksPerSecond = static_cast<double>(sysconf(_SC_CLK_TCK));
  const double cpuPercent = static_cast<double>(ticksAfter - ticksBefore) / ticksPerSecond / elapsed * 100.0;
  std::printf("frames=%d seconds=%.2f fps=%.1f p95_ms=%s max_ms=%s cpu_pct=%.1f damage_events=%d\n",
              times.Frames(), elapsed, times.Frames() / elapsed, Figure(times.IntervalPercentile(0.95)).c_str(),
              Figure(times.LongestInterval()).c_str(), cpuPercent, damageEvents);
  return 0;
}

#include "platform/NativeWindow.h"

#include "base/Log.h"
#include "platform/Letterbox.h"
#include "platform/WindowSizing.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {
  bool HasValue(const char *variable)
  {
    return variable && *variable;
  }

  // The keys the program reads, by SDL key code; Count for all others.
  Key KeyFromCode(SDL_Keycode code)
  {
    switch(code)
    {
      case SDLK_ESCAPE: return Key::Escape;
      case SDLK_F7: return Key::F7;
      case SDLK_F8: return Key::F8;
      case SDLK_F11: return Key::F11;
      default: return Key::Count;
    }
  }

  // The history's commands, by the letter pressed with Ctrl: Z undoes, Y and
  // Shift+Z redo. Count for all other keys.
  Key CommandFromKey(const SDL_Keysym &keysym)
  {
    if(!(keysym.mod & KMOD_CTRL))
      return Key::Count;
    if(keysym.sym == SDLK_z)
      return (keysym.mod & KMOD_SHIFT) ? Key::Redo : Key::Undo;
    if(keysym.sym == SDLK_y)
      return Key::Redo;
    return Key::Count;
  }
}

NativeWindow::~NativeWindow()
{
  Destroy();
}

bool NativeWindow::Create(const std::string &title, const WindowSettings &windowSettings)
{
  if(window)
    return true;

  // With no display named, SDL would try every driver it has (printing errors
  // of its own) and might end on one that shows nothing: refuse at once.
  // A driver named explicitly in SDL_VIDEODRIVER is always tried.
  const bool driverChosen = HasValue(std::getenv("SDL_VIDEODRIVER"));
  if(!driverChosen && !HasValue(std::getenv("DISPLAY")) && !HasValue(std::getenv("WAYLAND_DISPLAY")))
  {
    LogLine("cannot open a window: no display (DISPLAY is not set)");
    return false;
  }

  // One close request per click on the close button: the application decides
  // when the loop ends, so SDL must not add a quit of its own.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // An X server busy with a client that just left can refuse a connection
  // now and then; SDL then falls through to its other drivers. Try again
  // shortly before giving up.
  std::string failure;
  for(int attempt = 0; attempt < 3 && !videoInitialised; ++attempt)
  {
    if(attempt > 0)
      SDL_Delay(100);
    if(SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
      failure = std::string("cannot open a window (no display?): ") + SDL_GetError();
      continue;
    }
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if(!driverChosen && (driver == "offscreen" || driver == "dummy"))
    {
      failure = "cannot open a window: no display, only the " + driver + " video driver";
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      continue;
    }
    videoInitialised = true;
  }
  if(!videoInitialised)
  {
    LogLine(failure);
    return false;
  }

  SDL_Rect desktop{};
  if(SDL_GetDisplayBounds(0, &desktop) != 0 || desktop.w <= 0 || desktop.h <= 0)
  {
    LogLine(std::string("cannot read the desktop size: ") + SDL_GetError());
    Destroy();
    return false;
  }

  settings = windowSettings;
  fullscreen = settings.fullscreen;
  windowedPlaceKnown = false;
  windowedMaximised = false;
  frames = Frames::Unknown;
  // On a high-density display the drawable gets the display's real pixels.
  const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_SHOWN;
  if(fullscreen)
  {
    // A borderless window the size of the desktop, placed at its top-left
    // corner: a fullscreen flag misbehaves where no window manager runs.
    window = SDL_CreateWindow(title.c_str(), desktop.x, desktop.y, desktop.w, desktop.h,
                              flags | SDL_WINDOW_BORDERLESS);
  }
  else
  {
    const WindowSizing::Size size =
      WindowSizing::For(settings, desktop.w, desktop.h, LogicalWidth, LogicalHeight);
    window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.width,
                              size.height, flags | SDL_WINDOW_RESIZABLE);
  }
  if(!window)
  {
    LogLine(std::string("cannot create the window: ") + SDL_GetError());
    Destroy();
    return false;
  }
  SDL_ShowCursor(SDL_DISABLE);
  SDL_RaiseWindow(window);
  // Without a window manager nothing gives the window the keyboard; ask for it.
  // This may be refused (the window is not mapped yet, or no X server): harmless.
  SDL_SetWindowInputFocus(window);
  SDL_ClearError();
  if(!fullscreen)
    NoteWindowedPlace();

  int x = 0;
  int y = 0;
  SDL_GetMouseState(&x, &y);
  pointerX = x;
  pointerY = y;
  return true;
}

bool NativeWindow::CreateOffscreen(const std::string &title)
{
  if(window)
    return true;
  // Whatever the environment names: this window is never shown.
  SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
  const bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  // Only this start is meant: later windows of the process choose as usual.
  SDL_ResetHint(SDL_HINT_VIDEODRIVER);
  if(!started)
  {
    LogLine(std::string("cannot start drawing without a display: ") + SDL_GetError());
    return false;
  }
  videoInitialised = true;
  window = SDL_CreateWindow(title.c_str(), 0, 0, LogicalWidth, LogicalHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if(!window)
  {
    LogLine(std::string("cannot create an offscreen window: ") + SDL_GetError());
    Destroy();
    return false;
  }
  SDL_ClearError();
  return true;
}

void NativeWindow::Destroy()
{
  if(window)
  {
    SDL_HideWindow(window);
    SDL_DestroyWindow(window);
    window = nullptr;
  }
  pending.clear();
  if(videoInitialised)
  {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoInitialised = false;
  }
}

bool NativeWindow::NextMessage(WindowMessage &message)
{
  if(videoInitialised)
  {
    // Everything the system has delivered, in order. (Polling would stop at
    // the marker an earlier wait left in SDL's queue, leaving the events
    // behind it for a later pass.)
    SDL_PumpEvents();
    SDL_Event event;
    while(SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
      HandleEvent(event);
  }
  if(pending.empty())
    return false;
  message = pending.front();
  pending.pop_front();
  return true;
}

void NativeWindow::WaitForMessage(int timeoutMs)
{
  if(timeoutMs <= 0 || !pending.empty())
    return;
  if(!videoInitialised)
  {
    SDL_Delay(static_cast<Uint32>(timeoutMs));
    return;
  }
  // With no event to fill in, SDL only looks: the event is left in its queue.
  SDL_WaitEventTimeout(nullptr, timeoutMs);
}

void NativeWindow::SetFullscreen(bool on)
{
  if(!window || on == fullscreen)
    return;
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  SDL_Rect bounds{};
  if(SDL_GetDisplayBounds(display, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0)
  {
    switchLog.Write(std::string("cannot switch the window: the display's size is unknown: ") + SDL_GetError());
    return;
  }
  // SDL places a window by its frame as the window manager last reported it,
  // and a window manager answers a change of decorations or of the maximised
  // state a moment later: each step waits for that answer before the next
  // one moves the window, so that it lands exactly where it is sent.
  if(on)
  {
    windowedMaximised = (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED) != 0;
    if(windowedMaximised)
    {
      // Only a window of its own size can be moved and resized; the place
      // kept is the one it had before it was maximised.
      SDL_RestoreWindow(window);
      AwaitWindowManager([this]() { return (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED) == 0; });
    }
    else
      NoteWindowedPlace();
    fullscreen = true;
    SDL_SetWindowBordered(window, SDL_FALSE);
    AwaitWindowManager([this]() { return !HasFrame(); });
    SDL_SetWindowResizable(window, SDL_FALSE);
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    SDL_SetWindowSize(window, bounds.w, bounds.h);
    SDL_RaiseWindow(window);
  }
  else
  {
    fullscreen = false;
    SDL_SetWindowBordered(window, SDL_TRUE);
    // Where no window manager draws frames, waiting once is enough to know.
    if(frames != Frames::None)
    {
      AwaitWindowManager([this]() { return HasFrame(); });
      frames = HasFrame() ? Frames::Drawn : Frames::None;
    }
    SDL_SetWindowResizable(window, SDL_TRUE);
    if(windowedPlaceKnown)
    {
      SDL_SetWindowSize(window, windowedPlace.width, windowedPlace.height);
      SDL_SetWindowPosition(window, windowedPlace.x, windowedPlace.y);
    }
    else
    {
      const WindowSizing::Size size = WindowSizing::For(settings, bounds.w, bounds.h, LogicalWidth, LogicalHeight);
      SDL_SetWindowSize(window, size.width, size.height);
      SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED_DISPLAY(display), SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    }
    if(windowedMaximised)
      SDL_MaximizeWindow(window);
  }
  // Where no window manager runs, nothing else gives the keyboard back.
  SDL_SetWindowInputFocus(window);
  SDL_ClearError();
}

bool NativeWindow::HasFrame() const
{
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  return SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0 && (top > 0 || left > 0);
}

void NativeWindow::AwaitWindowManager(const std::function<bool()> &settled)
{
  const Uint64 end = SDL_GetTicks64() + WindowManagerWaitMs;
  // Pumping only moves the system's events into SDL's queue, where
  // NextMessage still finds them.
  SDL_PumpEvents();
  while(!settled() && SDL_GetTicks64() < end)
  {
    SDL_Delay(5);
    SDL_PumpEvents();
  }
}

void NativeWindow::NoteWindowedPlace()
{
  if(!window || fullscreen || (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED) != 0)
    return;
  SDL_GetWindowPosition(window, &windowedPlace.x, &windowedPlace.y);
  SDL_GetWindowSize(window, &windowedPlace.width, &windowedPlace.height);
  windowedPlaceKnown = windowedPlace.width > 0 && windowedPlace.height > 0;
}

int NativeWindow::RefreshRate() const
{
  if(!window)
    return 0;
  const int display = SDL_GetWindowDisplayIndex(window);
  SDL_DisplayMode mode{};
  if(display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0)
    return 0;
  return mode.refresh_rate > 0 ? mode.refresh_rate : 0;
}

void NativeWindow::HandleEvent(const SDL_Event &event)
{
  switch(event.type)
  {
    case SDL_MOUSEMOTION:
      pointerX = event.motion.x;
      pointerY = event.motion.y;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      pointerX = event.button.x;
      pointerY = event.button.y;
      if(event.button.button == SDL_BUTTON_LEFT)
      {
        if(event.type == SDL_MOUSEBUTTONDOWN)
          latch.Press(Key::LeftButton);
        else
          latch.Release(Key::LeftButton);
      }
      break;
    case SDL_KEYDOWN:
    {
      // A command held down repeats nothing: it acts once per press.
      const Key command = CommandFromKey(event.key.keysym);
      if(command != Key::Count && !event.key.repeat)
        latch.Press(command);
      const Key key = KeyFromCode(event.key.keysym.sym);
      if(key == Key::Count)
        break;
      latch.Press(key);
      // Every key-down of Escape is reported, auto-repeats included; F11
      // once per press.
      if(key == Key::Escape || (key == Key::F11 && event.key.repeat == 0))
        Queue(WindowMessage::Kind::KeyDown, static_cast<int>(key));
      break;
    }
    case SDL_KEYUP:
    {
      // Letting go of the letter ends the command, whatever Ctrl and Shift do.
      if(event.key.keysym.sym == SDLK_z)
        latch.Release(Key::Undo);
      if(event.key.keysym.sym == SDLK_z || event.key.keysym.sym == SDLK_y)
        latch.Release(Key::Redo);
      const Key key = KeyFromCode(event.key.keysym.sym);
      if(key != Key::Count)
        latch.Release(key);
      break;
    }
    case SDL_WINDOWEVENT:
      switch(event.window.event)
      {
        case SDL_WINDOWEVENT_FOCUS_GAINED: Queue(WindowMessage::Kind::Activate, 1); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: Queue(WindowMessage::Kind::Activate, 0); break;
        case SDL_WINDOWEVENT_CLOSE: Queue(WindowMessage::Kind::Close, 0); break;
        case SDL_WINDOWEVENT_MOVED: NoteWindowedPlace(); break;
        // What the window showed may be gone, or shown at another size.
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          NoteWindowedPlace();
          Queue(WindowMessage::Kind::Expose, 0);
          break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
#if SDL_VERSION_ATLEAST(2, 0, 18)
        case SDL_WINDOWEVENT_DISPLAY_CHANGED:
#endif
          Queue(WindowMessage::Kind::Expose, 0);
          break;
        default: break;
      }
      break;
    case SDL_QUIT:
      Queue(WindowMessage::Kind::Close, 0);
      break;
    default:
      break;
  }
}

void NativeWindow::Queue(WindowMessage::Kind kind, int value)
{
  // A close request already waiting covers a second one (the system may
  // report one close both as a window event and as a quit request); so does
  // an exposure for the ones that come with it (a resize reports two).
  const bool once = kind == WindowMessage::Kind::Close || kind == WindowMessage::Kind::Expose;
  if(once && !pending.empty() && pending.back().kind == kind)
    return;
  pending.push_back(WindowMessage{kind, value});
}

void NativeWindow::MousePosition(int &x, int &y) const
{
  // Fitted exactly as the picture is presented, into the drawable's pixels;
  // the pointer comes in window coordinates.
  const Letterbox box = Letterbox::Fit(DrawableWidth(), DrawableHeight(), LogicalWidth, LogicalHeight);
  box.PointToLogical(pointerX, pointerY, PixelWidth(), PixelHeight(), x, y);
}

int NativeWindow::KeyState(Key key)
{
  return latch.Query(key);
}

int NativeWindow::PixelWidth() const
{
  int w = 0;
  int h = 0;
  if(window)
    SDL_GetWindowSize(window, &w, &h);
  return w;
}

int NativeWindow::PixelHeight() const
{
  int w = 0;
  int h = 0;
  if(window)
    SDL_GetWindowSize(window, &w, &h);
  return h;
}

int NativeWindow::DrawableWidth() const
{
  int w = 0;
  int h = 0;
  if(window)
    SDL_GL_GetDrawableSize(window, &w, &h);
  return w;
}

int NativeWindow::DrawableHeight() const
{
  int w = 0;
  int h = 0;
  if(window)
    SDL_GL_GetDrawableSize(window, &w, &h);
  return h;
}

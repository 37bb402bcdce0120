// The desktop window under SDL's offscreen driver. That driver has no input of
// its own, so the tests push the events a display would deliver.

#include "GlDeviceSupport.h"
#include "gfx/GraphicsDevice.h"
#include "platform/NativeWindow.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
  class Window : public ::testing::Test {
  protected:
    void SetUp() override
    {
      ASSERT_TRUE(window.Create("Vextorn"));
      // Drop whatever creating the window produced.
      WindowMessage message;
      while(window.NextMessage(message))
      {
      }
    }

    void PushButton(Uint32 type, Uint8 button, int x, int y)
    {
      SDL_Event event{};
      event.type = type;
      event.button.windowID = SDL_GetWindowID(window.Handle());
      event.button.button = button;
      event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
      event.button.x = x;
      event.button.y = y;
      SDL_PushEvent(&event);
    }

    void PushKey(Uint32 type, SDL_Keycode code, bool repeat = false, Uint16 modifiers = KMOD_NONE)
    {
      SDL_Event event{};
      event.type = type;
      event.key.windowID = SDL_GetWindowID(window.Handle());
      event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
      event.key.repeat = repeat ? 1 : 0;
      event.key.keysym.sym = code;
      event.key.keysym.mod = modifiers;
      SDL_PushEvent(&event);
    }

    void PushWindowEvent(Uint8 what)
    {
      SDL_Event event{};
      event.type = SDL_WINDOWEVENT;
      event.window.windowID = SDL_GetWindowID(window.Handle());
      event.window.event = what;
      SDL_PushEvent(&event);
    }

    void PushMotion(int x, int y)
    {
      SDL_Event event{};
      event.type = SDL_MOUSEMOTION;
      event.motion.windowID = SDL_GetWindowID(window.Handle());
      event.motion.x = x;
      event.motion.y = y;
      SDL_PushEvent(&event);
    }

    // Every message the window hands out now, one call each.
    std::vector<WindowMessage> Drain()
    {
      std::vector<WindowMessage> messages;
      WindowMessage message;
      while(window.NextMessage(message))
        messages.push_back(message);
      return messages;
    }

    NativeWindow window;
  };
}

TEST_F(Window, CoversTheDesktopFromTheTopLeftCornerWithoutBorderOrCursor)
{
  SDL_DisplayMode desktop{};
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
  EXPECT_EQ(window.PixelWidth(), desktop.w);
  EXPECT_EQ(window.PixelHeight(), desktop.h);
  int x = -1;
  int y = -1;
  SDL_GetWindowPosition(window.Handle(), &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  const Uint32 flags = SDL_GetWindowFlags(window.Handle());
  EXPECT_TRUE(flags & SDL_WINDOW_BORDERLESS);
  EXPECT_TRUE(flags & SDL_WINDOW_OPENGL);
  EXPECT_FALSE(flags & SDL_WINDOW_FULLSCREEN);
  EXPECT_STREQ(SDL_GetWindowTitle(window.Handle()), "Vextorn");
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST_F(Window, APressAndReleaseInOnePumpIsSeenOnceByTheNextQuery)
{
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 10);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 10, 10);
  PushKey(SDL_KEYDOWN, SDLK_F8);
  PushKey(SDL_KEYUP, SDLK_F8);
  EXPECT_TRUE(Drain().empty());
  EXPECT_NE(window.KeyState(Key::LeftButton), 0);
  EXPECT_EQ(window.KeyState(Key::LeftButton), 0);
  EXPECT_NE(window.KeyState(Key::F8), 0);
  EXPECT_EQ(window.KeyState(Key::F8), 0);
  EXPECT_EQ(window.KeyState(Key::F7), 0);

  // The right button and other keys are not read.
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 10, 10);
  PushKey(SDL_KEYDOWN, SDLK_a);
  Drain();
  EXPECT_EQ(window.KeyState(Key::LeftButton), 0);

  // A held key reads as down at every query until it is released.
  PushKey(SDL_KEYDOWN, SDLK_F7);
  Drain();
  EXPECT_NE(window.KeyState(Key::F7), 0);
  EXPECT_NE(window.KeyState(Key::F7), 0);
  PushKey(SDL_KEYUP, SDLK_F7);
  Drain();
  EXPECT_EQ(window.KeyState(Key::F7), 0);
}

TEST_F(Window, CtrlZUndoesAndCtrlYOrCtrlShiftZRedoOncePerPress)
{
  // A quick Ctrl+Z is seen once; a repeat, or a letter without Ctrl, is no press.
  PushKey(SDL_KEYDOWN, SDLK_z, false, KMOD_LCTRL);
  PushKey(SDL_KEYUP, SDLK_z, false, KMOD_LCTRL);
  PushKey(SDL_KEYDOWN, SDLK_y, true, KMOD_LCTRL);
  PushKey(SDL_KEYDOWN, SDLK_z, false, KMOD_LSHIFT);
  Drain();
  EXPECT_NE(window.KeyState(Key::Undo), 0);
  EXPECT_EQ(window.KeyState(Key::Undo), 0);
  EXPECT_EQ(window.KeyState(Key::Redo), 0);
  // Ctrl+Y, then Ctrl+Shift+Z, each held until its letter is let go.
  const Uint16 chords[] = {KMOD_RCTRL, KMOD_LCTRL | KMOD_LSHIFT};
  for(Uint16 modifiers : chords)
  {
    const SDL_Keycode letter = modifiers & KMOD_SHIFT ? SDLK_z : SDLK_y;
    PushKey(SDL_KEYDOWN, letter, false, modifiers);
    Drain();
    EXPECT_NE(window.KeyState(Key::Redo), 0);
    EXPECT_NE(window.KeyState(Key::Redo), 0);
    PushKey(SDL_KEYUP, letter, false, KMOD_NONE);
    Drain();
    EXPECT_EQ(window.KeyState(Key::Redo), 0);
    EXPECT_EQ(window.KeyState(Key::Undo), 0);
  }
}

TEST_F(Window, QueuesActivationCloseAndEscapeOneMessageAtATime)
{
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
  PushKey(SDL_KEYDOWN, SDLK_ESCAPE, true);
  PushKey(SDL_KEYUP, SDLK_ESCAPE);

  WindowMessage message;
  ASSERT_TRUE(window.NextMessage(message));
  EXPECT_EQ(message.kind, WindowMessage::Kind::Activate);
  EXPECT_EQ(message.value, 0);
  // Input that arrived with the first message is already latched.
  EXPECT_NE(window.KeyState(Key::Escape), 0);

  const std::vector<WindowMessage> rest = Drain();
  ASSERT_EQ(rest.size(), 3u);
  EXPECT_EQ(rest[0].kind, WindowMessage::Kind::Activate);
  EXPECT_EQ(rest[0].value, 1);
  EXPECT_EQ(rest[1].kind, WindowMessage::Kind::KeyDown);
  EXPECT_EQ(rest[1].value, static_cast<int>(Key::Escape));
  EXPECT_EQ(rest[2].kind, WindowMessage::Kind::KeyDown);

  // A click on the close button arrives as a window event and perhaps a quit
  // request: one close message.
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  const std::vector<WindowMessage> closing = Drain();
  ASSERT_EQ(closing.size(), 1u);
  EXPECT_EQ(closing[0].kind, WindowMessage::Kind::Close);

  // A quit request on its own closes too.
  SDL_PushEvent(&quit);
  const std::vector<WindowMessage> quitting = Drain();
  ASSERT_EQ(quitting.size(), 1u);
  EXPECT_EQ(quitting[0].kind, WindowMessage::Kind::Close);
}

TEST_F(Window, ExposureShowingRestoringAndResizingAskForThePictureAgain)
{
  // A resize reports two events back to back: one message for them.
  PushWindowEvent(SDL_WINDOWEVENT_RESIZED);
  PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
  PushWindowEvent(SDL_WINDOWEVENT_MOVED);
  const std::vector<WindowMessage> messages = Drain();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].kind, WindowMessage::Kind::Expose);
  EXPECT_EQ(messages[1].kind, WindowMessage::Kind::Activate);
  EXPECT_EQ(messages[2].kind, WindowMessage::Kind::Expose);

  for(Uint8 what : {SDL_WINDOWEVENT_SHOWN, SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_MAXIMIZED})
  {
    PushWindowEvent(what);
    const std::vector<WindowMessage> one = Drain();
    ASSERT_EQ(one.size(), 1u) << int(what);
    EXPECT_EQ(one[0].kind, WindowMessage::Kind::Expose) << int(what);
  }
}

TEST_F(Window, F11IsReportedOncePerPressHoweverLongItIsHeld)
{
  PushKey(SDL_KEYDOWN, SDLK_F11);
  PushKey(SDL_KEYDOWN, SDLK_F11, true);
  PushKey(SDL_KEYDOWN, SDLK_F11, true);
  PushKey(SDL_KEYUP, SDLK_F11);
  PushKey(SDL_KEYDOWN, SDLK_F11);
  PushKey(SDL_KEYUP, SDLK_F11);
  const std::vector<WindowMessage> messages = Drain();
  ASSERT_EQ(messages.size(), 2u);
  for(const WindowMessage &message : messages)
  {
    EXPECT_EQ(message.kind, WindowMessage::Kind::KeyDown);
    EXPECT_EQ(message.value, static_cast<int>(Key::F11));
  }
}

TEST_F(Window, WaitingEndsWhenAnEventArrivesAndLeavesItToTheNextMessage)
{
  using Clock = std::chrono::steady_clock;
  // Nothing arrives: the whole timeout passes.
  auto start = Clock::now();
  window.WaitForMessage(80);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(70));

  // A click that came and went: the wait ends at once, and the press is
  // still there for the latch when the messages are read.
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 10);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 10, 10);
  start = Clock::now();
  window.WaitForMessage(5000);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(window.KeyState(Key::LeftButton), 0) << "nothing is read before NextMessage";
  EXPECT_TRUE(Drain().empty());
  EXPECT_NE(window.KeyState(Key::LeftButton), 0);

  // A message already queued ends the wait before it starts.
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  WindowMessage message;
  ASSERT_TRUE(window.NextMessage(message));
  ASSERT_TRUE(window.HasPendingMessage());
  start = Clock::now();
  window.WaitForMessage(5000);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  ASSERT_TRUE(window.NextMessage(message));
  EXPECT_EQ(message.kind, WindowMessage::Kind::Close);
  EXPECT_FALSE(window.HasPendingMessage());
}

TEST_F(Window, MapsThePointerThroughTheLetterboxToTheLogicalScreen)
{
  // Any window size: the pointer at the picture's centre is the logical centre,
  // at its corners the logical corners, and beyond them outside 0..639, 0..479.
  SDL_SetWindowSize(window.Handle(), 1000, 500);
  ASSERT_EQ(window.PixelWidth(), 1000);
  // 500 rows high: the picture is 667 by 500, with bars of 166 or 167 on the sides.
  PushMotion(500, 250);
  Drain();
  int x = 0;
  int y = 0;
  window.MousePosition(x, y);
  EXPECT_EQ(x, 320);
  EXPECT_EQ(y, 240);

  PushMotion(166, 0);
  Drain();
  window.MousePosition(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  PushMotion(165, 499);
  Drain();
  window.MousePosition(x, y);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, 479);
  // Button events carry the position too.
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 999, 250);
  Drain();
  window.MousePosition(x, y);
  EXPECT_GT(x, 639);
}

TEST_F(Window, DestroyIsSafeTwiceAndLeavesNoMessages)
{
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  window.Destroy();
  EXPECT_FALSE(window.IsOpen());
  window.Destroy();
  WindowMessage message;
  EXPECT_FALSE(window.NextMessage(message));
  // It can be opened again.
  EXPECT_TRUE(window.Create("Vextorn"));
  EXPECT_TRUE(window.IsOpen());
}

namespace {
  // Sets an environment variable (null: removes it) until the end of the scope.
  class ScopedVariable {
  public:
    ScopedVariable(const char *name, const char *value) : name(name)
    {
      const char *old = std::getenv(name);
      hadValue = old != nullptr;
      oldValue = old ? old : "";
      if(value)
        setenv(name, value, 1);
      else
        unsetenv(name);
    }
    ~ScopedVariable()
    {
      if(hadValue)
        setenv(name.c_str(), oldValue.c_str(), 1);
      else
        unsetenv(name.c_str());
    }

  private:
    std::string name;
    std::string oldValue;
    bool hadValue = false;
  };

  // Creates a window and returns how many lines it wrote on standard error.
  int CreateAndCountErrorLines(NativeWindow &window, bool &created)
  {
    testing::internal::CaptureStderr();
    created = window.Create("Vextorn");
    const std::string errors = testing::internal::GetCapturedStderr();
    return static_cast<int>(std::count(errors.begin(), errors.end(), '\n'));
  }
}

TEST(WindowWithoutDisplay, CreateFailsWithOneLineAndTheDeviceCannotStartOnIt)
{
  NativeWindow window;
  bool created = true;
  {
    // The X11 driver asked for, with no X server to reach.
    ScopedVariable driver("SDL_VIDEODRIVER", "x11");
    ScopedVariable display("DISPLAY", ":999");
    EXPECT_EQ(CreateAndCountErrorLines(window, created), 1);
    EXPECT_FALSE(created);
  }
  {
    // No display named at all: no silent fallback to a driver that shows nothing.
    ScopedVariable driver("SDL_VIDEODRIVER", nullptr);
    ScopedVariable display("DISPLAY", nullptr);
    ScopedVariable wayland("WAYLAND_DISPLAY", nullptr);
    EXPECT_EQ(CreateAndCountErrorLines(window, created), 1);
    EXPECT_FALSE(created);
  }
  EXPECT_FALSE(window.IsOpen());

  GraphicsDevice device;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(CreateGlDevice(device, window));
  const std::string deviceErrors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(deviceErrors.begin(), deviceErrors.end(), '\n'), 1) << deviceErrors;
  EXPECT_FALSE(device.IsCreated());
  EXPECT_EQ(device.Present(), PresentResult::DeviceLost);
}

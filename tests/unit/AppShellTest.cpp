// The application shell without a window: the frame pacer, the message loop
// (with an injected clock: it sleeps between frames instead of spinning) and
// the event manager.
#include "app/AppWindow.h"
#include "events/EventManager.h"
#include "app/FramePacer.h"
#include "app/PaintApp.h"
#include "gfx/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {
  // The millisecond readings at which a pacer runs frames when asked every
  // millisecond from `from` up to (not including) `to`.
  std::vector<uint32_t> FrameTimes(FramePacer &pacer, uint32_t from, uint32_t to)
  {
    std::vector<uint32_t> times;
    for(uint32_t now = from; now != to; ++now)
      if(pacer.Tick(now))
        times.push_back(now);
    return times;
  }
}

TEST(FramePacer, RunsOneFramePerPeriodOfTheDisplayOnAverage)
{
  FramePacer pacer;
  EXPECT_EQ(pacer.RefreshRate(), 60);
  // The first reading runs a frame; the next is due 16 2/3 ms later.
  EXPECT_TRUE(pacer.Tick(1000));
  EXPECT_FALSE(pacer.Tick(1000));
  EXPECT_FALSE(pacer.Tick(1016));
  EXPECT_TRUE(pacer.Tick(1017));
  EXPECT_FALSE(pacer.Tick(1017));
  // 60 frames a second, 16 or 17 ms apart, never two in one millisecond.
  const std::vector<uint32_t> times = FrameTimes(pacer, 1018, 3018);
  ASSERT_EQ(times.size(), 120u);
  uint32_t previous = 1017;
  for(uint32_t time : times)
  {
    EXPECT_TRUE(time - previous == 16 || time - previous == 17) << time;
    previous = time;
  }
  EXPECT_EQ(times.back(), 3017u);

  // Other rates; 0 (unknown) and nonsense mean 60 Hz.
  for(const auto &[hertz, frames] : std::vector<std::pair<int, size_t>>{{144, 144}, {75, 75}, {0, 60}, {-5, 60}})
  {
    FramePacer other;
    other.SetRefreshRate(hertz);
    ASSERT_TRUE(other.Tick(0));
    EXPECT_EQ(FrameTimes(other, 1, 1001).size(), frames) << hertz;
  }
}

TEST(FramePacer, AStalledFrameIsNotMadeUpForWithABurst)
{
  FramePacer pacer;
  ASSERT_TRUE(pacer.Tick(0));
  ASSERT_TRUE(pacer.Tick(17));
  // The frame due at 33 1/3 runs 200 ms late: the next one is a whole
  // period after it, not at once.
  ASSERT_TRUE(pacer.Tick(233));
  EXPECT_FALSE(pacer.Tick(234));
  EXPECT_FALSE(pacer.Tick(249));
  EXPECT_EQ(pacer.MillisecondsToNextFrame(234), 16);
  EXPECT_TRUE(pacer.Tick(250));
  // A frame a little late keeps the rhythm: due at 266 1/3, run at 270, the
  // next is due at 283 as if it had come on time.
  ASSERT_TRUE(pacer.Tick(270));
  EXPECT_FALSE(pacer.Tick(282));
  EXPECT_TRUE(pacer.Tick(283));
}

TEST(FramePacer, TellsTheMillisecondsToTheNextFrameRoundedUp)
{
  FramePacer pacer;
  EXPECT_EQ(pacer.MillisecondsToNextFrame(500), 0) << "before the first frame one is due at once";
  ASSERT_TRUE(pacer.Tick(500));
  EXPECT_EQ(pacer.MillisecondsToNextFrame(500), 17);
  EXPECT_EQ(pacer.MillisecondsToNextFrame(510), 7);
  EXPECT_EQ(pacer.MillisecondsToNextFrame(516), 1);
  EXPECT_EQ(pacer.MillisecondsToNextFrame(517), 0);
  EXPECT_EQ(pacer.MillisecondsToNextFrame(900), 0);
  // Waiting that long always finds the frame due, at any rate.
  for(int hertz : {30, 60, 75, 144, 240})
  {
    FramePacer other;
    other.SetRefreshRate(hertz);
    uint32_t now = 7;
    ASSERT_TRUE(other.Tick(now));
    for(int frame = 0; frame < 50; ++frame)
    {
      const int wait = other.MillisecondsToNextFrame(now);
      ASSERT_GT(wait, 0) << hertz;
      ASSERT_FALSE(other.Tick(now + static_cast<uint32_t>(wait) - 1)) << hertz << " frame " << frame;
      now += static_cast<uint32_t>(wait);
      ASSERT_TRUE(other.Tick(now)) << hertz << " frame " << frame;
    }
  }
  // A change of rate keeps the frame that is due where it was.
  FramePacer changed;
  ASSERT_TRUE(changed.Tick(0));
  changed.SetRefreshRate(120);
  EXPECT_EQ(changed.MillisecondsToNextFrame(0), 17);
  ASSERT_TRUE(changed.Tick(17));
  EXPECT_EQ(changed.MillisecondsToNextFrame(17), 8);
}

TEST(FramePacer, KeepsPacingAcrossTheWrapOfTheMillisecondClock)
{
  FramePacer pacer;
  ASSERT_TRUE(pacer.Tick(0xFFFFFFF0u));
  EXPECT_FALSE(pacer.Tick(0xFFFFFFFFu));
  EXPECT_EQ(pacer.MillisecondsToNextFrame(0xFFFFFFFFu), 2);
  EXPECT_FALSE(pacer.Tick(0));
  EXPECT_TRUE(pacer.Tick(1));
}

namespace {
  // A window without a display whose frames and messages are recorded.
  class RecordingWindow : public AppWindow {
  public:
    std::vector<std::string> log;
    int framesBeforeClose = -1;

    using AppWindow::WindowProc;

  protected:
    void Frame() override
    {
      log.push_back(active ? "frame(active)" : "frame");
      if(framesBeforeClose > 0 && --framesBeforeClose == 0)
        PostMessage({WindowMessage::Kind::Close, 0});
    }
    void OnExit() override { log.push_back("exit"); }
  };
}

TEST(AppWindow, LoopHandlesOneMessagePerPassAndActivatesBeforeTheFirstFrame)
{
  RecordingWindow window;
  window.framesBeforeClose = 2;
  EXPECT_EQ(window.Run(), 0);
  // Pass 1: the posted activation, then a frame that sees it. Pass 2: a frame
  // that posts a close. Pass 3: the close destroys the window (quit posted),
  // then a frame. Pass 4: the quit ends the loop; OnExit runs once.
  EXPECT_EQ(window.log, (std::vector<std::string>{"frame(active)", "frame(active)", "frame", "exit"}));
}

TEST(AppWindow, QuitEndsTheLoopEvenWithMessagesQueuedBehindIt)
{
  RecordingWindow window;
  window.PostQuitMessage(7);
  window.PostMessage({WindowMessage::Kind::Activate, 0});
  window.PostMessage({WindowMessage::Kind::Activate, 1});
  // The loop's own activation is queued after the quit and never handled.
  EXPECT_EQ(window.Run(), 7);
  EXPECT_EQ(window.log, (std::vector<std::string>{"exit"}));
  EXPECT_FALSE(window.IsActive());
}

TEST(PaintApp, EscapeClosesTheWindowAndShutsDown)
{
  PaintApp app;
  EXPECT_TRUE(app.IsRunning());
  app.PostMessage({WindowMessage::Kind::KeyDown, static_cast<int>(Key::Escape)});
  EXPECT_EQ(app.Run(), 0);
  EXPECT_FALSE(app.IsRunning());
  // A second shutdown (as the destructor does) is harmless.
  app.Shutdown();
  EXPECT_FALSE(app.IsRunning());
}

namespace {
  // The application without a window on a clock that moves only while the
  // loop sleeps: a loop that spun instead would never see a frame come due.
  // Closes itself after a number of frames; gives up (exit code -1) after
  // far more passes than that would need.
  class ClockedApp : public PaintApp {
  public:
    static constexpr int MaxPasses = 10000;

    ClockedApp()
    {
      SetClock([this] { return now; });
    }

    uint32_t now = 5000;
    int passes = 0;
    long long closeAfterFrames = 61;
    // Each sleep of the loop, as asked.
    std::vector<int> waits;
    // When positive, a message arrives this many milliseconds into every
    // sleep that would last longer, and ends it.
    int messageAfter = 0;
    // The clock readings at which frames ran.
    std::vector<uint32_t> frameTimes;

  protected:
    void Frame() override
    {
      if(++passes == MaxPasses)
        PostQuitMessage(-1);
      const long long before = FramesRun();
      PaintApp::Frame();
      if(FramesRun() == before)
        return;
      frameTimes.push_back(now);
      if(FramesRun() == closeAfterFrames)
        PostMessage({WindowMessage::Kind::Close, 0});
    }

    void WaitForMessage(int timeoutMs) override
    {
      waits.push_back(timeoutMs);
      if(messageAfter > 0 && messageAfter < timeoutMs)
      {
        now += static_cast<uint32_t>(messageAfter);
        PostMessage({WindowMessage::Kind::Activate, 1});
        return;
      }
      now += static_cast<uint32_t>(timeoutMs);
    }
  };
}

TEST(PaintAppLoop, SleepsUntilEachFrameIsDueInsteadOfSpinning)
{
  ClockedApp app;
  ASSERT_EQ(app.Run(), 0);
  EXPECT_EQ(app.FramesRun(), 61);
  // 60 periods of 16 2/3 ms after the first frame.
  EXPECT_EQ(app.now, 6000u);
  // One pass per frame, and one more for the close; the loop slept after
  // every frame but the one that asked to close.
  EXPECT_EQ(app.passes, 62);
  ASSERT_EQ(app.waits.size(), 60u);
  for(int wait : app.waits)
    EXPECT_TRUE(wait == 16 || wait == 17) << wait;
}

TEST(PaintAppLoop, MessagesWakeTheLoopWithoutHurryingTheFrames)
{
  ClockedApp undisturbed;
  ASSERT_EQ(undisturbed.Run(), 0);

  ClockedApp app;
  app.messageAfter = 5;
  ASSERT_EQ(app.Run(), 0);
  // Every message got a pass of its own, and the frames came when they
  // would have without any.
  EXPECT_GT(app.passes, 3 * 60);
  EXPECT_LT(app.passes, ClockedApp::MaxPasses);
  EXPECT_EQ(app.frameTimes, undisturbed.frameTimes);
  // After a message the loop sleeps only for what was left.
  for(size_t i = 0; i + 1 < app.waits.size(); ++i)
  {
    if(app.waits[i] > 5)
    {
      EXPECT_EQ(app.waits[i + 1], app.waits[i] - 5) << i;
    }
  }
}

TEST(PaintApp, AnExposedWindowIsPresentedAgainThoughNothingChanged)
{
  PaintApp app;
  auto backend = std::make_unique<HeadlessBackend>(640, 480);
  HeadlessBackend *headless = backend.get();
  ASSERT_TRUE(app.Device().CreateWithBackend(std::move(backend)));
  GraphicsDevice &device = app.Device();
  auto frame = [&device] {
    device.Clear(true, true, 0xFF336699, 1.f);
    return device.PresentFrame();
  };
  EXPECT_TRUE(frame());
  EXPECT_FALSE(frame()) << "the same picture again rests";
  const int presents = headless->Presents();
  app.SendMessage({WindowMessage::Kind::Activate, 1});
  app.SendMessage({WindowMessage::Kind::Expose, 0});
  EXPECT_EQ(headless->Presents(), presents) << "an active window's next frame presents";
  EXPECT_TRUE(frame());
  EXPECT_EQ(headless->Presents(), presents + 1);
  EXPECT_FALSE(frame());

  // In the background no frame draws: the last picture is shown again at
  // once, for each exposure, and never otherwise.
  app.SendMessage({WindowMessage::Kind::Activate, 0});
  app.SendMessage({WindowMessage::Kind::Expose, 0});
  EXPECT_EQ(headless->Presents(), presents + 2);
  app.SendMessage({WindowMessage::Kind::Expose, 0});
  EXPECT_EQ(headless->Presents(), presents + 3);
  app.Shutdown();
  app.SendMessage({WindowMessage::Kind::Expose, 0});
  EXPECT_EQ(headless->Presents(), presents + 3) << "nothing is shown after shutdown";
}

namespace {
  struct EventLog {
    std::vector<std::string> lines;
  };

  // A screen that records its life and returns whatever it is told to.
  class FakeEvent : public Event {
  public:
    FakeEvent(ScreenHost &app, const std::string &name, EventLog &log, bool initSucceeds = true)
      : Event(app, name), log(log), initSucceeds(initSucceeds)
    {
    }
    ~FakeEvent() override { log.lines.push_back("destroy " + Name()); }
    bool Init() override
    {
      log.lines.push_back("init " + Name());
      return initSucceeds;
    }
    Event *RunFrame(EventManager &manager) override
    {
      log.lines.push_back("run " + Name());
      if(!next.empty())
        return manager.FindEvent(next);
      return this;
    }

    std::string next;

  private:
    EventLog &log;
    bool initSucceeds = true;
  };

  EventFactory MakeFactory(EventLog &log, bool createInitSucceeds = true)
  {
    EventFactory factory;
    factory.makeTitle = [&log](ScreenHost &app) { return std::make_unique<FakeEvent>(app, "EventTitle", log); };
    factory.makeCreate = [&log, createInitSucceeds](ScreenHost &app) {
      return std::make_unique<FakeEvent>(app, "EventCreate", log, createInitSucceeds);
    };
    return factory;
  }
}

TEST(EventManager, StartMakesTheTitleCurrentAndTheCreationScreenSecond)
{
  PaintApp app;
  EventLog log;
  EventManager manager;
  ASSERT_TRUE(manager.Start(app, MakeFactory(log)));
  ASSERT_EQ(manager.Count(), 2);
  EXPECT_EQ(manager.At(0)->Name(), "EventTitle");
  EXPECT_EQ(manager.At(1)->Name(), "EventCreate");
  EXPECT_EQ(manager.Current(), manager.At(0));
  EXPECT_EQ(manager.FindEvent("EventCreate"), manager.At(1));
  EXPECT_EQ(manager.FindEvent("EventNone"), nullptr);
  EXPECT_EQ(manager.FindEvent("eventcreate"), nullptr);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"init EventTitle", "init EventCreate"}));
}

TEST(EventManager, SwitchesWhenAnEventReturnsAnotherAndRunsOneEventPerFrame)
{
  PaintApp app;
  EventLog log;
  EventManager manager;
  ASSERT_TRUE(manager.Start(app, MakeFactory(log)));
  log.lines.clear();

  auto *title = static_cast<FakeEvent *>(manager.At(0));
  manager.Frame();
  EXPECT_EQ(manager.Current(), title);
  title->next = "EventCreate";
  manager.Frame();
  EXPECT_EQ(manager.Current(), manager.At(1));
  manager.Frame();
  EXPECT_EQ(log.lines, (std::vector<std::string>{"run EventTitle", "run EventTitle", "run EventCreate"}));
}

TEST(EventManager, DestroysBothEventsExactlyOnceTitleFirst)
{
  PaintApp app;
  EventLog log;
  {
    EventManager manager;
    ASSERT_TRUE(manager.Start(app, MakeFactory(log)));
  }
  EXPECT_EQ(log.lines, (std::vector<std::string>{"init EventTitle", "init EventCreate", "destroy EventTitle",
                                                 "destroy EventCreate"}));
}

TEST(EventManager, AFailedInitDestroysThatEventAndKeepsTheTitle)
{
  PaintApp app;
  EventLog log;
  EventManager manager;
  EXPECT_FALSE(manager.Start(app, MakeFactory(log, false)));
  EXPECT_EQ(manager.Count(), 1);
  EXPECT_EQ(manager.Current(), manager.At(0));
  EXPECT_EQ(log.lines, (std::vector<std::string>{"init EventTitle", "init EventCreate", "destroy EventCreate"}));
}

TEST(Event, NamesAreCutToSixtyThreeCharacters)
{
  PaintApp app;
  EventLog log;
  const std::string exact(63, 'a');
  FakeEvent fits(app, exact, log);
  EXPECT_EQ(fits.Name(), exact);
  FakeEvent cut(app, std::string(300, 'b'), log);
  EXPECT_EQ(cut.Name(), std::string(63, 'b'));
}

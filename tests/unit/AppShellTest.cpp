// The application shell without a window: the frame clock, the message loop
// and the event manager.
#include "app/AppWindow.h"
#include "app/EventManager.h"
#include "app/FrameClock.h"
#include "app/PaintApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(FrameClock, RunsOneFramePerMillisecondTick)
{
  FrameClock clock;
  // The first reading only starts the clock.
  EXPECT_FALSE(clock.Tick(100));
  EXPECT_FALSE(clock.Tick(100));
  // Two passes within one millisecond run one frame.
  EXPECT_TRUE(clock.Tick(101));
  EXPECT_FALSE(clock.Tick(101));
  EXPECT_TRUE(clock.Tick(105));
  // The millisecond counter wrapping around still counts as an advance.
  FrameClock wrapping;
  wrapping.Tick(0xFFFFFFFFu);
  EXPECT_TRUE(wrapping.Tick(0));
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
  struct EventLog {
    std::vector<std::string> lines;
  };

  // A screen that records its life and returns whatever it is told to.
  class FakeEvent : public Event {
  public:
    FakeEvent(PaintApp &app, const std::string &name, EventLog &log, bool initSucceeds = true)
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
    factory.makeTitle = [&log](PaintApp &app) { return std::make_unique<FakeEvent>(app, "EventTitle", log); };
    factory.makeCreate = [&log, createInitSucceeds](PaintApp &app) {
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

// The creation screen's palette: the 22 buttons in the studio's order, their
// inclusive hit rectangles, the hover sound, what a release does per kind,
// the exit and printer actions, icon translucency and the cursor's two
// sprites (composited here as the display's AND and OR would).
#include "WidgetTestSupport.h"

#include "events/EventManager.h"
#include "app/PaintApp.h"
#include "events/EventCreate.h"
#include "events/Studio.h"
#include "gfx/DrawingContext.h"
#include "gfx/GraphicsDevice.h"
#include "ui/ExitButton.h"
#include "ui/HandButton.h"
#include "ui/HistoryButton.h"
#include "ui/PrinterButton.h"
#include "ui/ToolButton.h"
#include "ui/ToolPalette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace WidgetTestSupport;

namespace {
  // The colour words of the pictures' file names, in screen order.
  const char *const colourWords[] = {"red", "green", "blue", "cyan", "magenta", "yellow", "white", "gray", "black"};

  // Every picture the 22 buttons load, as plain 4 by 4 pictures.
  void WriteAllButtonPictures()
  {
    for(const char *name : {"peke.png", "cursor_delete.bmp", "cursor_delete_mask.bmp", "cursor_delete.png",
                            "exit.png", "printer.png", "hand.png", "cursor_hand.bmp", "cursor_hand_mask.bmp",
                            "cursor_hand.png", "cursor_pen_mask.bmp", "cursor_cube_mask.bmp"})
      WritePlain(ScratchData::Path(name));
    for(const char *word : colourWords)
      for(const std::string family : {"pen", "cube"})
      {
        WritePlain(ScratchData::Path(family + "_" + word + ".png"));
        WritePlain(ScratchData::Path("cursor_" + family + "_" + word + ".bmp"));
        WritePlain(ScratchData::Path("cursor_" + family + "_" + word + ".png"));
      }
  }

  // A screen that does nothing, to be found by name.
  class NamedEvent : public Event {
  public:
    NamedEvent(PaintApp &owner, const std::string &name) : Event(owner, name) {}
    bool Init() override { return true; }
    Event *RunFrame(EventManager &) override { return this; }
  };

  // Puts an event into the process-wide manager for the length of a test.
  class ManagedEvent {
  public:
    ManagedEvent(PaintApp &owner, const std::string &name)
      : event(new NamedEvent(owner, name))
    {
      EventManager::Instance().Add(event);
    }
    ManagedEvent(const ManagedEvent &) = delete;
    ManagedEvent &operator=(const ManagedEvent &) = delete;
    ~ManagedEvent()
    {
      EventManager &manager = EventManager::Instance();
      const int index = manager.IndexOf(event);
      if(index >= 0)
        manager.RemoveAt(index);
    }

    Event *Get() const { return event; }

  private:
    // Owned by the manager's list, which destroys it on removal.
    Event *event = nullptr;
  };

  class ToolButtons : public ::testing::Test {
  protected:
    void SetUp() override
    {
      auto backend = std::make_unique<SpriteRecorder>();
      recorder = backend.get();
      recorder->SetDevice(&device);
      ASSERT_TRUE(device.CreateWithBackend(std::move(backend)));
    }

    // All 22 buttons, loaded, in the studio's order.
    void LoadPalette()
    {
      WriteAllButtonPictures();
      for(int i = 0; i < ToolPalette::ButtonCount; ++i)
      {
        std::unique_ptr<ToolButton> button = ToolPalette::MakeToolButton(i);
        ASSERT_NE(button, nullptr) << i;
        ASSERT_TRUE(button->Load(device, CurrentDataFiles())) << i;
        palette.push_back(std::move(button));
      }
    }

    // One input frame's palette poll; the first event handed back, or null.
    Event *PollAll(int x, int y)
    {
      for(auto &button : palette)
        if(Event *next = button->Poll(sounds, event, x, y))
          return next;
      return nullptr;
    }

    // The indices of the buttons hovered after polling at (x, y).
    std::set<int> HoveredAt(int x, int y)
    {
      PollAll(x, y);
      std::set<int> hovered;
      for(int i = 0; i < static_cast<int>(palette.size()); ++i)
        if(palette[static_cast<size_t>(i)]->Hovered())
          hovered.insert(i);
      return hovered;
    }

    // Every button's release, in list order, as the input step does.
    void ReleaseAll()
    {
      for(auto &button : palette)
        button->OnRelease(sounds, event);
    }

    ScratchData scratch;
    GraphicsDevice device;
    SpriteRecorder *recorder = nullptr;
    RecordingSounds sounds;
    PaintApp app;
    Studio studio;
    EventCreate event{app, studio};
    std::vector<std::unique_ptr<ToolButton>> palette;
  };
}

TEST_F(ToolButtons, PaletteComesInTheStudiosOrder)
{
  LoadPalette();
  ASSERT_EQ(palette.size(), 22u);
  EXPECT_EQ(palette[0]->Kind(), ToolKind::Eraser);
  EXPECT_EQ(palette[1]->Kind(), ToolKind::Exit);
  EXPECT_EQ(palette[2]->Kind(), ToolKind::Printer);
  EXPECT_EQ(palette[3]->Kind(), ToolKind::Hand);
  for(int i = 4; i < 13; ++i)
    EXPECT_EQ(palette[static_cast<size_t>(i)]->Kind(), ToolKind::Pen) << i;
  for(int i = 13; i < 22; ++i)
    EXPECT_EQ(palette[static_cast<size_t>(i)]->Kind(), ToolKind::Cube) << i;
  EXPECT_EQ(ToolPalette::MakeToolButton(-1), nullptr);
  EXPECT_EQ(ToolPalette::MakeToolButton(22), nullptr);
}

TEST_F(ToolButtons, BordersCountAsInsideAndNeighboursShareThem)
{
  LoadPalette();
  // The border between the red and the green pen hovers both, and both play.
  EXPECT_EQ(HoveredAt(176, 40), (std::set<int>{4, 5}));
  EXPECT_EQ(sounds.Count(SoundId::Select), 2);
  // y = 64 is in the pen row and the cube row: green pen and green cube
  // (list index 15, after the blue cube at 14).
  EXPECT_EQ(HoveredAt(200, 64), (std::set<int>{5, 15}));
  EXPECT_EQ(HoveredAt(250, 100), (std::set<int>{14}));
  // Corners of the left column and of the rows.
  EXPECT_EQ(HoveredAt(16, 208), (std::set<int>{0}));
  EXPECT_EQ(HoveredAt(88, 288), (std::set<int>{0}));
  EXPECT_EQ(HoveredAt(88, 464), (std::set<int>{1}));
  EXPECT_EQ(HoveredAt(16, 296), (std::set<int>{2}));
  EXPECT_EQ(HoveredAt(16, 120), (std::set<int>{3}));
  EXPECT_EQ(HoveredAt(626, 16), (std::set<int>{12}));
  EXPECT_EQ(HoveredAt(610, 112), (std::set<int>{21}));
  // Just outside, and in the gaps between buttons.
  EXPECT_EQ(HoveredAt(89, 288), (std::set<int>{}));
  EXPECT_EQ(HoveredAt(50, 204), (std::set<int>{}));
  EXPECT_EQ(HoveredAt(289, 30), (std::set<int>{}));
  EXPECT_EQ(HoveredAt(165, 90), (std::set<int>{}));
  EXPECT_EQ(HoveredAt(626, 15), (std::set<int>{}));
  EXPECT_EQ(HoveredAt(610, 113), (std::set<int>{}));
}

TEST_F(ToolButtons, HoverSoundPlaysOncePerEntry)
{
  LoadPalette();
  ToolButton &hand = *palette[3];
  hand.Poll(sounds, event, 50, 150);
  hand.Poll(sounds, event, 50, 150);
  hand.Poll(sounds, event, 80, 190);
  EXPECT_TRUE(hand.Hovered());
  EXPECT_EQ(sounds.Count(SoundId::Select), 1);
  hand.Poll(sounds, event, 50, 201);
  EXPECT_FALSE(hand.Hovered());
  hand.Poll(sounds, event, 50, 200);
  EXPECT_TRUE(hand.Hovered());
  EXPECT_EQ(sounds.Count(SoundId::Select), 2);
  EXPECT_EQ(sounds.played.size(), 2u);
}

TEST_F(ToolButtons, PenReleaseSetsOnlyThePenColourAndTheCursor)
{
  LoadPalette();
  ToolButton *selectedBefore = event.SelectedTool();
  PollAll(200, 40);  // the green pen
  sounds.played.clear();
  ReleaseAll();
  EXPECT_EQ(event.PenColor(), (RgbColour{0, 255, 0}));
  EXPECT_EQ(event.CubeColor(), (RgbColour{255, 255, 255}));
  EXPECT_EQ(event.CursorTool(), palette[5].get());
  // Choosing the selected tool and its sound belong to the input step.
  EXPECT_EQ(event.SelectedTool(), selectedBefore);
  EXPECT_TRUE(sounds.played.empty());

  PollAll(530, 40);  // the gray pen
  ReleaseAll();
  EXPECT_EQ(event.PenColor(), (RgbColour{198, 198, 198}));
  EXPECT_EQ(event.CursorTool(), palette[11].get());
}

TEST_F(ToolButtons, CubeReleaseSetsOnlyTheCubeColourAndTheCursor)
{
  LoadPalette();
  event.SetPenColor(1, 2, 3);
  // The second cube in the list is blue, drawn in the third place.
  PollAll(250, 100);
  ReleaseAll();
  EXPECT_EQ(event.CubeColor(), (RgbColour{0, 0, 255}));
  EXPECT_EQ(event.PenColor(), (RgbColour{1, 2, 3}));
  EXPECT_EQ(event.CursorTool(), palette[14].get());

  PollAll(200, 100);  // the green cube, list index 15
  ReleaseAll();
  EXPECT_EQ(event.CubeColor(), (RgbColour{0, 255, 0}));
  EXPECT_EQ(event.CursorTool(), palette[15].get());

  PollAll(580, 100);  // the black cube
  ReleaseAll();
  EXPECT_EQ(event.CubeColor(), (RgbColour{0, 0, 0}));
  EXPECT_EQ(event.PenColor(), (RgbColour{1, 2, 3}));
}

TEST_F(ToolButtons, EraserAndHandReleaseOnlyChangeTheCursor)
{
  LoadPalette();
  PollAll(50, 250);
  ReleaseAll();
  EXPECT_EQ(event.CursorTool(), palette[0].get());
  PollAll(50, 150);
  ReleaseAll();
  EXPECT_EQ(event.CursorTool(), palette[3].get());
  EXPECT_EQ(event.PenColor(), (RgbColour{255, 0, 0}));
  EXPECT_EQ(event.CubeColor(), (RgbColour{255, 255, 255}));

  // A release away from every button changes nothing.
  PollAll(300, 300);
  ReleaseAll();
  EXPECT_EQ(event.CursorTool(), palette[3].get());
}

TEST_F(ToolButtons, ExitReleasePlaysTheDoorAndTheNextPollReturnsTheTitleAfterASecond)
{
  LoadPalette();
  auto &exit = static_cast<ExitButton &>(*palette[1]);
  ToolButton *selectedBefore = event.SelectedTool();
  ToolButton *cursorBefore = event.CursorTool();

  // Released elsewhere: nothing happens.
  PollAll(300, 300);
  ReleaseAll();
  EXPECT_FALSE(exit.Pending());

  // With no title screen to go to, the exit is used up and the screen stays.
  PollAll(50, 420);
  ReleaseAll();
  ASSERT_TRUE(exit.Pending());
  EXPECT_EQ(PollAll(50, 420), nullptr);
  EXPECT_FALSE(exit.Pending());

  ManagedEvent title(app, "EventTitle");
  sounds.played.clear();
  ReleaseAll();
  EXPECT_TRUE(exit.Pending());
  EXPECT_EQ(sounds.played, (std::vector<SoundId>{SoundId::Door}));
  EXPECT_EQ(event.SelectedTool(), selectedBefore);
  EXPECT_EQ(event.CursorTool(), cursorBefore);

  const auto start = std::chrono::steady_clock::now();
  Event *next = PollAll(50, 420);
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_EQ(next, title.Get());
  EXPECT_GE(waited.count(), 990);
  EXPECT_FALSE(exit.Pending());
  // Done once: the following poll stays.
  EXPECT_EQ(PollAll(50, 420), nullptr);
}

TEST_F(ToolButtons, PrinterReleaseIsCarriedOutByTheNextPollEachTime)
{
  // No print server answers here, and no printer is named: printing saves
  // the captured picture, then fails at once without printing anything.
  const std::string socket = (std::filesystem::current_path() / "no-server.sock").string();
  ScopedVariable server("CUPS_SERVER", socket.c_str());
  ScopedVariable printerName("PRINTER", nullptr);
  ScopedVariable destination("LPDEST", nullptr);
  LoadPalette();
  auto &printer = static_cast<PrinterButton &>(*palette[2]);
  ToolButton *cursorBefore = event.CursorTool();
  const std::string picture = ScratchData::Path("pict.bmp");
  for(int round = 0; round < 2; ++round)
  {
    PollAll(50, 330);
    sounds.played.clear();
    ReleaseAll();
    EXPECT_TRUE(printer.Pending()) << round;
    EXPECT_EQ(sounds.played, (std::vector<SoundId>{SoundId::Print})) << round;
    // The release only asks; the print happens at the next poll.
    EXPECT_FALSE(std::filesystem::exists(picture)) << round;
    EXPECT_EQ(PollAll(50, 330), nullptr);
    EXPECT_FALSE(printer.Pending()) << round;
    EXPECT_TRUE(std::filesystem::exists(picture)) << round;
    std::filesystem::remove(picture);
    // Polling again prints nothing more.
    PollAll(50, 330);
    EXPECT_FALSE(std::filesystem::exists(picture)) << round;
  }
  EXPECT_EQ(event.CursorTool(), cursorBefore);
}

TEST_F(ToolButtons, IconsAreTranslucentUnlessHoveredOrSelected)
{
  LoadPalette();
  ToolButton &hand = *palette[3];
  hand.DrawNormal();
  ASSERT_EQ(recorder->Drawn().size(), 1u);
  EXPECT_EQ(recorder->Drawn().back().quad.colour, 0x62FFFFFFu);
  EXPECT_EQ(recorder->Drawn().back().quad.left, 8.f);
  EXPECT_EQ(recorder->Drawn().back().quad.top, 120.f);
  hand.DrawSelected();
  EXPECT_EQ(recorder->Drawn().back().quad.colour, 0xFFFFFFFFu);

  hand.Poll(sounds, event, 50, 150);
  hand.DrawNormal();
  EXPECT_EQ(recorder->Drawn().back().quad.colour, 0xFFFFFFFFu);
  hand.Poll(sounds, event, 0, 0);
  hand.DrawSelected();
  EXPECT_EQ(recorder->Drawn().back().quad.colour, 0xFFFFFFFFu);
  EXPECT_EQ(recorder->Drawn().size(), 4u);

  // The cube row's icons sit at y 64.
  palette[21]->DrawNormal();
  EXPECT_EQ(recorder->Drawn().back().quad.left, 562.f);
  EXPECT_EQ(recorder->Drawn().back().quad.top, 64.f);
}

TEST_F(ToolButtons, HistoryButtonsLookLikeToolsButAreFaintAndSilentWhileDisabled)
{
  WritePlain(ScratchData::Path("undo.png"), 88, 48);
  WritePlain(ScratchData::Path("redo.png"), 88, 48);
  HistoryButton undo(ToolKind::Undo);
  HistoryButton redo(ToolKind::Redo);
  ASSERT_TRUE(undo.Load(device, CurrentDataFiles()));
  ASSERT_TRUE(redo.Load(device, CurrentDataFiles()));
  EXPECT_EQ(undo.HitRectangle(), (HitRect{8, 16, 95, 63}));
  EXPECT_EQ(redo.HitRectangle(), (HitRect{8, 64, 95, 111}));
  EXPECT_EQ(redo.Position(), (Vector2{8.f, 64.f}));

  // Disabled: alpha 40, hovered or not, and no hover sound.
  const auto drawnAlpha = [&]() {
    undo.Draw();
    return recorder->Drawn().back().quad.colour >> 24;
  };
  EXPECT_EQ(drawnAlpha(), 40u);
  undo.Poll(sounds, event, 95, 63);
  EXPECT_EQ(drawnAlpha(), 40u);
  EXPECT_TRUE(sounds.played.empty());
  // Enabled: opaque while hovered, 98 otherwise, the sound on each entry.
  undo.SetEnabled(true);
  undo.Poll(sounds, event, 60, 30);
  EXPECT_EQ(drawnAlpha(), 255u);
  undo.Poll(sounds, event, 96, 30);
  EXPECT_EQ(drawnAlpha(), 98u);
  undo.Poll(sounds, event, 8, 16);
  EXPECT_EQ(sounds.played, std::vector<SoundId>{SoundId::Select});
  EXPECT_EQ(recorder->Drawn().back().quad.top, 16.f);

  // Without a history behind the screen a release does nothing.
  EXPECT_EQ(undo.OnRelease(sounds, event), 0);
  EXPECT_EQ(event.CursorTool(), nullptr);
  EXPECT_FALSE(HistoryButton(ToolKind::Pen).Load(device, CurrentDataFiles()));
}

TEST_F(ToolButtons, AnyMissingPictureFailsTheLoad)
{
  WriteAllButtonPictures();
  // The cursor picture is never drawn, but it must be there.
  std::filesystem::remove(ScratchData::Path("cursor_hand.png"));
  HandButton hand;
  EXPECT_FALSE(hand.Load(device, CurrentDataFiles()));
  EXPECT_FALSE(hand.HasSprite());

  // The pens share one mask: without it no pen loads, the cubes still do.
  std::filesystem::remove(ScratchData::Path("cursor_pen_mask.bmp"));
  for(int i = ToolPalette::FirstPen; i < ToolPalette::FirstCube; ++i)
    EXPECT_FALSE(ToolPalette::MakeToolButton(i)->Load(device, CurrentDataFiles())) << i;
  EXPECT_TRUE(ToolPalette::MakeToolButton(ToolPalette::FirstCube)->Load(device, CurrentDataFiles()));

  std::filesystem::remove(ScratchData::Path("exit.png"));
  EXPECT_FALSE(ExitButton().Load(device, CurrentDataFiles()));
}

namespace {
  constexpr uint32_t Background = 0xA5B6C7;
  // The made-up hand cursor: 40 by 30, its shape the block x 20..29, y 20..27.
  bool InShape(int x, int y) { return x >= 20 && x < 30 && y >= 20 && y < 28; }
  // The model area, where the creation screen leaves the viewport.
  const Viewport ModelArea{118, 128, 506, 336, 0.f, 1.f};

  // A screen of one colour (0x00RRGGBB) as the display would leave it after
  // the recorded sprites drawn with AND and OR: each texel's colour bytes
  // combined with the pixel under it, inside the quad's viewport. The quads
  // must be whole textures drawn unscaled at whole pixels.
  std::vector<uint32_t> Composite(const std::vector<DrawnSprite> &sprites, uint32_t background)
  {
    std::vector<uint32_t> screen(static_cast<size_t>(640) * 480, background);
    for(const DrawnSprite &sprite : sprites)
    {
      const SpriteQuad &quad = sprite.quad;
      const int width = sprite.texture->Width();
      const int height = sprite.texture->Height();
      EXPECT_NE(quad.blend, SpriteBlend::Alpha);
      EXPECT_EQ(quad.right - quad.left, static_cast<float>(width));
      EXPECT_EQ(quad.bottom - quad.top, static_cast<float>(height));
      EXPECT_EQ(quad.left, std::floor(quad.left));
      EXPECT_EQ(quad.top, std::floor(quad.top));
      EXPECT_EQ((std::array<float, 4>{quad.u0, quad.v0, quad.u1, quad.v1}), (std::array<float, 4>{0.f, 0.f, 1.f, 1.f}));
      EXPECT_FALSE(quad.smooth);
      EXPECT_EQ(quad.colour, 0xFFFFFFFFu);
      std::vector<uint32_t> texels(static_cast<size_t>(width) * height);
      EXPECT_TRUE(sprite.texture->Read(texels.data()));
      const Viewport &clip = quad.viewport;
      for(int ty = 0; ty < height; ++ty)
        for(int tx = 0; tx < width; ++tx)
        {
          const long long x = static_cast<long long>(quad.left) + tx;
          const long long y = static_cast<long long>(quad.top) + ty;
          if(x < clip.x || y < clip.y || x >= clip.x + clip.width || y >= clip.y + clip.height || x >= 640 || y >= 480)
            continue;
          uint32_t &pixel = screen[static_cast<size_t>(y) * 640 + static_cast<size_t>(x)];
          const uint32_t texel = texels[static_cast<size_t>(ty) * width + tx] & 0xFFFFFF;
          pixel = quad.blend == SpriteBlend::And ? pixel & texel : pixel | texel;
        }
    }
    return screen;
  }

  // A 16-bit (5-5-5) picture: pixel (x, y) is the 15-bit word word(x, y).
  void Write555(const std::string &path, int width, int height, const std::function<uint16_t(int, int)> &word)
  {
    WriteRawBmp(path, width, height, 16, [&](int y) {
      std::vector<uint8_t> bytes;
      for(int x = 0; x < width; ++x)
      {
        bytes.push_back(static_cast<uint8_t>(word(x, y)));
        bytes.push_back(static_cast<uint8_t>(word(x, y) >> 8));
      }
      return bytes;
    });
  }
}

TEST_F(ToolButtons, CursorIsTheMaskAndedThenTheBitmapOredAtTheHotSpot)
{
  WriteAllButtonPictures();
  // Mask: white where the screen shows through, black under the shape, and
  // one grey pixel at (5, 5) that keeps the low bits of the screen.
  WriteBmp(ScratchData::Path("cursor_hand_mask.bmp"), 40, 30, [](int x, int y) -> uint32_t {
    if(x == 5 && y == 5)
      return 0x0F0F0F;
    return InShape(x, y) ? 0x000000 : 0xFFFFFF;
  });
  // Colour: the shape's pixels carry their column; outside it black, except
  // two pixels that show the OR.
  WriteBmp(ScratchData::Path("cursor_hand.bmp"), 40, 30, [](int x, int y) -> uint32_t {
    if(x == 5 && y == 5)
      return 0x300000;
    if(x == 2 && y == 2)
      return 0x000008;
    return InShape(x, y) ? 0x00FF00u | static_cast<uint32_t>(x) : 0;
  });
  HandButton hand;
  ASSERT_TRUE(hand.Load(device, CurrentDataFiles()));
  ASSERT_EQ(hand.HotSpot(), (Vector2{26.f, 26.f}));
  ASSERT_NE(hand.CursorMask(), nullptr);
  ASSERT_NE(hand.CursorBitmap(), nullptr);

  // Hot spot (26, 26) at the mouse (100, 100): the cursor's corner is (74,
  // 74), outside the model area the screen left the viewport on.
  device.SetViewport(ModelArea);
  const size_t before = recorder->Drawn().size();
  hand.DrawCursor(device, 100, 100);
  EXPECT_EQ(device.GetViewport(), ModelArea) << "the viewport is put back";
  const std::vector<DrawnSprite> drawn(recorder->Drawn().begin() + static_cast<std::ptrdiff_t>(before),
                                       recorder->Drawn().end());
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].texture, hand.CursorMask());
  EXPECT_EQ(drawn[0].quad.blend, SpriteBlend::And);
  EXPECT_EQ(drawn[1].texture, hand.CursorBitmap());
  EXPECT_EQ(drawn[1].quad.blend, SpriteBlend::Or);
  for(const DrawnSprite &sprite : drawn)
  {
    EXPECT_EQ(sprite.quad.left, 74.f);
    EXPECT_EQ(sprite.quad.top, 74.f);
    EXPECT_EQ(sprite.quad.viewport, (Viewport{0, 0, 640, 480, 0.f, 1.f}));
  }

  const std::vector<uint32_t> screen = Composite(drawn, Background);
  auto at = [&](int x, int y) { return screen[static_cast<size_t>(y) * 640 + x]; };
  EXPECT_EQ(at(74 + 20, 74 + 20), 0x00FF14u);
  EXPECT_EQ(at(74 + 29, 74 + 27), 0x00FF1Du);
  EXPECT_EQ(at(74 + 19, 74 + 20), Background);
  EXPECT_EQ(at(74 + 20, 74 + 28), Background);
  EXPECT_EQ(at(74 + 5, 74 + 5), (Background & 0x0F0F0F) | 0x300000);
  EXPECT_EQ(at(74 + 2, 74 + 2), Background | 0x000008);
  // Nothing outside the 40 by 30 rectangle changes.
  int changed = 0;
  for(int y = 0; y < 480; ++y)
    for(int x = 0; x < 640; ++x)
      if(at(x, y) != Background)
      {
        ++changed;
        EXPECT_TRUE(x >= 74 && x < 114 && y >= 74 && y < 104) << x << ", " << y;
      }
  EXPECT_EQ(changed, 80 + 2);
}

TEST_F(ToolButtons, CursorIsClippedAtTheScreenEdges)
{
  WriteAllButtonPictures();
  WriteBmp(ScratchData::Path("cursor_hand_mask.bmp"), 40, 30,
           [](int x, int y) -> uint32_t { return InShape(x, y) ? 0x000000 : 0xFFFFFF; });
  WriteBmp(ScratchData::Path("cursor_hand.bmp"), 40, 30, [](int x, int y) -> uint32_t {
    return InShape(x, y) ? 0x00FF00u | static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y) : 0;
  });
  HandButton hand;
  ASSERT_TRUE(hand.Load(device, CurrentDataFiles()));

  device.SetViewport(ModelArea);
  // Mouse at (3, 478): the corner is (-23, 452); the shape's columns 20..22
  // fall off the left edge and nothing lands below row 479.
  hand.DrawCursor(device, 3, 478);
  // Mouse at (639, 0): the corner is (613, -26); only the shape's columns
  // 20..26 of its rows 26 and 27 land on the screen.
  hand.DrawCursor(device, 639, 0);
  ASSERT_EQ(recorder->Drawn().size(), 4u);
  EXPECT_EQ(recorder->Drawn()[0].quad.left, -23.f);
  EXPECT_EQ(recorder->Drawn()[0].quad.top, 452.f);
  EXPECT_EQ(recorder->Drawn()[3].quad.left, 613.f);
  EXPECT_EQ(recorder->Drawn()[3].quad.top, -26.f);
  const std::vector<uint32_t> screen = Composite(recorder->Drawn(), Background);
  auto at = [&](int x, int y) { return screen[static_cast<size_t>(y) * 640 + x]; };

  EXPECT_EQ(at(0, 472), 0x17FF14u);   // shape pixel (23, 20)
  EXPECT_EQ(at(6, 479), 0x1DFF1Bu);   // shape pixel (29, 27)
  EXPECT_EQ(at(639, 0), 0x1AFF1Au);   // shape pixel (26, 26)
  EXPECT_EQ(at(639, 1), 0x1AFF1Bu);   // shape pixel (26, 27)
  EXPECT_EQ(at(633, 0), 0x14FF1Au);   // shape pixel (20, 26)
  EXPECT_EQ(at(639, 2), Background);
  int changed = 0;
  for(uint32_t pixel : screen)
    changed += pixel != Background;
  EXPECT_EQ(changed, 7 * 8 + 7 * 2);
}

TEST_F(ToolButtons, CursorTexturesHoldWhatDrawingTheBitmapsWouldCombine)
{
  // 16-bit pictures (5-5-5, each channel widened to 8 bits) of an odd width
  // whose rows are padded, and a 32-bit one whose fourth byte is not colour.
  WriteAllButtonPictures();
  Write555(ScratchData::Path("cursor_hand_mask.bmp"), 13, 7, [](int x, int y) -> uint16_t {
    return static_cast<uint16_t>((x * 2477 + y * 331) & 0x7FFF);
  });
  Write555(ScratchData::Path("cursor_hand.bmp"), 13, 7, [](int x, int y) -> uint16_t {
    return static_cast<uint16_t>(0x8000 | ((x * 1013 + y * 4099) & 0x7FFF));
  });
  WriteRawBmp(ScratchData::Path("cursor_delete.bmp"), 5, 3, 32, [](int y) {
    std::vector<uint8_t> bytes;
    for(int x = 0; x < 5; ++x)
      for(uint8_t byte : {uint8_t(x * 50), uint8_t(y * 90), uint8_t(x * y * 20 + 7), uint8_t(0x5A)})
        bytes.push_back(byte);
    return bytes;
  });
  HandButton hand;
  ASSERT_TRUE(hand.Load(device, CurrentDataFiles()));
  std::unique_ptr<ToolButton> eraser = ToolPalette::MakeToolButton(0);
  ASSERT_TRUE(eraser->Load(device, CurrentDataFiles()));

  struct Case {
    const DeviceTexture *texture;
    std::string file;
  };
  for(const Case &c : {Case{hand.CursorMask(), "cursor_hand_mask.bmp"}, Case{hand.CursorBitmap(), "cursor_hand.bmp"},
                       Case{eraser->CursorBitmap(), "cursor_delete.bmp"}})
  {
    ASSERT_NE(c.texture, nullptr) << c.file;
    // The picture drawn onto an empty 32-bit image, as the screen's drawing
    // context drew cursors: the colours it combines with the screen.
    DibImage file;
    ASSERT_TRUE(file.LoadBmp(ScratchData::Path(c.file)));
    const int width = file.Width();
    const int height = file.Bits().Rows();
    std::vector<uint32_t> drawn(static_cast<size_t>(width) * height, 0);
    PixelView view;
    view.bits = reinterpret_cast<uint8_t *>(drawn.data());
    view.width = width;
    view.height = height;
    view.pitch = static_cast<std::ptrdiff_t>(width) * 4;
    view.format = PixelFormat::Xrgb32;
    DrawingContext(view).DrawBitmap(0, 0, file.Bits(), RasterOperation::Copy);

    ASSERT_EQ(c.texture->Width(), width) << c.file;
    ASSERT_EQ(c.texture->Height(), height) << c.file;
    std::vector<uint32_t> texels(drawn.size());
    ASSERT_TRUE(c.texture->Read(texels.data()));
    for(size_t i = 0; i < drawn.size(); ++i)
      ASSERT_EQ(texels[i], drawn[i] | 0xFF000000u) << c.file << " texel " << i;
  }
}

TEST_F(ToolButtons, ACursorBitmapThatCannotBeDrawnFailsTheLoadWithOneLine)
{
  WriteAllButtonPictures();
  // 20 bits per pixel: a BMP the reader accepts but drawing does not know.
  WriteRawBmp(ScratchData::Path("cursor_hand.bmp"), 4, 4, 20,
              [](int) { return std::vector<uint8_t>(12, 0x77); });
  HandButton hand;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(hand.Load(device, CurrentDataFiles()));
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("cursor_hand.bmp"), std::string::npos) << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_EQ(hand.CursorBitmap(), nullptr);
  EXPECT_EQ(hand.CursorMask(), nullptr);
  const size_t before = recorder->Drawn().size();
  hand.DrawCursor(device, 100, 100);
  EXPECT_EQ(recorder->Drawn().size(), before);
}

TEST(RepositoryPictures, EveryToolButtonLoadsWithACursorWhereItHasOne)
{
  InSourceTree inSource;
  if(!InSourceTree::HasPictures())
    GTEST_SKIP() << "the pictures have not been generated into data/";
  GraphicsDevice device;
  auto backend = std::make_unique<SpriteRecorder>();
  SpriteRecorder *recorder = backend.get();
  recorder->SetDevice(&device);
  ASSERT_TRUE(device.CreateWithBackend(std::move(backend)));
  for(int i = 0; i < ToolPalette::ButtonCount; ++i)
  {
    std::unique_ptr<ToolButton> button = ToolPalette::MakeToolButton(i);
    ASSERT_TRUE(button->Load(device, CurrentDataFiles())) << i;
    // The cursor is drawn onto a black screen, where it leaves its colour
    // bitmap: every button but exit and printer must leave something.
    const size_t before = recorder->Drawn().size();
    button->DrawCursor(device, 320, 240);
    const std::vector<DrawnSprite> drawn(recorder->Drawn().begin() + static_cast<std::ptrdiff_t>(before),
                                         recorder->Drawn().end());
    const std::vector<uint32_t> screen = Composite(drawn, 0);
    const bool visible = std::any_of(screen.begin(), screen.end(), [](uint32_t pixel) { return pixel != 0; });
    const bool hasCursor = button->Kind() != ToolKind::Exit && button->Kind() != ToolKind::Printer;
    EXPECT_EQ(visible, hasCursor) << i;
    EXPECT_EQ(drawn.size(), hasCursor ? 2u : 0u) << i;
  }
}

// The title screen's widgets: the centred picture, the start and end buttons
// with their hover sound and translucency, and the selection animation.
#include "WidgetTestSupport.h"

#include "gfx/GraphicsDevice.h"
#include "ui/EndButton.h"
#include "ui/SelectedAnimation.h"
#include "ui/StartButton.h"
#include "ui/TitlePicture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace WidgetTestSupport;

namespace {
  class TitleWidgets : public ::testing::Test {
  protected:
    void SetUp() override
    {
      auto backend = std::make_unique<SpriteRecorder>();
      recorder = backend.get();
      recorder->SetDevice(&device);
      ASSERT_TRUE(device.CreateWithBackend(std::move(backend)));
    }

    // The four pictures of the buttons; the "on" and "off" pictures have
    // different sizes so that a drawn quad tells which one was used.
    void WriteButtonPictures()
    {
      WritePlain(ScratchData::Path("start_on.bmp"), 6, 5);
      WritePlain(ScratchData::Path("start_off.bmp"), 3, 3);
      WritePlain(ScratchData::Path("end_on.bmp"), 7, 2);
      WritePlain(ScratchData::Path("end_off.bmp"), 3, 3);
    }

    // Frame i is i + 1 pixels wide, so the width of a drawn quad names the frame.
    void WriteFrames()
    {
      for(int i = 0; i < SelectedAnimation::FrameCount; ++i)
        WritePlain(ScratchData::Path("selected" + std::to_string(i) + ".png"), i + 1, 2);
    }

    const DrawnSprite &LastSprite() { return recorder->Drawn().back(); }

    ScratchData scratch;
    GraphicsDevice device;
    SpriteRecorder *recorder = nullptr;
    RecordingSounds sounds;
  };
}

TEST_F(TitleWidgets, StartButtonEdgesAreInsideAndTheSoundPlaysOncePerEntry)
{
  WriteButtonPictures();
  StartButton start;
  ASSERT_TRUE(start.Load(device, CurrentDataFiles()));

  start.Poll(sounds, 144, 352);
  EXPECT_FALSE(start.Hovered());
  start.Poll(sounds, 145, 352);
  EXPECT_TRUE(start.Hovered());
  // Staying inside (here moving to the opposite corner) plays nothing more.
  start.Poll(sounds, 280, 397);
  EXPECT_TRUE(start.Hovered());
  EXPECT_EQ(sounds.Count(SoundId::Select), 1);

  start.Poll(sounds, 281, 397);
  EXPECT_FALSE(start.Hovered());
  start.Poll(sounds, 280, 398);
  EXPECT_FALSE(start.Hovered());
  // Coming back is a new entry.
  start.Poll(sounds, 200, 370);
  EXPECT_EQ(sounds.Count(SoundId::Select), 2);
  EXPECT_EQ(sounds.played.size(), 2u);
}

TEST_F(TitleWidgets, MovingFromStartStraightOntoEndPlaysTheHoverSoundAgain)
{
  WriteButtonPictures();
  StartButton start;
  EndButton end;
  ASSERT_TRUE(start.Load(device, CurrentDataFiles()));
  ASSERT_TRUE(end.Load(device, CurrentDataFiles()));

  // One frame polls start, then end, as the title screen does.
  auto frame = [&](int x, int y) {
    start.Poll(sounds, x, y);
    end.Poll(sounds, x, y);
  };
  frame(280, 360);
  EXPECT_TRUE(start.Hovered());
  EXPECT_FALSE(end.Hovered());
  frame(360, 360);
  EXPECT_FALSE(start.Hovered());
  EXPECT_TRUE(end.Hovered());
  EXPECT_EQ(sounds.Count(SoundId::Select), 2);
  // The end button's far corner is inside too.
  frame(495, 397);
  EXPECT_TRUE(end.Hovered());
  EXPECT_EQ(sounds.Count(SoundId::Select), 2);
}

TEST_F(TitleWidgets, ButtonsDrawTheOnPictureTranslucentUnlessHovered)
{
  WriteButtonPictures();
  StartButton start;
  EndButton end;
  ASSERT_TRUE(start.Load(device, CurrentDataFiles()));
  ASSERT_TRUE(end.Load(device, CurrentDataFiles()));

  start.DrawSprite();
  ASSERT_EQ(recorder->Drawn().size(), 1u);
  EXPECT_EQ(LastSprite().quad.colour, 0x62FFFFFFu);
  EXPECT_EQ(LastSprite().quad.left, 68.f);
  EXPECT_EQ(LastSprite().quad.top, 311.f);
  // The 6 by 5 on picture, not the 3 by 3 off picture.
  EXPECT_EQ(LastSprite().quad.right, 74.f);
  EXPECT_EQ(LastSprite().quad.bottom, 316.f);

  end.Poll(sounds, 400, 380);
  end.DrawSprite();
  ASSERT_EQ(recorder->Drawn().size(), 2u);
  EXPECT_EQ(LastSprite().quad.colour, 0xFFFFFFFFu);
  EXPECT_EQ(LastSprite().quad.left, 302.f);
  EXPECT_EQ(LastSprite().quad.right, 309.f);

  // Leaving makes it translucent again.
  end.Poll(sounds, 0, 0);
  end.DrawSprite();
  EXPECT_EQ(LastSprite().quad.colour, 0x62FFFFFFu);
}

TEST_F(TitleWidgets, AMissingOffPictureFailsTheLoadAlthoughItIsNeverDrawn)
{
  WritePlain(ScratchData::Path("start_on.bmp"));
  StartButton start;
  EXPECT_FALSE(start.Load(device, CurrentDataFiles()));
  EXPECT_FALSE(start.HasSprite());
  EXPECT_EQ(device.Listeners().Count(), 0);

  WritePlain(ScratchData::Path("start_off.bmp"));
  EXPECT_TRUE(start.Load(device, CurrentDataFiles()));
  EXPECT_EQ(device.Listeners().Count(), 1);
}

TEST_F(TitleWidgets, TitlePictureIsCentredAsA512WidePicture)
{
  // The file is far smaller than 512: the picture is placed as if it were 512.
  WritePlain(ScratchData::Path("title.bmp"), 8, 8);
  TitlePicture title;
  ASSERT_TRUE(title.Load(device, CurrentDataFiles(), 640, 480));
  EXPECT_EQ(title.Position(), (Vector2{64.f, 0.f}));
  title.DrawSprite();
  ASSERT_EQ(recorder->Drawn().size(), 1u);
  EXPECT_EQ(LastSprite().quad.left, 64.f);
  EXPECT_EQ(LastSprite().quad.top, 0.f);
  EXPECT_EQ(LastSprite().quad.colour, 0xFFFFFFFFu);

  // A screen narrower than the picture: the halving truncates toward zero
  // ((101 - 512) / 2 = -205, not -206).
  TitlePicture narrow;
  ASSERT_TRUE(narrow.Load(device, CurrentDataFiles(), 101, 480));
  EXPECT_EQ(narrow.Position(), (Vector2{-205.f, 0.f}));

  TitlePicture missing;
  std::filesystem::remove(ScratchData::Path("title.bmp"));
  EXPECT_FALSE(missing.Load(device, CurrentDataFiles(), 640, 480));
}

TEST_F(TitleWidgets, AnimationIgnoresFramesOutsideTheTenAndDrawsTheChosenOne)
{
  WriteFrames();
  SelectedAnimation animation;
  ASSERT_TRUE(animation.Load(device, CurrentDataFiles()));
  EXPECT_EQ(animation.FrameIndex(), 0);
  EXPECT_EQ(animation.Position(), (Vector2{0.f, 0.f}));

  animation.SetFrame(9);
  EXPECT_EQ(animation.FrameIndex(), 9);
  animation.SetFrame(10);
  EXPECT_EQ(animation.FrameIndex(), 9);
  animation.SetFrame(-1);
  EXPECT_EQ(animation.FrameIndex(), 9);

  animation.SetPosition({80.f, 312.f});
  animation.DrawSprite(255);
  ASSERT_EQ(recorder->Drawn().size(), 1u);
  // Frame 9 is ten pixels wide.
  EXPECT_EQ(LastSprite().quad.right - LastSprite().quad.left, 10.f);
  EXPECT_EQ(LastSprite().quad.left, 80.f);
  EXPECT_EQ(LastSprite().quad.top, 312.f);
  EXPECT_EQ(LastSprite().quad.colour, 0xFFFFFFFFu);

  animation.SetFrame(3);
  animation.DrawSprite(0x80);
  EXPECT_EQ(LastSprite().quad.right - LastSprite().quad.left, 4.f);
  EXPECT_EQ(LastSprite().quad.colour, 0x80FFFFFFu);
}

TEST_F(TitleWidgets, AnimationWithAMissingFrameDoesNotLoad)
{
  WriteFrames();
  std::filesystem::remove(ScratchData::Path("selected7.png"));
  SelectedAnimation animation;
  EXPECT_FALSE(animation.Load(device, CurrentDataFiles()));
  EXPECT_FALSE(animation.HasSprite());
}

TEST(RepositoryPictures, EveryTitleWidgetLoads)
{
  InSourceTree inSource;
  if(!InSourceTree::HasPictures())
    GTEST_SKIP() << "the pictures have not been generated into data/";
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  TitlePicture title;
  StartButton start;
  EndButton end;
  SelectedAnimation animation;
  EXPECT_TRUE(title.Load(device, CurrentDataFiles(), 640, 480));
  EXPECT_TRUE(start.Load(device, CurrentDataFiles()));
  EXPECT_TRUE(end.Load(device, CurrentDataFiles()));
  EXPECT_TRUE(animation.Load(device, CurrentDataFiles()));
  EXPECT_EQ(device.Listeners().Count(), 4);
}

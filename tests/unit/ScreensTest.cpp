// The two screens driven frame by frame without a window: a studio loaded from
// the repository's data/, a headless device, a scripted pointer and keys, and
// the sounds recorded as they are played. Covers the creation screen's input
// (the four states of the left button, pen strokes, cubes, the eraser, the
// hand, choosing tools on release, the exit and printer buttons) and the title
// (choosing, counting the mark's frames, the hand-over to the creation screen),
// which frames present and which rest, and undo and redo from their keys and
// their buttons.
#include "events/EventManager.h"
#include "app/PaintApp.h"
#include "create/OrbitCamera.h"
#include "events/EventCreate.h"
#include "events/EventTitle.h"
#include "events/Studio.h"
#include "gfx/HeadlessBackend.h"
#include "model/VoxelModel.h"
#include "store/SaveFolder.h"
#include "res/Texture.h"
#include "ui/ExitButton.h"
#include "ui/HistoryButton.h"
#include "ui/PrinterButton.h"
#include "ui/SelectedAnimation.h"
#include "ui/HitRect.h"
#include "ui/StartButton.h"
#include "ui/ToolButton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {
  // Pointer and keys as the test sets them for the next frame.
  class ScriptedInput : public InputSource {
  public:
    void MousePosition(int &outX, int &outY) const override
    {
      ++pointerReads;
      outX = x;
      outY = y;
    }
    int KeyState(Key key) override
    {
      ++keyReads;
      return keys[static_cast<size_t>(key)];
    }

    void Set(Key key, bool down) { keys[static_cast<size_t>(key)] = down ? 1 : 0; }

    int x = 0;
    int y = 0;
    mutable int pointerReads = 0;
    int keyReads = 0;

  private:
    std::array<int, static_cast<size_t>(Key::Count)> keys{};
  };

  // The application with the logical 640 by 480 screen but no window. Like
  // the program, destroying the window releases the studio.
  class WindowlessApp : public PaintApp {
  public:
    WindowlessApp()
    {
      width = ScreenWidth;
      height = ScreenHeight;
    }

    Studio *releasedOnDestroy = nullptr;

  protected:
    int WindowProc(const WindowMessage &message) override
    {
      const int result = PaintApp::WindowProc(message);
      if(message.kind == WindowMessage::Kind::Destroy && releasedOnDestroy)
        releasedOnDestroy->Teardown();
      return result;
    }
  };

  // The studio, with every sound it plays written down.
  class RecordingStudio : public Studio {
  public:
    void Play(SoundId id) const override
    {
      played.push_back(id);
      Studio::Play(id);
    }

    int Count(SoundId id) const { return static_cast<int>(std::count(played.begin(), played.end(), id)); }

    mutable std::vector<SoundId> played;
  };

  // The memory back end, counting how often the processor read the back buffer.
  class CountingBackend : public HeadlessBackend {
  public:
    CountingBackend() : HeadlessBackend(640, 480) {}

    void ReadBackBuffer(uint32_t *pixels) override
    {
      ++readBacks;
      HeadlessBackend::ReadBackBuffer(pixels);
    }

    int ReadBacks() const { return readBacks; }

  private:
    int readBacks = 0;
  };

  // A room face's texels, three bytes each.
  std::vector<uint8_t> FaceTexels(const VoxelModel &model, int face)
  {
    const DibImage &image = *model.At(0)->FaceTexture(face)->Backing();
    return std::vector<uint8_t>(image.Data(), image.Data() + static_cast<size_t>(image.Width()) * image.Height() * 3);
  }

  // Which texels differ between two copies of a face, by texel index.
  std::set<size_t> ChangedTexels(const std::vector<uint8_t> &before, const std::vector<uint8_t> &after)
  {
    std::set<size_t> changed;
    for(size_t i = 0; i + 2 < before.size(); i += 3)
      if(before[i] != after[i] || before[i + 1] != after[i + 1] || before[i + 2] != after[i + 2])
        changed.insert(i / 3);
    return changed;
  }

  constexpr int FloorFace = 5;

  class Screens : public ::testing::Test {
  protected:
    void SetUp() override
    {
      auto backend = std::make_unique<CountingBackend>();
      headless = backend.get();
      ASSERT_TRUE(app.Device().CreateWithBackend(std::move(backend)));
      app.Sounds().Init();
      app.SendMessage({WindowMessage::Kind::Activate, 1});
      app.SetInputSource(&input);
      ASSERT_TRUE(studio.Init(app, app.Device(), 640, 480));
      app.releasedOnDestroy = &studio;

      // The exit button finds the title through the process-wide manager.
      EventManager &manager = EventManager::Instance();
      ASSERT_EQ(manager.Count(), 0);
      EventFactory factory;
      factory.makeTitle = [this](ScreenHost &owner) { return std::make_unique<EventTitle>(owner, studio); };
      factory.makeCreate = [this](ScreenHost &owner) { return std::make_unique<EventCreate>(owner, studio); };
      ASSERT_TRUE(manager.Start(app, factory));
      title = static_cast<EventTitle *>(manager.FindEvent("EventTitle"));
      create = static_cast<EventCreate *>(manager.FindEvent("EventCreate"));
      ASSERT_NE(title, nullptr);
      ASSERT_NE(create, nullptr);
    }

    void TearDown() override { EventManager::Instance().Clear(); }

    // One input step of the creation screen with the pointer at (x, y).
    Event *Input(int x, int y, bool left)
    {
      input.x = x;
      input.y = y;
      input.Set(Key::LeftButton, left);
      return create->HandleInput();
    }

    // A whole click at (x, y): a frame with the button up, one down, one up.
    void Click(int x, int y)
    {
      Input(x, y, false);
      Input(x, y, true);
      Input(x, y, false);
    }

    VoxelModel &Model() { return *studio.Model(); }

    // A pixel of the floor whose square of `margin` pixels each way is floor
    // too, in the lower left of the floor, away from the diagonal where its
    // two triangles meet (a pick exactly on it may miss).
    std::pair<int, int> FloorPixel(int margin)
    {
      for(int y = 390; y < 464 - margin; ++y)
        for(int x = 118 + margin; x < 340 - margin; ++x)
        {
          const int step = std::max(margin, 1);
          bool allFloor = true;
          for(int dy = -margin; dy <= margin && allFloor; dy += step)
            for(int dx = -margin; dx <= margin && allFloor; dx += step)
            {
              const PickRecord &record = Model().RecordAt(x + dx, y + dy);
              allFloor = record.mesh == Model().At(0) && record.faceIndex == FloorFace;
            }
          if(allFloor)
            return {x, y};
        }
      ADD_FAILURE() << "no floor in view";
      return {0, 0};
    }

    // The room's mesh and every cube's, in order.
    std::vector<const CubeMesh *> Meshes()
    {
      std::vector<const CubeMesh *> meshes;
      for(int i = 0; i < Model().Count(); ++i)
        meshes.push_back(Model().At(i));
      return meshes;
    }

    WindowlessApp app;
    CountingBackend *headless = nullptr;
    ScriptedInput input;
    RecordingStudio studio;
    EventTitle *title = nullptr;
    EventCreate *create = nullptr;
  };

  // A pen stroke from one point to another in one frame, and the points it
  // paints, as offsets from a floor pixel: (10, 10) to (13, 11) paints (10, 10),
  // (11, 10) and (12, 10); (10, 10) to (8, 5) paints (10, 10), (10, 9),
  // (10, 8), (9, 7) and (9, 6).
  struct StrokeCase {
    std::pair<int, int> from;
    std::pair<int, int> to;
    std::vector<std::pair<int, int>> painted;
    // The pen's colour, the colour the expected points are painted with
    // afterwards, and the colour the end point is painted with: all
    // different, so that every step changes the texels it reaches.
    RgbColour pen;
    RgbColour check;
    RgbColour end;
  };
}

TEST_F(Screens, PenPaintsOnPressAndEachDragPaintsItsInterpolatedPointsOnly)
{
  const auto [fx, fy] = FloorPixel(12);
  const std::vector<StrokeCase> cases = {
    {{0, 0}, {3, 1}, {{0, 0}, {1, 0}, {2, 0}}, {255, 0, 0}, {0, 0, 255}, {0, 255, 0}},
    // Negative fractions truncate toward zero.
    {{6, 6}, {4, 1}, {{6, 6}, {6, 5}, {6, 4}, {5, 3}, {5, 2}}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255}},
  };
  for(const StrokeCase &stroke : cases)
  {
    const int ax = fx + stroke.from.first, ay = fy + stroke.from.second;
    const int bx = fx + stroke.to.first, by = fy + stroke.to.second;
    create->SetPenColor(stroke.pen.red, stroke.pen.green, stroke.pen.blue);
    Input(ax, ay, false);
    const std::vector<uint8_t> before = FaceTexels(Model(), FloorFace);
    // Press: the press point only.
    Input(ax, ay, true);
    const std::vector<uint8_t> pressed = FaceTexels(Model(), FloorFace);
    EXPECT_EQ(ChangedTexels(before, pressed).size(), 1u);
    EXPECT_TRUE(create->PenStrokeActive());
    // Held without moving: nothing more.
    Input(ax, ay, true);
    EXPECT_EQ(FaceTexels(Model(), FloorFace), pressed);
    // Held and moved: the segment, then the release paints nothing.
    Input(bx, by, true);
    Input(bx, by, false);
    EXPECT_FALSE(create->PenStrokeActive());
    const std::vector<uint8_t> stroked = FaceTexels(Model(), FloorFace);
    const std::set<size_t> strokeTexels = ChangedTexels(before, stroked);

    // The same points painted directly in another colour must cover exactly
    // the texels the stroke painted: a missing point changes a texel the
    // stroke left alone, an extra one leaves a stroke texel in the pen colour.
    for(const auto &[dx, dy] : stroke.painted)
      EXPECT_TRUE(Model().PaintAt(app.Device(), fx + dx, fy + dy, stroke.check));
    const std::vector<uint8_t> repainted = FaceTexels(Model(), FloorFace);
    EXPECT_EQ(ChangedTexels(before, repainted), strokeTexels) << "stroke to " << bx << ", " << by;
    // The end point itself was not painted, and would have been seen.
    ASSERT_TRUE(Model().PaintAt(app.Device(), bx, by, stroke.end));
    const std::set<size_t> endTexels = ChangedTexels(repainted, FaceTexels(Model(), FloorFace));
    ASSERT_EQ(endTexels.size(), 1u);
    EXPECT_EQ(strokeTexels.count(*endTexels.begin()), 0u);
  }
  EXPECT_EQ(studio.Count(SoundId::Put) + studio.Count(SoundId::Del) + studio.Count(SoundId::Selected), 0);
}

TEST_F(Screens, APenPressThatPaintedFreezesThePaletteUntilRelease)
{
  const auto [fx, fy] = FloorPixel(0);
  Input(fx, fy, false);
  Input(fx, fy, true);
  ASSERT_TRUE(create->PenStrokeActive());
  studio.played.clear();
  // Dragged onto the border of the red and green pens, released there: no
  // hover, no hover sound, nothing selected, the colour unchanged.
  Input(176, 40, true);
  Input(176, 40, false);
  EXPECT_FALSE(studio.Tool(4)->Hovered());
  EXPECT_FALSE(studio.Tool(5)->Hovered());
  EXPECT_TRUE(studio.played.empty());
  EXPECT_EQ(create->SelectedTool(), studio.Tool(Studio::RedPenIndex));
  EXPECT_EQ(create->PenColor(), (RgbColour{255, 0, 0}));
  EXPECT_FALSE(create->PenStrokeActive());
  // The next frame polls the palette again.
  Input(176, 40, false);
  EXPECT_TRUE(studio.Tool(5)->Hovered());
  EXPECT_EQ(studio.Count(SoundId::Select), 2);
}

TEST_F(Screens, APressOnThePaletteReleasedOverTheModelSelectsNothing)
{
  const auto [fx, fy] = FloorPixel(0);
  Input(200, 40, false);
  ASSERT_TRUE(studio.Tool(5)->Hovered());
  Input(200, 40, true);
  EXPECT_FALSE(create->PenStrokeActive());
  Input(fx, fy, true);
  Input(fx, fy, false);
  EXPECT_EQ(create->SelectedTool(), studio.Tool(Studio::RedPenIndex));
  EXPECT_EQ(create->CursorTool(), studio.Tool(Studio::RedPenIndex));
  EXPECT_EQ(create->PenColor(), (RgbColour{255, 0, 0}));
  EXPECT_EQ(studio.Count(SoundId::Selected), 0);

  // The other way round, with a tool whose press does not paint: pressed on
  // the model, released over the green pen, which is then selected.
  Click(50, 160);
  ASSERT_EQ(create->SelectedTool()->Kind(), ToolKind::Hand);
  Input(fx, fy, false);
  Input(fx, fy, true);
  Input(200, 40, true);
  Input(200, 40, false);
  EXPECT_EQ(create->SelectedTool(), studio.Tool(5));
  EXPECT_EQ(create->PenColor(), (RgbColour{0, 255, 0}));
}

TEST_F(Screens, TwoHoveredButtonsAtASharedBorderTheLaterInTheListWins)
{
  // The border of the red and green pens.
  Input(176, 40, false);
  EXPECT_EQ(studio.Count(SoundId::Select), 2);
  Input(176, 40, true);
  Input(176, 40, false);
  EXPECT_EQ(create->SelectedTool(), studio.Tool(5));
  EXPECT_EQ(create->CursorTool(), studio.Tool(5));
  EXPECT_EQ(studio.Count(SoundId::Selected), 2);
  EXPECT_EQ(create->PenColor(), (RgbColour{0, 255, 0}));

  // The border of the pen row and the cube row: the red cube comes later.
  studio.played.clear();
  Click(130, 64);
  EXPECT_EQ(create->SelectedTool(), studio.Tool(13));
  EXPECT_EQ(create->CursorTool(), studio.Tool(13));
  EXPECT_EQ(studio.Count(SoundId::Selected), 2);
  EXPECT_EQ(create->PenColor(), (RgbColour{255, 0, 0}));
  EXPECT_EQ(create->CubeColor(), (RgbColour{255, 0, 0}));
}

TEST_F(Screens, ACubeIsPlacedOnPressOnceAndTheEraserRemovesIt)
{
  // The blue cube tool (list index 14).
  Click(250, 88);
  ASSERT_EQ(create->SelectedTool(), studio.Tool(14));
  ASSERT_EQ(create->CubeColor(), (RgbColour{0, 0, 255}));
  const auto [fx, fy] = FloorPixel(4);
  studio.played.clear();
  Input(fx, fy, false);
  Input(fx, fy, true);
  ASSERT_EQ(Model().Count(), 2);
  EXPECT_EQ(studio.played, std::vector<SoundId>{SoundId::Put});
  const CubeMesh *cube = Model().At(1);
  // Held, still or moving, and released: no second cube.
  Input(fx, fy, true);
  Input(fx + 4, fy + 4, true);
  Input(fx + 4, fy + 4, false);
  EXPECT_EQ(Model().Count(), 2);
  EXPECT_EQ(studio.Count(SoundId::Put), 1);
  // The pick buffer knows the new cube: it now lies under the press point.
  EXPECT_EQ(Model().RecordAt(fx, fy).mesh, cube);

  // A press outside the model area places nothing and plays nothing.
  studio.played.clear();
  Click(100, 470);
  EXPECT_EQ(Model().Count(), 2);
  EXPECT_TRUE(studio.played.empty());

  // The eraser: nothing to erase on the bare floor, then the cube goes.
  Click(50, 248);
  ASSERT_EQ(create->SelectedTool()->Kind(), ToolKind::Eraser);
  const auto [ex, ey] = FloorPixel(0);
  ASSERT_NE(Model().RecordAt(ex, ey).mesh, cube);
  studio.played.clear();
  Click(ex, ey);
  EXPECT_EQ(Model().Count(), 2);
  EXPECT_TRUE(studio.played.empty());
  Click(fx, fy);
  EXPECT_EQ(Model().Count(), 1);
  EXPECT_EQ(studio.played, std::vector<SoundId>{SoundId::Del});
  EXPECT_NE(Model().RecordAt(fx, fy).mesh, cube);
}

TEST_F(Screens, AHandDragTurnsOneDegreePerPixelAndRefreshesThePickBuffer)
{
  Click(50, 160);
  ASSERT_EQ(create->SelectedTool()->Kind(), ToolKind::Hand);
  const Matrix viewBefore = studio.Camera()->View();

  // The camera as the creation screen's Init leaves it, then turned by hand.
  GraphicsDevice referenceDevice;
  ASSERT_TRUE(referenceDevice.CreateHeadless());
  OrbitCamera reference;
  reference.Init(referenceDevice, 640, 480);
  reference.Rotate(45.f, 30.f);
  ASSERT_EQ(reference.View(), viewBefore);

  Input(300, 300, false);
  Input(300, 300, true);
  Input(300, 300, true);
  EXPECT_EQ(studio.Camera()->View(), viewBefore) << "a press or a still hold turns nothing";
  std::vector<const CubeFace *> facesBefore;
  for(int x = 118; x < 624; x += 23)
    facesBefore.push_back(Model().RecordAt(x, 300).face);

  // 10 pixels right and 5 up: yaw 10, pitch 5.
  Input(310, 295, true);
  reference.Rotate(10.f, 5.f);
  EXPECT_EQ(studio.Camera()->View(), reference.View());
  EXPECT_EQ(app.Device().GetTransform(TransformKind::View), reference.View());
  Input(310, 295, false);

  // The pick buffer already follows the new view: rebuilding it changes nothing.
  std::vector<std::pair<const CubeMesh *, const CubeFace *>> records;
  std::vector<const CubeFace *> facesAfter;
  for(int y = 128; y < 464; y += 7)
    for(int x = 118; x < 624; x += 7)
      records.emplace_back(Model().RecordAt(x, y).mesh, Model().RecordAt(x, y).face);
  for(int x = 118; x < 624; x += 23)
    facesAfter.push_back(Model().RecordAt(x, 300).face);
  EXPECT_NE(facesAfter, facesBefore) << "the turn should move the room's faces under the row";
  Model().RefreshPickBuffer(app.Device());
  size_t at = 0;
  for(int y = 128; y < 464; y += 7)
    for(int x = 118; x < 624; x += 7, ++at)
      ASSERT_EQ(records[at], (std::pair<const CubeMesh *, const CubeFace *>(Model().RecordAt(x, y).mesh,
                                                                            Model().RecordAt(x, y).face)))
        << x << ", " << y;
}

TEST_F(Screens, ExitReleaseIsPendingThenTheNextFrameReturnsTheTitleAfterASecond)
{
  Input(50, 420, false);
  Input(50, 420, true);
  studio.played.clear();
  EXPECT_EQ(Input(50, 420, false), create);
  auto *exit = static_cast<ExitButton *>(studio.Tool(1));
  EXPECT_TRUE(exit->Pending());
  EXPECT_EQ(studio.played, std::vector<SoundId>{SoundId::Door});
  EXPECT_EQ(create->SelectedTool(), studio.Tool(Studio::RedPenIndex));
  EXPECT_EQ(create->CursorTool(), studio.Tool(Studio::RedPenIndex));

  const auto start = std::chrono::steady_clock::now();
  Event *next = Input(50, 420, false);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(next, title);
  EXPECT_FALSE(exit->Pending());
  EXPECT_GE(waited, std::chrono::milliseconds(990));
  EXPECT_LT(waited, std::chrono::milliseconds(1500));
  // Once only.
  EXPECT_EQ(Input(50, 420, false), create);
}

TEST_F(Screens, F7AndF8HeldThatFailInEveryFrameReportItOncePerPress)
{
  std::string pattern = (std::filesystem::temp_directory_path() / "vextorn-keys-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::filesystem::path folder = pattern;
  const auto countLines = [](const std::string &text, const std::string &part) {
    int count = 0;
    for(size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++count;
    return count;
  };
  const auto holdKey = [&](Key key, int frames) {
    input.Set(key, true);
    for(int i = 0; i < frames; ++i)
      Input(600, 20, false);
    input.Set(key, false);
    Input(600, 20, false);
  };

  // No model file: F7 fails in every frame it is held.
  app.SetSaveFolder(SaveFolder(folder.string()));
  testing::internal::CaptureStderr();
  holdKey(Key::F7, 40);
  holdKey(Key::F7, 3);
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(countLines(said, "\n"), 2) << said;
  EXPECT_EQ(countLines(said, (folder / "demo.data").string()), 2) << said;

  // A save folder that cannot be made (its parent is a file): F8 fails in
  // every frame, with one line for the two steps that fail.
  std::FILE *file = std::fopen((folder / "file").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  app.SetSaveFolder(SaveFolder((folder / "file" / "saves").string()));
  testing::internal::CaptureStderr();
  holdKey(Key::F8, 40);
  holdKey(Key::F8, 2);
  said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(countLines(said, "\n"), 2) << said;
  EXPECT_EQ(countLines(said, "cannot make the save folder"), 2) << said;
  EXPECT_EQ(Model().Count(), 1) << "the model stays as it was";

  app.SetSaveFolder(SaveFolder("data"));
  std::filesystem::remove_all(folder);
}

TEST_F(Screens, PrinterReleaseIsPendingAndTheNextFramePrintsWithoutAServer)
{
  // Printing writes data/pict.bmp: in a folder of the test's own, with no
  // print server to reach.
  const std::filesystem::path previous = std::filesystem::current_path();
  std::string pattern = (std::filesystem::temp_directory_path() / "vextorn-screens-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::filesystem::path folder = pattern;
  std::filesystem::create_directory(folder / "data");
  std::filesystem::current_path(folder);
  const char *server = std::getenv("CUPS_SERVER");
  const std::string previousServer = server ? server : "";
  setenv("CUPS_SERVER", (folder / "no-server.sock").c_str(), 1);
  // With no printer the page is kept in the pictures folder: the test's own.
  const char *home = std::getenv("HOME");
  const std::string previousHome = home ? home : "";
  setenv("HOME", folder.c_str(), 1);
  const char *config = std::getenv("XDG_CONFIG_HOME");
  const std::string previousConfig = config ? config : "";
  unsetenv("XDG_CONFIG_HOME");

  auto *printer = static_cast<PrinterButton *>(studio.Tool(2));
  Input(50, 330, false);
  Input(50, 330, true);
  studio.played.clear();
  EXPECT_EQ(Input(50, 330, false), create);
  EXPECT_TRUE(printer->Pending());
  EXPECT_EQ(studio.played, std::vector<SoundId>{SoundId::Print});
  EXPECT_EQ(create->SelectedTool(), studio.Tool(Studio::RedPenIndex));
  EXPECT_FALSE(std::filesystem::exists("data/pict.bmp"));

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Input(50, 330, false), create);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_FALSE(printer->Pending());
  EXPECT_TRUE(std::filesystem::exists("data/pict.bmp")) << "the picture is captured before it is sent";
  std::vector<std::string> kept;
  for(const auto &entry : std::filesystem::directory_iterator(folder / "Pictures" / "Vextorn"))
    kept.push_back(entry.path().extension().string());
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(kept, (std::vector<std::string>{".glb", ".pdf", ".png"})) << "page, picture and model are kept";
  // The screen goes on.
  const auto [fx, fy] = FloorPixel(0);
  Input(fx, fy, true);
  EXPECT_TRUE(create->PenStrokeActive());

  if(server)
    setenv("CUPS_SERVER", previousServer.c_str(), 1);
  else
    unsetenv("CUPS_SERVER");
  if(home)
    setenv("HOME", previousHome.c_str(), 1);
  else
    unsetenv("HOME");
  if(config)
    setenv("XDG_CONFIG_HOME", previousConfig.c_str(), 1);
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(folder);
}

TEST_F(Screens, TitlePressOutsideTheButtonsDoesNothingAndStartHandsOverAfterTenFrames)
{
  EventManager &manager = EventManager::Instance();
  // Leave the creation screen in another state, as a child would.
  create->SetPenColor(0, 0, 0);
  create->SetCubeColor(0, 0, 255);
  create->SetSelectedTool(studio.Tool(3));
  create->SetCursorTool(studio.Tool(0));
  studio.Camera()->Rotate(20.f, 10.f);
  studio.Camera()->Apply();
  const Matrix view = studio.Camera()->View();
  ASSERT_TRUE(Model().AddCube({0.f, -300.f, 0.f}, {0, 255, 0}));
  const std::vector<const CubeMesh *> meshes = Meshes();

  // A press between the two buttons.
  input.x = 320;
  input.y = 375;
  input.Set(Key::LeftButton, false);
  manager.Frame();
  input.Set(Key::LeftButton, true);
  manager.Frame();
  EXPECT_EQ(title->Choice(), 0);
  EXPECT_TRUE(studio.played.empty());
  input.Set(Key::LeftButton, false);
  manager.Frame();

  // Onto start (select sound), and pressed: start sound, the mark over it.
  input.x = 200;
  manager.Frame();
  EXPECT_EQ(studio.played, std::vector<SoundId>{SoundId::Select});
  input.Set(Key::LeftButton, true);
  manager.Frame();
  EXPECT_EQ(title->Choice(), 1);
  EXPECT_EQ(title->WaitFrames(), 1);
  EXPECT_EQ(studio.GetSelectedAnimation()->Position(), (Vector2{80.f, 312.f}));
  EXPECT_EQ(studio.Count(SoundId::Start), 1);

  // The mouse is ignored from now on: the end button neither hovers nor is chosen.
  input.Set(Key::LeftButton, false);
  input.x = 420;
  for(int frame = 2; frame <= 9; ++frame)
  {
    input.Set(Key::LeftButton, frame % 2 == 0);
    manager.Frame();
    ASSERT_EQ(manager.Current(), title) << frame;
    EXPECT_EQ(title->WaitFrames(), frame);
    EXPECT_EQ(studio.GetSelectedAnimation()->FrameIndex(), frame - 1);
  }
  EXPECT_EQ(title->Choice(), 1);
  EXPECT_EQ(studio.Count(SoundId::End), 0);
  EXPECT_EQ(studio.Count(SoundId::Select), 1);

  const auto start = std::chrono::steady_clock::now();
  manager.Frame();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(990));
  EXPECT_EQ(studio.GetSelectedAnimation()->FrameIndex(), 9);
  ASSERT_EQ(manager.Current(), create);
  EXPECT_EQ(title->Choice(), 0);
  EXPECT_EQ(title->WaitFrames(), 0);
  EXPECT_EQ(create->PenColor(), (RgbColour{255, 0, 0}));
  EXPECT_EQ(create->CubeColor(), (RgbColour{255, 255, 255}));
  EXPECT_EQ(create->SelectedTool(), studio.Tool(Studio::RedPenIndex));
  EXPECT_EQ(create->CursorTool(), studio.Tool(Studio::RedPenIndex));
  EXPECT_EQ(studio.Camera()->View(), view);
  EXPECT_EQ(Meshes(), meshes);
}

TEST_F(Screens, EscapeDuringTheCreationScreensFirstPassClosesWithoutTouchingTheReleasedStudio)
{
  input.Set(Key::Escape, true);
  EventManager::Instance().Frame();
  EXPECT_FALSE(app.IsRunning());
  EXPECT_EQ(studio.GetStartButton(), nullptr) << "the window's destruction releases the studio";
  EXPECT_EQ(EventManager::Instance().Current(), title);
  // Later frames find the program stopped and do nothing.
  const int presents = headless->Presents();
  EventManager::Instance().Frame();
  EXPECT_EQ(headless->Presents(), presents);
}

TEST_F(Screens, TeardownTwiceReleasesEverythingOnceAndSoundsGoQuiet)
{
  ASSERT_NE(studio.Tool(21), nullptr);
  studio.Teardown();
  EXPECT_EQ(studio.Model(), nullptr);
  EXPECT_EQ(studio.Camera(), nullptr);
  EXPECT_EQ(studio.GetStartButton(), nullptr);
  EXPECT_EQ(studio.Background(), nullptr);
  for(int i = 0; i < Studio::ToolCount; ++i)
    EXPECT_EQ(studio.Tool(i), nullptr) << i;
  EXPECT_EQ(studio.GetSound(SoundId::Print), nullptr);
  studio.Teardown();
  EXPECT_EQ(studio.Model(), nullptr);
  // Asking for a sound after the release is harmless.
  studio.Play(SoundId::Select);
}

TEST_F(Screens, AnInactiveOrStoppedApplicationReadsNoInputAndDrawsNothing)
{
  // The title's first frame (with the creation screen's first pass) draws.
  EventManager &manager = EventManager::Instance();
  manager.Frame();
  ASSERT_GT(headless->Presents(), 0);
  ASSERT_GT(input.pointerReads, 0);

  for(Event *event : {static_cast<Event *>(title), static_cast<Event *>(create)})
  {
    app.SendMessage({WindowMessage::Kind::Activate, 0});
    const int presents = headless->Presents();
    const int sprites = headless->SpriteDraws();
    input.pointerReads = 0;
    input.keyReads = 0;
    input.Set(Key::Escape, true);
    EXPECT_EQ(event->RunFrame(manager), event);
    EXPECT_EQ(headless->Presents(), presents);
    EXPECT_EQ(headless->SpriteDraws(), sprites);
    EXPECT_EQ(input.pointerReads, 0);
    EXPECT_EQ(input.keyReads, 0);
    EXPECT_TRUE(app.IsRunning()) << event->Name() << ": Escape is not read while inactive";
    input.Set(Key::Escape, false);

    // Active again, it draws once per frame (the pointer moved, so that the
    // frame has something new to show and does not rest).
    app.SendMessage({WindowMessage::Kind::Activate, 1});
    ++input.x;
    EXPECT_EQ(event->RunFrame(manager), event);
    EXPECT_EQ(headless->Presents(), presents + 1);
  }

  // Stopped: nothing either.
  app.Shutdown();
  const int presents = headless->Presents();
  input.pointerReads = 0;
  input.keyReads = 0;
  EXPECT_EQ(create->RunFrame(manager), create);
  EXPECT_EQ(title->RunFrame(manager), title);
  EXPECT_EQ(headless->Presents(), presents);
  EXPECT_EQ(input.pointerReads + input.keyReads, 0);
}

TEST_F(Screens, TheCreationScreensFirstPassBlackensTheWholeScreen)
{
  EXPECT_EQ(create->RunFrame(EventManager::Instance()), create);
  int pitch = 0;
  const uint32_t *pixels = app.Device().BackBuffer()->LockRect(pitch);
  int notBlack = 0;
  for(int y = 0; y < 480; ++y)
    for(int x = 0; x < 640; ++x)
      notBlack += (pixels[static_cast<size_t>(y) * pitch + x] & 0xFFFFFF) != 0;
  app.Device().BackBuffer()->UnlockRect();
  EXPECT_EQ(notBlack, 0);
}

TEST_F(Screens, AStillCreationScreenPresentsOnceAndRestsUntilThePointerMovesOrPaints)
{
  EventManager &manager = EventManager::Instance();
  GraphicsDevice &device = app.Device();
  const auto [fx, fy] = FloorPixel(2);
  input.x = fx;
  input.y = fy;
  // The title's first frame, with the creation screen's first pass.
  manager.Frame();
  // Outlines drawn on the processor's copy of the back buffer make every
  // frame that has them present: the screen cannot rest until the model
  // draws them on the device.
  const int readsBefore = headless->ReadBacks();
  Model().DrawOutlines(device);
  device.PresentFrame();
  if(headless->ReadBacks() != readsBefore)
    GTEST_SKIP() << "the model still draws its outlines through the back buffer's drawing context";

  const int reads = headless->ReadBacks();
  int presents = headless->Presents();
  create->RunFrame(manager);
  EXPECT_EQ(headless->Presents(), ++presents);
  const int rested = device.RestedFrames();
  for(int frame = 0; frame < 5; ++frame)
    create->RunFrame(manager);
  EXPECT_EQ(headless->Presents(), presents) << "a still screen draws what the window shows";
  EXPECT_EQ(device.RestedFrames(), rested + 5);

  // The pointer moves a pixel: only the cursor's two sprites are drawn again,
  // over the scene put back from its copy; then the screen rests again.
  int sprites = headless->SpriteDraws();
  input.x = fx + 1;
  create->RunFrame(manager);
  EXPECT_EQ(headless->Presents(), ++presents);
  EXPECT_EQ(headless->SpriteDraws(), sprites + 2);
  create->RunFrame(manager);
  EXPECT_EQ(headless->Presents(), presents);

  // A press of the pen where the pointer already is paints a texel: presented.
  const std::vector<uint8_t> before = FaceTexels(Model(), FloorFace);
  input.Set(Key::LeftButton, true);
  create->RunFrame(manager);
  ASSERT_NE(FaceTexels(Model(), FloorFace), before);
  EXPECT_EQ(headless->Presents(), ++presents);
  create->RunFrame(manager);
  EXPECT_EQ(headless->Presents(), presents) << "held still, nothing more is painted";
  EXPECT_EQ(headless->ReadBacks(), reads) << "the creation screen reads nothing back from the device";
}

TEST_F(Screens, TheTitleRestsWhenStillRedrawsOnlyItsCursorWhenThePointerMovesAndPresentsEveryFrameOfTheMark)
{
  EventManager &manager = EventManager::Instance();
  GraphicsDevice &device = app.Device();
  // Between the two buttons, touching neither.
  input.x = 320;
  input.y = 200;
  manager.Frame();
  manager.Frame();
  const int reads = headless->ReadBacks();
  int presents = headless->Presents();
  const int rested = device.RestedFrames();
  for(int frame = 0; frame < 5; ++frame)
    manager.Frame();
  EXPECT_EQ(headless->Presents(), presents);
  EXPECT_EQ(device.RestedFrames(), rested + 5);

  // Only the cursor moved: its sprite alone is drawn over the scene's copy.
  const int sprites = headless->SpriteDraws();
  input.x = 321;
  manager.Frame();
  EXPECT_EQ(headless->Presents(), ++presents);
  EXPECT_EQ(headless->SpriteDraws(), sprites + 1);
  manager.Frame();
  EXPECT_EQ(headless->Presents(), presents);

  // Onto the start button (it lights up) and pressed: the mark's frames
  // follow one another, each presented, though nothing else moves.
  const HitRect start = studio.GetStartButton()->HitRectangle();
  input.x = (start.left + start.right) / 2;
  input.y = (start.top + start.bottom) / 2;
  manager.Frame();
  EXPECT_EQ(headless->Presents(), ++presents);
  input.Set(Key::LeftButton, true);
  for(int frame = 1; frame < EventTitle::ChoiceFrames; ++frame)
  {
    manager.Frame();
    ASSERT_EQ(title->Choice(), 1);
    EXPECT_EQ(headless->Presents(), ++presents) << "frame " << frame << " of the mark";
  }
  EXPECT_EQ(headless->ReadBacks(), reads) << "the title reads nothing back from the device";
}

TEST_F(Screens, UndoAndRedoKeysActOncePerPressAndTheButtonsOnReleaseWithoutBecomingTheTool)
{
  HistoryButton &undo = *studio.UndoButton();
  HistoryButton &redo = *studio.RedoButton();
  // Nothing to take back: the undo button is disabled, silent and inert.
  Click(50, 40);
  EXPECT_FALSE(undo.Enabled());
  EXPECT_TRUE(studio.played.empty());

  Click(250, 88);
  const ToolButton *cubeTool = create->SelectedTool();
  const auto [fx, fy] = FloorPixel(4);
  Click(fx, fy);
  ASSERT_EQ(Model().Count(), 2);
  // Ctrl+Z held for three frames takes back one step; Ctrl+Y does it again.
  studio.played.clear();
  for(Key key : {Key::Undo, Key::Redo})
  {
    input.Set(key, true);
    for(int frame = 0; frame < 3; ++frame)
      Input(300, 470, false);
    input.Set(key, false);
    Input(300, 470, false);
    EXPECT_EQ(Model().Count(), key == Key::Undo ? 1 : 2);
  }
  EXPECT_EQ(studio.played, (std::vector<SoundId>{SoundId::Undo, SoundId::Redo}));
  EXPECT_EQ(Model().RecordAt(fx, fy).mesh, Model().At(1)) << "the pick buffer knows the cube again";

  // The undo button: the hover sound on entering, the step on release.
  studio.played.clear();
  Input(50, 40, false);
  EXPECT_TRUE(undo.Enabled());
  EXPECT_FALSE(redo.Enabled());
  Input(95, 63, true);
  EXPECT_EQ(Model().Count(), 2);
  Input(95, 63, false);
  EXPECT_EQ(Model().Count(), 1);
  // The redo button, on its top-left corner.
  Click(8, 64);
  EXPECT_FALSE(undo.Hovered());
  EXPECT_EQ(Model().Count(), 2);
  EXPECT_EQ(studio.played,
            (std::vector<SoundId>{SoundId::Select, SoundId::Undo, SoundId::Select, SoundId::Redo}));
  EXPECT_EQ(create->SelectedTool(), cubeTool);
  EXPECT_EQ(create->CursorTool(), cubeTool);
}

TEST_F(Screens, APenStrokeIsOneStepAndTheHistoryButtonsFreezeWithThePalette)
{
  Click(250, 88);
  const auto [cx, cy] = FloorPixel(4);
  Click(cx, cy);
  const auto [fx, fy] = FloorPixel(12);
  Click(140, 40);
  const std::vector<uint8_t> floorBefore = FaceTexels(Model(), FloorFace);

  // Pressed on the floor, dragged, then released over the undo button.
  Input(fx, fy, false);
  Input(fx, fy, true);
  Input(fx + 12, fy - 6, true);
  studio.played.clear();
  Input(50, 40, true);
  Input(50, 40, false);
  EXPECT_FALSE(studio.UndoButton()->Hovered());
  EXPECT_TRUE(studio.played.empty());
  EXPECT_EQ(Model().Count(), 2) << "the release over the frozen button took nothing back";
  EXPECT_GT(ChangedTexels(floorBefore, FaceTexels(Model(), FloorFace)).size(), 1u);

  // One undo takes back the whole stroke, the next one the cube.
  input.Set(Key::Undo, true);
  Input(300, 470, false);
  EXPECT_EQ(FaceTexels(Model(), FloorFace), floorBefore);
  EXPECT_EQ(Model().Count(), 2);
  input.Set(Key::Undo, false);
  Click(50, 40);
  EXPECT_EQ(Model().Count(), 1);
}

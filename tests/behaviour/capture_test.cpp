#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "capture/selection_board.h"
#include "core/main_controls.h"
#include "core/names.h"
#include "platform/files.h"
#include "platform/image/picture.h"
#include "platform/image/transform.h"
#include "platform/ui/input.h"
#include "support/program_fixture.h"

namespace quillet::testing {
namespace {

using Step = MemoryBackend::ModalStep;

class CaptureTest : public ProgramTest {
 protected:
  void SetUp() override {
    writePicture("pic/1.jpg", 400, 300);
    start();
    main().move(600, 500);
  }
  void captureByKey() { main().onKeyDown(0x44, 0); }
  std::string capture(const std::string& name) { return path("pic/" + name + ".jpg"); }
  image::Bitmap frozen() { return image::decode(*backend.grabScreen().bmp).value; }
  // The mean difference of the colours, as JPEG keeps them only nearly.
  static double apart(const image::Bitmap& a, const image::Bitmap& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.empty()) return 256;
    double sum = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(a.rgb[i] - b.rgb[i]);
    return sum / static_cast<double>(a.rgb.size());
  }
  std::vector<std::string> picFolder() {
    std::vector<std::string> names = files::list(path("pic"));
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(CaptureTest, DraggedRegion_IsSavedAndShownWhereItWas_WhicheverWayTheDragWent) {
  struct Drag {
    int fromX, fromY, toX, toY;
  };
  int name = 100;
  for (const Drag d : {Drag{100, 200, 300, 260}, Drag{300, 260, 100, 200}, Drag{100, 260, 300, 200},
                       Drag{300, 200, 100, 260}}) {
    SCOPED_TRACE(::testing::Message()
                 << d.fromX << "," << d.fromY << " to " << d.toX << "," << d.toY);
    backend.nextRandom(++name);
    // The middle move passes over the outline drawn so far.
    backend.whenModal({Step{Step::Press, d.fromX, d.fromY}, Step{Step::Move, 200, 230},
                       Step{Step::Move, d.toX, d.toY}, Step{Step::Release, d.toX, d.toY}});
    captureByKey();
    const std::string saved = capture(std::to_string(name));
    ASSERT_TRUE(files::exists(saved));
    const image::Bitmap picture = image::decode(*files::read(saved)).value;
    EXPECT_EQ(picture.width, 198);
    EXPECT_EQ(picture.height, 58);
    const double inside = apart(picture, image::cropBitmap(frozen(), 101, 201, 198, 58));
    EXPECT_LT(inside, 6.0) << "the inside of the outline, as the screen was";
    for (auto [dx, dy] : {std::pair{-1, -1}, std::pair{1, 0}, std::pair{0, 1}}) {
      EXPECT_LT(inside, apart(picture, image::cropBitmap(frozen(), 101 + dx, 201 + dy, 198, 58)))
          << "a region one pixel off fits better";
    }
    EXPECT_EQ(main().left(), 100);
    EXPECT_EQ(main().top(), 200);
    EXPECT_EQ(main().width(), 198);
    EXPECT_EQ(g().currentPicturePath, path("pic/1.jpg")) << "a capture is shown, not chosen";
    EXPECT_TRUE(main().hasFocus());
    EXPECT_EQ(program->secondary("capture"), nullptr) << "the board is gone";
  }
  EXPECT_FALSE(files::exists(path("pic/101.tmp")));
}

TEST_F(CaptureTest, TakenName_NeitherOverwritesNorShowsTheOlderCapture) {
  folder.write("pic/7.jpg", image::encodeJpeg(image::Bitmap{8, 8, image::Bytes(192, 9)}, 80).value);
  const auto older = files::read(capture("7"));
  backend.nextRandom(7);
  backend.nextRandom(8);
  backend.whenModal(
      {Step{Step::Press, 10, 10}, Step{Step::Move, 50, 40}, Step{Step::Release, 50, 40}});
  captureByKey();
  EXPECT_EQ(files::read(capture("7")), older);
  EXPECT_EQ(g().captureName, "8");
  EXPECT_EQ(main().width(), 38);

  for (int i = 0; i < 60; ++i) backend.nextRandom(7);
  backend.whenModal(
      {Step{Step::Press, 10, 10}, Step{Step::Move, 50, 40}, Step{Step::Release, 50, 40}});
  captureByKey();
  EXPECT_EQ(g().captureName, "10001") << "past the range once random names keep colliding";
  backend.randomAnswers.clear();
}

TEST_F(CaptureTest, EscOrAClickWithoutDrag_CaptureNothing) {
  const auto before = picFolder();
  backend.whenModal({Step{Step::Press, 100, 100}, Step{Step::Release, 100, 100},
                     Step{Step::Press, 100, 100}, Step{Step::Move, 101, 150},
                     Step{Step::Release, 101, 150}, MemoryBackend::key(ui::key::kEscape)});
  captureByKey();
  EXPECT_EQ(picFolder(), before) << "no picture of a click or of a region without inside";
  EXPECT_EQ(main().left(), 600);
  EXPECT_EQ(main().width(), 400);
  EXPECT_EQ(program->secondary("capture"), nullptr);
  EXPECT_EQ(box().origin(), path("pic/1.jpg"));
}

TEST_F(CaptureTest, PicFolderMissing_IsCreated_AndAnUnwritableOneChangesNothing) {
  std::filesystem::remove_all(path("pic"));
  backend.whenModal(
      {Step{Step::Press, 10, 10}, Step{Step::Move, 50, 40}, Step{Step::Release, 50, 40}});
  captureByKey();
  EXPECT_EQ(picFolder(), std::vector<std::string>{"0.jpg"});

  std::filesystem::remove_all(path("pic"));
  folder.write("pic", std::string("a file where the folder should be"));
  const ui::PictureBytes shown = box().picture();
  backend.whenModal(
      {Step{Step::Press, 10, 10}, Step{Step::Move, 50, 40}, Step{Step::Release, 50, 40}});
  captureByKey();
  EXPECT_EQ(box().picture(), shown);
  EXPECT_EQ(main().width(), 38);
  ASSERT_TRUE(core::infoLabel(*program).visible()) << "the failure is told on the picture";
  EXPECT_NE(core::infoLabel(*program).text().find("无法保存截图"), std::string::npos);
  EXPECT_EQ(files::list(folder.root()), std::vector<std::string>{"pic"}) << "nothing left behind";
}

TEST_F(CaptureTest, DenseScreen_SavesTheDevicePixels_AndCoversTheRegionExactly) {
  image::Bitmap dense{2560, 2048, image::Bytes(2560u * 2048u * 3u, 0)};
  for (int y = 0; y < dense.height; ++y) {
    for (int x = 0; x < dense.width; ++x) dense.row(y)[3 * x] = static_cast<std::uint8_t>(x / 4);
  }
  backend.screenShot = {std::make_shared<const image::Bytes>(image::encodeBmp24(dense)), 2.0};
  backend.whenModal(
      {Step{Step::Press, 100, 200}, Step{Step::Move, 300, 260}, Step{Step::Release, 300, 260}});
  captureByKey();
  const image::Bitmap picture = image::decode(*files::read(capture("0"))).value;
  EXPECT_EQ(picture.width, 396);
  EXPECT_EQ(picture.height, 116);
  EXPECT_LT(apart(picture, image::cropBitmap(dense, 202, 402, 396, 116)), 3.0);
  EXPECT_EQ(main().left(), 100);
  EXPECT_EQ(main().top(), 200);
  EXPECT_EQ(main().width(), 198);
}

// The outline is a yellow frame whose one-pixel margin alone shows: inside
// it the frozen screen lies exactly where it lay on the screen.
TEST_F(CaptureTest, Board_ShowsTheFrozenScreen_AndTheOutlineFollowsThePointer) {
  struct Seen {
    std::vector<int> outline, inside, frozen;
    bool outlineShown = false;
  };
  std::vector<Seen> seen;
  auto note = [&seen](ui::Window& board) {
    auto rect = [](const ui::Control& c) {
      return std::vector<int>{c.left(), c.top(), c.width(), c.height()};
    };
    seen.push_back({rect(*board.find("外框")), rect(*board.find("外框1")),
                    rect(*board.find("区域画板")), board.find("外框")->visible()});
  };
  backend.whenModal({MemoryBackend::look(note), Step{Step::Press, 100, 200},
                     MemoryBackend::look(note), Step{Step::Move, 300, 260},
                     MemoryBackend::look(note), Step{Step::Move, 50, 20}, MemoryBackend::look(note),
                     MemoryBackend::key(ui::key::kEscape)});
  captureByKey();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_FALSE(seen[0].outlineShown) << "no outline before the first press";
  EXPECT_EQ(seen[0].frozen, (std::vector<int>{0, 0, 1280, 1024})) << "the whole screen";
  EXPECT_EQ(seen[1].outline, (std::vector<int>{100, 200, 34, 33}));
  EXPECT_EQ(seen[1].inside, (std::vector<int>{1, 1, 32, 31}));
  EXPECT_EQ(seen[1].frozen, (std::vector<int>{-101, -201, 1280, 1024}));
  EXPECT_EQ(seen[2].outline, (std::vector<int>{100, 200, 200, 60}));
  EXPECT_EQ(seen[2].inside, (std::vector<int>{1, 1, 198, 58}));
  EXPECT_EQ(seen[2].frozen, (std::vector<int>{-101, -201, 1280, 1024}));
  EXPECT_EQ(seen[3].outline, (std::vector<int>{50, 20, 50, 180})) << "back past the anchor";
  EXPECT_EQ(seen[3].frozen, (std::vector<int>{-51, -21, 1280, 1024}));
}

TEST(CaptureOutline, IsTheRectangleSpannedByTheTwoPoints) {
  using capture::Region;
  EXPECT_EQ(capture::outlineBetween(100, 200, 300, 260), (Region{100, 200, 200, 60}));
  EXPECT_EQ(capture::outlineBetween(300, 260, 100, 200), (Region{100, 200, 200, 60}));
  EXPECT_EQ(capture::outlineBetween(-5, 10, 5, -10), (Region{-5, -10, 10, 20}));
}

}  // namespace
}  // namespace quillet::testing

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

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

std::vector<std::uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

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
  EXPECT_EQ(picFolder(),
            (std::vector<std::string>{"1.jpg", "101.jpg", "102.jpg", "103.jpg", "104.jpg"}))
      << "nothing but the pictures, no temporary file";
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

TEST_F(CaptureTest, PicFolderMissing_IsCreated_AndAFailedWriteChangesNothing) {
  std::filesystem::remove_all(path("pic"));
  backend.whenModal(
      {Step{Step::Press, 10, 10}, Step{Step::Move, 50, 40}, Step{Step::Release, 50, 40}});
  captureByKey();
  EXPECT_EQ(picFolder(), std::vector<std::string>{"0.jpg"});
  const ui::PictureBytes shown = box().picture();

  // A write cut short, as on a full disk: the temporary file was made in
  // "pic" and must go again.
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  backend.nextRandom(5);
  backend.whenModal(
      {Step{Step::Press, 10, 10}, Step{Step::Move, 50, 40}, Step{Step::Release, 50, 40}});
  captureByKey();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previous);
  EXPECT_EQ(picFolder(), std::vector<std::string>{"0.jpg"}) << "nothing left behind";
  EXPECT_EQ(box().picture(), shown);
  ASSERT_TRUE(core::infoLabel(*program).visible()) << "the failure is told on the picture";
  EXPECT_NE(core::infoLabel(*program).text().find("无法保存截图"), std::string::npos);

  core::infoLabel(*program).setVisible(false);
  std::filesystem::remove_all(path("pic"));
  folder.write("pic", std::string("a file where the folder should be"));
  backend.whenModal(
      {Step{Step::Press, 10, 10}, Step{Step::Move, 50, 40}, Step{Step::Release, 50, 40}});
  captureByKey();
  EXPECT_EQ(box().picture(), shown);
  EXPECT_EQ(main().width(), 38);
  EXPECT_TRUE(core::infoLabel(*program).visible());
  EXPECT_EQ(*files::read(path("pic")), bytesOf("a file where the folder should be"));
}

// Whatever else writes into "pic" meanwhile: a link planted where the
// picture is written first leads nowhere the picture goes, and a name taken
// after it was found free is not taken over. A link to nothing is a name the
// search for a free one cannot see, as one taken meanwhile would be.
TEST_F(CaptureTest, PlantedLinksAndNamesTakenMeanwhile_AreLeftAlone) {
  folder.write("elsewhere.txt", std::string("not to be written"));
  const std::string planted = files::temporaryName(capture("101"));
  std::filesystem::create_symlink(path("elsewhere.txt"), planted);
  std::filesystem::create_symlink("nowhere", capture("102"));
  ::mode_t mask = ::umask(022);
  ::umask(mask);

  backend.nextRandom(101);
  backend.whenModal(
      {Step{Step::Press, 10, 10}, Step{Step::Move, 50, 40}, Step{Step::Release, 50, 40}});
  captureByKey();
  EXPECT_EQ(*files::read(path("elsewhere.txt")), bytesOf("not to be written"));
  EXPECT_TRUE(std::filesystem::is_symlink(planted));
  ASSERT_EQ(image::readSize(*files::read(capture("101"))).value.width, 38);
  EXPECT_EQ(std::filesystem::status(capture("101")).permissions(),
            static_cast<std::filesystem::perms>(0644 & ~mask))
      << "readable as any finished file, once whole";

  backend.nextRandom(102);
  backend.nextRandom(103);
  backend.whenModal(
      {Step{Step::Press, 10, 10}, Step{Step::Move, 60, 40}, Step{Step::Release, 60, 40}});
  captureByKey();
  EXPECT_EQ(std::filesystem::read_symlink(capture("102")), "nowhere");
  EXPECT_EQ(g().captureName, "103");
  EXPECT_EQ(box().origin(), capture("103"));
  EXPECT_EQ(main().width(), 48);
}

// At a ratio such as 1.5 the region's edges fall between device pixels; they
// go to the nearest one, on every side alike.
TEST_F(CaptureTest, DenseScreen_SavesTheDevicePixels_AndCoversTheRegionExactly) {
  struct Case {
    double ratio;
    int width, height, fromX, fromY;
  };
  for (const Case c : {Case{2.0, 396, 116, 202, 402}, Case{1.5, 297, 87, 152, 302}}) {
    SCOPED_TRACE(::testing::Message() << "ratio " << c.ratio);
    const int w = static_cast<int>(1280 * c.ratio), h = static_cast<int>(1024 * c.ratio);
    image::Bitmap dense{w, h, image::Bytes(std::size_t(w) * h * 3, 0)};
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        std::uint8_t* pixel = dense.row(y) + 3 * x;
        pixel[0] = static_cast<std::uint8_t>(x * 3);
        pixel[1] = static_cast<std::uint8_t>(y * 3);
        pixel[2] = static_cast<std::uint8_t>(x + y);
      }
    }
    backend.screenShot = {std::make_shared<const image::Bytes>(image::encodeBmp24(dense)), c.ratio};
    backend.nextRandom(c.width);
    backend.whenModal(
        {Step{Step::Press, 100, 200}, Step{Step::Move, 300, 260}, Step{Step::Release, 300, 260}});
    captureByKey();
    const image::Bitmap picture =
        image::decode(*files::read(capture(std::to_string(c.width)))).value;
    EXPECT_EQ(picture.width, c.width);
    EXPECT_EQ(picture.height, c.height);
    const double inside =
        apart(picture, image::cropBitmap(dense, c.fromX, c.fromY, c.width, c.height));
    EXPECT_LT(inside, 6.0) << "the region's device pixels, as JPEG keeps them";
    for (auto [dx, dy] : {std::pair{-1, -1}, std::pair{1, 1}}) {
      EXPECT_LT(inside, apart(picture, image::cropBitmap(dense, c.fromX + dx, c.fromY + dy, c.width,
                                                         c.height)))
          << "a region one device pixel off fits better";
    }
    EXPECT_EQ(main().left(), 100);
    EXPECT_EQ(main().top(), 200);
    EXPECT_EQ(main().width(), 198);
  }
}

// The outline is a yellow frame whose one-pixel margin alone shows: inside
// it the frozen screen lies exactly where it lay on the screen.
TEST_F(CaptureTest, Board_ShowsTheFrozenScreen_AndTheOutlineFollowsThePointer) {
  struct Seen {
    std::vector<int> outline, inside, frozen;
    bool outlineShown = false;
    std::vector<std::int64_t> colours;
  };
  std::vector<Seen> seen;
  auto note = [&seen](ui::Window& board) {
    auto rect = [](const ui::Control& c) {
      return std::vector<int>{c.left(), c.top(), c.width(), c.height()};
    };
    seen.push_back({rect(*board.find("外框")),
                    rect(*board.find("外框1")),
                    rect(*board.find("区域画板")),
                    board.find("外框")->visible(),
                    {board.colour(), board.get<ui::Frame>("外框").colour()}});
  };
  backend.whenModal({MemoryBackend::look(note), Step{Step::Press, 100, 200},
                     MemoryBackend::look(note), Step{Step::Move, 300, 260},
                     MemoryBackend::look(note), Step{Step::Move, 50, 20}, MemoryBackend::look(note),
                     MemoryBackend::key(ui::key::kEscape)});
  captureByKey();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].colours, (std::vector<std::int64_t>{0xFFFFFF, 0x00FFFF}))
      << "a white board, a yellow outline (0x00BBGGRR)";
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

TEST_F(CaptureTest, ScreenThatCannotBeRead_IsToldOnThePicture) {
  backend.screenShot = {std::make_shared<const image::Bytes>(), 1.0};
  captureByKey();
  EXPECT_TRUE(backend.modalRuns.empty()) << "no board without a photograph";
  ASSERT_TRUE(core::infoLabel(*program).visible());
  EXPECT_NE(core::infoLabel(*program).text().find("无法截取屏幕"), std::string::npos);
  EXPECT_EQ(box().origin(), path("pic/1.jpg"));
}

// Each board holds a photograph of the whole screen; ten captures, given up
// or not, keep no more windows than one.
TEST_F(CaptureTest, Boards_AreFreedOnceClosed_TenCapturesHoldNoMoreThanOne) {
  auto cancelled = [this] {
    backend.whenModal({Step{Step::Press, 10, 10}, MemoryBackend::key(ui::key::kEscape)});
    captureByKey();
  };
  cancelled();
  backend.nextTurn();
  const int afterOne = backend.liveWindows;
  for (int i = 0; i < 9; ++i) {
    if (i % 3 == 0) {
      backend.whenModal(
          {Step{Step::Press, 10, 10}, Step{Step::Move, 50, 40}, Step{Step::Release, 50, 40}});
      backend.nextRandom(i);
      captureByKey();
    } else {
      cancelled();
    }
    EXPECT_EQ(program->secondary("capture"), nullptr);
    backend.nextTurn();
  }
  EXPECT_EQ(backend.liveWindows, afterOne);
}

TEST(CaptureOutline, IsTheRectangleSpannedByTheTwoPoints) {
  using capture::Region;
  EXPECT_EQ(capture::outlineBetween(100, 200, 300, 260), (Region{100, 200, 200, 60}));
  EXPECT_EQ(capture::outlineBetween(300, 260, 100, 200), (Region{100, 200, 200, 60}));
  EXPECT_EQ(capture::outlineBetween(-5, 10, 5, -10), (Region{-5, -10, 10, 20}));
}

}  // namespace
}  // namespace quillet::testing

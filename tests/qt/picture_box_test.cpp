#include <stdlib.h>
#include <QtGui/QImage>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include "platform/files.h"
#include "platform/image/picture.h"
#include "platform/qt/picture_prefetch.h"
#include "platform/qt/picture_widget.h"
#include "qt_fixture.h"

namespace quillet::qttest {
namespace {

// Left half red, right half blue.
image::Bitmap twoColours(int width, int height) {
  image::Bitmap bitmap{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = bitmap.row(y) + 3 * x;
      const bool left = x < width / 2;
      p[0] = left ? 255 : 0;
      p[2] = left ? 0 : 255;
    }
  }
  return bitmap;
}

ui::PictureBytes share(std::vector<std::uint8_t> bytes) {
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

ui::PictureBytes asJpeg(const image::Bitmap& bitmap) {
  auto jpeg = image::encodeJpeg(bitmap, 95);
  EXPECT_TRUE(jpeg.ok()) << jpeg.error;
  return share(std::move(jpeg.value));
}

class PictureBox : public QtFixture {
 protected:
  void SetUp() override {
    window = &makeWindow(0, 0, 400, 300);
    box = &window->add<ui::PictureBox>("图片框1");
    box->setGeometry(0, 0, 80, 40);
  }
  qtui::PictureWidget& shown() {
    return *static_cast<qtui::PictureWidget*>(widget(*window).controlWidget(*box));
  }
  QImage grab() { return shown().grab().toImage(); }

  ui::Window* window = nullptr;
  ui::PictureBox* box = nullptr;
};

TEST_F(PictureBox, PaintsThePictureStretchedToTheBox) {
  struct Case {
    const char* what;
    ui::PictureBytes bytes;
    QSize box;
  };
  const Case cases[] = {
      {"BMP enlarged", share(image::encodeBmp24(twoColours(40, 20))), {80, 40}},
      {"JPEG enlarged", asJpeg(twoColours(40, 20)), {120, 30}},
      {"JPEG reduced", asJpeg(twoColours(1600, 800)), {100, 50}},
      {"BMP reduced", share(image::encodeBmp24(twoColours(1600, 800))), {90, 60}},
  };
  for (const auto& c : cases) {
    box->setGeometry(0, 0, c.box.width(), c.box.height());
    box->setPicture(c.bytes, "测试.jpg");
    const QImage image = grab();
    ASSERT_EQ(image.size(), c.box) << c.what;
    const int y = c.box.height() / 2;
    const QColor left = image.pixelColor(c.box.width() / 4, y);
    const QColor right = image.pixelColor(c.box.width() * 3 / 4, y);
    EXPECT_GT(left.red(), 220) << c.what;
    EXPECT_LT(left.blue(), 40) << c.what;
    EXPECT_GT(right.blue(), 220) << c.what;
    EXPECT_LT(right.red(), 40) << c.what;
  }
}

TEST_F(PictureBox, EmptyBoxShowsItsBackgroundColourInsideItsBorder) {
  box->setBackground(0x00FF0000);  // blue, written 0x00BBGGRR
  QImage image = grab();
  EXPECT_EQ(image.pixelColor(40, 20), QColor(0, 0, 255));
  box->setBorder(true);
  image = grab();
  EXPECT_NE(image.pixelColor(0, 0), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(1, 1), QColor(0, 0, 255));
}

TEST_F(PictureBox, PictureThatCannotBeShownIsExplainedInWords) {
  auto bmp = image::encodeBmp24(twoColours(64, 64));
  bmp.resize(54);  // a sound header, then nothing: fails only when decoded
  const ui::PictureBytes bad[] = {
      share({'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}),
      share(std::move(bmp)),
  };
  box->setGeometry(0, 0, 300, 200);
  box->setBackground(0x00000000);
  for (const auto& bytes : bad) {
    box->setPicture(bytes, "/某处/坏图.jpg");
    const QImage image = grab();
    std::set<QRgb> colours;
    int black = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        colours.insert(image.pixel(x, y));
        if (image.pixelColor(x, y) == QColor(Qt::black)) ++black;
      }
    }
    // Words on a light ground, not the black background or an empty box.
    EXPECT_GT(colours.size(), 2u);
    EXPECT_LT(black, image.width() * image.height() / 10);
  }
}

TEST_F(PictureBox, DecodesOncePerPictureAndAgainOnlyWhenTheBoxOutgrowsIt) {
  const auto bytes = asJpeg(twoColours(800, 800));
  box->setGeometry(0, 0, 100, 100);
  box->setPicture(bytes);
  auto& view = shown();
  const int first = view.decodeCount();
  grab();
  grab();
  EXPECT_EQ(view.decodeCount(), first) << "a repaint decoded";

  struct Step {
    int side;
    int newDecodes;
  };
  const Step steps[] = {{50, 0}, {100, 0}, {150, 1}, {190, 0}, {900, 1}, {1000, 0}, {60, 0}};
  for (const auto& step : steps) {
    const int before = view.decodeCount();
    box->setGeometry(0, 0, step.side, step.side);
    grab();
    EXPECT_EQ(view.decodeCount() - before, step.newDecodes) << "box " << step.side;
  }
  const int before = view.decodeCount();
  box->setPicture(bytes, "again");
  EXPECT_EQ(view.decodeCount(), before) << "the same bytes were decoded again";
  box->setPicture(share(*bytes));
  EXPECT_EQ(view.decodeCount(), before + 1);
}

// A large photo shrunk for a small box: fine detail must become its mean, as
// an area average of the whole picture gives, not the moiré or the one
// colour that sampling it every few pixels would leave. Grey one-pixel
// stripes and a checkerboard under a gradient, like pencil lines on paper.
TEST_F(PictureBox, ReducedPictureMatchesTheAreaAverageOfTheWholePicture) {
  const int width = 3200, height = 2400;
  image::Bitmap fine{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool ink = y < height / 2 ? x % 2 == 0 : (x / 3 + y / 3) % 2 == 0;
      const int shade = ink ? 40 : 40 + 160 * x / width + 40;
      std::uint8_t* p = fine.row(y) + 3 * x;
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(shade);
    }
  }
  // A box no reduced decode fits exactly, so that the last step is a resampling.
  const int boxWidth = 600, boxHeight = 450;
  window->setWidth(boxWidth);
  window->setHeight(boxHeight);
  box->setGeometry(0, 0, boxWidth, boxHeight);
  // Both reach the box through a reduced decode (block means, the JPEG's own
  // reduced transform) and one resampling, which stay near the exact mean;
  // sampling, even the nearest pixel of the reduced decode, does not.
  struct Case {
    const char* what;
    ui::PictureBytes bytes;
    double meanError;
    int worstError;
  };
  const Case cases[] = {{"BMP", share(image::encodeBmp24(fine)), 5.0, 20},
                        {"JPEG", asJpeg(fine), 5.0, 20}};
  for (const auto& picture : cases) {
    const auto whole = image::decode(*picture.bytes);
    ASSERT_TRUE(whole.ok()) << whole.error;
    box->setPicture(picture.bytes);
    const QImage shownImage = grab();
    ASSERT_EQ(shownImage.size(), QSize(boxWidth, boxHeight));
    // Each box pixel is the mean of the picture area it covers, parts of
    // pixels weighed by their part.
    struct Cover {
      int first;
      std::vector<double> parts;
    };
    const auto cover = [](int from, int to, int i) {
      const double step = double(from) / to, start = i * step, end = start + step;
      Cover c{int(start), {}};
      for (int j = c.first; j < from && j < end; ++j) {
        c.parts.push_back((std::min(end, j + 1.0) - std::max(start, double(j))) / step);
      }
      return c;
    };
    double total = 0;
    int worst = 0;
    for (int y = 0; y < boxHeight; ++y) {
      const Cover down = cover(height, boxHeight, y);
      for (int x = 0; x < boxWidth; ++x) {
        const Cover across = cover(width, boxWidth, x);
        double mean = 0;
        for (std::size_t r = 0; r < down.parts.size(); ++r) {
          const std::uint8_t* row = whole.value.row(down.first + int(r));
          for (std::size_t c = 0; c < across.parts.size(); ++c) {
            mean += down.parts[r] * across.parts[c] * row[3 * (across.first + int(c)) + 1];
          }
        }
        const int error = std::abs(qGreen(shownImage.pixel(x, y)) - int(mean + 0.5));
        total += error;
        worst = std::max(worst, error);
      }
    }
    EXPECT_LT(total / (boxWidth * boxHeight), picture.meanError) << picture.what;
    EXPECT_LE(worst, picture.worstError) << picture.what;
  }
}

// The full decode of a large photo is made when the box is shown larger than
// a reduced decode could fill, and given back once the box is small again,
// without decoding the picture a second time.
TEST_F(PictureBox, FullDecodeOnlyWhileTheBoxNeedsItAndNotAgainWhenItShrinks) {
  const auto bytes = asJpeg(twoColours(1600, 1200));
  box->setGeometry(0, 0, 200, 150);
  box->setPicture(bytes);
  grab();
  auto& view = shown();
  EXPECT_EQ(view.decodedSize(), QSize(200, 150));
  const int first = view.decodeCount();

  struct Step {
    int width;
    QSize decoded;
    int newDecodes;
  };
  const Step steps[] = {{1000, {1600, 1200}, 1}, {700, {800, 600}, 0},    {300, {400, 300}, 0},
                        {150, {200, 150}, 0},    {1600, {1600, 1200}, 1}, {2400, {1600, 1200}, 0},
                        {180, {200, 150}, 0}};
  for (const auto& step : steps) {
    const int before = view.decodeCount();
    box->setGeometry(0, 0, step.width, step.width * 3 / 4);
    const QImage image = grab();
    EXPECT_EQ(view.decodedSize(), step.decoded) << "box " << step.width;
    EXPECT_EQ(view.decodeCount() - before, step.newDecodes) << "box " << step.width;
    const QColor left = image.pixelColor(step.width / 4, step.width * 3 / 8);
    const QColor right = image.pixelColor(step.width * 3 / 4, step.width * 3 / 8);
    EXPECT_GT(left.red(), 220) << "box " << step.width;
    EXPECT_GT(right.blue(), 220) << "box " << step.width;
  }
  EXPECT_EQ(view.decodeCount(), first + 2);
}

// The picture the program says comes next is decoded ahead; it is used only
// for the very bytes it was decoded from, and the box shows the same pixels.
TEST_F(PictureBox, PreparedPictureIsShownWithoutDecodingAgain_OnlyForTheSameBytes) {
  char pattern[] = "/tmp/quillet-prepare.XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  const std::string file = folder + "/next.jpg";
  const auto bytes = asJpeg(twoColours(1600, 800));
  ASSERT_TRUE(files::writeAtomic(file, *bytes));
  auto* prefetcher = qtui::PicturePrefetcher::current();
  ASSERT_NE(prefetcher, nullptr);
  const int handed = prefetcher->handedOver();

  box->setGeometry(0, 0, 200, 100);
  backend.preparePictures({file}, 200);
  box->setPicture(share(*bytes), file);
  const QImage prepared = grab();
  EXPECT_EQ(prefetcher->handedOver(), handed + 1);
  EXPECT_EQ(shown().decodeCount(), 0);

  box->clearPicture();
  box->setPicture(share(*bytes), file);
  const QImage decoded = grab();
  EXPECT_EQ(shown().decodeCount(), 1) << "a decode is handed over once";
  EXPECT_EQ(prepared, decoded);

  backend.preparePictures({file}, 200);
  const auto changed = asJpeg(twoColours(1600, 700));  // the file changed since
  box->setPicture(changed, file);
  grab();
  EXPECT_EQ(prefetcher->handedOver(), handed + 1);
  EXPECT_EQ(shown().decodeCount(), 2);
  std::filesystem::remove_all(folder);
}

TEST_F(PictureBox, SnapshotHoldsWhatTheWindowShows) {
  box->setGeometry(0, 0, 400, 300);
  box->setPicture(share(image::encodeBmp24(twoColours(40, 30))));
  const auto shot = backend.snapshot(*window);
  ASSERT_TRUE(shot);
  const auto decoded = image::decode(*shot);
  ASSERT_TRUE(decoded.ok()) << decoded.error;
  ASSERT_EQ(decoded.value.width, 400);
  ASSERT_EQ(decoded.value.height, 300);
  const std::uint8_t* left = decoded.value.row(150) + 3 * 100;
  const std::uint8_t* right = decoded.value.row(150) + 3 * 300;
  EXPECT_GT(left[0], 220);
  EXPECT_LT(left[2], 40);
  EXPECT_GT(right[2], 220);
  EXPECT_LT(right[0], 40);
}

}  // namespace
}  // namespace quillet::qttest

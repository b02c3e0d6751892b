// Mirror, turn, rotation and gray levels on a 24-megapixel photo: the engine
// in memory (one thread, buffers reused) against a plain memcpy of the same
// pixels, the first "水平" from the menu and a later mirror and turn, and the
// quillet-picture tool against the command-line tools that do the same job,
// when installed: its time against theirs and against decoding alone, and
// its peak memory against the size of its result. Medians throughout; each
// figure is printed beside its budget. Exits non-zero when one is over.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/quillet.h"
#include "core/main_controls.h"
#include "core/names.h"
#include "platform/image/big_buffers.h"
#include "platform/image/gray_levels.h"
#include "platform/image/transform.h"
#include "platform/ui/backend.h"
#include "support/budget.h"
#include "support/photo.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using quillet::bench::photo;
using quillet::image::Bitmap;
using quillet::image::Bytes;

const Bytes& photoBmp() {
  static const Bytes bmp = quillet::image::encodeBmp24(photo());
  return bmp;
}

// A buffer of the photo's size, touched once so that no run pays for its pages.
Bitmap touched(int width, int height) {
  return Bitmap{width, height, Bytes(static_cast<std::size_t>(width) * height * 3, 1)};
}

void memcpy72(benchmark::State& state) {
  const Bitmap& b = photo();
  Bytes to(b.rgb.size(), 1);
  for (auto _ : state) {
    std::memcpy(to.data(), b.rgb.data(), b.rgb.size());
    benchmark::ClobberMemory();
  }
}

void flip(benchmark::State& state, bool horizontal, bool vertical) {
  Bitmap out = touched(photo().width, photo().height);
  for (auto _ : state) {
    quillet::image::flipBitmapInto(photo(), horizontal, vertical, out);
    benchmark::ClobberMemory();
  }
}
void flipTopBottom(benchmark::State& state) { flip(state, false, true); }
void flipLeftRight(benchmark::State& state) { flip(state, true, false); }
void flipBothWays(benchmark::State& state) { flip(state, true, true); }

void quarterTurn(benchmark::State& state) {
  Bitmap out = touched(photo().height, photo().width);
  for (auto _ : state) {
    quillet::image::quarterTurnInto(photo(), out);
    benchmark::ClobberMemory();
  }
}

void rotate30(benchmark::State& state) {
  Bitmap out;
  quillet::image::rotateBitmapInto(photo(), 30, 0x606060, out);
  for (auto _ : state) {
    quillet::image::rotateBitmapInto(photo(), 30, 0x606060, out);
    benchmark::ClobberMemory();
  }
}

void gray4(benchmark::State& state) {
  Bytes out;
  quillet::image::applyGrayLevelsInto(photoBmp(), 4, out);
  for (auto _ : state) {
    quillet::image::applyGrayLevelsInto(photoBmp(), 4, out);
    benchmark::ClobberMemory();
  }
}

// ---- the first "水平" from the menu ----

class NullPeer : public quillet::ui::WindowPeer {
 public:
  void windowChanged(quillet::ui::Change) override {}
  void controlChanged(quillet::ui::Control&, quillet::ui::Change) override {}
  void controlAdded(quillet::ui::Control&) override {}
};

// Windows as models only; the menu answers with the entry named in `choice`.
class MenuBackend : public quillet::ui::Backend {
 public:
  std::unique_ptr<quillet::ui::WindowPeer> createPeer(quillet::ui::Window&) override {
    return std::make_unique<NullPeer>();
  }
  std::vector<quillet::ui::Monitor> monitors() override { return {{0, 0, 1920, 1080, 1.0, true}}; }
  quillet::ui::FileDialogResult openFileDialog(quillet::ui::Window*, const std::string&,
                                               const std::string&, const std::string&) override {
    return {};
  }
  quillet::ui::FileDialogResult saveFileDialog(quillet::ui::Window*, const std::string&,
                                               const std::string&, const std::string&) override {
    return {};
  }
  void messageBox(quillet::ui::Window*, const std::string&, const std::string&) override {}
  std::optional<std::string> inputBox(quillet::ui::Window*, const std::string&, const std::string&,
                                      const std::string&) override {
    return std::nullopt;
  }
  const quillet::ui::MenuItem* popupMenu(quillet::ui::Window&,
                                         const quillet::ui::Menu& menu) override {
    const std::vector<quillet::ui::MenuItem>* level = &menu.items;
    const quillet::ui::MenuItem* found = nullptr;
    for (const std::string& caption : choice) {
      found = nullptr;
      for (const auto& item : *level) {
        if (!item.separator && item.caption == caption) found = &item;
      }
      if (found == nullptr) return nullptr;
      level = &found->children;
    }
    return found;
  }
  void startSystemMove(quillet::ui::Window&) override {}
  void runModal(quillet::ui::Window&) override {}
  void endModal(quillet::ui::Window&) override {}
  quillet::ui::ScreenShot grabScreen() override { return {}; }
  bool printText(quillet::ui::Window*, const std::string&, const std::string&) override {
    return false;
  }
  int randomNumber(int low, int) override { return low; }
  void report(const std::string&) override {}
  void quit(int) override { quitting = true; }
  bool quitRequested() const override { return quitting; }
  bool startProcess(const std::string&) override { return false; }

  std::vector<std::string> choice;
  bool quitting = false;
};

// A fresh folder, in memory when the system has a memory-backed one, so that
// the commands are not timed against the disk.
fs::path workFolder() {
  static const fs::path folder = [] {
    fs::path parent = fs::temp_directory_path();
    if (::access("/dev/shm", W_OK) == 0) parent = "/dev/shm";
    std::string pattern = (parent / "quillet-ops-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::exit(2);
    }
    return fs::path(pattern);
  }();
  return folder;
}

void writeFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// The program on a folder holding the photo as a JPEG, its windows as
// models only, shown at start.
class MenuProgram {
 public:
  explicit MenuProgram(const char* name) : folder_(workFolder() / name) {
    fs::create_directories(folder_);
    const fs::path picture = folder_ / "photo.jpg";
    writeFile(picture, quillet::bench::photoJpeg());
    std::ofstream(folder_ / quillet::core::kLastFileRecord) << picture.string();
    program_ = std::make_unique<quillet::app::Quillet>(
        backend_, quillet::core::Environment{folder_.string(), "quillet", {}});
    program_->start();
  }
  ~MenuProgram() { program_->shutdown(); }

  void choose(std::vector<std::string> captions) {
    backend_.choice = std::move(captions);
    quillet::ui::Window& window = *program_->main();
    window.popupMenu(window.menu());
  }
  quillet::core::GlobalState& g() { return program_->g(); }
  // Whether the box shows a 24-bit BMP of the photo's size, either way round.
  bool showsThePhoto() {
    const auto& shown = quillet::core::pictureBox(*program_).picture();
    return shown && shown->size() == photoBmp().size();
  }

 private:
  fs::path folder_;
  MenuBackend backend_;
  std::unique_ptr<quillet::app::Quillet> program_;
};

// The whole operation, as the menu runs it: the JPEG converted to the work
// BMP, the bitmap mirrored, its BMP bytes handed to the picture box.
void firstMirrorFromMenu(benchmark::State& state) {
  MenuProgram program("first");
  for (auto _ : state) {
    state.PauseTiming();
    program.g().workBitmapLoaded = 0;  // as after loading a picture
    state.ResumeTiming();
    program.choose({"镜像翻转", "水平"});
  }
  if (!program.showsThePhoto()) state.SkipWithError("no mirrored picture");
}

// Once the work bitmap is there, a mirror or a quarter turn works on it in
// memory, and the box gets the result's BMP bytes. Timed from the third
// one on: the first two take their buffers fresh from the system, the
// later ones reuse the memory their predecessors gave back.
void laterFromMenu(benchmark::State& state, const char* item) {
  MenuProgram program("later");
  program.choose({"镜像翻转", "水平"});
  const std::string menu = item == std::string("直角") ? "角度旋转" : "镜像翻转";
  for (int warm = 0; warm < 2; ++warm) program.choose({menu, item});
  for (auto _ : state) program.choose({menu, item});
  if (!program.showsThePhoto() || program.g().workBitmapLoaded != 1) {
    state.SkipWithError("no turned picture");
  }
}
void laterMirrorFromMenu(benchmark::State& state) { laterFromMenu(state, "水平"); }
void laterTurnFromMenu(benchmark::State& state) { laterFromMenu(state, "直角"); }

// ---- whole commands ----

std::optional<fs::path> onPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::nullopt;
}

// Wall time of one run in milliseconds; nothing when it failed.
std::optional<double> runOnce(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const auto& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return std::nullopt;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return std::nullopt;
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

struct Contest {
  std::string what;
  std::vector<std::string> ours;
  std::vector<std::vector<std::string>> theirs;  // run one after another as one job
  int runs;
  double allowed;         // ours / theirs
  std::string ourOutput;  // judged against our peak memory; empty: not judged
  // Peak memory / the output's size: the mirrors and the conversion need no
  // full copy, the gray levels write a third of the picture, the turns hold
  // the decoded picture or the result while they work.
  double memory = 1.2;
};

struct Raced {
  double ours = 0, theirs = 0;  // median milliseconds
  double ourPeakMb = 0;         // 0: not measured
};

// The peak resident memory of a command in MB, through GNU time: a process
// started from this one would count this one's memory as its own.
double peakMb(const std::vector<std::string>& command) {
  const auto time = fs::path("/usr/bin/time");
  if (::access(time.c_str(), X_OK) != 0) return 0;
  const std::string report = (workFolder() / "peak.txt").string();
  std::vector<std::string> timed = {time.string(), "-f", "%M", "-o", report};
  timed.insert(timed.end(), command.begin(), command.end());
  if (!runOnce(timed)) return 0;
  double kb = 0;
  std::ifstream(report) >> kb;
  return kb / 1024;
}

// Medians of ours and theirs, their runs interleaved so that a busy moment
// of the machine falls on both alike; nothing when a command failed.
std::optional<Raced> race(const Contest& c) {
  std::vector<double> ours, theirs;
  Raced raced;
  for (int i = 0; i < c.runs + 1; ++i) {
    const auto a = runOnce(c.ours);
    double total = 0;
    for (const auto& step : c.theirs) {
      const auto b = runOnce(step);
      if (!b) return std::nullopt;
      total += *b;
    }
    if (!a) return std::nullopt;
    if (i == 0) continue;  // the first round warms the file cache
    ours.push_back(*a);
    theirs.push_back(total);
  }
  if (!c.ourOutput.empty()) raced.ourPeakMb = peakMb(c.ours);
  raced.ours = median(ours);
  raced.theirs = median(theirs);
  return raced;
}

// The median of a command alone, run `runs` times after a warm-up.
std::optional<double> timed(const std::vector<std::string>& command, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs + 1; ++i) {
    const auto run = runOnce(command);
    if (!run) return std::nullopt;
    if (i > 0) times.push_back(*run);
  }
  return median(times);
}

fs::path besideThisProgram(const char* name) {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return (ec ? fs::path(".") : self.parent_path()) / name;
}

}  // namespace

BENCHMARK(memcpy72)->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(7);
BENCHMARK(flipTopBottom)->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(7);
BENCHMARK(flipLeftRight)->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(7);
BENCHMARK(flipBothWays)->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(7);
BENCHMARK(quarterTurn)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(7);
BENCHMARK(rotate30)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5);
BENCHMARK(gray4)->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(7);
BENCHMARK(firstMirrorFromMenu)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(7)
    ->UseRealTime();
BENCHMARK(laterMirrorFromMenu)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(7)
    ->UseRealTime();
BENCHMARK(laterTurnFromMenu)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(7)
    ->UseRealTime();

int main(int argc, char** argv) {
  quillet::image::reuseLargeBuffers();  // as the program does at start
  benchmark::Initialize(&argc, argv);
  benchmark::AddCustomContext("photo", std::to_string(quillet::bench::kPhotoWidth) + " x " +
                                           std::to_string(quillet::bench::kPhotoHeight));
  photoBmp();
  quillet::bench::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const auto& m = reporter.medians;
  bool all = true;
  for (const char* name :
       {"memcpy72", "flipTopBottom", "flipLeftRight", "flipBothWays", "quarterTurn", "rotate30",
        "gray4", "firstMirrorFromMenu", "laterMirrorFromMenu", "laterTurnFromMenu"}) {
    all = all && m.contains(name);
  }
  if (!all) {
    fs::remove_all(workFolder());
    return 0;  // a --benchmark_filter run: nothing to judge
  }

  // Whole commands on the same photo as files.
  const fs::path jpeg = workFolder() / "photo.jpg";
  const fs::path bmp = workFolder() / "photo.bmp";
  writeFile(jpeg, quillet::bench::photoJpeg());
  writeFile(bmp, photoBmp());
  const auto out = [](const char* name) { return (workFolder() / name).string(); };
  const fs::path tool = besideThisProgram("quillet-picture");
  const auto vips = onPath("vips");
  const auto convert = onPath("convert");
  const auto djpeg = onPath("djpeg");
  const auto cjpeg = onPath("cjpeg");
  const std::string t = tool.string();
  const std::string j = jpeg.string();
  std::vector<Contest> contests;
  if (vips) {
    const std::string v = vips->string();
    contests.push_back({"flip h, vs vips flip horizontal",
                        {t, "flip", "h", j, out("f.bmp")},
                        {{v, "flip", j, out("f.v"), "horizontal"}},
                        7,
                        0.8,
                        out("f.bmp")});
    contests.push_back({"quarter, vs vips rot d90",
                        {t, "quarter", j, out("q.bmp")},
                        {{v, "rot", j, out("q.v"), "d90"}},
                        7,
                        0.8,
                        out("q.bmp"),
                        2.2});
    contests.push_back({"rotate 30, vs vips rotate bilinear",
                        {t, "rotate", "30", "000000", j, out("r.bmp")},
                        {{v, "rotate", j, out("r.v"), "30", "--interpolate", "bilinear"}},
                        9,
                        0.8,
                        out("r.bmp"),
                        2.2});
    // Luminance, then a table down to four levels (index = value / 64).
    runOnce({v, "identity", out("lut0.v")});
    runOnce({v, "linear", out("lut0.v"), out("lut.v"), "0.015625", "0", "--uchar"});
    contests.push_back({"gray 4, vs vips colourspace b-w + maplut",
                        {t, "gray", "4", j, out("g.bmp")},
                        {{v, "colourspace", j, out("b.v"), "b-w"},
                         {v, "maplut", out("b.v"), out("m.v"), out("lut.v")}},
                        7,
                        0.8,
                        out("g.bmp"),
                        2.0});
  }
  if (convert) {
    contests.push_back(
        {"gray 4, vs ImageMagick posterize",
         {t, "gray", "4", j, out("g.bmp")},
         {{convert->string(), j, "-colorspace", "Gray", "-posterize", "4", out("g-im.bmp")}},
         3,
         1.0,
         {}});
  }
  if (djpeg) {
    contests.push_back({"to-bmp, vs djpeg -bmp",
                        {t, "to-bmp", j, out("o.bmp")},
                        {{djpeg->string(), "-bmp", "-outfile", out("d.bmp"), j}},
                        7,
                        0.9,
                        out("o.bmp")});
  }
  if (cjpeg) {
    contests.push_back(
        {"to-jpeg, vs cjpeg -quality 80",
         {t, "to-jpeg", bmp.string(), out("o.jpg")},
         {{cjpeg->string(), "-quality", "80", "-outfile", out("c.jpg"), bmp.string()}},
         7,
         1.1,
         {}});
  }
  const bool haveTool = ::access(tool.c_str(), X_OK) == 0;
  // Decoding alone is the floor every operation on the JPEG stands on.
  double decodeOnly = 0;  // unknown
  if (djpeg)
    decodeOnly = timed({djpeg->string(), "-ppm", "-outfile", "/dev/null", j}, 7).value_or(0);
  std::vector<std::optional<Raced>> raced;
  std::vector<double> outputMb;
  for (const auto& contest : contests) {
    raced.push_back(haveTool ? race(contest) : std::nullopt);
    std::error_code ec;
    const auto size = contest.ourOutput.empty() ? 0 : fs::file_size(contest.ourOutput, ec);
    outputMb.push_back(ec ? 0 : static_cast<double>(size) / (1 << 20));
  }

  const double copy = m.at("memcpy72");
  quillet::bench::BudgetTable table("Summary (medians, 6000 x 4000, one thread)");
  table.note("memcpy of the 72 MB of pixels:", copy, "ms");
  const auto times = [&](const char* what, const char* name, double budget) {
    char label[128];
    std::snprintf(label, sizeof label, "%s (%.1f ms):", what, m.at(name));
    table.line(label, m.at(name) / copy, budget, "x memcpy", 2);
  };
  times("mirror top-bottom", "flipTopBottom", 2);
  times("mirror left-right", "flipLeftRight", 4);
  times("mirror both ways", "flipBothWays", 4);
  times("quarter turn", "quarterTurn", 13);
  table.line("rotation by 30, bilinear:", m.at("rotate30"), 450, "ms");
  times("gray levels, 4, from a 24-bit BMP", "gray4", 4);
  table.line("first 水平 on a 24 MP JPEG, menu to box:", m.at("firstMirrorFromMenu"), 300, "ms");
  table.line("a later 水平, menu to box:", m.at("laterMirrorFromMenu"), 60, "ms");
  table.line("a later 直角, menu to box:", m.at("laterTurnFromMenu"), 60, "ms");
  if (!haveTool) std::printf("quillet-picture not found beside this program: commands skipped\n");
  if (decodeOnly > 0) table.note("decoding alone, djpeg -ppm to /dev/null:", decodeOnly, "ms");
  for (std::size_t i = 0; i < raced.size(); ++i) {
    const Contest& contest = contests[i];
    if (!raced[i]) {
      std::printf("%-44s a command failed; skipped\n", contest.what.c_str());
      continue;
    }
    const Raced& r = *raced[i];
    std::printf("%-44s ours %.0f ms, theirs %.0f ms", contest.what.c_str(), r.ours, r.theirs);
    if (r.ourPeakMb > 0) std::printf(", our peak %.0f MB", r.ourPeakMb);
    std::printf("\n");
    table.line("  ours / theirs:", r.ours / r.theirs, contest.allowed, "x", 3);
    if (contest.ourOutput.empty()) continue;
    if (decodeOnly > 0) table.line("  ours / decoding alone:", r.ours / decodeOnly, 2, "x", 2);
    if (outputMb[i] > 0 && r.ourPeakMb > 0) {
      table.line("  our peak memory / the result's size:", r.ourPeakMb / outputMb[i],
                 contest.memory, "x", 2);
    }
  }
  for (const char* missing : {"vips", "convert", "djpeg", "cjpeg"}) {
    if (!onPath(missing)) std::printf("%s is not installed: its comparison is skipped\n", missing);
  }
  fs::remove_all(workFolder());
  return table.allWithin() ? 0 : 1;
}

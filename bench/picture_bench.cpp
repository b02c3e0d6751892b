// Picture engine timings on a 24-megapixel photo, each median printed beside
// its budget at the end. Exits non-zero when a figure is over budget.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/image/picture.h"

namespace {

using quillet::image::Bitmap;
using quillet::image::Bytes;

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// Smooth light and colour, sensor-like noise and a few hard edges: what a
// photo gives the entropy coder, made the same on every run.
Bitmap photo() {
  Bitmap b{kWidth, kHeight, Bytes(static_cast<std::size_t>(kWidth) * kHeight * 3)};
  std::vector<int> columnWave(kWidth);
  std::vector<int> rowWave(kHeight);
  for (int x = 0; x < kWidth; ++x) columnWave[x] = static_cast<int>(60 * std::sin(x / 650.0));
  for (int y = 0; y < kHeight; ++y) rowWave[y] = static_cast<int>(50 * std::cos(y / 480.0));
  std::uint32_t noise = 0x9E3779B9u;
  for (int y = 0; y < kHeight; ++y) {
    std::uint8_t* p = b.row(y);
    for (int x = 0; x < kWidth; ++x, p += 3) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const int grain = static_cast<int>(noise % 17) - 8;
      // Discs on a grid: sharp boundaries the transform has to carry.
      const int dx = x % 750 - 375;
      const int dy = y % 750 - 375;
      const int shade = dx * dx + dy * dy < 200 * 200 ? -70 : 0;
      const int base = 120 + columnWave[x] + rowWave[y] + shade + grain;
      p[0] = static_cast<std::uint8_t>(std::clamp(base + x / 100, 0, 255));
      p[1] = static_cast<std::uint8_t>(std::clamp(base + y / 80 - 20, 0, 255));
      p[2] = static_cast<std::uint8_t>(std::clamp(base - x / 120 + 30, 0, 255));
    }
  }
  return b;
}

const Bytes& photoJpeg() {
  static const Bytes jpeg = [] {
    auto encoded = quillet::image::encodeJpeg(photo(), 90);
    if (!encoded) {
      std::fprintf(stderr, "cannot encode the test photo: %s\n", encoded.error.c_str());
      std::exit(2);
    }
    return encoded.value;
  }();
  return jpeg;
}

void readSize(benchmark::State& state) {
  const Bytes& jpeg = photoJpeg();
  for (auto _ : state) benchmark::DoNotOptimize(quillet::image::readSize(jpeg));
}

void decodeForDisplay800(benchmark::State& state) {
  const Bytes& jpeg = photoJpeg();
  for (auto _ : state) benchmark::DoNotOptimize(quillet::image::decodeForDisplay(jpeg, 800, 600));
}

void engineFullDecode(benchmark::State& state) {
  const Bytes& jpeg = photoJpeg();
  for (auto _ : state) benchmark::DoNotOptimize(quillet::image::decode(jpeg));
}

// The same work straight on the library: header, buffer, decompress.
void bareTjDecompress2(benchmark::State& state) {
  const Bytes& jpeg = photoJpeg();
  tjhandle handle = tjInitDecompress();
  const auto size = static_cast<unsigned long>(jpeg.size());
  for (auto _ : state) {
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    tjDecompressHeader3(handle, jpeg.data(), size, &width, &height, &subsampling, &colorspace);
    auto* pixels = static_cast<unsigned char*>(
        std::malloc(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3));
    tjDecompress2(handle, jpeg.data(), size, pixels, width, 0, height, TJPF_RGB, 0);
    benchmark::DoNotOptimize(pixels);
    std::free(pixels);
  }
  tjDestroy(handle);
}

// Plain console output (it usually lands in a log) that also keeps the medians.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  MedianReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians[run.run_name.function_name] =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> medians;
};

}  // namespace

// Medians of five runs each; the whole program stays well under a minute.
BENCHMARK(readSize)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(decodeForDisplay800)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(engineFullDecode)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(bareTjDecompress2)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::AddCustomContext("photo", std::to_string(kWidth) + " x " + std::to_string(kHeight) +
                                           " JPEG q90, " +
                                           std::to_string(photoJpeg().size() / 1024) + " KiB");
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto& m = reporter.medians;
  if (!m.contains("readSize") || !m.contains("decodeForDisplay800") ||
      !m.contains("engineFullDecode") || !m.contains("bareTjDecompress2")) {
    return 0;  // a --benchmark_filter run: nothing to judge
  }
  bool allWithin = true;
  const auto line = [&](const char* what, double value, double budget, const char* unit,
                        int digits) {
    const bool ok = value <= budget;
    allWithin = allWithin && ok;
    std::printf("%-34s %8.*f %s (budget %g %s) %s\n", what, digits, value, unit, budget, unit,
                ok ? "OK" : "OVER");
  };
  std::printf("\nSummary (medians)\n");
  line("readSize 24 MP JPEG:", m.at("readSize") * 1e3, 1000.0, "us", 3);
  line("decodeForDisplay 800px:", m.at("decodeForDisplay800"), 120.0, "ms", 1);
  std::printf("%-34s %8.1f ms\n", "full decode, engine:", m.at("engineFullDecode"));
  std::printf("%-34s %8.1f ms\n", "full decode, bare tjDecompress2:", m.at("bareTjDecompress2"));
  line("full decode, engine / bare:", m.at("engineFullDecode") / m.at("bareTjDecompress2"), 1.1,
       "x", 3);
  return allWithin ? 0 : 1;
}
